#pragma once

#include <functional>
#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <widgets/screenhost.h>

class QAction;
class QMdiArea;

namespace Ui {
class MainWindow;
}

namespace lexordo {

// The frame window `MDImain`: the menu from which every screen is opened, and
// the area that holds the screens as child windows. A screen is known by its
// name ("frmCourts"); choosing its entry again brings the open one forward.
class MainWindow : public QMainWindow, public ScreenHost
{
    Q_OBJECT

public:
    // How a menu entry opens its screen.
    enum class OpenMode {
        Load,        // made and shown as a child window
        LoadAndShow, // the same, then activated
        ShowOnly,    // shown and activated, made first if needed
    };
    enum class Placement {
        Child,          // a window of the workspace
        Dialog,         // a small window of the workspace, at its own size, never maximised
        SeparateWindow, // a window of its own
    };
    using ScreenFactory = std::function<QWidget *()>;
    using ScreenOpener = std::function<QWidget *(const QVariant &argument)>;

    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    QMdiArea *mdiArea() const;
    QAction *menuEntry(const QString &entry) const;

    // Teaches the window how to make a screen.
    void addScreen(const QString &screenName, ScreenFactory factory,
                   Placement placement = Placement::Child);
    // Makes a menu entry open a known screen, and enables the entry.
    void setMenuEntry(const QString &entry, const QString &screenName,
                      OpenMode mode = OpenMode::Load);
    // Both at once.
    void setScreenFactory(const QString &entry, const QString &screenName, ScreenFactory factory,
                          OpenMode mode = OpenMode::Load, Placement placement = Placement::Child);
    // Teaches the window how a screen is opened on a value another screen hands it.
    void addScreenOpener(const QString &screenName, ScreenOpener opener);
    // A menu entry that runs a command of its own, and enables the entry.
    void setMenuCommand(const QString &entry, std::function<void()> command);

    QWidget *openScreen(const QString &screenName) override;
    QWidget *openScreen(const QString &screenName, OpenMode mode);
    QWidget *findScreen(const QString &screenName) const override;
    QWidget *openScreen(const QString &screenName, const QVariant &argument) override;

    // Closes every screen; false when one stays open (kept unsaved work).
    bool closeAllScreens();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Screen
    {
        ScreenFactory factory;
        Placement placement = Placement::Child;
        QPointer<QWidget> open;
    };

    void installScreens();
    void bringForward(QWidget *screen);
    void paintBackground();
    void askAdvocateName();
    void restoreWindow();
    void saveWindow();
    void restoreScreen(QWidget *screen, bool small);
    void saveScreen(QWidget *frame);

    Ui::MainWindow *ui;
    QHash<QString, Screen> m_screens;
    QHash<QString, ScreenOpener> m_openers;
    QList<QKeySequence> m_menuShortcuts;
    bool m_restored = false;
};

} // namespace lexordo
