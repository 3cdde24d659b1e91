#include "support/scriptedmessenger.h"
#include "support/testdatabase.h"

#include <data/messenger.h>
#include <data/recordset.h>
#include <diary/conversion.h>
#include <diary/missedhearings.h>
#include <diary/nextdate.h>
#include <QTest>

using namespace lexordo;

class TestDiaryLogic : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void nextDateQuestion_data();
    void nextDateQuestion();
    void missedHearingsText_data();
    void missedHearingsText();

    void warningListsRecentHearingsWithoutNextDate();
    void convertsThreeHearings();
    void convertingTheSameDayTwiceAddsNothing();
    void duplicateQuestionAnsweredNo();
    void sameCaseTwiceInOneRunGivesTwoRows();

private:
    std::unique_ptr<test::TestDatabase> m_db;
};

void TestDiaryLogic::init()
{
    m_db = std::make_unique<test::TestDatabase>();
    m_db->exec(QStringLiteral("INSERT INTO Holidays VALUES ('2026-12-25', 'Christmas'), "
                              "('2026-12-13', 'Guru''s Day'), ('2026-12-25', 'Second event')"));
}

void TestDiaryLogic::cleanup()
{
    m_db.reset();
}

void TestDiaryLogic::nextDateQuestion_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("question");

    QTest::newRow("Sunday") << QDate(2026, 12, 6) << "Today is sunday. Do you want to continue?";
    QTest::newRow("holiday, first event named")
        << QDate(2026, 12, 25) << "Today is Christmas. Do you want to continue?";
    QTest::newRow("Sunday that is a holiday")
        << QDate(2026, 12, 13) << "Today is sunday. Do you want to continue?";
    QTest::newRow("working day") << QDate(2026, 12, 8) << QString();
}

void TestDiaryLogic::nextDateQuestion()
{
    QFETCH(QDate, date);
    QFETCH(QString, question);
    QCOMPARE(diary::nextDateQuestion(date).value_or(QString()), question);
}

void TestDiaryLogic::missedHearingsText_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("days");
    QTest::addColumn<QString>("text");

    const QString choices = QStringLiteral(
        ".\nYes lists them on today's date, No shows them, Cancel leaves them as they are.");
    QTest::newRow("one hearing") << 1 << 1
                                 << "1 hearing fixed for 01/12/2026 was not listed on its date: "
                                    "the diary was not opened on that day" +
                                        choices;
    QTest::newRow("several on one day")
        << 3 << 1
        << "3 hearings fixed for 01/12/2026 were not listed on their dates: the diary was not "
           "opened on that day" +
               choices;
    QTest::newRow("a long absence: ten days named, the rest counted")
        << 15 << 12
        << "15 hearings fixed for 01/12/2026, 02/12/2026, 03/12/2026, 04/12/2026, 05/12/2026, "
           "06/12/2026, 07/12/2026, 08/12/2026, 09/12/2026, 10/12/2026, and 2 more days were not "
           "listed on their dates: the diary was not opened on those days" +
               choices;
}

void TestDiaryLogic::missedHearingsText()
{
    QFETCH(int, count);
    QFETCH(int, days);
    QFETCH(QString, text);
    DiaryStore::MissedHearings missed;
    missed.count = count;
    for (int day = 0; day < days; ++day)
        missed.dates << QDate(2026, 12, 1).addDays(day);
    QCOMPARE(diary::missedHearingsText(missed), text);
}

void TestDiaryLogic::warningListsRecentHearingsWithoutNextDate()
{
    m_db->exec(QStringLiteral("INSERT INTO advocate (cdate, caseno, ndate) VALUES "
                              "('2026-11-06', 'in window, first day', NULL),"
                              "('2026-11-05', 'too old', NULL),"
                              "('2026-11-30', 'has a next date', '2026-12-07'),"
                              "('2026-12-20', 'after the day', NULL)"));
    RecordSet diary(RecordSource::table(QStringLiteral("advocate")));
    const QStringList found = diary::datesWithoutNextDate(diary, QDate(2026, 12, 6));
    QCOMPARE(found, (QStringList{"06/11/2026", "20/12/2026"}));
    QCOMPARE(diary::warningCaption(found),
             QStringLiteral("Next Date is not entered for Dates :  06/11/2026 20/12/2026"));
}

void TestDiaryLogic::convertsThreeHearings()
{
    m_db->exec(QStringLiteral(
        "INSERT INTO advocate VALUES "
        "('2026-11-20', 'part heard', NULL, 'A', 'B', 'CS 1', 'High Court', 1, 'evidence', "
        "'2026-12-09', 'arguments'),"
        "('2026-11-21', NULL, NULL, 'C', 'D''Cruz', 'CS 2', 'District Court', 2, 'reply', "
        "'2026-12-09', NULL),"
        "('2026-11-22', NULL, NULL, 'E', 'F', 'CS 3', 'Civil Court', 3, 'orders', "
        "'2026-12-09', 'judgment'),"
        "('2026-11-22', NULL, NULL, 'G', 'H', 'CS 4', 'Civil Court', 3, 'orders', "
        "'2026-12-10', 'judgment')"));
    RecordSet diary(RecordSource::table(QStringLiteral("advocate")));
    diary::selectHearingsFixedFor(diary, QDate(2026, 12, 9));
    QCOMPARE(diary.rowCount(), 3);

    ScriptedMessenger messages;
    const diary::Conversion result = diary::convertHearings(diary, QDate(2026, 12, 9));
    QVERIFY(messages.shown().isEmpty());
    QCOMPARE(result.added, 3);
    QCOMPARE(m_db->count(QStringLiteral("advocate")), 7);

    RecordSet made(
        RecordSource::table(QStringLiteral("advocate"))
            .where(Filter(QStringLiteral("cdate"), Filter::Op::Equal, QDate(2026, 12, 9)))
            .orderBy(QStringLiteral("caseno")));
    QCOMPARE(made.rowCount(), 3);
    QCOMPARE(made.value(QStringLiteral("pdate")), QVariant(QDate(2026, 11, 20)));
    QCOMPARE(made.text(QStringLiteral("fixedfor")), QStringLiteral("arguments"));
    QVERIFY(made.isNull(QStringLiteral("remarks")));
    QVERIFY(made.isNull(QStringLiteral("ndate")));
    QVERIFY(made.isNull(QStringLiteral("fixedforN")));
    made.moveNext();
    QCOMPARE(made.text(QStringLiteral("Party2")), QStringLiteral("D'Cruz"));
    QVERIFY(made.isNull(QStringLiteral("fixedfor")));
    QCOMPARE(made.value(QStringLiteral("CourtIndex")), QVariant(qint64(2)));
    // The converted hearings keep their own rows unchanged.
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT remarks FROM advocate WHERE caseno = 'CS 1' AND "
                                         "cdate = '2026-11-20'"))
                 .toString(),
             QStringLiteral("part heard"));
}

void TestDiaryLogic::convertingTheSameDayTwiceAddsNothing()
{
    m_db->exec(QStringLiteral("INSERT INTO advocate (cdate, caseno, ndate, fixedforN) VALUES "
                              "('2026-11-20', 'CS 1', '2026-12-09', 'arguments'),"
                              "('2026-11-21', 'CS 2', '2026-12-09', 'orders')"));
    RecordSet diary(RecordSource::table(QStringLiteral("advocate")));
    diary::selectHearingsFixedFor(diary, QDate(2026, 12, 9));
    QCOMPARE(diary::convertHearings(diary, QDate(2026, 12, 9)).added, 2);

    diary::selectHearingsFixedFor(diary, QDate(2026, 12, 9));
    ScriptedMessenger messages;
    messages.answer(Messenger::Answer::Yes);
    const diary::Conversion again = diary::convertHearings(diary, QDate(2026, 12, 9));
    QCOMPARE(messages.texts(),
             QStringList{"Few Cases of this Date Already Exist and duplicate copy of the cases "
                         "can be converted. Do you want to continue?"});
    QCOMPARE(again.added, 0);
    QCOMPARE(again.skipped, 2);
    QCOMPARE(m_db->count(QStringLiteral("advocate")), 4);
}

void TestDiaryLogic::duplicateQuestionAnsweredNo()
{
    m_db->exec(QStringLiteral(
        "INSERT INTO advocate (cdate, caseno, ndate) VALUES ('2026-11-20', 'CS 1', '2026-12-09'),"
        "('2026-12-09', 'CS 9', NULL)"));
    RecordSet diary(RecordSource::table(QStringLiteral("advocate")));
    diary::selectHearingsFixedFor(diary, QDate(2026, 12, 9));
    ScriptedMessenger messages;
    messages.answer(Messenger::Answer::No);
    QVERIFY(diary::convertHearings(diary, QDate(2026, 12, 9)).declined);
    QCOMPARE(m_db->count(QStringLiteral("advocate")), 2);
}

void TestDiaryLogic::sameCaseTwiceInOneRunGivesTwoRows()
{
    m_db->exec(QStringLiteral(
        "INSERT INTO advocate (cdate, caseno, ndate) VALUES ('2026-11-20', 'CS 1', '2026-12-09'),"
        "('2026-11-27', 'CS 1', '2026-12-09')"));
    RecordSet diary(RecordSource::table(QStringLiteral("advocate")));
    diary::selectHearingsFixedFor(diary, QDate(2026, 12, 9));
    QCOMPARE(diary::convertHearings(diary, QDate(2026, 12, 9)).added, 2);
}

QTEST_GUILESS_MAIN(TestDiaryLogic)
#include "tst_diarylogic.moc"
