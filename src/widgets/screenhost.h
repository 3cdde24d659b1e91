#pragma once

#include <QString>
#include <QVariant>

class QWidget;

namespace lexordo {

// What holds the screens: screens open one another through it by name
// ("frmClients"), as a menu entry would, without knowing the main window.
class ScreenHost
{
public:
    virtual ~ScreenHost() = default;

    // Opens the screen, or brings it forward when it is open; nothing when
    // no such screen is known or it could not be made.
    virtual QWidget *openScreen(const QString &screenName) = 0;
    // The open screen of that name, or nothing.
    virtual QWidget *findScreen(const QString &screenName) const = 0;
    // Opens a screen on what another screen hands it (a party's history, the
    // clients of a case), as the program wires each name; an open screen
    // takes the value where it stands. Nothing when no screen of that name
    // takes a value, or it could not be made.
    virtual QWidget *openScreen(const QString &screenName, const QVariant &argument);

    static ScreenHost *current();
    static void setCurrent(ScreenHost *host);
};

// Closes a screen together with the child window that frames it.
void closeScreen(QWidget *screen);

// Shows a screen maximised, with the child window that frames it, in front
// of the others.
void showMaximizedInFront(QWidget *screen);

} // namespace lexordo
