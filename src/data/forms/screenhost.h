#pragma once

#include <QString>

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

    static ScreenHost *current();
    static void setCurrent(ScreenHost *host);
};

} // namespace lexordo
