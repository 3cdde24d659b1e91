#include "support/scriptedmessenger.h"
#include "support/testdatabase.h"

#include <app/loginscreen.h>
#include <app/mainwindow.h>
#include <app/splash.h>
#include <app/startup.h>
#include <data/clock.h>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <reminders/reminderwindow.h>
#include <reports/runtime/reportwindow.h>

using namespace lexordo;
using Answer = Messenger::Answer;

class TestStartUp : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void splashLoginRemindersThenMainWindow();
    void leavingTheLoginEndsTheProgram();
    void printingTheFirstRemindersPutsTheReportInTheMainWindow();

private:
    void addReminder(const QString &date, const QString &time, const QString &work);
    static LoginScreen *passSplash(StartUp &startUp);
    static void settle();

    std::unique_ptr<test::TestDatabase> m_db;
    std::unique_ptr<ScriptedMessenger> m_messages;
};

void TestStartUp::init()
{
    m_db = std::make_unique<test::TestDatabase>();
    m_messages = std::make_unique<ScriptedMessenger>();
    Clock::setToday(QDate(2026, 12, 7));
}

void TestStartUp::cleanup()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        w->close();
    settle();
    const int unanswered = m_messages->unansweredCount();
    const int pending = m_messages->pendingAnswers();
    m_messages.reset();
    m_db.reset();
    Clock::reset();
    QCOMPARE(unanswered, 0);
    QCOMPARE(pending, 0);
}

void TestStartUp::addReminder(const QString &date, const QString &time, const QString &work)
{
    QSqlQuery query(QSqlDatabase::database(QStringLiteral("advocate")));
    QVERIFY(query.prepare(
        QStringLiteral("INSERT INTO reminder (\"REMDate\", \"Time\", \"Work\") VALUES (?, ?, ?)")));
    query.addBindValue(date);
    query.addBindValue(time);
    query.addBindValue(work);
    QVERIFY(query.exec());
}

LoginScreen *TestStartUp::passSplash(StartUp &startUp)
{
    startUp.begin();
    QPointer<Splash> splash = startUp.splash();
    if (!splash || !splash->isVisible() || startUp.login())
        return nullptr;
    QTest::mouseClick(splash->findChild<QWidget *>(QStringLiteral("Frame1")), Qt::LeftButton);
    settle();
    if (!splash.isNull())
        return nullptr;
    return startUp.login();
}

void TestStartUp::settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

void TestStartUp::splashLoginRemindersThenMainWindow()
{
    addReminder("2026-12-06", "10:00:00", "yesterday's");
    addReminder("2026-12-07", "16:00:00", "file the reply");
    addReminder("2026-12-07", "09:30:00", "call the client");
    addReminder("2026-12-08", "10:00:00", "tomorrow's");

    StartUp startUp;
    QSignalSpy finished(&startUp, &StartUp::finished);
    QPointer<LoginScreen> login = passSplash(startUp);
    QVERIFY(login);
    QVERIFY(login->isVisible());
    QVERIFY(!ReminderWindow::current());
    QVERIFY(!startUp.mainWindow());

    // A wrong password, OK, and the login waits for another try.
    auto *password = login->findChild<QLineEdit *>(QStringLiteral("txtpassword"));
    QTest::keyClicks(password, "lexordo1");
    m_messages->answer(Answer::Ok);
    QTest::keyClick(password, Qt::Key_Return);
    QCOMPARE(m_messages->lastText(), QStringLiteral("You have entered wrong username/password"));
    QVERIFY(login->isVisible());
    QVERIFY(!ReminderWindow::current());

    password->clear();
    QTest::keyClicks(password, " lexordo");
    QTest::keyClick(password, Qt::Key_Return);
    settle();
    QVERIFY(login.isNull());
    QPointer<ReminderWindow> reminders = ReminderWindow::current();
    QVERIFY(reminders);
    QVERIFY(reminders->isVisible());
    QVERIFY(!startUp.mainWindow());
    QCOMPARE(reminders->findChild<QLabel *>(QStringLiteral("lblDate"))->text(),
             QStringLiteral("07/12/2026"));
    QCOMPARE(reminders->list().times, (QStringList{"4:00 PM", "9:30 AM"}));
    QCOMPARE(reminders->list().works, (QStringList{"file the reply", "call the client"}));

    // Enter on the fresh reminder window brings up the main window.
    QTest::keyClick(reminders, Qt::Key_Return);
    settle();
    QVERIFY(reminders.isNull());
    QPointer<MainWindow> main = startUp.mainWindow();
    QVERIFY(main);
    QVERIFY(main->isVisible());
    QCOMPARE(finished.count(), 0);

    for (const char *entry : {"mnuRemEnt", "mnuSeeReminder", "mnuChPass"})
        QVERIFY2(main->menuEntry(QLatin1String(entry))->isEnabled(), entry);

    // See Reminder opens the window again; closing it keeps the one main window.
    main->menuEntry(QStringLiteral("mnuSeeReminder"))->trigger();
    QVERIFY(ReminderWindow::current());
    QVERIFY(ReminderWindow::current()->isVisible());
    QTest::mouseClick(ReminderWindow::current(), Qt::LeftButton);
    settle();
    QVERIFY(!ReminderWindow::current());
    QCOMPARE(startUp.mainWindow(), main.data());
    QCOMPARE(main->mdiArea()->subWindowList().size(), 0);

    main->menuEntry(QStringLiteral("mnuRemEnt"))->trigger();
    QVERIFY(main->findScreen(QStringLiteral("frmRemEnt")));
    main->menuEntry(QStringLiteral("mnuChPass"))->trigger();
    QVERIFY(main->findScreen(QStringLiteral("frmChPass")));

    // Closing the main window ends the program.
    main->close();
    settle();
    QVERIFY(main.isNull());
    QCOMPARE(finished.count(), 1);
}

void TestStartUp::leavingTheLoginEndsTheProgram()
{
    {
        StartUp startUp;
        QSignalSpy finished(&startUp, &StartUp::finished);
        QPointer<LoginScreen> login = passSplash(startUp);
        QVERIFY(login);
        QTest::mouseClick(login->findChild<QPushButton *>(QStringLiteral("cmdcancel")),
                          Qt::LeftButton);
        settle();
        QCOMPARE(finished.count(), 1);
        QVERIFY(!ReminderWindow::current());
        QVERIFY(!startUp.mainWindow());
    }
    {
        StartUp startUp;
        QSignalSpy finished(&startUp, &StartUp::finished);
        QPointer<LoginScreen> login = passSplash(startUp);
        QVERIFY(login);
        // The right password with a wrong user name, then Cancel.
        login->findChild<QLineEdit *>(QStringLiteral("txtusername"))->setText("clerk ");
        QTest::keyClicks(login->findChild<QLineEdit *>(QStringLiteral("txtpassword")), "lexordo");
        m_messages->answer(Answer::Cancel);
        QTest::mouseClick(login->findChild<QPushButton *>(QStringLiteral("cmdok")), Qt::LeftButton);
        settle();
        QVERIFY(login.isNull());
        QCOMPARE(finished.count(), 1);
        QVERIFY(!ReminderWindow::current());
        QVERIFY(!startUp.mainWindow());
    }
}

void TestStartUp::printingTheFirstRemindersPutsTheReportInTheMainWindow()
{
    addReminder("2026-12-07", "11:00:00", "see the judge");
    StartUp startUp;
    QPointer<LoginScreen> login = passSplash(startUp);
    QVERIFY(login);
    QTest::keyClicks(login->findChild<QLineEdit *>(QStringLiteral("txtpassword")), "lexordo");
    QTest::mouseClick(login->findChild<QPushButton *>(QStringLiteral("cmdok")), Qt::LeftButton);
    QPointer<ReminderWindow> reminders = ReminderWindow::current();
    QVERIFY(reminders);
    QTest::mouseClick(reminders->findChild<QPushButton *>(QStringLiteral("cmdshowrepo")),
                      Qt::LeftButton);
    settle();
    QVERIFY(reminders.isNull());
    MainWindow *main = startUp.mainWindow();
    QVERIFY(main);
    QVERIFY(main->isVisible());
    const QList<QMdiSubWindow *> frames = main->mdiArea()->subWindowList();
    QCOMPARE(frames.size(), 1);
    auto *report = qobject_cast<report::ReportWindow *>(frames.first()->widget());
    QVERIFY(report);
    QCOMPARE(report->windowTitle(), QStringLiteral("Reminder Printing"));
    QCOMPARE(report->document()
                 .pages.first()
                 .find(QStringLiteral("Section1"), QStringLiteral("lblp1"))
                 ->text,
             QStringLiteral("see the judge"));
}

QTEST_MAIN(TestStartUp)
#include "tst_startup.moc"
