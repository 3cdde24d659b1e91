#include "mainwindow.h"

#include "ui_mainwindow.h"

#include <data/dataerror.h>
#include <data/messenger.h>
#include <diary/caseregister.h>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <registers/courtsregister.h>
#include <registers/holidaysregister.h>

static void initResources()
{
    Q_INIT_RESOURCE(app);
}

namespace lexordo {

namespace {

void runGuarded(const std::function<void()> &command)
{
    try {
        command();
    } catch (const DataError &e) {
        showMessage(e.description());
    } catch (const std::exception &e) {
        showMessage(QString::fromLocal8Bit(e.what()));
    }
}

} // namespace

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent), ui(new Ui::MainWindow)
{
    initResources();
    ui->setupUi(this);
    setWindowIcon(QIcon(QStringLiteral(":/images/logo.png")));
    ui->mdiArea->setBackground(QBrush(QPixmap(QStringLiteral(":/images/background.png"))));

    // Every entry waits for its screen; Exit is always there.
    const auto entries = findChildren<QAction *>();
    for (QAction *action : entries) {
        if (action->menu() || action->isSeparator())
            continue;
        action->setEnabled(false);
        if (!action->shortcut().isEmpty())
            m_menuShortcuts.append(action->shortcut());
    }
    ui->mnuexit->setEnabled(true);
    connect(ui->mnuexit, &QAction::triggered, this, &QWidget::close);

    installScreens();

    ScreenHost::setCurrent(this);
    qApp->installEventFilter(this);
}

MainWindow::~MainWindow()
{
    if (ScreenHost::current() == this)
        ScreenHost::setCurrent(nullptr);
    delete ui;
}

// The screens built so far, each behind its menu entry.
void MainWindow::installScreens()
{
    setScreenFactory(
        QStringLiteral("mnucentery"), CaseDiary::screenName, [] { return new CaseRegister; },
        OpenMode::LoadAndShow);
    setScreenFactory(QStringLiteral("mnuCEntry"), QStringLiteral("frmCourts"),
                     [] { return new CourtsRegister; });
    setScreenFactory(QStringLiteral("mnuHoli"), QStringLiteral("frmHdays"),
                     [] { return new HolidaysRegister; });
}

QMdiArea *MainWindow::mdiArea() const
{
    return ui->mdiArea;
}

QAction *MainWindow::menuEntry(const QString &entry) const
{
    return findChild<QAction *>(entry);
}

void MainWindow::addScreen(const QString &screenName, ScreenFactory factory, Placement placement)
{
    Screen &screen = m_screens[screenName];
    screen.factory = std::move(factory);
    screen.placement = placement;
}

void MainWindow::setMenuEntry(const QString &entry, const QString &screenName, OpenMode mode)
{
    setMenuCommand(entry, [this, screenName, mode] { openScreen(screenName, mode); });
}

void MainWindow::setScreenFactory(const QString &entry, const QString &screenName,
                                  ScreenFactory factory, OpenMode mode, Placement placement)
{
    addScreen(screenName, std::move(factory), placement);
    setMenuEntry(entry, screenName, mode);
}

void MainWindow::setMenuCommand(const QString &entry, std::function<void()> command)
{
    QAction *action = menuEntry(entry);
    if (!action)
        return;
    action->disconnect(this);
    connect(action, &QAction::triggered, this, [command] { runGuarded(command); });
    action->setEnabled(true);
}

QWidget *MainWindow::findScreen(const QString &screenName) const
{
    const auto it = m_screens.constFind(screenName);
    if (it == m_screens.constEnd() || !it->open)
        return nullptr;
    // A closed window waits to be deleted; it no longer counts as open.
    QWidget *frame = qobject_cast<QMdiSubWindow *>(it->open->parentWidget());
    if (!frame)
        frame = it->open;
    return frame->isHidden() ? nullptr : it->open.data();
}

QWidget *MainWindow::openScreen(const QString &screenName)
{
    return openScreen(screenName, OpenMode::Load);
}

QWidget *MainWindow::openScreen(const QString &screenName, OpenMode mode)
{
    if (QWidget *open = findScreen(screenName)) {
        bringForward(open);
        return open;
    }
    const auto it = m_screens.find(screenName);
    if (it == m_screens.end() || !it->factory)
        return nullptr;

    QWidget *screen = nullptr;
    runGuarded([&] { screen = it->factory(); });
    if (!screen)
        return nullptr;
    if (screen->objectName().isEmpty())
        screen->setObjectName(screenName);
    it->open = screen;

    if (it->placement == Placement::Child) {
        QMdiSubWindow *frame = ui->mdiArea->addSubWindow(screen);
        frame->setAttribute(Qt::WA_DeleteOnClose);
        frame->setWindowIcon(windowIcon());
        frame->show();
    } else {
        screen->setParent(this, Qt::Window);
        screen->setAttribute(Qt::WA_DeleteOnClose);
        screen->show();
    }
    if (mode != OpenMode::Load)
        bringForward(screen);
    return screen;
}

void MainWindow::bringForward(QWidget *screen)
{
    if (auto *frame = qobject_cast<QMdiSubWindow *>(screen->parentWidget())) {
        if (frame->isMinimized())
            frame->showNormal();
        frame->show();
        ui->mdiArea->setActiveSubWindow(frame);
        frame->raise();
    } else {
        screen->show();
        screen->raise();
        screen->activateWindow();
    }
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Every screen closes with the main window; one that keeps unsaved work
    // open (the user chose Cancel) keeps the main window open too.
    const auto frames = ui->mdiArea->subWindowList();
    for (QMdiSubWindow *frame : frames) {
        if (!frame->close()) {
            event->ignore();
            return;
        }
    }
    for (const Screen &screen : std::as_const(m_screens)) {
        if (screen.open && screen.placement == Placement::SeparateWindow &&
            !screen.open->isHidden() && !screen.open->close()) {
            event->ignore();
            return;
        }
    }
    event->accept();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    // The menu's shortcuts work from anywhere in the window, even where a
    // text box would take the key for itself (Ctrl+E, Ctrl+B ...).
    if (event->type() == QEvent::ShortcutOverride) {
        auto *widget = qobject_cast<QWidget *>(watched);
        const auto *key = static_cast<QKeyEvent *>(event);
        if (widget && (widget == this || isAncestorOf(widget)) &&
            m_menuShortcuts.contains(QKeySequence(key->keyCombination()))) {
            event->ignore();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace lexordo
