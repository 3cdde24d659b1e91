#include "diaryqueries.h"

#include <data/database.h>
#include <data/dataenvironment.h>
#include <data/dataerror.h>
#include <data/dates.h>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace lexordo::diary {

namespace {

// The hearings missed: a hearing is missed when its next date comes after
// the latest listing of its case, so the diary is read and grouped once
// instead of searched for a later listing per hearing.
const QString missedFrom = QStringLiteral(
    "from advocate h "
    "join (select coalesce(caseno, '') as caseKey, coalesce(Party1, '') as partyKey, "
    "max(cdate) as lastListed from advocate "
    "group by coalesce(caseno, ''), coalesce(Party1, '')) c "
    "on c.caseKey = coalesce(h.caseno, '') and c.partyKey = coalesce(h.Party1, '') "
    "where h.ndate < ? and (c.lastListed is null or h.ndate > c.lastListed) ");

QDate asDate(const QVariant &value)
{
    return value.typeId() == QMetaType::QDate ? value.toDate()
                                              : dates::parseIso(value.toString()).value_or(QDate());
}

} // namespace

QDate nextWorkingDay(const QDate &day)
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

MissedHearings missedHearings(const QDate &today)
{
    const ResultTable rows =
        DataEnvironment::run(Command{QStringLiteral("select h.ndate, count(*) ") + missedFrom +
                                         QStringLiteral("group by h.ndate order by h.ndate"),
                                     {today}});
    MissedHearings missed;
    for (const QVariantList &row : rows.rows) {
        missed.dates.append(asDate(row.value(0)));
        missed.count += row.value(1).toInt();
    }
    return missed;
}

int listMissedHearings(const QDate &today)
{
    Database::Transaction transaction;
    QSqlQuery insert(QSqlDatabase::database(QStringLiteral("advocate"), false));
    const QString text =
        QStringLiteral("insert into advocate (cdate, pdate, courtname, CourtIndex, caseno, "
                       "Party1, Party2, fixedfor) "
                       "select ?, h.cdate, h.courtname, h.CourtIndex, h.caseno, h.Party1, "
                       "h.Party2, h.fixedforN ") +
        missedFrom + QStringLiteral("order by h.ndate, h.CourtIndex");
    if (!insert.prepare(text))
        throw DataError(insert.lastError().text());
    insert.addBindValue(dates::toIso(today));
    insert.addBindValue(dates::toIso(today));
    if (!insert.exec())
        throw DataError(insert.lastError().text());
    const int added = insert.numRowsAffected();
    transaction.commit();
    return added;
}

} // namespace lexordo::diary
