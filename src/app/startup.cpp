#include "startup.h"

#include "loginscreen.h"
#include "mainwindow.h"
#include "qtmessenger.h"
#include "splash.h"

#include <browser/webpageview.h>
#include <data/database.h>
#include <data/dataerror.h>
#include <data/datasource.h>
#include <data/diaryfolder.h>
#include <data/messenger.h>
#include <data/schemacheck.h>
#include <QApplication>
#include <QFileInfo>
#include <QScreen>
#include <reminders/reminderwindow.h>
#include <widgets/screenhost.h>

namespace lexordo {

QString programFolder()
{
    return QCoreApplication::applicationDirPath();
}

bool prepareDatabase(const QString &folder)
{
    const DataSource::Outcome outcome = DataSource::ensureRegistered(folder);
    switch (outcome) {
    case DataSource::Outcome::Unusable:
        return false; // already told; no other diary stands in for the one it should name
    case DataSource::Outcome::FileMissing:
        return true; // already told; the program starts without its database
    case DataSource::Outcome::Registered:
        break; // said below, once the diary has opened
    case DataSource::Outcome::Failed:
        showMessage(QStringLiteral("The data source \"%1\" could not be written to %2; the "
                                   "diary %3 is used this time only.")
                        .arg(DataSource::name, DataSource::catalogueFile(),
                             DataSource::defaultDatabase(folder)),
                    Messenger::Buttons::Ok, Messenger::Icon::Exclamation);
        break;
    case DataSource::Outcome::AlreadyRegistered:
        break;
    }
    DataSource::Diary diary;
    try {
        diary = DataSource::diary(folder);
        SchemaCheck::open(diary);
    } catch (const DataError &e) {
        showMessage(e.description(), Messenger::Buttons::Ok, Messenger::Icon::Critical);
        // A missing file leaves the program to start without its database, as
        // on the first start; a file that is there but is no diary stops it
        // before any screen would fail on it, and so does a server diary that
        // cannot be reached: no screen could work without it.
        return !diary.server && !diary.file.isEmpty() && !QFileInfo::exists(diary.file);
    }
    if (outcome == DataSource::Outcome::Registered)
        showMessage(DataSource::registeredMessage(diary.file), Messenger::Buttons::Ok,
                    Messenger::Icon::Information);
    return true;
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

    // The login needs the database: say at once why it cannot be reached, and
    // go no further with a file that is not a diary.
    if (!prepareDatabase(diaryfolder::prepare(programFolder()))) {
        setMessenger(nullptr);
        return 1;
    }

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
