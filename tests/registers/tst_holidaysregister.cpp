#include "support/scriptedmessenger.h"
#include "support/showscreen.h"
#include "support/testdatabase.h"

#include <data/clock.h>
#include <data/messenger.h>
#include <data/recordset.h>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <registers/holidaysregister.h>

using namespace lexordo;
using Answer = Messenger::Answer;

namespace {
const QString dateQuestion =
    QStringLiteral("A Holiday is already entered for this date. Are You entering New Event?");
}

class TestHolidaysRegister : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void screenAsTheOfficeKnowsIt();
    void searchFindsAWordAnywhere();
    void deleteStaysWhereItIs();
    void deleteReportsTheError();
    void enteringTheDateWhileEditingFillsInToday();
    void dateCheckAsksBeforeASecondEvent();
    void dateCheckSeesRowsSavedSinceOpening();
    void textThatIsNotADateStopsNothingUntilSave();

private:
    struct Shown
    {
        HolidaysRegister *screen;
        QLineEdit *date;
        QLineEdit *occasion;
    };
    Shown showScreen();
    static QStringList holidaysShown(const HolidaysRegister &screen);
    static void click(QWidget &screen, const char *name);

    std::unique_ptr<test::TestDatabase> m_db;
    std::unique_ptr<ScriptedMessenger> m_messages;
    std::unique_ptr<HolidaysRegister> m_screen;
};

void TestHolidaysRegister::init()
{
    m_db = std::make_unique<test::TestDatabase>();
    m_messages = std::make_unique<ScriptedMessenger>();
    Clock::setToday(QDate(2026, 12, 7));
    m_db->exec(QStringLiteral("INSERT INTO Holidays VALUES ('2026-01-26', 'Republic Day'), "
                              "('2026-11-14', 'Children''s Day'), ('2026-12-25', 'Christmas')"));
}

void TestHolidaysRegister::cleanup()
{
    m_screen.reset();
    QCOMPARE(m_messages->unansweredCount(), 0);
    QCOMPARE(m_messages->pendingAnswers(), 0);
    m_messages.reset();
    m_db.reset();
    Clock::reset();
}

TestHolidaysRegister::Shown TestHolidaysRegister::showScreen()
{
    m_screen = std::make_unique<HolidaysRegister>();
    test::showScreen(m_screen.get());
    return {m_screen.get(), m_screen->findChild<QLineEdit *>(QStringLiteral("txtDate")),
            m_screen->findChild<QLineEdit *>(QStringLiteral("txtHdays"))};
}

QStringList TestHolidaysRegister::holidaysShown(const HolidaysRegister &screen)
{
    const QAbstractItemModel *model =
        screen.findChild<QTableView *>(QStringLiteral("DataGrid1"))->model();
    QStringList shown;
    for (int row = 0; row < model->rowCount(); ++row)
        shown << model->index(row, 0).data().toString() + u' ' +
                     model->index(row, 1).data().toString();
    return shown;
}

void TestHolidaysRegister::click(QWidget &screen, const char *name)
{
    screen.findChild<QPushButton *>(QLatin1String(name))->click();
}

void TestHolidaysRegister::screenAsTheOfficeKnowsIt()
{
    HolidaysRegister screen;
    QCOMPARE(screen.objectName(), QStringLiteral("frmHdays"));
    QCOMPARE(screen.windowTitle(), QStringLiteral("Holiday Entry"));
    QCOMPARE(screen.findChild<QLabel *>(QStringLiteral("lblHeading"))->text(),
             QStringLiteral("Holidays Entry"));
    QCOMPARE(screen.findChild<QLabel *>(QStringLiteral("lblDated"))->text(),
             QStringLiteral("Dated:"));
    QCOMPARE(screen.findChild<QLabel *>(QStringLiteral("lblDated"))->buddy()->objectName(),
             QStringLiteral("txtDate"));
    QCOMPARE(screen.findChild<QLabel *>(QStringLiteral("lblOnAccount"))->text(),
             QStringLiteral("on Account of"));
    QCOMPARE(screen.findChild<QLabel *>(QStringLiteral("lblOnAccount"))->buddy()->objectName(),
             QStringLiteral("txtHdays"));
    QCOMPARE(screen.recordSet()->source(), RecordSource::table(QStringLiteral("Holidays")));
    QCOMPARE(screen.findChild<RecordSet *>(QStringLiteral("Adodc2"))->source(),
             RecordSource::table(QStringLiteral("Holidays")));
    const QAbstractItemModel *grid =
        screen.findChild<QTableView *>(QStringLiteral("DataGrid1"))->model();
    QCOMPARE(grid->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Date"));
    QCOMPARE(grid->headerData(1, Qt::Horizontal).toString(), QStringLiteral("On Account of"));
    QCOMPARE(screen.findChild<QPushButton *>(QStringLiteral("cmdFind"))->text(),
             QStringLiteral("Search"));
    QCOMPARE(screen.findChild<QLineEdit *>(QStringLiteral("txtDate"))->text(),
             QStringLiteral("26/01/2026"));
}

void TestHolidaysRegister::searchFindsAWordAnywhere()
{
    HolidaysRegister screen;
    m_messages->answerInput(QStringLiteral("DAY"));
    click(screen, "cmdFind");
    QCOMPARE(m_messages->shown().first().text,
             QStringLiteral("Enter The On account of to Be Searched "));
    QCOMPARE(holidaysShown(screen), (QStringList{QStringLiteral("26/01/2026 Republic Day"),
                                                 QStringLiteral("14/11/2026 Children's Day")}));
    m_messages->answerInput(QStringLiteral("n's"));
    click(screen, "cmdFind");
    QCOMPARE(holidaysShown(screen), QStringList{QStringLiteral("14/11/2026 Children's Day")});
    m_messages->answerInput(QStringLiteral("Diwali"));
    click(screen, "cmdFind");
    QCOMPARE(m_messages->lastText(), QStringLiteral("Record Not Found "));
    QVERIFY(holidaysShown(screen).isEmpty());
}

void TestHolidaysRegister::deleteStaysWhereItIs()
{
    HolidaysRegister screen;
    auto *occasion = screen.findChild<QLineEdit *>(QStringLiteral("txtHdays"));
    m_messages->answerInput(QStringLiteral("a"));
    click(screen, "cmdFind"); // all three contain an a
    m_messages->answer(Answer::Yes);
    click(screen, "cmdDelete");
    QCOMPARE(m_messages->lastText(), QStringLiteral("Really You want to delete this record "));
    QCOMPARE(m_db->count(QStringLiteral("Holidays")), 2);
    // No reload and no move: the row is gone from the list and nothing is shown.
    QCOMPARE(holidaysShown(screen), (QStringList{QStringLiteral("14/11/2026 Children's Day"),
                                                 QStringLiteral("25/12/2026 Christmas")}));
    QCOMPARE(occasion->text(), QString());
    QVERIFY(!screen.recordSet()->filter().isEmpty());
    click(screen, "cmdNext");
    QCOMPARE(occasion->text(), QStringLiteral("Children's Day"));

    // The last holiday deleted, Delete again deletes nothing and says nothing.
    m_db->exec(QStringLiteral("DELETE FROM Holidays WHERE Holiday <> 'Christmas'"));
    HolidaysRegister last;
    m_messages->clear();
    m_messages->answer(Answer::Yes);
    click(last, "cmdDelete");
    QVERIFY(holidaysShown(last).isEmpty());
    m_messages->answer(Answer::Yes);
    click(last, "cmdDelete");
    QCOMPARE(m_messages->texts(),
             QStringList(2, QStringLiteral("Really You want to delete this record ")));
    QCOMPARE(m_db->count(QStringLiteral("Holidays")), 0);
}

void TestHolidaysRegister::deleteReportsTheError()
{
    m_db->exec(QStringLiteral("CREATE TRIGGER keep BEFORE DELETE ON Holidays "
                              "BEGIN SELECT RAISE(ABORT, 'the holiday list is fixed'); END"));
    HolidaysRegister screen;
    m_messages->answer(Answer::Yes);
    click(screen, "cmdDelete");
    QCOMPARE(m_messages->lastText(), QStringLiteral("the holiday list is fixed"));
    QCOMPARE(m_messages->shown().last().buttons, Messenger::Buttons::Ok);
    QCOMPARE(m_db->count(QStringLiteral("Holidays")), 3);
    QCOMPARE(holidaysShown(screen).size(), 3);
}

void TestHolidaysRegister::enteringTheDateWhileEditingFillsInToday()
{
    auto [screen, date, occasion] = showScreen();
    date->setFocus();
    m_messages->answer(Answer::Yes); // the shown row's own date is found on leaving
    occasion->setFocus();
    QCOMPARE(QApplication::focusWidget(), occasion);
    QCOMPARE(date->text(), QStringLiteral("26/01/2026"));

    click(*screen, "cmdModify");
    date->setFocus();
    QCOMPARE(date->text(), QStringLiteral("07/12/2026"));
    occasion->setFocus(); // no holiday on that day: no question
    click(*screen, "cmdSave");
    QCOMPARE(m_db->count(QStringLiteral("Holidays")), 3);
    QCOMPARE(
        m_db->scalar(QStringLiteral("SELECT Date FROM Holidays WHERE Holiday = 'Republic Day'"))
            .toString(),
        QStringLiteral("2026-12-07"));
    QCOMPARE(m_messages->texts(), QStringList{dateQuestion});
}

void TestHolidaysRegister::dateCheckAsksBeforeASecondEvent()
{
    auto [screen, date, occasion] = showScreen();
    m_messages->answer(Answer::Yes);
    click(*screen, "cmdAdd");
    date->setFocus();
    date->selectAll();
    QTest::keyClicks(date, QStringLiteral("25/12/2026"));
    m_messages->answer(Answer::Yes);
    occasion->setFocus();
    QCOMPARE(m_messages->lastText(), dateQuestion);
    QCOMPARE(m_messages->shown().last().buttons, Messenger::Buttons::YesNo);
    QCOMPARE(QApplication::focusWidget(), occasion);
    QTest::keyClicks(occasion, QStringLiteral("Christmas Vacation"));
    click(*screen, "cmdSave");
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT count(*) FROM Holidays WHERE Date = '2026-12-25'"))
                 .toInt(),
             2);

    // No returns to the date field to change it.
    m_messages->answer(Answer::Yes);
    click(*screen, "cmdAdd");
    date->setFocus();
    date->selectAll();
    QTest::keyClicks(date, QStringLiteral("14/11/2026"));
    m_messages->answer(Answer::No);
    occasion->setFocus();
    QCOMPARE(m_messages->lastText(), dateQuestion);
    QCOMPARE(QApplication::focusWidget(), date);
    date->selectAll();
    QTest::keyClicks(date, QStringLiteral("15/11/2026"));
    occasion->setFocus();
    QCOMPARE(m_messages->texts().size(), 4);
    QCOMPARE(QApplication::focusWidget(), occasion);
}

void TestHolidaysRegister::dateCheckSeesRowsSavedSinceOpening()
{
    auto [screen, date, occasion] = showScreen();
    m_db->exec(QStringLiteral("INSERT INTO Holidays VALUES ('2026-12-07', 'Flag Day')"));
    m_messages->answer(Answer::Yes);
    click(*screen, "cmdAdd");
    date->setFocus(); // today, 07/12/2026, filled in
    m_messages->answer(Answer::Yes);
    occasion->setFocus();
    QCOMPARE(m_messages->lastText(), dateQuestion);
}

void TestHolidaysRegister::textThatIsNotADateStopsNothingUntilSave()
{
    auto [screen, date, occasion] = showScreen();
    m_messages->answer(Answer::Yes);
    click(*screen, "cmdAdd");
    date->setFocus();
    date->selectAll();
    QTest::keyClicks(date, QStringLiteral("31/02/2026"));
    occasion->setFocus();
    QTest::keyClicks(occasion, QStringLiteral("Leap day that never was"));
    date->setFocus(); // editing again fills in today; type the bad text once more
    date->selectAll();
    QTest::keyClicks(date, QStringLiteral("next friday"));
    occasion->setFocus();
    QCOMPARE(m_messages->texts().size(), 1); // only the Add question

    click(*screen, "cmdSave");
    QCOMPARE(m_messages->lastText(),
             QStringLiteral("Dated: \"next friday\" is not a valid date. Please correct it."));
    QCOMPARE(date->text(), QStringLiteral("next friday"));
    QCOMPARE(occasion->text(), QStringLiteral("Leap day that never was"));
    QCOMPARE(screen->state(), RecordScreen::State::Edit);
    QCOMPARE(m_db->count(QStringLiteral("Holidays")), 3);
}

QTEST_MAIN(TestHolidaysRegister)
#include "tst_holidaysregister.moc"
