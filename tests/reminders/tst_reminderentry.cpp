#include "support/scriptedmessenger.h"
#include "support/testdatabase.h"

#include <data/clock.h>
#include <data/recordset.h>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <reminders/reminderentry.h>
#include <reminders/reminderwindow.h>

using namespace lexordo;
using Answer = Messenger::Answer;

class TestReminderEntry : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void screenAsTheOfficeKnowsIt();
    void emptyTableOpensLockedAndFirstLastDoNothing();
    void opensOnTheLastReminderWithItsFormats();
    void addTypedWithEnterAndSaved();
    void modifyFlagDecidesHowSaveStores();
    void refusedSaveStaysInEditWithEverythingTyped();
    void searchByDate();
    void deleteKeepsTheSearchAndReloadsOnlyWhenEmpty();
    void printShowsTodaysReminders();

private:
    void addReminder(const QString &date, const QString &time, const QString &work);
    QStringList storedRows() const;
    static QLineEdit *field(QWidget &screen, const char *name);
    static QPushButton *button(QWidget &screen, const char *name);
    static QStringList enabledButtons(QWidget &screen);
    static void click(QWidget &screen, const char *name);

    std::unique_ptr<test::TestDatabase> m_db;
    std::unique_ptr<ScriptedMessenger> m_messages;
};

void TestReminderEntry::init()
{
    m_db = std::make_unique<test::TestDatabase>();
    m_messages = std::make_unique<ScriptedMessenger>();
    Clock::setToday(QDate(2026, 12, 7));
    ReminderWindow::setOnClosed(nullptr);
}

void TestReminderEntry::cleanup()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const int unanswered = m_messages->unansweredCount();
    const int pending = m_messages->pendingAnswers();
    m_messages.reset();
    m_db.reset();
    Clock::reset();
    QCOMPARE(unanswered, 0);
    QCOMPARE(pending, 0);
}

void TestReminderEntry::addReminder(const QString &date, const QString &time, const QString &work)
{
    QSqlQuery query(QSqlDatabase::database(QStringLiteral("advocate")));
    QVERIFY(query.prepare(
        QStringLiteral("INSERT INTO reminder (\"REMDate\", \"Time\", \"Work\") VALUES (?, ?, ?)")));
    query.addBindValue(date);
    query.addBindValue(time);
    query.addBindValue(work);
    QVERIFY(query.exec());
}

QStringList TestReminderEntry::storedRows() const
{
    QSqlQuery query(QSqlDatabase::database(QStringLiteral("advocate")));
    query.exec(QStringLiteral("SELECT \"REMDate\", \"Time\", \"Work\" FROM reminder"));
    QStringList rows;
    while (query.next())
        rows << query.value(0).toString() + u'|' + query.value(1).toString() + u'|' +
                    query.value(2).toString();
    return rows;
}

QLineEdit *TestReminderEntry::field(QWidget &screen, const char *name)
{
    return screen.findChild<QLineEdit *>(QLatin1String(name));
}

QPushButton *TestReminderEntry::button(QWidget &screen, const char *name)
{
    return screen.findChild<QPushButton *>(QLatin1String(name));
}

QStringList TestReminderEntry::enabledButtons(QWidget &screen)
{
    QStringList names;
    for (const char *name : {"cmdadd", "cmdSave", "cmdModify", "cmddelete", "cmdfind", "cmdPrint",
                             "cmdExit", "cmdfirst", "cmdPrevious", "cmdnext", "cmdlast"}) {
        if (button(screen, name)->isEnabled())
            names << QLatin1String(name);
    }
    return names;
}

void TestReminderEntry::click(QWidget &screen, const char *name)
{
    QTest::mouseClick(button(screen, name), Qt::LeftButton);
}

void TestReminderEntry::screenAsTheOfficeKnowsIt()
{
    ReminderEntry screen;
    QCOMPARE(screen.objectName(), QStringLiteral("frmRemEnt"));
    QCOMPARE(screen.windowTitle(), QStringLiteral("Reminder"));
    QCOMPARE(screen.findChild<QLabel *>(QStringLiteral("lblHeading"))->text(),
             QStringLiteral("Reminder Entry"));
    QCOMPARE(screen.recordSet()->objectName(), QStringLiteral("Adodc1"));
    QCOMPARE(screen.recordSet()->source(), RecordSource::table(QStringLiteral("reminder")));

    const QList<QPair<QString, QString>> captions{
        {"cmdadd", "&Add"},       {"cmdSave", "&Save"},    {"cmdModify", "&Modify"},
        {"cmddelete", "&Delete"}, {"cmdfind", "&Search "}, {"cmdPrint", "&Print"},
        {"cmdExit", "E&xit"},     {"cmdfirst", "|<"},      {"cmdPrevious", "<<"},
        {"cmdnext", ">>"},        {"cmdlast", ">|"}};
    for (const auto &[name, caption] : captions)
        QCOMPARE(button(screen, name.toLatin1().constData())->text(), caption);

    // Each field is found by its visible label.
    const QList<QPair<QString, QString>> labels{
        {"Date", "txtDate"}, {"Time", "txtTime"}, {"Remider", "txtReminder"}};
    for (const auto &[text, name] : labels) {
        bool found = false;
        for (QLabel *label : screen.findChildren<QLabel *>()) {
            if (label->text() == text) {
                QCOMPARE(label->buddy(), screen.findChild<QWidget *>(name));
                found = true;
            }
        }
        QVERIFY2(found, qPrintable(text));
    }
    QVERIFY(screen.sizeHint().width() <= 1024 && screen.sizeHint().height() <= 700);
}

void TestReminderEntry::emptyTableOpensLockedAndFirstLastDoNothing()
{
    ReminderEntry screen;
    screen.show();
    for (const char *name : {"txtDate", "txtTime", "txtReminder"}) {
        QVERIFY(field(screen, name)->isReadOnly());
        QVERIFY(field(screen, name)->text().isEmpty());
    }
    QVERIFY(!button(screen, "cmdSave")->isEnabled());
    click(screen, "cmdfirst");
    click(screen, "cmdlast");
    QCOMPARE(screen.recordSet()->rowCount(), 0);
    QCOMPARE(m_messages->texts(), QStringList());
}

void TestReminderEntry::opensOnTheLastReminderWithItsFormats()
{
    addReminder("2026-12-05", "09:30:00", "first");
    addReminder("2026-12-08", "16:00:00", "last stored");
    addReminder("2026-12-01", "00:05:09", "stored third");
    ReminderEntry screen;
    screen.show();
    QCOMPARE(field(screen, "txtDate")->text(), QStringLiteral("01/12/2026"));
    QCOMPARE(field(screen, "txtTime")->text(), QStringLiteral("12:05:09 AM"));
    QCOMPARE(field(screen, "txtReminder")->text(), QStringLiteral("stored third"));
    QCOMPARE(enabledButtons(screen),
             (QStringList{"cmdadd", "cmdModify", "cmddelete", "cmdfind", "cmdPrint", "cmdExit",
                          "cmdfirst", "cmdPrevious", "cmdnext", "cmdlast"}));
    QVERIFY(field(screen, "txtDate")->isReadOnly());

    click(screen, "cmdfirst");
    QCOMPARE(field(screen, "txtTime")->text(), QStringLiteral("9:30:00 AM"));
    click(screen, "cmdnext");
    QCOMPARE(field(screen, "txtTime")->text(), QStringLiteral("4:00:00 PM"));
    QCOMPARE(field(screen, "txtDate")->text(), QStringLiteral("08/12/2026"));
    // Showing a time in its own format is not a change to save.
    QVERIFY(!screen.hasUnsavedChanges());
}

void TestReminderEntry::addTypedWithEnterAndSaved()
{
    addReminder("2026-12-05", "09:30:00", "old");
    ReminderEntry screen;
    screen.show();
    QVERIFY(QTest::qWaitForWindowExposed(&screen));

    m_messages->answer(Answer::Yes);
    click(screen, "cmdadd");
    QCOMPARE(m_messages->lastText(), QStringLiteral("Do you really want to add record"));
    QCOMPARE(enabledButtons(screen), (QStringList{"cmdSave", "cmdPrint", "cmdExit"}));
    QCOMPARE(QApplication::focusWidget(), field(screen, "txtDate"));

    QTest::keyClicks(field(screen, "txtDate"), "07/12/2026");
    QTest::keyClick(field(screen, "txtDate"), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), field(screen, "txtTime"));
    QTest::keyClicks(field(screen, "txtTime"), "4:15 PM");
    QTest::keyClick(field(screen, "txtTime"), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), field(screen, "txtReminder"));
    QTest::keyClicks(field(screen, "txtReminder"), "File vakalat for D'Souza");
    QTest::keyClick(field(screen, "txtReminder"), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), button(screen, "cmdSave"));

    // Enter on Save stores the row and goes on to Add, for the next reminder.
    QTest::keyClick(button(screen, "cmdSave"), Qt::Key_Return);
    QCOMPARE(storedRows(), (QStringList{"2026-12-05|09:30:00|old",
                                        "2026-12-07|16:15:00|File vakalat for D'Souza"}));
    QVERIFY(field(screen, "txtDate")->isReadOnly());
    QVERIFY(!button(screen, "cmdSave")->isEnabled());
    QCOMPARE(field(screen, "txtTime")->text(), QStringLiteral("4:15:00 PM"));
    QCOMPARE(QApplication::focusWidget(), button(screen, "cmdadd"));

    // Enter on Add asks for the next one.
    m_messages->answer(Answer::No);
    QTest::keyClick(button(screen, "cmdadd"), Qt::Key_Return);
    QCOMPARE(m_messages->lastText(), QStringLiteral("Do you really want to add record"));
    QCOMPARE(storedRows().size(), 2);
}

void TestReminderEntry::modifyFlagDecidesHowSaveStores()
{
    addReminder("2026-12-05", "09:30:00", "first");
    addReminder("2026-12-06", "10:00:00", "second");
    ReminderEntry screen;
    screen.show();

    // Add answered No clears the flag and changes nothing else.
    m_messages->answer(Answer::No);
    click(screen, "cmdadd");
    QVERIFY(!screen.modifyFlag());
    QCOMPARE(screen.state(), RecordScreen::State::Browse);
    QCOMPARE(screen.recordSet()->rowCount(), 2);
    QCOMPARE(field(screen, "txtReminder")->text(), QStringLiteral("second"));

    click(screen, "cmdfirst");
    click(screen, "cmdModify");
    QVERIFY(screen.modifyFlag());
    field(screen, "txtReminder")->selectAll();
    QTest::keyClicks(field(screen, "txtReminder"), "first, changed");
    click(screen, "cmdSave");
    QVERIFY(!screen.modifyFlag());
    QCOMPARE(storedRows(),
             (QStringList{"2026-12-05|09:30:00|first, changed", "2026-12-06|10:00:00|second"}));
    // Save goes to the last row, not the one changed.
    QCOMPARE(field(screen, "txtReminder")->text(), QStringLiteral("second"));
    QVERIFY(!button(screen, "cmdSave")->isEnabled());

    // A later Add and Save appends a row.
    m_messages->answer(Answer::Yes);
    click(screen, "cmdadd");
    QTest::keyClicks(field(screen, "txtDate"), "8/12/2026");
    QTest::keyClicks(field(screen, "txtTime"), "11:00");
    QTest::keyClicks(field(screen, "txtReminder"), "third");
    click(screen, "cmdSave");
    QCOMPARE(storedRows().last(), QStringLiteral("2026-12-08|11:00:00|third"));
    QCOMPARE(storedRows().size(), 3);
}

void TestReminderEntry::refusedSaveStaysInEditWithEverythingTyped()
{
    ReminderEntry screen;
    screen.show();
    m_messages->answer(Answer::Yes);
    click(screen, "cmdadd");
    QTest::keyClicks(field(screen, "txtDate"), "31/02/2026");
    QTest::keyClicks(field(screen, "txtTime"), "9:00 AM");
    QTest::keyClicks(field(screen, "txtReminder"), "hearing");
    click(screen, "cmdSave");
    QCOMPARE(m_messages->lastText(),
             QStringLiteral("Date: \"31/02/2026\" is not a valid date. Please correct it."));
    QCOMPARE(enabledButtons(screen), (QStringList{"cmdSave", "cmdPrint", "cmdExit"}));
    QCOMPARE(field(screen, "txtDate")->text(), QStringLiteral("31/02/2026"));
    QVERIFY(storedRows().isEmpty());

    // The database itself refuses the row: its own words are shown.
    m_db->exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON reminder BEGIN "
                              "SELECT RAISE(ABORT, 'the disk is full'); END"));
    field(screen, "txtDate")->selectAll();
    QTest::keyClicks(field(screen, "txtDate"), "28/02/2026");
    click(screen, "cmdSave");
    QVERIFY2(m_messages->lastText().contains(QStringLiteral("the disk is full")),
             qPrintable(m_messages->lastText()));
    QCOMPARE(enabledButtons(screen), (QStringList{"cmdSave", "cmdPrint", "cmdExit"}));
    QVERIFY(!field(screen, "txtDate")->isReadOnly());
    QCOMPARE(field(screen, "txtReminder")->text(), QStringLiteral("hearing"));
    QVERIFY(storedRows().isEmpty());

    // Once the cause is gone, Save again stores what was typed.
    m_db->exec(QStringLiteral("DROP TRIGGER refuse"));
    click(screen, "cmdSave");
    QCOMPARE(storedRows(), QStringList{"2026-02-28|09:00:00|hearing"});
    QVERIFY(!button(screen, "cmdSave")->isEnabled());
}

void TestReminderEntry::searchByDate()
{
    addReminder("2026-12-05", "09:30:00", "a");
    addReminder("2026-12-07", "10:00:00", "b");
    addReminder("2026-12-07", "11:00:00", "c");
    ReminderEntry screen;
    screen.show();

    m_messages->cancelInput();
    click(screen, "cmdfind");
    QCOMPARE(m_messages->texts(),
             (QStringList{"Enter the Reminder Date ", "Enter the date in dd/mm/yyyy format"}));
    m_messages->clear();
    m_messages->answerInput("next week");
    click(screen, "cmdfind");
    QCOMPARE(m_messages->lastText(), QStringLiteral("Enter the date in dd/mm/yyyy format"));
    QCOMPARE(screen.recordSet()->rowCount(), 3);

    m_messages->answerInput("07/12/2026");
    click(screen, "cmdfind");
    QCOMPARE(screen.recordSet()->rowCount(), 2);
    QCOMPARE(field(screen, "txtReminder")->text(), QStringLiteral("b"));

    m_messages->clear();
    m_messages->answerInput("9/12/2026");
    click(screen, "cmdfind");
    QCOMPARE(m_messages->texts(), (QStringList{"Enter the Reminder Date ", "Record nont found "}));
    QCOMPARE(screen.recordSet()->rowCount(), 0);
}

void TestReminderEntry::deleteKeepsTheSearchAndReloadsOnlyWhenEmpty()
{
    addReminder("2026-12-05", "09:30:00", "a");
    addReminder("2026-12-07", "10:00:00", "b");
    addReminder("2026-12-07", "11:00:00", "c");
    ReminderEntry screen;
    screen.show();

    m_messages->answerInput("07/12/2026");
    click(screen, "cmdfind");
    m_messages->answer(Answer::No);
    click(screen, "cmddelete");
    QCOMPARE(m_messages->lastText(), QStringLiteral("Really You want to delete this record "));
    QCOMPARE(storedRows().size(), 3);

    m_messages->answer(Answer::Yes);
    click(screen, "cmddelete"); // "b", the first match
    QCOMPARE(storedRows(), (QStringList{"2026-12-05|09:30:00|a", "2026-12-07|11:00:00|c"}));
    // Not reloaded: the search stays, at its last row.
    QCOMPARE(screen.recordSet()->rowCount(), 1);
    QCOMPARE(field(screen, "txtReminder")->text(), QStringLiteral("c"));

    // A search with no match leaves nothing; Delete reloads the table before it asks.
    m_messages->answerInput("01/01/2027");
    click(screen, "cmdfind");
    QCOMPARE(screen.recordSet()->rowCount(), 0);
    m_messages->answer(Answer::Yes);
    click(screen, "cmddelete");
    QCOMPARE(storedRows(), QStringList{"2026-12-07|11:00:00|c"});
    QCOMPARE(screen.recordSet()->rowCount(), 1);
}

void TestReminderEntry::printShowsTodaysReminders()
{
    addReminder("2026-12-07", "16:00:00", "today's work");
    ReminderEntry screen;
    screen.show();
    QVERIFY(!ReminderWindow::current());
    click(screen, "cmdPrint");
    ReminderWindow *window = ReminderWindow::current();
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QCOMPARE(window->list().times, QStringList{"4:00 PM"});
    QCOMPARE(window->list().works, QStringList{"today's work"});
}

QTEST_MAIN(TestReminderEntry)
#include "tst_reminderentry.moc"
