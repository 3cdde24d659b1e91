#include "support/scriptedmessenger.h"
#include "support/testdatabase.h"

#include <data/messenger.h>
#include <data/recordset.h>
#include <diary/carryforward.h>
#include <QTest>

using namespace lexordo;
using diary::CarryForward;

namespace {

const QDate today(2026, 12, 7);
const RecordSource diarySource =
    RecordSource::table(QStringLiteral("advocate")).orderBy(QStringLiteral("cdate, courtindex"));

} // namespace

class TestCarryForward : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void carriesTodaysHearingsForward();
    void leavesOtherHearingsAlone();
    void carriesMoreThanAHundred();
    void secondOpeningTheSameDayAddsNothing();
    void handMadeRowDatedTodayStopsIt();
    void nothingDueShowsTheWholeDiary();
    void hearingWithoutCurrentDateHasNoPreviousDate();
    void asksWhenRowsDatedTodayTurnUp_data();
    void asksWhenRowsDatedTodayTurnUp();
    void aRefusedRowStoresNoneAndSaysWhy();

private:
    void addHearing(const QString &caseno, const QString &cdate, const QString &ndate,
                    int courtIndex = 1, const QString &remarks = QString());
    std::unique_ptr<test::TestDatabase> m_db;
};

void TestCarryForward::init()
{
    m_db = std::make_unique<test::TestDatabase>();
}

void TestCarryForward::cleanup()
{
    m_db.reset();
}

void TestCarryForward::addHearing(const QString &caseno, const QString &cdate, const QString &ndate,
                                  int courtIndex, const QString &remarks)
{
    m_db->exec(QStringLiteral("INSERT INTO advocate VALUES (%1, %2, '2026-10-01', 'State', "
                              "'O''Neil %3', '%3', 'Court %4', %4, 'evidence', %5, 'arguments')")
                   .arg(cdate.isEmpty() ? QStringLiteral("NULL") : u'\'' + cdate + u'\'',
                        remarks.isEmpty() ? QStringLiteral("NULL") : u'\'' + remarks + u'\'',
                        caseno)
                   .arg(courtIndex)
                   .arg(ndate.isEmpty() ? QStringLiteral("NULL") : u'\'' + ndate + u'\''));
}

void TestCarryForward::carriesTodaysHearingsForward()
{
    addHearing(QStringLiteral("CS 2"), QStringLiteral("2026-11-20"), QStringLiteral("2026-12-07"),
               2, QStringLiteral("adjourned"));
    addHearing(QStringLiteral("CS 1"), QStringLiteral("2026-11-23"), QStringLiteral("2026-12-07"),
               1);

    RecordSet diary(diarySource);
    ScriptedMessenger messages;
    const CarryForward result = diary::carryForward(diary, today);

    QCOMPARE(result.outcome, CarryForward::Outcome::CarriedForward);
    QCOMPARE(result.added, 2);
    QVERIFY(messages.shown().isEmpty());
    QCOMPARE(m_db->count(QStringLiteral("advocate")), 4);

    // The register shows the whole diary, at its last row; today's rows in running order.
    QVERIFY(diary.filter().isEmpty());
    QCOMPARE(diary.rowCount(), 4);
    QCOMPARE(diary.position(), 3);
    QCOMPARE(diary.text(QStringLiteral("caseno")), QStringLiteral("CS 2"));
    diary.movePrevious();
    QCOMPARE(diary.text(QStringLiteral("caseno")), QStringLiteral("CS 1"));

    // Each new row carries the old one forward.
    RecordSet stored(
        RecordSource::query(QStringLiteral("select * from advocate where cdate = ? and caseno = ?"),
                            {today, QStringLiteral("CS 2")}));
    QCOMPARE(stored.rowCount(), 1);
    QCOMPARE(stored.value(QStringLiteral("pdate")), QVariant(QDate(2026, 11, 20)));
    QCOMPARE(stored.text(QStringLiteral("fixedfor")), QStringLiteral("arguments"));
    QCOMPARE(stored.text(QStringLiteral("courtname")), QStringLiteral("Court 2"));
    QCOMPARE(stored.value(QStringLiteral("CourtIndex")), QVariant(qint64(2)));
    QCOMPARE(stored.text(QStringLiteral("Party1")), QStringLiteral("State"));
    QCOMPARE(stored.text(QStringLiteral("Party2")), QStringLiteral("O'Neil CS 2"));
    QVERIFY(stored.isNull(QStringLiteral("ndate")));
    QVERIFY(stored.isNull(QStringLiteral("fixedforN")));
    QVERIFY(stored.isNull(QStringLiteral("remarks")));

    // The old hearings are not changed.
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT count(*) FROM advocate WHERE ndate = "
                                         "'2026-12-07' AND fixedforN = 'arguments'"))
                 .toInt(),
             2);
}

void TestCarryForward::leavesOtherHearingsAlone()
{
    addHearing(QStringLiteral("due"), QStringLiteral("2026-11-20"), QStringLiteral("2026-12-07"));
    addHearing(QStringLiteral("later"), QStringLiteral("2026-11-20"), QStringLiteral("2026-12-08"));
    addHearing(QStringLiteral("earlier"), QStringLiteral("2026-11-02"),
               QStringLiteral("2026-12-06"));
    addHearing(QStringLiteral("none"), QStringLiteral("2026-11-20"), QString());

    RecordSet diary(diarySource);
    QCOMPARE(diary::carryForward(diary, today).added, 1);
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT group_concat(caseno) FROM advocate WHERE "
                                         "cdate = '2026-12-07'"))
                 .toString(),
             QStringLiteral("due"));
}

void TestCarryForward::carriesMoreThanAHundred()
{
    for (int i = 0; i < 150; ++i)
        addHearing(QStringLiteral("CS %1").arg(i), QStringLiteral("2026-11-20"),
                   QStringLiteral("2026-12-07"), 1 + i % 7);

    RecordSet diary(diarySource);
    const CarryForward result = diary::carryForward(diary, today);
    QCOMPARE(result.added, 150);
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT count(*) FROM advocate WHERE cdate = "
                                         "'2026-12-07'"))
                 .toInt(),
             150);
    // No empty rows: every row has its date and its case.
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT count(*) FROM advocate WHERE cdate IS NULL OR "
                                         "caseno IS NULL"))
                 .toInt(),
             0);
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT count(DISTINCT caseno) FROM advocate WHERE "
                                         "cdate = '2026-12-07'"))
                 .toInt(),
             150);
}

void TestCarryForward::secondOpeningTheSameDayAddsNothing()
{
    addHearing(QStringLiteral("CS 1"), QStringLiteral("2026-11-20"), QStringLiteral("2026-12-07"));
    addHearing(QStringLiteral("CS 2"), QStringLiteral("2026-11-20"), QStringLiteral("2026-12-09"));
    {
        RecordSet diary(diarySource);
        QCOMPARE(diary::carryForward(diary, today).added, 1);
    }
    RecordSet diary(diarySource);
    ScriptedMessenger messages;
    const CarryForward again = diary::carryForward(diary, today);
    QCOMPARE(again.outcome, CarryForward::Outcome::AlreadyListed);
    QCOMPARE(again.added, 0);
    QVERIFY(messages.shown().isEmpty());
    QCOMPARE(m_db->count(QStringLiteral("advocate")), 3);
    // Only today's rows are shown, at the last of them.
    QCOMPARE(diary.rowCount(), 1);
    QCOMPARE(diary.position(), 0);
    QCOMPARE(diary.value(QStringLiteral("cdate")), QVariant(today));
}

void TestCarryForward::handMadeRowDatedTodayStopsIt()
{
    addHearing(QStringLiteral("CS 1"), QStringLiteral("2026-11-20"), QStringLiteral("2026-12-07"));
    addHearing(QStringLiteral("typed"), QStringLiteral("2026-12-07"), QString());
    RecordSet diary(diarySource);
    QCOMPARE(diary::carryForward(diary, today).outcome, CarryForward::Outcome::AlreadyListed);
    QCOMPARE(m_db->count(QStringLiteral("advocate")), 2);
}

void TestCarryForward::nothingDueShowsTheWholeDiary()
{
    addHearing(QStringLiteral("CS 1"), QStringLiteral("2026-11-20"), QStringLiteral("2026-12-09"));
    addHearing(QStringLiteral("CS 2"), QStringLiteral("2026-11-21"), QStringLiteral("2026-12-10"));
    RecordSet diary(diarySource);
    const CarryForward result = diary::carryForward(diary, today);
    QCOMPARE(result.outcome, CarryForward::Outcome::CarriedForward);
    QCOMPARE(result.added, 0);
    QCOMPARE(diary.rowCount(), 2);
    QCOMPARE(diary.position(), 1);
}

void TestCarryForward::hearingWithoutCurrentDateHasNoPreviousDate()
{
    addHearing(QStringLiteral("CS 1"), QString(), QStringLiteral("2026-12-07"));
    RecordSet diary(diarySource);
    QCOMPARE(diary::carryForward(diary, today).added, 1);
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT count(*) FROM advocate WHERE cdate = "
                                         "'2026-12-07' AND pdate IS NULL AND caseno = 'CS 1'"))
                 .toInt(),
             1);
}

void TestCarryForward::asksWhenRowsDatedTodayTurnUp_data()
{
    QTest::addColumn<bool>("answerYes");
    QTest::addColumn<int>("added");
    QTest::newRow("Yes carries forward what is not listed") << true << 1;
    QTest::newRow("No stops") << false << 0;
}

void TestCarryForward::asksWhenRowsDatedTodayTurnUp()
{
    QFETCH(bool, answerYes);
    QFETCH(int, added);

    addHearing(QStringLiteral("CS 1"), QStringLiteral("2026-11-20"), QStringLiteral("2026-12-07"));
    addHearing(QStringLiteral("CS 2"), QStringLiteral("2026-11-20"), QStringLiteral("2026-12-07"));
    // The register found no row dated today in its view; before the copy
    // took the write lock, another desk listed case 2 today.
    RecordSet diary(diarySource);
    diary.setFilter(Filter(QStringLiteral("cdate"), Filter::Op::Equal, today));
    QCOMPARE(diary.rowCount(), 0);
    addHearing(QStringLiteral("CS 2"), QStringLiteral("2026-12-07"), QString());

    ScriptedMessenger messages;
    messages.answer(answerYes ? Messenger::Answer::Yes : Messenger::Answer::No);
    const CarryForward result = diary::carryForwardUnlisted(diary, today);
    QCOMPARE(messages.texts(),
             QStringList{"Few Cases of this Date Already Exist!! Do you want to continue?"});
    QCOMPARE(messages.shown().first().buttons, Messenger::Buttons::YesNo);
    QCOMPARE(messages.shown().first().defaultButton, Messenger::Default::Cautious);
    QCOMPARE(result.added, added);
    // Case 2 is listed once today, whatever the answer.
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT count(*) FROM advocate WHERE cdate = "
                                         "'2026-12-07' AND caseno = 'CS 2'"))
                 .toInt(),
             1);
    if (!answerYes) {
        QCOMPARE(result.outcome, CarryForward::Outcome::Declined);
        QCOMPARE(diary.rowCount(), 0); // left filtered to today, as read
    }
}

void TestCarryForward::aRefusedRowStoresNoneAndSaysWhy()
{
    for (int i = 1; i <= 3; ++i)
        addHearing(QStringLiteral("CS %1").arg(i), QStringLiteral("2026-11-20"),
                   QStringLiteral("2026-12-07"), i);
    m_db->refuseInserts(QStringLiteral("advocate"), QStringLiteral("NEW.caseno = 'CS 2'"),
                        QStringLiteral("refused"));
    RecordSet diary(diarySource);
    ScriptedMessenger messages;
    const CarryForward result = diary::carryForward(diary, today);
    QCOMPARE(result.outcome, CarryForward::Outcome::Failed);
    QCOMPARE(result.added, 0);
    QCOMPARE(result.failed, 3);
    // Told by the screen, not by the logic.
    QCOMPARE(result.message, diary::notCarriedMessage(3, QStringLiteral("refused")));
    QVERIFY(result.message.startsWith(QStringLiteral("3 hearing(s) due today")));
    QVERIFY(messages.texts().isEmpty());
    // Nothing partial: not one of today's rows was kept.
    QCOMPARE(
        m_db->scalar(QStringLiteral("SELECT count(*) FROM advocate WHERE cdate = '2026-12-07'"))
            .toInt(),
        0);
    QCOMPARE(diary.rowCount(), 3);
    QVERIFY(!diary.hasPendingChanges());

    // Once the cause is gone, the next opening carries the whole day.
    m_db->allowInserts(QStringLiteral("advocate"));
    RecordSet again(diarySource);
    QCOMPARE(diary::carryForward(again, today).added, 3);
    QCOMPARE(again.rowCount(), 6);
}

QTEST_GUILESS_MAIN(TestCarryForward)
#include "tst_carryforward.moc"
