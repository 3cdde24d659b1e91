#include "mainwindow.h"

#include "backupscreen.h"
#include "passwordchange.h"
#include "restore.h"
#include "transferactions.h"
#include "ui_mainwindow.h"

#include <accounts/accountledger.h>
#include <accounts/billscreen.h>
#include <accounts/feestatementscreen.h>
#include <accounts/receiptscreen.h>
#include <browser/browser.h>
#include <data/dataerror.h>
#include <data/messenger.h>
#include <data/officesettings.h>
#include <diary/caseregister.h>
#include <diary/casesearch.h>
#include <diary/conversionscreen.h>
#include <diary/courtlistscreen.h>
#include <diary/searchnextblank.h>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QRadialGradient>
#include <QScreen>
#include <QSettings>
#include <registers/clientsregister.h>
#include <registers/courtsregister.h>
#include <registers/directoryregister.h>
#include <registers/holidaysregister.h>
#include <registers/rulingslibrary.h>
#include <registers/searchdirectory.h>
#include <registers/searchrulings.h>
#include <reminders/reminderentry.h>
#include <reminders/reminderwindow.h>
#include <reports/blanknextdatereport.h>
#include <reports/casereport.h>
#include <reports/casesummary.h>
#include <reports/currentdatereport.h>
#include <reports/nextdatereport.h>
#include <reports/runtime/reportwindow.h>
#include <widgets/enterkey.h>
#include <widgets/guard.h>
#include <widgets/screennames.h>

static void initResources()
{
    Q_INIT_RESOURCE(app);
}

namespace lexordo {

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent), ui(new Ui::MainWindow)
{
    initResources();
    ui->setupUi(this);
    setWindowIcon(QIcon(QStringLiteral(":/images/logo.png")));
    ui->mdiArea->viewport()->installEventFilter(this);
    // Each screen opens at its own size and state: one maximised screen does
    // not make the next one opened, or the one brought forward, fill the
    // workspace too (and cover the others with no frame to move it by).
    ui->mdiArea->setOption(QMdiArea::DontMaximizeSubWindowOnActivation);
    paintBackground();

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
    setMenuCommand(QStringLiteral("mnuAdvocateName"), [this] { askAdvocateName(); });

    installScreens();

    ScreenHost::setCurrent(this);
    qApp->installEventFilter(this);
}

MainWindow::~MainWindow()
{
    report::ReportWindow::setHost(nullptr);
    if (ScreenHost::current() == this)
        ScreenHost::setCurrent(nullptr);
    delete ui;
}

// The screens built so far, each behind its menu entry.
void MainWindow::installScreens()
{
    setScreenFactory(
        QStringLiteral("mnucentery"), screens::caseRegister, [] { return new CaseRegister; },
        OpenMode::LoadAndShow);
    setScreenFactory(QStringLiteral("mnuCEntry"), screens::courts,
                     [] { return new CourtsRegister; });
    setScreenFactory(QStringLiteral("mnuHoli"), screens::holidays,
                     [] { return new HolidaysRegister; });
    setScreenFactory(QStringLiteral("mnuCInfo"), screens::clients,
                     [] { return new ClientsRegister; });
    setScreenFactory(QStringLiteral("mnuRulings"), screens::rulings,
                     [] { return new RulingsLibrary; });
    addScreen(
        screens::searchRulings, [] { return new SearchRulings; }, Placement::SeparateWindow);
    setScreenFactory(QStringLiteral("mnuDirectory"), screens::directory,
                     [] { return new DirectoryRegister; });
    addScreen(
        screens::searchDirectory, [] { return new SearchDirectory; }, Placement::SeparateWindow);

    setScreenFactory(QStringLiteral("mnuFtrans"), screens::accountLedger,
                     [] { return new AccountLedger; });
    setScreenFactory(QStringLiteral("mnuBill"), screens::bill, [] { return new BillScreen; });
    setScreenFactory(QStringLiteral("mnuReceipt"), screens::receipt,
                     [] { return new ReceiptScreen; });
    setScreenFactory(
        QStringLiteral("mnuINfo"), screens::feeStatement, [] { return new FeeStatementScreen; },
        OpenMode::Load, Placement::Dialog);
    setScreenFactory(QStringLiteral("mnuRemEnt"), screens::reminderEntry,
                     [] { return new ReminderEntry; });
    setMenuCommand(QStringLiteral("mnuSeeReminder"), [] { ReminderWindow::open(); });
    setScreenFactory(
        QStringLiteral("mnuChPass"), screens::passwordChange, [] { return new PasswordChange; },
        OpenMode::ShowOnly, Placement::SeparateWindow);

    addScreen(
        screens::caseSearch, [] { return new CaseSearch; }, Placement::Dialog);
    addScreen(
        screens::searchNextBlank, [] { return new SearchNextBlank; }, Placement::Dialog);
    addScreen(screens::conversion, [] { return new ConversionScreen; });
    setMenuCommand(QStringLiteral("mnuNextDate1"), [] { startConversion(); });

    // The report screens ask for a date or two: small windows at their own size.
    setScreenFactory(
        QStringLiteral("mnuDDates"), screens::currentDateReport,
        [] { return new CurrentDateReport; }, OpenMode::Load, Placement::Dialog);
    setScreenFactory(
        QStringLiteral("mnuPostDated"), screens::nextDateReport, [] { return new NextDateReport; },
        OpenMode::LoadAndShow, Placement::Dialog);
    setScreenFactory(
        QStringLiteral("mnuBalnk"), screens::blankNextDateReport,
        [] { return new BlankNextDateReport; }, OpenMode::Load, Placement::Dialog);
    setScreenFactory(
        QStringLiteral("mnuDetailsPart"), screens::partyHistory, [] { return new CaseReport; },
        OpenMode::ShowOnly, Placement::Dialog);
    // The case register shows a party's history, and the clients of its case.
    addScreenOpener(screens::partyHistory,
                    [](const QVariant &argument) { return showCaseReport(argument); });
    // The court's list screen prints the day's cause list with the court's items.
    addScreenOpener(screens::nextDateReport,
                    [](const QVariant &argument) { return showCauseListWithCourtItems(argument); });
    addScreenOpener(screens::clients, [this](const QVariant &argument) {
        return ClientsRegister::openOnClientsOf(*this, argument);
    });
    setScreenFactory(
        QStringLiteral("mnuSummary"), screens::caseSummary, [] { return new CaseSummary; },
        OpenMode::Load, Placement::Dialog);

    // CSV export and import act on the table of the screen in front.
    const auto screenInFront = [this]() -> QWidget * {
        QMdiSubWindow *frame = ui->mdiArea->currentSubWindow();
        return frame ? frame->widget() : nullptr;
    };
    setMenuCommand(QStringLiteral("mnuExportCsv"),
                   [this, screenInFront] { transfer::exportScreenTable(screenInFront(), this); });
    setMenuCommand(QStringLiteral("mnuImportCsv"), [this, screenInFront] {
        transfer::importIntoScreenTable(screenInFront(), this);
    });
    setScreenFactory(
        QStringLiteral("mnuCheckCourtList"), screens::courtList, [] { return new CourtListScreen; },
        OpenMode::LoadAndShow);
    setMenuCommand(QStringLiteral("mnuCalendar"),
                   [this] { transfer::exportHearingsToCalendar(this); });
    setScreenFactory(
        QStringLiteral("mnubackup"), screens::backup, [] { return new BackupScreen; },
        OpenMode::ShowOnly, Placement::SeparateWindow);
    setMenuCommand(QStringLiteral("mnuRestore"), [this] {
        restoreDiary(chooseBackupFile(this), [this] { return closeAllScreens(); });
    });
    setScreenFactory(
        QStringLiteral("mnuBrowser"), screens::browser, [] { return new Browser; },
        OpenMode::LoadAndShow);

    // Reports open as child windows too.
    report::ReportWindow::setHost([this](QWidget *window) {
        QMdiSubWindow *frame = ui->mdiArea->addSubWindow(window);
        frame->setAttribute(Qt::WA_DeleteOnClose);
        // A report takes most of the workspace; its screen stays open behind it.
        const QSize room = ui->mdiArea->viewport()->size();
        frame->setGeometry(QRect(QPoint(room.width() / 40, room.height() / 40), room * 0.95));
        frame->show();
        ui->mdiArea->setActiveSubWindow(frame);
    });
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
    connect(action, &QAction::triggered, this,
            [command = std::move(command)] { guardAction(command); });
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

QWidget *MainWindow::openScreen(const QString &screenName, const QVariant &argument)
{
    const auto it = m_openers.constFind(screenName);
    return it == m_openers.constEnd() ? nullptr : (*it)(argument);
}

void MainWindow::addScreenOpener(const QString &screenName, ScreenOpener opener)
{
    m_openers.emplace(screenName, std::move(opener));
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
    guardAction([&] { screen = it->factory(); });
    if (!screen)
        return nullptr;
    if (screen->objectName().isEmpty())
        screen->setObjectName(screenName);
    it->open = screen;
    pressButtonsOnEnter(screen);

    if (it->placement != Placement::SeparateWindow) {
        const bool small = it->placement == Placement::Dialog;
        // A small window is not maximised along with a maximised screen.
        QMdiSubWindow *frame = ui->mdiArea->addSubWindow(
            screen, small ? Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                          : Qt::WindowFlags());
        frame->setAttribute(Qt::WA_DeleteOnClose);
        frame->setWindowIcon(windowIcon());
        frame->show();
        restoreScreen(screen, small);
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

// --- window places, kept between runs ------------------------------------------------------

namespace {

QSettings windowSettings()
{
    return QSettings(QStringLiteral("Lexordo"), QStringLiteral("Lexordo"));
}

// A rectangle moved and shrunk, as little as needed, to lie within `room`.
QRect within(QRect rect, const QRect &room)
{
    rect.setWidth(std::min(rect.width(), room.width()));
    rect.setHeight(std::min(rect.height(), room.height()));
    rect.moveLeft(std::clamp(rect.left(), room.left(), room.right() - rect.width() + 1));
    rect.moveTop(std::clamp(rect.top(), room.top(), room.bottom() - rect.height() + 1));
    return rect;
}

} // namespace

void MainWindow::showEvent(QShowEvent *event)
{
    if (!m_restored) {
        m_restored = true;
        restoreWindow();
    }
    QMainWindow::showEvent(event);
}

void MainWindow::restoreWindow()
{
    QSettings settings = windowSettings();
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QRect room = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const QRect saved = settings.value(QStringLiteral("window/geometry")).toRect();
    // The window manager's frame takes some room of its own around the window.
    const QMargins frame(8, 30, 8, 8);
    const QRect inner = room.marginsRemoved(frame);
    setGeometry(within(saved.isValid() ? saved : QRect(inner.topLeft(), size()), inner));
    if (settings.value(QStringLiteral("window/maximized")).toBool())
        setWindowState(windowState() | Qt::WindowMaximized);
}

void MainWindow::saveWindow()
{
    QSettings settings = windowSettings();
    settings.setValue(QStringLiteral("window/geometry"), normalGeometry());
    settings.setValue(QStringLiteral("window/maximized"), isMaximized());
}

void MainWindow::restoreScreen(QWidget *screen, bool small)
{
    auto *frame = qobject_cast<QMdiSubWindow *>(screen->parentWidget());
    if (!frame)
        return;
    const QRect room = ui->mdiArea->viewport()->rect();
    QSettings settings = windowSettings();
    const QString key = QStringLiteral("screens/") + screen->objectName();
    const QRect saved = settings.value(key + QStringLiteral("/geometry")).toRect();
    const bool maximized = !small && settings.value(key + QStringLiteral("/maximized")).toBool();
    if (frame->isMaximized() && !maximized)
        frame->showNormal();
    if (small) {
        // A small window keeps its natural size; only its place is remembered.
        frame->resize(frame->sizeHint().boundedTo(room.size()));
        if (saved.isValid())
            frame->setGeometry(within(QRect(saved.topLeft(), frame->size()), room));
        else
            frame->move(room.center() - frame->rect().center());
    } else if (saved.isValid()) {
        frame->setGeometry(within(saved, room));
    } else if (!room.contains(frame->geometry())) {
        frame->setGeometry(within(frame->geometry(), room));
    }
    if (maximized)
        frame->showMaximized();
}

void MainWindow::saveScreen(QWidget *frame)
{
    auto *window = qobject_cast<QMdiSubWindow *>(frame);
    if (!window || window->mdiArea() != ui->mdiArea || !window->widget() ||
        window->widget()->objectName().isEmpty())
        return;
    QSettings settings = windowSettings();
    const QString key = QStringLiteral("screens/") + window->widget()->objectName();
    const bool maximized = window->isMaximized();
    if (!maximized && !window->isMinimized())
        settings.setValue(key + QStringLiteral("/geometry"), window->geometry());
    settings.setValue(key + QStringLiteral("/maximized"), maximized);
}

void MainWindow::askAdvocateName()
{
    const std::optional<QString> name =
        askInput(QStringLiteral("The advocate's name, printed at the head of the cause lists:"),
                 QStringLiteral("Advocate's Name"), office::advocateName());
    if (name)
        office::setAdvocateName(*name);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Every screen closes with the main window; one that keeps unsaved work
    // open (the user chose Cancel) keeps the main window open too.
    if (closeAllScreens()) {
        saveWindow();
        event->accept();
    } else {
        event->ignore();
    }
}

bool MainWindow::closeAllScreens()
{
    const auto frames = ui->mdiArea->subWindowList();
    for (QMdiSubWindow *frame : frames) {
        if (!frame->close())
            return false;
    }
    for (const Screen &screen : std::as_const(m_screens)) {
        if (screen.open && screen.placement == Placement::SeparateWindow &&
            !screen.open->isHidden() && !screen.open->close())
            return false;
    }
    return true;
}

// The workspace's picture: a warm paper tone with the office's emblem faintly
// in the middle, drawn for the workspace's size.
void MainWindow::paintBackground()
{
    const QSize size = ui->mdiArea->viewport()->size().expandedTo(QSize(1, 1));
    QPixmap picture(size);
    QPainter painter(&picture);
    const QPointF centre(size.width() / 2.0, size.height() / 2.0);
    QRadialGradient paper(centre, std::max(size.width(), size.height()) * 0.75);
    paper.setColorAt(0.0, QColor(0xf3, 0xf0, 0xe9));
    paper.setColorAt(1.0, QColor(0xdc, 0xd6, 0xc8));
    painter.fillRect(picture.rect(), paper);
    const int side = std::min(size.width(), size.height()) * 2 / 5;
    if (side > 16) {
        painter.setOpacity(0.09);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(QRect(QPoint(int(centre.x()) - side / 2, int(centre.y()) - side / 2),
                                 QSize(side, side)),
                           QPixmap(QStringLiteral(":/images/logo.png")));
    }
    painter.end();
    ui->mdiArea->setBackground(picture);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->mdiArea->viewport() && event->type() == QEvent::Resize)
        paintBackground();
    // Each screen's place is kept when it closes, for the next time it opens.
    if (event->type() == QEvent::Close && qobject_cast<QMdiSubWindow *>(watched))
        saveScreen(static_cast<QWidget *>(watched));
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
