#include "startup.h"

#include "loginscreen.h"
#include "mainwindow.h"
#include "qtmessenger.h"
#include "splash.h"

#include <data/database.h>
#include <data/dataerror.h>
#include <data/datasource.h>
#include <browser/webpageview.h>
#include <data/diaryfolder.h>
#include <data/messenger.h>
#include <QApplication>
#include <QScreen>
#include <reminders/reminderwindow.h>
#include <widgets/screenhost.h>

namespace lexordo {

QString programFolder()
{
    return QCoreApplication::applicationDirPath();
}

std::optional<QString> prepareDatabase(const QString &folder)
{
    DataSource::ensureRegistered(folder);
    try {
        Database::open(DataSource::databasePath(folder));
    } catch (const DataError &e) {
        return e.description();
    }
    return std::nullopt;
}

namespace {

// The start-up windows stand in the middle of the screen, as the splash does.
void centreOnScreen(QWidget *window)
{
    if (const QScreen *screen = window->screen()) {
        window->adjustSize();
        window->move(screen->availableGeometry().center() - window->rect().center());
    }
}

} // namespace

StartUp::StartUp(QObject *parent) : QObject(parent)
{
    // However the reminder window closes, the main window comes up.
    ReminderWindow::setOnClosed([this] { openMainWindow(); });
}

StartUp::~StartUp()
{
    ReminderWindow::setOnClosed(nullptr);
}

Splash *StartUp::splash() const
{
    return m_splash;
}

LoginScreen *StartUp::login() const
{
    return m_login;
}

MainWindow *StartUp::mainWindow() const
{
    return m_mainWindow;
}

void StartUp::begin()
{
    m_splash = new Splash([this] { openLogin(); });
    m_splash->show();
}

void StartUp::openLogin()
{
    m_login = new LoginScreen;
    connect(m_login, &LoginScreen::accepted, this, &StartUp::openReminders);
    connect(m_login, &LoginScreen::left, this, &StartUp::finish);
    centreOnScreen(m_login);
    m_login->show();
    m_login->activateWindow();
}

void StartUp::openReminders()
{
    ReminderWindow *reminders = ReminderWindow::open();
    centreOnScreen(reminders);
}

void StartUp::openMainWindow()
{
    if (m_finished)
        return;
    if (!m_mainWindow) {
        m_mainWindow = new MainWindow;
        m_mainWindow->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_mainWindow, &QObject::destroyed, this, &StartUp::finish);
    }
    m_mainWindow->show();
    m_mainWindow->raise();
    m_mainWindow->activateWindow();
}

void StartUp::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    // A reminder window opened from the menu goes with the program.
    if (ReminderWindow *reminders = ReminderWindow::current())
        reminders->close();
    emit finished();
}

int runDesktop(int &argc, char **argv)
{
    prepareWebEngine();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lexordo"));
    QApplication::setApplicationDisplayName(QStringLiteral("Lexordo"));
    QApplication::setApplicationVersion(QStringLiteral("2.0"));

    QtMessenger screenMessenger;
    setMessenger(&screenMessenger);

    // The login needs the database: say at once why it cannot be reached.
    if (const std::optional<QString> error = prepareDatabase(diaryfolder::prepare(programFolder())))
        showMessage(*error, Messenger::Buttons::Ok, Messenger::Icon::Critical);

    int result = 0;
    {
        StartUp startUp;
        QObject::connect(&startUp, &StartUp::finished, &app, &QCoreApplication::quit,
                         Qt::QueuedConnection);
        startUp.begin();
        result = QApplication::exec();
    }
    setMessenger(nullptr);
    Database::close();
    return result;
}

} // namespace lexordo
