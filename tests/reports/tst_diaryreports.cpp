#include "diaryfixture.h"
#include "support/scriptedmessenger.h"
#include "support/testdatabase.h"

#include <data/messenger.h>
#include <data/officesettings.h>
#include <data/sqlquery.h>
#include <QStandardPaths>
#include <QTest>
#include <reports/diaryreports.h>
#include <reports/runtime/reportengine.h>

using namespace lexordo;
using namespace lexordo::test;
using report::ReportDocument;

// The runs behind the diary report screens and the print command: what
// they select, the work table, the holiday notes, the messages, and what
// their reports print.
class TestDiaryReports : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void singleDayIsTheCauseListByCourtInRunningOrder();
    void weekdayIsPrintedBesideTheDate_data();
    void weekdayIsPrintedBesideTheDate();
    void rangeIsGroupedByDateInDateOrder();
    void workTableHoldsExactlyTheSelectedHearings();
    void secondRunReplacesTheFirst();
    void holidayNoteOfTheDiary();
    void holidayNoteOfTheCauseListByNextDate();
    void runStopsWithItsMessage_data();
    void runStopsWithItsMessage();
    void noteHoldsEachHolidayOnceWhenRunAgain();

    void blankNextDatesLeaveOutOnlyDecidedAndUnattended();
    void blankNextDatesAreCopiedWithoutNextDate();
    void oneDayOfBlankNextDatesIsStillByDate();

    void causeListByNextDate();
    void causeListOfADayWithoutHearingsHasOnlyItsHeadings();

    void caseHistoryByDateAndCourt();
    void valuesAreMatchedAsTypedButWithoutCase();
    void storedOrderForTheRegisterAndTheSummary();

    void longCauseListRepeatsItsHeadingsOnEveryPage();

    void printoutsNameTheAdvocateAndTheNextFixedFor();

private:
    static QStringList printed(const ReportDocument &document, const QString &section,
                               const QString &name = {});
    static QStringList workTableParties();

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<ScriptedMessenger> m_messages;
};

void TestDiaryReports::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true); // the advocate's name is a user setting
}

void TestDiaryReports::init()
{
    office::setAdvocateName(QString()); // each test sets the name it prints
    m_db = std::make_unique<TestDatabase>();
    m_messages = std::make_unique<ScriptedMessenger>();
}

void TestDiaryReports::cleanup()
{
    m_messages.reset();
    m_db.reset();
}

QStringList TestDiaryReports::printed(const ReportDocument &document, const QString &section,
                                      const QString &name)
{
    QStringList texts;
    for (const report::ReportPage &page : document.pages) {
        for (const report::PlacedItem &item : page.textItems(section)) {
            if (name.isEmpty() || item.name.compare(name, Qt::CaseInsensitive) == 0)
                texts << item.text;
        }
    }
    return texts;
}

QStringList TestDiaryReports::workTableParties()
{
    SqlQuery query(QStringLiteral("SELECT Party1 FROM tmpAdvocate ORDER BY rowid"));
    QStringList parties;
    while (query.next())
        parties << query.text(0);
    return parties;
}

void TestDiaryReports::singleDayIsTheCauseListByCourtInRunningOrder()
{
    addHearing({.cdate = "07/12/2026", .party1 = "zafar", .court = "Civil Court", .index = 3});
    addHearing({.cdate = "07/12/2026",
                .party1 = "Mehta",
                .court = "High Court",
                .index = 1,
                .caseno = "Crl. A. 12/2025",
                .ndate = "21/12/2026",
                .pdate = "30/11/2026",
                .fixedfor = "Arguments"});
    addHearing({.cdate = "07/12/2026", .party1 = "anand", .court = "Civil Court", .index = 3});
    addHearing({.cdate = "07/12/2026", .party1 = "Bose", .court = "High Court", .index = 1});
    addHearing({.cdate = "08/12/2026", .party1 = "Next day", .court = "High Court", .index = 1});
    addHoliday("25/12/2026", "Christmas");

    HearingsByDate diary(HearingsByDate::Kind::CurrentDates);
    QString note;
    const auto prepared = diary.run("07/12/2026", "07/12/2026", note);
    QVERIFY(prepared);
    QVERIFY(m_messages->texts().isEmpty());
    QCOMPARE(diary.selectedCount(), 4);
    QCOMPARE(prepared->layout.name(), QStringLiteral("drSingleDate"));
    QCOMPARE(prepared->layout.caption(), QStringLiteral("Printing The Cases Report"));

    const ReportDocument document = report::layOut(prepared->layout, prepared->data);
    QCOMPARE(document.pageCount(), 1);
    const report::ReportPage &page = document.pages.first();
    QCOMPARE(page.texts(QStringLiteral("Section1")),
             (QStringList{"Date:", "07/12/2026", "[MONDAY]"}));
    QCOMPARE(page.texts(QStringLiteral("PageHeader")),
             (QStringList{"Court Name", "Sr.", "Prev Date", " Case No.", "Parties", "Fixed For",
                          "Next Date/Fixed For"}));
    // Courts in running order with their count, hearings within a court by
    // first party, numbered through the list.
    QCOMPARE(printed(document, "Section3"),
             (QStringList{"High Court", "Hearings: 2", "Civil Court", "Hearings: 2"}));
    QCOMPARE(
        printed(document, "cmAdvocate_Detail", "parties"),
        (QStringList{"Bose vs. State", "Mehta vs. State", "anand vs. State", "zafar vs. State"}));
    QCOMPARE(printed(document, "cmAdvocate_Detail", "serial"), (QStringList{"1", "2", "3", "4"}));
    const QList<report::PlacedItem> row =
        page.textItems(QStringLiteral("cmAdvocate_Detail")).mid(7, 7);
    QStringList mehta;
    for (const report::PlacedItem &item : row)
        mehta << item.text;
    QCOMPARE(mehta, (QStringList{"2", "30/11/2026", "Crl. A. 12/2025", "Mehta vs. State",
                                 "Arguments", "21/12/2026", ""}));
    QCOMPARE(page.texts(QStringLiteral("Section2")),
             (QStringList{"Note:  ", "  25/12/2026-Christmas, "}));
    QCOMPARE(page.texts(QStringLiteral("PageFooter")), (QStringList{"07/12/2026", "Page 1 of 1"}));
}

void TestDiaryReports::weekdayIsPrintedBesideTheDate_data()
{
    QTest::addColumn<QString>("day");
    QTest::addColumn<QString>("label");
    QTest::newRow("sunday") << "06/12/2026"
                            << "[SUNDAY]";
    QTest::newRow("monday") << "07/12/2026"
                            << "[MONDAY]";
    QTest::newRow("tuesday") << "08/12/2026"
                             << "[TUESDAY]";
    QTest::newRow("wednesday") << "09/12/2026"
                               << "[WEDNESDAY]";
    QTest::newRow("thursday") << "10/12/2026"
                              << "[THURSDAY]";
    QTest::newRow("friday") << "11/12/2026"
                            << "[FRIDAY]";
    QTest::newRow("saturday") << "12/12/2026"
                              << "[SATURDAY]";
}

void TestDiaryReports::weekdayIsPrintedBesideTheDate()
{
    QFETCH(QString, day);
    QFETCH(QString, label);
    addHearing({.cdate = day, .party1 = "Anand"});
    HearingsByDate diary(HearingsByDate::Kind::CurrentDates);
    QString note;
    // The second date as the screen fills it, the first as a clerk types it;
    // the heading shows the date itself.
    const QString typed = QString::number(day.left(2).toInt()) + day.mid(2);
    const auto prepared = diary.run(typed, day, note);
    QVERIFY(prepared);
    QCOMPARE(prepared->layout.label("section1", "lblday"), label);
    QCOMPARE(prepared->layout.label("section1", "lbldate1"), day);
}

void TestDiaryReports::rangeIsGroupedByDateInDateOrder()
{
    addHearing({.cdate = "09/12/2026", .party1 = "Late", .court = "Civil Court", .index = 3});
    addHearing({.cdate = "07/12/2026", .party1 = "Zutshi", .court = "Civil Court", .index = 3});
    addHearing({.cdate = "07/12/2026", .party1 = "Yadav", .court = "High Court", .index = 1});
    addHearing({.cdate = "08/12/2026", .party1 = "Middle", .court = "High Court", .index = 1});
    addHearing({.cdate = "10/12/2026", .party1 = "Outside", .court = "High Court", .index = 1});

    HearingsByDate diary(HearingsByDate::Kind::CurrentDates);
    QString note;
    const auto prepared = diary.run("7/12/2026", "09/12/2026", note);
    QVERIFY(prepared);
    QCOMPARE(prepared->layout.name(), QStringLiteral("drManyDates"));
    const ReportDocument document = report::layOut(prepared->layout, prepared->data);
    // The heading shows the dates as typed.
    QCOMPARE(document.pages.first().texts(QStringLiteral("Section1")),
             (QStringList{"Case Dates between", "7/12/2026", "and", "09/12/2026"}));
    QCOMPARE(document.pages.first().texts(QStringLiteral("PageHeader")),
             (QStringList{"Date", "Prev Date", "Courts Name", "Case No.", "Parties", "Fixed For",
                          "Next Date"}));
    QCOMPARE(printed(document, "Section3"),
             (QStringList{"07/12/2026", "08/12/2026", "09/12/2026"}));
    QCOMPARE(printed(document, "cmAdvocate_Detail", "party1"),
             (QStringList{"Yadav", "Zutshi", "Middle", "Late"}));
    QCOMPARE(printed(document, "cmAdvocate_Detail", "courtname"),
             (QStringList{"High Court", "Civil Court", "High Court", "Civil Court"}));
}

void TestDiaryReports::workTableHoldsExactlyTheSelectedHearings()
{
    addHearing({.cdate = "07/12/2026",
                .party1 = "D'Souza",
                .party2 = "State of U.P.",
                .court = "High Court",
                .index = 1,
                .caseno = "Crl. A. 5/2026",
                .ndate = "14/12/2026",
                .remarks = "part heard",
                .pdate = "01/12/2026",
                .fixedfor = "Arguments",
                .fixedforN = "Orders"});
    addHearing({.cdate = "08/12/2026", .party1 = "Anand"});
    addHearing({.cdate = "06/12/2026", .party1 = "Before"});
    m_db->exec("INSERT INTO tmpAdvocate (Party1) VALUES ('stale'), ('stale too')");

    HearingsByDate diary(HearingsByDate::Kind::CurrentDates);
    QString note;
    QVERIFY(diary.run("07/12/2026", "08/12/2026", note));
    QCOMPARE(m_db->count("tmpAdvocate"), 2);
    // Every column copied unchanged, NULLs included, and no row besides.
    const QString columns = QStringLiteral("cdate, remarks, pdate, Party1, Party2, caseno, "
                                           "courtname, CourtIndex, fixedfor, ndate, fixedforN");
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT count(*) FROM (SELECT %1 FROM advocate WHERE "
                                         "cdate BETWEEN '2026-12-07' AND '2026-12-08' EXCEPT "
                                         "SELECT %1 FROM tmpAdvocate) AS differing")
                              .arg(columns))
                 .toInt(),
             0);
    QCOMPARE(m_db->scalar("SELECT count(*) FROM tmpAdvocate WHERE remarks IS NULL").toInt(), 1);
}

void TestDiaryReports::secondRunReplacesTheFirst()
{
    addHearing({.cdate = "07/12/2026", .party1 = "First"});
    addHearing({.cdate = "08/12/2026", .party1 = "Second"});
    HearingsByDate diary(HearingsByDate::Kind::CurrentDates);
    QString note;
    const auto first = diary.run("07/12/2026", "07/12/2026", note);
    QVERIFY(first);
    QCOMPARE(workTableParties(), QStringList{"First"});

    // A hearing entered while the screen is open is part of the next run.
    addHearing({.cdate = "08/12/2026", .party1 = "Entered later"});
    const auto second = diary.run("08/12/2026", "08/12/2026", note);
    QVERIFY(second);
    QCOMPARE(workTableParties(), (QStringList{"Second", "Entered later"}));
    const ReportDocument document = report::layOut(second->layout, second->data);
    QCOMPARE(printed(document, "cmAdvocate_Detail", "parties"),
             (QStringList{"Entered later vs. State", "Second vs. State"}));
    // The first report keeps what it read.
    QCOMPARE(printed(report::layOut(first->layout, first->data), "cmAdvocate_Detail", "parties"),
             QStringList{"First vs. State"});

    // Another kind of run shares the work table and replaces it too.
    HearingsByDate blank(HearingsByDate::Kind::BlankNextDates);
    QVERIFY(blank.run("07/12/2026", "07/12/2026", note));
    QCOMPARE(workTableParties(), QStringList{"First"});
    QVERIFY(diary.run("08/12/2026", "08/12/2026", note));
    QCOMPARE(workTableParties(), (QStringList{"Second", "Entered later"}));
}

void TestDiaryReports::holidayNoteOfTheDiary()
{
    addHearing({.cdate = "01/12/2026", .party1 = "Anand"});
    addHoliday("05/12/2026", "Inside the range");
    addHoliday("10/04/2027", "A day too late");
    addHoliday("09/04/2027", "Last day of the window");
    addHoliday("10/12/2026", "On the last date");
    addHoliday("09/12/2026", "Day before the last date");
    addHoliday("25/12/2026", "Christmas");

    HearingsByDate diary(HearingsByDate::Kind::CurrentDates);
    QString note;
    QVERIFY(diary.run("01/12/2026", "10/12/2026", note));
    // From the last date of the range to 120 days after it, in date order.
    QCOMPARE(note, QStringLiteral("  10/12/2026-On the last date,   25/12/2026-Christmas, "
                                  "  09/04/2027-Last day of the window, "));

    HearingsByDate blank(HearingsByDate::Kind::BlankNextDates);
    QVERIFY(blank.run("01/12/2026", "10/12/2026", note));
    QCOMPARE(note, QStringLiteral("  10/12/2026-On the last date  25/12/2026-Christmas"
                                  "  09/04/2027-Last day of the window"));

    // No holiday in the window: nothing after "Note:  ".
    QVERIFY(diary.run("01/12/2026", "11/04/2027", note));
    QCOMPARE(note, QString());
}

void TestDiaryReports::holidayNoteOfTheCauseListByNextDate()
{
    addHoliday("07/03/2027", "Ninetieth day");
    addHoliday("08/03/2027", "Ninety-first day");
    addHoliday("25/12/2026", "Christmas");
    addHoliday("07/12/2026", "The day itself");
    addHoliday("06/12/2026", "The day before");

    NextDateCauseList causeList;
    QString note;
    const auto prepared = causeList.run("07/12/2026", note);
    QVERIFY(prepared);
    QCOMPARE(note, QStringLiteral("  07/12/2026-The day itself  25/12/2026-Christmas"
                                  "  07/03/2027-Ninetieth day"));
    QCOMPARE(prepared->layout.label("section2", "lblhdays"), note);
}

void TestDiaryReports::runStopsWithItsMessage_data()
{
    QTest::addColumn<QString>("date1");
    QTest::addColumn<QString>("date2");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("noteBuilt");
    QTest::newRow("first date empty") << ""
                                      << "10/12/2026" << QString(enterDateMessage) << true;
    QTest::newRow("first date blanks") << "   "
                                       << "10/12/2026" << QString(enterDateMessage) << true;
    QTest::newRow("first date not a day") << "31/02/2026"
                                          << "10/12/2026" << QString(enterDateMessage) << true;
    QTest::newRow("first date in words") << "yesterday"
                                         << "10/12/2026" << QString(enterDateMessage) << true;
    QTest::newRow("no hearing in range") << "11/12/2026"
                                         << "20/12/2026" << QString(noRecordMessage) << true;
    QTest::newRow("dates the wrong way round") << "10/12/2026"
                                               << "07/12/2026" << QString(noRecordMessage) << true;
    QTest::newRow("last date not a day") << "07/12/2026"
                                         << "32/12/2026"
                                         << "\"32/12/2026\" is not a valid date for Date." << false;
    QTest::newRow("last date empty") << "07/12/2026"
                                     << ""
                                     << "A date is needed to filter on Date." << false;
}

void TestDiaryReports::runStopsWithItsMessage()
{
    QFETCH(QString, date1);
    QFETCH(QString, date2);
    QFETCH(QString, message);
    QFETCH(bool, noteBuilt);
    addHearing({.cdate = "08/12/2026", .party1 = "Anand"});
    addHoliday("25/12/2026", "Christmas");
    m_db->exec("INSERT INTO tmpAdvocate (Party1) VALUES ('kept')");

    for (auto kind : {HearingsByDate::Kind::CurrentDates, HearingsByDate::Kind::BlankNextDates}) {
        m_messages->clear();
        HearingsByDate run(kind);
        QString note = QStringLiteral("old note");
        QVERIFY(!run.run(date1, date2, note));
        QCOMPARE(m_messages->texts(), QStringList{message});
        QCOMPARE(m_messages->shown().first().buttons, Messenger::Buttons::Ok);
        QCOMPARE(note.isEmpty(), !noteBuilt);
        QCOMPARE(workTableParties(), QStringList{"kept"});
    }
}

void TestDiaryReports::noteHoldsEachHolidayOnceWhenRunAgain()
{
    addHoliday("25/12/2026", "Christmas");
    addHearing({.cdate = "08/12/2026", .party1 = "Anand"});
    HearingsByDate blank(HearingsByDate::Kind::BlankNextDates);
    QString note;
    QVERIFY(!blank.run("01/12/2026", "05/12/2026", note));
    QCOMPARE(m_messages->lastText(), noRecordMessage);
    QVERIFY(blank.run("01/12/2026", "10/12/2026", note));
    QCOMPARE(note, QStringLiteral("  25/12/2026-Christmas"));
}

void TestDiaryReports::blankNextDatesLeaveOutOnlyDecidedAndUnattended()
{
    addHearing({.cdate = "07/12/2026", .party1 = "No remarks"});
    addHearing({.cdate = "07/12/2026", .party1 = "Empty remarks", .remarks = ""});
    addHearing({.cdate = "07/12/2026", .party1 = "Decided", .remarks = " Decided "});
    addHearing({.cdate = "07/12/2026", .party1 = "Unattended", .remarks = "UNATTENDED"});
    addHearing({.cdate = "07/12/2026", .party1 = "Part heard", .remarks = "part heard"});
    addHearing({.cdate = "07/12/2026", .party1 = "Has a next date", .ndate = "14/12/2026"});

    HearingsByDate blank(HearingsByDate::Kind::BlankNextDates);
    QString note;
    const auto prepared = blank.run("07/12/2026", "07/12/2026", note);
    QVERIFY(prepared);
    QCOMPARE(blank.selectedCount(), 5);
    // Decided and unattended hearings are copied but not printed.
    QCOMPARE(m_db->count("tmpAdvocate"), 5);
    const ReportDocument document = report::layOut(prepared->layout, prepared->data);
    QCOMPARE(printed(document, "cmAdvocate_Detail", "party1"),
             (QStringList{"No remarks", "Empty remarks", "Part heard"}));
}

void TestDiaryReports::blankNextDatesAreCopiedWithoutNextDate()
{
    addHearing({.cdate = "07/12/2026",
                .party1 = "Anand",
                .party2 = "Union of India",
                .court = "High Court",
                .index = 1,
                .caseno = "W.P. 7/2026",
                .remarks = "notice",
                .pdate = "30/11/2026",
                .fixedfor = "Reply"});
    m_db->exec("UPDATE advocate SET fixedforN = 'left over'");
    HearingsByDate blank(HearingsByDate::Kind::BlankNextDates);
    QString note;
    QVERIFY(blank.run("07/12/2026", "07/12/2026", note));
    QCOMPARE(m_db->scalar("SELECT count(*) FROM tmpAdvocate WHERE cdate = '2026-12-07' AND "
                          "remarks = 'notice' AND pdate = '2026-11-30' AND Party1 = 'Anand' AND "
                          "Party2 = 'Union of India' AND caseno = 'W.P. 7/2026' AND "
                          "courtname = 'High Court' AND CourtIndex = 1 AND fixedfor = 'Reply' AND "
                          "ndate IS NULL AND fixedforN IS NULL")
                 .toInt(),
             1);
    QCOMPARE(m_db->count("tmpAdvocate"), 1);
}

void TestDiaryReports::oneDayOfBlankNextDatesIsStillByDate()
{
    addHearing({.cdate = "07/12/2026", .party1 = "Anand"});
    HearingsByDate blank(HearingsByDate::Kind::BlankNextDates);
    QString note;
    const auto prepared = blank.run("07/12/2026", "07/12/2026", note);
    QVERIFY(prepared);
    QCOMPARE(prepared->layout.name(), QStringLiteral("drNextBlank"));
    QCOMPARE(prepared->layout.caption(), QStringLiteral("Next Dates Left Blank"));
    const ReportDocument document = report::layOut(prepared->layout, prepared->data);
    QCOMPARE(printed(document, "Section1"),
             (QStringList{"Case Dates between", "07/12/2026", "and", "07/12/2026"}));
    QCOMPARE(printed(document, "Section3"), QStringList{"07/12/2026"});
}

void TestDiaryReports::causeListByNextDate()
{
    addHearing({.cdate = "30/11/2026",
                .party1 = "Civil",
                .court = "Civil Court",
                .index = 3,
                .ndate = "07/12/2026",
                .fixedfor = "Evidence",
                .fixedforN = "Arguments"});
    addHearing({.cdate = "01/12/2026",
                .party1 = "High",
                .court = "High Court",
                .index = 1,
                .ndate = "07/12/2026",
                .fixedfor = "Reply"});
    addHearing({.cdate = "01/12/2026", .party1 = "Other day", .ndate = "08/12/2026"});
    addHearing({.cdate = "07/12/2026", .party1 = "Today, no next date"});

    NextDateCauseList causeList;
    QString note;
    const auto prepared = causeList.run("07/12/2026", note);
    QVERIFY(prepared);
    QVERIFY(m_messages->texts().isEmpty());
    QCOMPARE(prepared->layout.name(), QStringLiteral("drTodayRepo"));
    QCOMPARE(prepared->layout.caption(), QStringLiteral("Next Dates Reports"));
    const ReportDocument document = report::layOut(prepared->layout, prepared->data);
    const report::ReportPage &page = document.pages.first();
    QCOMPARE(page.texts(QStringLiteral("Section1")), (QStringList{"Date : ", "07/12/2026"}));
    QCOMPARE(page.texts(QStringLiteral("PageHeader")),
             (QStringList{"Sr.", "Prev Date", "Courts Name", "Case No.", "Parties", "Fixed For",
                          "Next Date"}));
    // By court running order; the current date under "Prev Date", what the
    // hearing is fixed for on the day under "Fixed For", nothing under
    // "Next Date".
    QCOMPARE(
        page.texts(QStringLiteral("cmAdvocate_Detail")),
        (QStringList{"1", "01/12/2026", "High Court", "CS 1/2026", "High vs. State", "", "2",
                     "30/11/2026", "Civil Court", "CS 1/2026", "Civil vs. State", "Arguments"}));
    QCOMPARE(page.texts(QStringLiteral("PageFooter")), (QStringList{"07/12/2026", "Page 1 of 1"}));
    const double nextDateColumn = page.textItems(QStringLiteral("PageHeader")).last().rect.left();
    for (const report::PlacedItem &item : page.textItems(QStringLiteral("cmAdvocate_Detail")))
        QVERIFY(item.rect.right() <= nextDateColumn);
}

void TestDiaryReports::causeListOfADayWithoutHearingsHasOnlyItsHeadings()
{
    addHoliday("07/12/2026", "A holiday");
    NextDateCauseList causeList;
    QString note;
    const auto prepared = causeList.run("07/12/2026", note);
    QVERIFY(prepared);
    QVERIFY(m_messages->texts().isEmpty());
    const ReportDocument document = report::layOut(prepared->layout, prepared->data);
    QCOMPARE(document.pageCount(), 1);
    QVERIFY(printed(document, "cmAdvocate_Detail").isEmpty());
    QCOMPARE(printed(document, "Section2"), QStringList{"  07/12/2026-A holiday"});

    // A date box that does not hold a date is told so, and nothing opens.
    for (const QString &bad :
         {QStringLiteral(""), QStringLiteral("7.12"), QStringLiteral("29/02/2027")}) {
        m_messages->clear();
        QVERIFY(!causeList.run(bad, note));
        QCOMPARE(m_messages->texts(), QStringList{enterDateMessage});
    }
}

void TestDiaryReports::caseHistoryByDateAndCourt()
{
    addHearing({.cdate = "09/12/2026",
                .party1 = "Anand",
                .court = "Civil Court",
                .index = 3,
                .caseno = "CS 9/2026",
                .remarks = "adjourned at the request of counsel for the "
                           "respondent, who was not available"});
    addHearing({.cdate = "07/12/2026",
                .party1 = "Anand",
                .court = "Civil Court",
                .index = 3,
                .caseno = "CS 9/2026"});
    addHearing({.cdate = "09/12/2026",
                .party1 = "Anand",
                .court = "High Court",
                .index = 1,
                .caseno = "CS 9/2026",
                .ndate = "16/12/2026",
                .pdate = "02/12/2026"});
    addHearing({.cdate = "08/12/2026", .party1 = "Other", .caseno = "CS 10/2026"});

    const PreparedReport prepared = caseHistory(CaseCriterion::CaseNo, "CS 9/2026", true);
    QCOMPARE(prepared.layout.name(), QStringLiteral("drCases"));
    QCOMPARE(prepared.layout.caption(), QStringLiteral("Case Report"));
    const ReportDocument document = report::layOut(prepared.layout, prepared.data);
    const report::ReportPage &page = document.pages.first();
    QCOMPARE(page.texts(QStringLiteral("Section1")), (QStringList{"Case No : ", "CS 9/2026"}));
    QCOMPARE(page.texts(QStringLiteral("PageHeader")),
             (QStringList{"C. Date", "Courts Name", "Case No.", "Fixed For", "Next Date",
                          "Prev Date", "Remarks"}));
    QCOMPARE(printed(document, "cmAdvocate_Detail", "cdate"),
             (QStringList{"07/12/2026", "09/12/2026", "09/12/2026"}));
    QCOMPARE(printed(document, "cmAdvocate_Detail", "courtname"),
             (QStringList{"Civil Court", "High Court", "Civil Court"}));
    QCOMPARE(printed(document, "cmAdvocate_Detail", "ndate"), (QStringList{"", "16/12/2026", ""}));
    // Long remarks wrap inside their column.
    const QList<report::PlacedItem> details = page.textItems(QStringLiteral("cmAdvocate_Detail"));
    const report::PlacedItem *remarks = nullptr;
    for (const report::PlacedItem &item : details) {
        if (item.name == QStringLiteral("remarks") && !item.text.isEmpty())
            remarks = &item;
    }
    QVERIFY(remarks);
    QVERIFY(remarks->lines.size() >= 2);
    QVERIFY(remarks->rect.right() <= 12 + 186);
}

void TestDiaryReports::valuesAreMatchedAsTypedButWithoutCase()
{
    addHearing({.cdate = "07/12/2026", .party1 = "D'Souza", .caseno = "crl. a. 5/2026"});
    addHearing({.cdate = "08/12/2026", .party1 = "Anand", .party2 = "D'Souza"});
    addHearing({.cdate = "09/12/2026", .party1 = "50% Traders_Ltd"});

    auto rows = [](CaseCriterion criterion, const QString &value) {
        return caseHistory(criterion, value, true).data.rowCount();
    };
    QCOMPARE(rows(CaseCriterion::Party, "D'Souza"), 1);
    QCOMPARE(rows(CaseCriterion::Party, "d'souza"), 1);
    QCOMPARE(rows(CaseCriterion::CaseNo, "Crl. A. 5/2026"), 1);
    // The first party only, no trimming, no wildcards.
    QCOMPARE(rows(CaseCriterion::Party, "Anand "), 0);
    QCOMPARE(rows(CaseCriterion::Party, "State"), 0);
    QCOMPARE(rows(CaseCriterion::Party, "50% Traders_Ltd"), 1);
    QCOMPARE(rows(CaseCriterion::Party, "50% Traders%"), 0);
    QCOMPARE(rows(CaseCriterion::Party, "5_% Traders_Ltd"), 0);

    const PreparedReport party = caseHistory(CaseCriterion::Party, "d'souza", false);
    QCOMPARE(party.layout.label("section1", "lblhead"), QStringLiteral("Parties : "));
    QCOMPARE(party.layout.label("section1", "lblparties"), QStringLiteral("d'souza"));
}

void TestDiaryReports::storedOrderForTheRegisterAndTheSummary()
{
    addHearing({.cdate = "09/12/2026", .party1 = "Anand", .index = 2, .caseno = "entered first"});
    addHearing({.cdate = "07/12/2026", .party1 = "Anand", .index = 1, .caseno = "entered second"});
    const PreparedReport stored = caseHistory(CaseCriterion::Party, "Anand", false);
    QCOMPARE(printed(report::layOut(stored.layout, stored.data), "cmAdvocate_Detail", "caseno"),
             (QStringList{"entered first", "entered second"}));
    const PreparedReport byDate = caseHistory(CaseCriterion::Party, "Anand", true);
    QCOMPARE(printed(report::layOut(byDate.layout, byDate.data), "cmAdvocate_Detail", "caseno"),
             (QStringList{"entered second", "entered first"}));
}

void TestDiaryReports::longCauseListRepeatsItsHeadingsOnEveryPage()
{
    for (int i = 0; i < 90; ++i) {
        addHearing({.cdate = "07/12/2026",
                    .party1 = QStringLiteral("Party %1").arg(i, 2, 10, QLatin1Char('0')),
                    .court = QStringLiteral("Court %1").arg(i % 3 + 1),
                    .index = i % 3 + 1});
    }
    addHoliday("25/12/2026", "Christmas");
    HearingsByDate diary(HearingsByDate::Kind::CurrentDates);
    QString note;
    const auto prepared = diary.run("07/12/2026", "07/12/2026", note);
    QVERIFY(prepared);
    const ReportDocument document = report::layOut(prepared->layout, prepared->data);
    QVERIFY(document.pageCount() >= 3);
    QStringList parties;
    for (const report::ReportPage &page : document.pages) {
        QCOMPARE(page.texts(QStringLiteral("PageHeader")).first(), QStringLiteral("Court Name"));
        // The day and the page among the pages at the foot of every page.
        QCOMPARE(page.texts(QStringLiteral("PageFooter")),
                 (QStringList{
                     "07/12/2026",
                     QStringLiteral("Page %1 of %2").arg(page.number).arg(document.pageCount())}));
        // The court a page starts in stands at its top, with its count.
        const QList<report::PlacedItem> texts = page.textItems();
        const int first = page.number == 1 ? 10 : 7;
        QCOMPARE(texts[first].section, QStringLiteral("Section3"));
        QCOMPARE(texts[first + 1].text, QStringLiteral("Hearings: 30"));
        QCOMPARE(texts[first + 2].section, QStringLiteral("cmAdvocate_Detail"));
        for (const report::PlacedItem &item : page.textItems(QStringLiteral("cmAdvocate_Detail"))) {
            if (item.name == QStringLiteral("parties"))
                parties << item.text.section(QStringLiteral(" vs. "), 0, 0);
        }
    }
    QCOMPARE(parties.size(), 90);
    QCOMPARE(parties.first(), QStringLiteral("Party 00"));
    QCOMPARE(parties.last(), QStringLiteral("Party 89"));
    QCOMPARE(document.pages.last().texts(QStringLiteral("Section2")).last(),
             QStringLiteral("  25/12/2026-Christmas, "));
}

void TestDiaryReports::printoutsNameTheAdvocateAndTheNextFixedFor()
{
    office::setAdvocateName(QStringLiteral("Adv. S. K. Menon"));
    addHearing({.cdate = "07/12/2026",
                .party1 = "Mehta",
                .court = "High Court",
                .index = 1,
                .ndate = "21/12/2026",
                .fixedforN = "Final Arguments"});
    addHearing({.cdate = "08/12/2026", .party1 = "Bose", .court = "High Court", .index = 1});

    // The cause list of a day: beside the next date, what it is fixed for.
    HearingsByDate day(HearingsByDate::Kind::CurrentDates);
    QString note;
    auto prepared = day.run("07/12/2026", "07/12/2026", note);
    QVERIFY(prepared);
    ReportDocument document = report::layOut(prepared->layout, prepared->data);
    QCOMPARE(printed(document, "cmAdvocate_Detail", "ndate"), QStringList{"21/12/2026"});
    QCOMPARE(printed(document, "cmAdvocate_Detail", "fixedforN"), QStringList{"Final Arguments"});
    QRectF date, fixedFor;
    for (const report::PlacedItem &item :
         document.pages.first().textItems(QStringLiteral("cmAdvocate_Detail"))) {
        if (item.name.compare(QStringLiteral("ndate"), Qt::CaseInsensitive) == 0)
            date = item.rect;
        if (item.name.compare(QStringLiteral("fixedforN"), Qt::CaseInsensitive) == 0)
            fixedFor = item.rect;
    }
    // Beside the date, on its line, under "Next Date/Fixed For".
    QVERIFY(fixedFor.left() >= date.right());
    QCOMPARE(fixedFor.top(), date.top());

    // The diary of several days is headed by the advocate's name, as the cause list is.
    HearingsByDate days(HearingsByDate::Kind::CurrentDates);
    prepared = days.run("07/12/2026", "08/12/2026", note);
    QVERIFY(prepared);
    document = report::layOut(prepared->layout, prepared->data);
    QCOMPARE(
        document.pages.first().texts(QStringLiteral("Section1")),
        (QStringList{"Adv. S. K. Menon", "Case Dates between", "07/12/2026", "and", "08/12/2026"}));
    office::setAdvocateName(QString());
}

QTEST_MAIN(TestDiaryReports)
#include "tst_diaryreports.moc"
