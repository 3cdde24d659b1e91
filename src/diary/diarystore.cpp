#include "diarystore.h"

#include <data/database.h>
#include <data/dataenvironment.h>
#include <data/dataerror.h>
#include <data/dates.h>
#include <data/sqlquery.h>
#include <QSet>
#include <QThread>

namespace lexordo {

namespace {

int runCount(const QString &sql, const QVariantList &values)
{
    SqlQuery query(sql);
    query.bindAll(values);
    return query.next() ? int(query.integer(0)) : 0;
}

int runWrite(const QString &sql, const QVariantList &values)
{
    SqlQuery query(sql);
    query.bindAll(values);
    return int(query.exec());
}

void requireTransaction(const char *work)
{
    if (!Database::inTransaction())
        throw DataError(
            QStringLiteral("%1 must run inside a transaction.").arg(QString::fromLatin1(work)));
}

const QString casesCount =
    QStringLiteral("SELECT count(*) FROM (SELECT DISTINCT caseno, Party1 FROM advocate) AS pairs");

// The next listing of a hearing: the same case, parties and court, the
// hearing's current date as previous date, what it was fixed for next as
// what it is fixed for now; next date, next fixed-for and remarks empty.
const QString listingInsert = QStringLiteral(
    "INSERT INTO advocate (cdate, pdate, courtname, CourtIndex, caseno, Party1, Party2, fixedfor) "
    "SELECT ?1, h.cdate, h.courtname, h.CourtIndex, h.caseno, h.Party1, h.Party2, h.fixedforN "
    "FROM advocate AS h WHERE h.ndate = ?1");

// A hearing already listed on the day: a row dated ?1 of the same case
// number and parties (letter case and empty against missing ignored, as typed
// by hand). Found through the party index (first party, current date).
const QString listedOnTheDay = QStringLiteral(
    "EXISTS (SELECT 1 FROM advocate AS d WHERE d.Party1 IS h.Party1 COLLATE NOCASE AND "
    "d.cdate = ?1 AND coalesce(d.caseno, '') = coalesce(h.caseno, '') COLLATE NOCASE AND "
    "coalesce(d.Party2, '') = coalesce(h.Party2, '') COLLATE NOCASE)");

} // namespace

int DiaryStore::insertListingsDueOn(const QDate &day)
{
    requireTransaction("The carry-forward");
    // The statement reads the diary as it stood before its first insert: a
    // hearing listed on the day by another desk or by hand is passed over.
    return runWrite(listingInsert + QStringLiteral(" AND NOT ") + listedOnTheDay +
                        QStringLiteral(" ORDER BY h.cdate, h.CourtIndex"),
                    {day});
}

DiaryStore::CarryResult DiaryStore::carryForward(const QDate &day, bool evenIfListed)
{
    Database::Transaction transaction; // takes the write lock before looking
    CarryResult result;
    if (!evenIfListed && countListedOn(day) > 0) {
        result.outcome = Carry::AlreadyListed;
        return result; // rolled back: nothing was written
    }
    result.added = insertListingsDueOn(day);
    transaction.commit();
    return result;
}

DiaryStore::Converted DiaryStore::convertDay(const QDate &day)
{
    Database::Transaction transaction;
    Converted result;
    result.due = countDueOn(day);
    // The statement reads the diary as it stood before its first insert, so
    // two hearings of one case fixed for the day both get their listing.
    result.added = runWrite(
        listingInsert +
            QStringLiteral(" AND NOT EXISTS (SELECT 1 FROM advocate AS d WHERE d.cdate = ?1 AND "
                           "coalesce(h.caseno, '') <> '' AND d.caseno = h.caseno COLLATE NOCASE)"
                           " AND NOT ") +
            listedOnTheDay + QStringLiteral(" ORDER BY h.cdate, h.CourtIndex"),
        {day});
    transaction.commit();
    return result;
}

int DiaryStore::countListedOn(const QDate &day)
{
    return runCount(QStringLiteral("SELECT count(*) FROM advocate WHERE cdate = ?"), {day});
}

int DiaryStore::countDueOn(const QDate &day)
{
    return runCount(QStringLiteral("SELECT count(*) FROM advocate WHERE ndate = ?"), {day});
}

int DiaryStore::countHearings()
{
    if (const auto kept = Database::keptCounts(QStringLiteral("advocate")))
        return int(kept->rows);
    return runCount(QStringLiteral("SELECT count(*) FROM advocate"), {});
}

int DiaryStore::countCases()
{
    if (const auto kept = Database::keptCounts(QStringLiteral("advocate")))
        return int(kept->pairs);
    return runCount(casesCount, {});
}

bool DiaryStore::casesAreKept()
{
    return Database::keptCounts(QStringLiteral("advocate")).has_value();
}

void DiaryStore::countCasesInBackground(QObject *context, std::function<void(int)> done,
                                        std::function<void(const QString &)> failed)
{
    struct Outcome
    {
        int count = -1;
        QString error;
    };
    auto outcome = std::make_shared<Outcome>();
    const QString path = Database::path();
    QThread *thread = QThread::create([path, outcome] {
        // A connection of its own: the program's serves the main thread.
        try {
            const sql::ReadConnection connection(path, 5000);
            SqlQuery query(connection.native(), casesCount);
            outcome->count = query.next() ? int(query.integer(0)) : 0;
        } catch (const DataError &e) {
            outcome->error = e.description();
        }
    });
    // Delivered in the context's thread, and not at all once the context is
    // gone: the connection ends with it.
    QObject::connect(thread, &QThread::finished, context,
                     [outcome, done = std::move(done), failed = std::move(failed)] {
                         if (outcome->error.isEmpty())
                             done(outcome->count);
                         else
                             failed(outcome->error);
                     });
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
}

std::optional<QVariant> DiaryStore::courtIndex(const QString &court)
{
    return SqlQuery::singleValue(
        QStringLiteral(
            "SELECT indexx FROM courts WHERE court = ? COLLATE %1 ORDER BY indexx LIMIT 1")
            .arg(sql::foldedCollation()),
        {court});
}

std::optional<QString> DiaryStore::holidayOn(const QDate &day)
{
    SqlQuery query(QStringLiteral("SELECT Holiday FROM Holidays WHERE Date = ? ORDER BY %1 LIMIT 1")
                       .arg(sql::rowKey()));
    query.bind(1, day);
    if (!query.next())
        return std::nullopt;
    return query.text(0);
}

int DiaryStore::refillWorkTable(const QDate &from, const QDate &to, bool withoutNextDateOnly)
{
    requireTransaction("The refill of the work table");
    runWrite(QStringLiteral("DELETE FROM tmpAdvocate"), {});
    if (withoutNextDateOnly)
        return runWrite(
            QStringLiteral(
                "INSERT INTO tmpAdvocate (cdate, remarks, pdate, Party1, Party2, caseno, "
                "courtname, CourtIndex, fixedfor) SELECT cdate, remarks, pdate, Party1, Party2, "
                "caseno, courtname, CourtIndex, fixedfor FROM advocate WHERE cdate >= ? AND "
                "cdate <= ? AND %1 ORDER BY CourtIndex")
                .arg(sql::noValue(QStringLiteral("ndate"))),
            {from, to});
    return runWrite(
        QStringLiteral("INSERT INTO tmpAdvocate (cdate, remarks, pdate, Party1, "
                       "Party2, caseno, courtname, CourtIndex, fixedfor, ndate, "
                       "fixedforN) SELECT cdate, remarks, pdate, Party1, Party2, caseno, "
                       "courtname, CourtIndex, fixedfor, ndate, fixedforN FROM advocate "
                       "WHERE cdate >= ? AND cdate <= ? ORDER BY CourtIndex"),
        {from, to});
}

namespace {

// The hearings missed: their next date falls after the last day the diary was
// used (its latest listing before today) and before today, and their case
// has no later listing. Nothing is listed between that day and today, so a
// later listing can only be dated today or after. Looking only at the days
// since the diary was last used keeps the question to what is new (it is
// asked once), and keeps its cost to those days however long the diary.
// Binds today three times.
const QString missedFrom = QStringLiteral(
    "from advocate h "
    "where h.ndate > coalesce((select max(cdate) from advocate where cdate < ?), '') "
    "and h.ndate < ? "
    "and not exists (select 1 from advocate l where l.cdate >= ? "
    "and (l.caseno = h.caseno or (l.caseno is null and h.caseno is null)) "
    "and (l.Party1 = h.Party1 or (l.Party1 is null and h.Party1 is null))) ");

QDate asDate(const QVariant &value)
{
    return value.typeId() == QMetaType::QDate ? value.toDate()
                                              : dates::parseIso(value.toString()).value_or(QDate());
}

} // namespace

QDate DiaryStore::nextWorkingDay(const QDate &day)
{
    // Holidays come in runs of a few days at most; a month ahead is read at a
    // time until a free day turns up.
    constexpr int window = 31;
    QDate from = day;
    while (true) {
        const QDate to = from.addDays(window);
        const ResultTable holidays = DataEnvironment::run(Command{
            QStringLiteral("select Date from Holidays where Date > ? and Date <= ?"), {from, to}});
        QSet<QDate> closed;
        for (const QVariantList &row : holidays.rows)
            closed.insert(asDate(row.value(0)));
        for (QDate d = from.addDays(1); d <= to; d = d.addDays(1)) {
            if (dates::weekday(d) != 1 && !closed.contains(d))
                return d;
        }
        from = to;
    }
}

DiaryStore::MissedHearings DiaryStore::missedHearings(const QDate &today)
{
    const ResultTable rows =
        DataEnvironment::run(Command{QStringLiteral("select h.ndate, count(*) ") + missedFrom +
                                         QStringLiteral("group by h.ndate order by h.ndate"),
                                     {today, today, today}});
    MissedHearings missed;
    for (const QVariantList &row : rows.rows) {
        missed.dates.append(asDate(row.value(0)));
        missed.count += row.value(1).toInt();
    }
    return missed;
}

int DiaryStore::listMissedHearings(const QDate &today)
{
    Database::Transaction transaction;
    const QString text =
        QStringLiteral("insert into advocate (cdate, pdate, courtname, CourtIndex, caseno, "
                       "Party1, Party2, fixedfor) "
                       "select ?, h.cdate, h.courtname, h.CourtIndex, h.caseno, h.Party1, "
                       "h.Party2, h.fixedforN ") +
        missedFrom + QStringLiteral("order by h.ndate, h.CourtIndex");
    SqlQuery insert(text);
    for (int i = 1; i <= 4; ++i)
        insert.bind(i, today);
    const int added = int(insert.exec());
    transaction.commit();
    return added;
}

} // namespace lexordo
