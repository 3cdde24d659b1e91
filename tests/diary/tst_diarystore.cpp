#include "support/scriptedmessenger.h"
#include "support/testdatabase.h"

#include <atomic>
#include <data/database.h>
#include <data/dataerror.h>
#include <data/recordset.h>
#include <diary/carryforward.h>
#include <diary/conversion.h>
#include <diary/diarystore.h>
#include <QTest>
#include <sqlite3.h>
#include <thread>

using namespace lexordo;

namespace {

// What a write says when another program holds the diary's lock: the file first.
QString lockedReason()
{
    return QStringLiteral("The database %1 is locked by another program; nothing was changed "
                          "(database is locked).")
        .arg(lexordo::Database::path());
}

} // namespace

namespace {

const QDate today(2026, 12, 7);
const RecordSource diarySource =
    RecordSource::table(QStringLiteral("advocate")).orderBy(QStringLiteral("cdate, courtindex"));

// A second connection to the same file, as another program or another copy
// of Lexordo would have.
class OtherConnection
{
public:
    explicit OtherConnection(const QString &path)
    {
        if (sqlite3_open(path.toUtf8().constData(), &m_db) != SQLITE_OK)
            qFatal("the second connection could not be opened");
        sqlite3_busy_timeout(m_db, 5000);
    }
    ~OtherConnection() { sqlite3_close(m_db); }

    int exec(const char *sql) { return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr); }
    void setLockWait(int milliseconds) { sqlite3_busy_timeout(m_db, milliseconds); }

    int scalar(const char *sql)
    {
        sqlite3_stmt *stmt = nullptr;
        int value = -1;
        if (sqlite3_prepare_v2(m_db, sql, -1, &stmt, nullptr) == SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW)
            value = sqlite3_column_int(stmt, 0);
        sqlite3_finalize(stmt);
        return value;
    }

private:
    sqlite3 *m_db = nullptr;
};

} // namespace

class TestDiaryStore : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void carryForwardCopiesEachDueHearingOnce();
    void carryForwardPassesOverHearingsListedToday();
    void carryForwardRefusesOutsideATransaction();
    void convertDaySkipsCasesListedBefore();
    void lookUps();
    void refillWorkTable();
    void missedHearingsAreThoseSinceTheDiaryWasLastUsed();

    void carryForwardWaitsNotForAnotherProgramsLock();
    void failedCommitStoresNothingAndSaysWhy();
    void twoCopiesCarryADayForwardOnce();
    void conversionThatCannotCommitSaysHowManyAndWhy();
    void workTableRefillAndReadAreOneUnit();

private:
    void addHearing(const QString &caseno, const QString &cdate, const QString &ndate,
                    int courtIndex = 1, const QString &party = QStringLiteral("O'Neil"));
    int countOn(const QString &isoDate) const;
    std::unique_ptr<test::TestDatabase> m_db;
};

void TestDiaryStore::init()
{
    m_db = std::make_unique<test::TestDatabase>();
    Database::setLockWait(200);
}

void TestDiaryStore::cleanup()
{
    m_db.reset();
    Database::setLockWait(5000);
}

void TestDiaryStore::addHearing(const QString &caseno, const QString &cdate, const QString &ndate,
                                int courtIndex, const QString &party)
{
    QString escaped = party;
    escaped.replace(u'\'', QStringLiteral("''"));
    m_db->exec(QStringLiteral("INSERT INTO advocate VALUES ('%1', 'heard', '2026-10-01', '%2', "
                              "'State', '%3', 'Court %4', %4, 'evidence', %5, 'arguments')")
                   .arg(cdate, escaped, caseno)
                   .arg(courtIndex)
                   .arg(ndate.isEmpty() ? QStringLiteral("NULL") : u'\'' + ndate + u'\''));
}

int TestDiaryStore::countOn(const QString &isoDate) const
{
    return m_db
        ->scalar(QStringLiteral("SELECT count(*) FROM advocate WHERE cdate = '%1'").arg(isoDate))
        .toInt();
}

void TestDiaryStore::carryForwardCopiesEachDueHearingOnce()
{
    addHearing(QStringLiteral("CS 1"), QStringLiteral("2026-11-20"), QStringLiteral("2026-12-07"),
               2, QStringLiteral("राम लाल"));
    addHearing(QStringLiteral("CS 2"), QStringLiteral("2026-11-23"), QStringLiteral("2026-12-07"),
               1);
    addHearing(QStringLiteral("CS 3"), QStringLiteral("2026-11-23"), QStringLiteral("2026-12-08"),
               1);

    const DiaryStore::CarryResult first = DiaryStore::carryForward(today);
    QCOMPARE(first.outcome, DiaryStore::Carry::Carried);
    QCOMPARE(first.added, 2);
    QCOMPARE(countOn(QStringLiteral("2026-12-07")), 2);
    QCOMPARE(
        m_db
            ->scalar(QStringLiteral(
                "SELECT pdate || '|' || Party1 || '|' || fixedfor || '|' || CourtIndex "
                "|| '|' || coalesce(CAST(ndate AS TEXT), 'none') || coalesce(fixedforN, 'none') || "
                "coalesce(remarks, 'none') FROM advocate WHERE cdate = '2026-12-07' AND "
                "caseno = 'CS 1'"))
            .toString(),
        QStringLiteral("2026-11-20|राम लाल|arguments|2|nonenonenone"));
    QVERIFY(!Database::inTransaction());

    const DiaryStore::CarryResult second = DiaryStore::carryForward(today);
    QCOMPARE(second.outcome, DiaryStore::Carry::AlreadyListed);
    QCOMPARE(second.added, 0);
    QCOMPARE(countOn(QStringLiteral("2026-12-07")), 2);
    // Asked and answered Yes, no hearing is listed a second time.
    QCOMPARE(DiaryStore::carryForward(today, true).added, 0);
    QCOMPARE(countOn(QStringLiteral("2026-12-07")), 2);
}

void TestDiaryStore::carryForwardPassesOverHearingsListedToday()
{
    addHearing(QStringLiteral("CS 1"), QStringLiteral("2026-11-20"), QStringLiteral("2026-12-07"));
    addHearing(QStringLiteral("CS 2"), QStringLiteral("2026-11-20"), QStringLiteral("2026-12-07"));
    addHearing(QStringLiteral("CS 3"), QStringLiteral("2026-11-20"), QStringLiteral("2026-12-07"));
    addHearing(QString(), QStringLiteral("2026-11-20"), QStringLiteral("2026-12-07"));
    // The same case number with another first party is another case.
    addHearing(QStringLiteral("CS 3"), QStringLiteral("2026-11-21"), QStringLiteral("2026-12-07"),
               1, QStringLiteral("Iyer"));
    // Typed by hand today, letter case aside: case 1 and the hearing without a number.
    m_db->exec(QStringLiteral("INSERT INTO advocate (cdate, caseno, Party1, Party2) VALUES "
                              "('2026-12-07', 'cs 1', 'o''neil', 'STATE'), "
                              "('2026-12-07', '', 'O''Neil', 'State')"));

    const DiaryStore::CarryResult result = DiaryStore::carryForward(today, true);
    QCOMPARE(result.added, 3);
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT group_concat(caseno || ' ' || Party1, ', ') FROM "
                                         "(SELECT caseno, Party1 FROM advocate WHERE cdate = "
                                         "'2026-12-07' AND pdate IS NOT NULL ORDER BY caseno, "
                                         "Party1) AS carried"))
                 .toString(),
             QStringLiteral("CS 2 O'Neil, CS 3 Iyer, CS 3 O'Neil"));
}

void TestDiaryStore::carryForwardRefusesOutsideATransaction()
{
    addHearing(QStringLiteral("CS 1"), QStringLiteral("2026-11-20"), QStringLiteral("2026-12-07"));
    QVERIFY_THROWS_EXCEPTION(DataError, DiaryStore::insertListingsDueOn(today));
    QVERIFY_THROWS_EXCEPTION(DataError, DiaryStore::refillWorkTable(today, today, false));
    QCOMPARE(countOn(QStringLiteral("2026-12-07")), 0);
    {
        Database::Transaction transaction;
        QCOMPARE(DiaryStore::insertListingsDueOn(today), 1);
        // Not committed: rolled back.
    }
    QCOMPARE(countOn(QStringLiteral("2026-12-07")), 0);
}

void TestDiaryStore::convertDaySkipsCasesListedBefore()
{
    const QDate day(2026, 12, 9);
    addHearing(QStringLiteral("CS 1"), QStringLiteral("2026-11-20"), QStringLiteral("2026-12-09"));
    addHearing(QStringLiteral("CS 2"), QStringLiteral("2026-11-21"), QStringLiteral("2026-12-09"));
    addHearing(QStringLiteral("CS 2"), QStringLiteral("2026-11-22"), QStringLiteral("2026-12-09"));
    addHearing(QStringLiteral("cs 3"), QStringLiteral("2026-11-22"), QStringLiteral("2026-12-09"));
    // Case 3 has a listing on the day already (letter case aside).
    addHearing(QStringLiteral("CS 3"), QStringLiteral("2026-12-09"), QString());

    const DiaryStore::Converted converted = DiaryStore::convertDay(day);
    QCOMPARE(converted.due, 4);
    // Both hearings of case 2 are converted: rows made by the same
    // conversion are not looked at.
    QCOMPARE(converted.added, 3);
    QCOMPARE(countOn(QStringLiteral("2026-12-09")), 4);
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT count(*) FROM advocate WHERE cdate = '2026-12-09' "
                                         "AND caseno = 'CS 2' AND remarks IS NULL"))
                 .toInt(),
             2);

    // Again: every case is listed on the day now.
    QCOMPARE(DiaryStore::convertDay(day).added, 0);
    QCOMPARE(countOn(QStringLiteral("2026-12-09")), 4);

    // A hearing without a case number is known by its parties: converted once.
    addHearing(QString(), QStringLiteral("2026-11-23"), QStringLiteral("2026-12-09"));
    QCOMPARE(DiaryStore::convertDay(day).added, 1);
    QCOMPARE(DiaryStore::convertDay(day).added, 0);
    QCOMPARE(countOn(QStringLiteral("2026-12-09")), 5);
}

void TestDiaryStore::lookUps()
{
    m_db->exec(
        QStringLiteral("INSERT INTO courts VALUES ('O''Brien Tribunal', 4), ('Straße Court', "
                       "7), ('High Court', 1)"));
    m_db->exec(QStringLiteral(
        "INSERT INTO Holidays VALUES ('2026-12-25', 'Christmas'), ('2026-12-25', 'Second')"));
    QCOMPARE(
        DiaryStore::courtIndex(QStringLiteral("o'brien tribunal")).value_or(QVariant()).toInt(), 4);
    QCOMPARE(DiaryStore::courtIndex(QStringLiteral("STRASSE COURT")).has_value(), false);
    QCOMPARE(DiaryStore::courtIndex(QStringLiteral("straße court")).value_or(QVariant()).toInt(),
             7);
    QVERIFY(!DiaryStore::courtIndex(QStringLiteral("High")).has_value());
    QCOMPARE(DiaryStore::holidayOn(QDate(2026, 12, 25)).value_or(QString()),
             QStringLiteral("Christmas"));
    QVERIFY(!DiaryStore::holidayOn(QDate(2026, 12, 24)).has_value());

    addHearing(QStringLiteral("CS 1"), QStringLiteral("2026-11-20"), QString(), 1,
               QStringLiteral("A"));
    addHearing(QStringLiteral("CS 1"), QStringLiteral("2026-11-21"), QString(), 1,
               QStringLiteral("A"));
    addHearing(QStringLiteral("CS 1"), QStringLiteral("2026-11-22"), QString(), 1,
               QStringLiteral("B"));
    addHearing(QStringLiteral("CS 2"), QStringLiteral("2026-11-22"), QString(), 1,
               QStringLiteral("A"));
    QCOMPARE(DiaryStore::countCases(), 3);
    QCOMPARE(DiaryStore::countListedOn(QDate(2026, 11, 22)), 2);
}

void TestDiaryStore::refillWorkTable()
{
    m_db->exec(QStringLiteral("INSERT INTO tmpAdvocate (caseno) VALUES ('left over')"));
    addHearing(QStringLiteral("CS 1"), QStringLiteral("2026-12-01"), QStringLiteral("2026-12-20"));
    addHearing(QStringLiteral("CS 2"), QStringLiteral("2026-12-02"), QString());
    addHearing(QStringLiteral("CS 3"), QStringLiteral("2026-12-03"), QString());
    addHearing(QStringLiteral("CS 4"), QStringLiteral("2026-12-04"), QString());
    {
        Database::Transaction transaction;
        QCOMPARE(DiaryStore::refillWorkTable(QDate(2026, 12, 1), QDate(2026, 12, 3), false), 3);
        transaction.commit();
    }
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT group_concat(caseno) FROM (SELECT caseno FROM "
                                         "tmpAdvocate ORDER BY caseno) AS listed"))
                 .toString(),
             QStringLiteral("CS 1,CS 2,CS 3"));
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT ndate FROM tmpAdvocate WHERE caseno = 'CS 1'"))
                 .toString(),
             QStringLiteral("2026-12-20"));
    {
        Database::Transaction transaction;
        QCOMPARE(DiaryStore::refillWorkTable(QDate(2026, 12, 1), QDate(2026, 12, 4), true), 3);
        transaction.commit();
    }
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT count(*) FROM tmpAdvocate WHERE caseno <> 'CS 1' "
                                         "AND ndate IS NULL AND fixedforN IS NULL AND fixedfor = "
                                         "'evidence'"))
                 .toInt(),
             3);
    QCOMPARE(m_db->count(QStringLiteral("tmpAdvocate")), 3);
}

// Another program holds the write lock: the carry-forward stores nothing,
// waits no longer than the lock wait, says how many hearings were not
// carried forward and why, and works once the lock is free.
void TestDiaryStore::carryForwardWaitsNotForAnotherProgramsLock()
{
    if (test::TestDatabase::onServer())
        QSKIP("The file's write lock; the five-desks test covers the server.");
    for (int i = 1; i <= 6; ++i)
        addHearing(QStringLiteral("CS %1").arg(i), QStringLiteral("2026-11-20"),
                   QStringLiteral("2026-12-07"), i);
    OtherConnection other(m_db->path());
    QCOMPARE(other.exec("BEGIN IMMEDIATE"), SQLITE_OK);

    RecordSet diary(diarySource);
    ScriptedMessenger messages;
    const diary::CarryForward result = diary::carryForward(diary, today);
    QCOMPARE(result.outcome, diary::CarryForward::Outcome::Failed);
    QCOMPARE(result.failed, 6);
    QCOMPARE(result.message, diary::notCarriedMessage(6, lockedReason()));
    QCOMPARE(other.scalar("SELECT count(*) FROM advocate WHERE cdate = '2026-12-07'"), 0);
    QVERIFY(!Database::inTransaction());
    QCOMPARE(diary.rowCount(), 6);

    QCOMPARE(other.exec("ROLLBACK"), SQLITE_OK);
    RecordSet again(diarySource);
    QCOMPARE(diary::carryForward(again, today).added, 6);
    QCOMPARE(again.rowCount(), 12);
    QVERIFY(messages.texts().isEmpty());
}

// The commit itself fails (another program is reading the file in the
// rollback-journal mode other tools may leave it in): nothing is kept.
void TestDiaryStore::failedCommitStoresNothingAndSaysWhy()
{
    if (test::TestDatabase::onServer())
        QSKIP("A file's rollback journal.");
    for (int i = 1; i <= 4; ++i)
        addHearing(QStringLiteral("CS %1").arg(i), QStringLiteral("2026-11-20"),
                   QStringLiteral("2026-12-07"), i);
    Database::exec(QStringLiteral("PRAGMA journal_mode = DELETE"));
    OtherConnection reader(m_db->path());
    QCOMPARE(reader.exec("BEGIN"), SQLITE_OK);
    QCOMPARE(reader.scalar("SELECT count(*) FROM advocate"), 4); // holds its read lock

    RecordSet diary(diarySource);
    ScriptedMessenger messages;
    const diary::CarryForward result = diary::carryForward(diary, today);
    QCOMPARE(result.outcome, diary::CarryForward::Outcome::Failed);
    QCOMPARE(result.added, 0);
    QCOMPARE(result.failed, 4);
    QCOMPARE(result.message, diary::notCarriedMessage(4, lockedReason()));
    QVERIFY(messages.texts().isEmpty());
    QVERIFY(!Database::inTransaction());
    QCOMPARE(reader.exec("COMMIT"), SQLITE_OK);
    QCOMPARE(reader.scalar("SELECT count(*) FROM advocate WHERE cdate = '2026-12-07'"), 0);
    QCOMPARE(countOn(QStringLiteral("2026-12-07")), 0);
}

// Two copies open the register on the same day at the same moment: the
// second waits for the first's lock, then finds today's rows and asks, with
// No as the default; even Yes lists no hearing a second time.
void TestDiaryStore::twoCopiesCarryADayForwardOnce()
{
    if (test::TestDatabase::onServer())
        QSKIP("Another program on the file's lock; the five-desks test covers the server.");
    const int due = 500;
    m_db->exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                              "WHERE i < %1) INSERT INTO advocate (cdate, caseno, Party1, ndate) "
                              "SELECT '2026-11-20', 'CS ' || i, 'P' || i, '2026-12-07' FROM n")
                   .arg(due));
    Database::setLockWait(5000);
    std::atomic<bool> locked = false;
    std::atomic<int> otherAdded = -1;
    const QString path = m_db->path();
    std::thread otherCopy([&] {
        OtherConnection other(path);
        other.exec("BEGIN IMMEDIATE");
        locked = true;
        const bool listed =
            other.scalar("SELECT count(*) FROM advocate WHERE cdate = '2026-12-07'") > 0;
        if (!listed)
            other.exec("INSERT INTO advocate (cdate, pdate, caseno, Party1) SELECT ndate, cdate, "
                       "caseno, Party1 FROM advocate WHERE ndate = '2026-12-07'");
        otherAdded = other.scalar("SELECT count(*) FROM advocate WHERE cdate = '2026-12-07'");
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        other.exec("COMMIT");
    });
    // This copy's view was read before the other stored anything.
    RecordSet diary(diarySource);
    diary.setFilter(Filter(QStringLiteral("cdate"), Filter::Op::Equal, today));
    QCOMPARE(diary.rowCount(), 0);
    while (!locked)
        std::this_thread::yield();
    ScriptedMessenger messages;
    messages.answer(Messenger::Answer::Yes);
    const diary::CarryForward mine = diary::carryForwardUnlisted(diary, today);
    otherCopy.join();
    QCOMPARE(otherAdded.load(), due);
    QCOMPARE(messages.texts(), QStringList{diary::alreadyExistQuestion});
    QCOMPARE(messages.shown().first().defaultButton, Messenger::Default::Cautious);
    QCOMPARE(mine.outcome, diary::CarryForward::Outcome::CarriedForward);
    QCOMPARE(mine.added, 0);
    QCOMPARE(countOn(QStringLiteral("2026-12-07")), due);
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT count(*) FROM (SELECT 1 FROM advocate WHERE "
                                         "cdate = '2026-12-07' GROUP BY caseno, Party1 HAVING "
                                         "count(*) > 1) AS twice"))
                 .toInt(),
             0);
}

void TestDiaryStore::conversionThatCannotCommitSaysHowManyAndWhy()
{
    if (test::TestDatabase::onServer())
        QSKIP("Another program on the file's lock; the five-desks test covers the server.");
    const QDate day(2026, 12, 9);
    addHearing(QStringLiteral("CS 1"), QStringLiteral("2026-11-20"), QStringLiteral("2026-12-09"));
    addHearing(QStringLiteral("CS 2"), QStringLiteral("2026-11-21"), QStringLiteral("2026-12-09"));
    RecordSet hearings(RecordSource::table(QStringLiteral("advocate")));
    diary::selectHearingsFixedFor(hearings, day);
    QCOMPARE(hearings.rowCount(), 2);

    OtherConnection other(m_db->path());
    QCOMPARE(other.exec("BEGIN IMMEDIATE"), SQLITE_OK);
    ScriptedMessenger messages;
    const diary::Conversion result = diary::convertHearings(hearings, day);
    QCOMPARE(result.failed, 2);
    QCOMPARE(result.added, 0);
    QCOMPARE(result.message, diary::notConvertedMessage(2, lockedReason()));
    QVERIFY(messages.texts().isEmpty());
    QCOMPARE(other.exec("ROLLBACK"), SQLITE_OK);
    QCOMPARE(countOn(QStringLiteral("2026-12-09")), 0);

    const diary::Conversion retried = diary::convertHearings(hearings, day);
    QCOMPARE(retried.added, 2);
    QCOMPARE(retried.failed, 0);
}

// A second report run (another copy, or a scheduled print) cannot refill the
// work table between this run's refill and its read: it waits for the lock
// and, failing, changes nothing.
void TestDiaryStore::workTableRefillAndReadAreOneUnit()
{
    if (test::TestDatabase::onServer())
        QSKIP("Another program on the file's lock; the five-desks test covers the server.");
    addHearing(QStringLiteral("CS 1"), QStringLiteral("2026-12-01"), QString());
    addHearing(QStringLiteral("CS 2"), QStringLiteral("2026-12-02"), QString());
    OtherConnection otherRun(m_db->path());
    otherRun.setLockWait(100);
    {
        Database::Transaction transaction;
        QCOMPARE(DiaryStore::refillWorkTable(QDate(2026, 12, 1), QDate(2026, 12, 1), false), 1);
        QCOMPARE(otherRun.exec("BEGIN IMMEDIATE"), SQLITE_BUSY);
        QCOMPARE(otherRun.exec("DELETE FROM tmpAdvocate"), SQLITE_BUSY);
        QCOMPARE(
            m_db->scalar(QStringLiteral("SELECT group_concat(caseno) FROM tmpAdvocate")).toString(),
            QStringLiteral("CS 1"));
        transaction.commit();
    }
    // The other run, refused while this one read, now has its turn.
    QCOMPARE(otherRun.exec("BEGIN IMMEDIATE"), SQLITE_OK);
    QVERIFY_THROWS_EXCEPTION(DataError, [] { Database::Transaction blocked; }());
    QCOMPARE(otherRun.exec("ROLLBACK"), SQLITE_OK);
    QCOMPARE(m_db->count(QStringLiteral("tmpAdvocate")), 1);
}

void TestDiaryStore::missedHearingsAreThoseSinceTheDiaryWasLastUsed()
{
    // Last used on Wednesday 02/12; a hearing fixed for 30/11 was missed then
    // (and asked about then), so only Thursday to Saturday count now.
    addHearing(QStringLiteral("CS 1"), QStringLiteral("2026-11-02"), QStringLiteral("2026-11-30"));
    addHearing(QStringLiteral("CS 2"), QStringLiteral("2026-11-20"), QStringLiteral("2026-12-02"));
    addHearing(QStringLiteral("CS 2"), QStringLiteral("2026-12-02"), QStringLiteral("2026-12-03"));
    addHearing(QStringLiteral("CS 3"), QStringLiteral("2026-11-25"), QStringLiteral("2026-12-05"),
               1, QStringLiteral("Anand"));
    // Listed already for a later day by hand: not missed.
    addHearing(QStringLiteral("CS 4"), QStringLiteral("2026-11-25"), QStringLiteral("2026-12-04"));
    addHearing(QStringLiteral("CS 4"), QStringLiteral("2026-12-10"), QString());
    // The same case number with another first party is another case.
    addHearing(QStringLiteral("CS 4"), QStringLiteral("2026-11-26"), QStringLiteral("2026-12-04"),
               1, QStringLiteral("Iyer"));

    const QDate today(2026, 12, 7);
    const DiaryStore::MissedHearings missed = DiaryStore::missedHearings(today);
    QCOMPARE(missed.count, 3);
    QCOMPARE(missed.dates,
             (QList<QDate>{QDate(2026, 12, 3), QDate(2026, 12, 4), QDate(2026, 12, 5)}));

    QCOMPARE(DiaryStore::listMissedHearings(today), 3);
    QCOMPARE(countOn(QStringLiteral("2026-12-07")), 3);
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT pdate FROM advocate WHERE cdate = '2026-12-07' "
                                         "AND caseno = 'CS 4'"))
                 .toString(),
             QStringLiteral("2026-11-26"));
    // Listed today, they are missed no longer.
    QCOMPARE(DiaryStore::missedHearings(today).count, 0);
}

QTEST_GUILESS_MAIN(TestDiaryStore)
#include "tst_diarystore.moc"
