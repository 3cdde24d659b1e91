#include "diaryqueries.h"

#include <data/database.h>
#include <data/dataenvironment.h>
#include <data/dataerror.h>
#include <data/dates.h>
#include <data/recordset.h>
#include <QSet>

namespace lexordo::diary {

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
            closed.insert(row.value(0).toDate());
        for (QDate d = from.addDays(1); d <= to; d = d.addDays(1)) {
            if (dates::weekday(d) != 1 && !closed.contains(d))
                return d;
        }
        from = to;
    }
}

MissedHearings missedHearings(const QDate &today)
{
    // A hearing is missed when its next date comes after the latest listing
    // of its case (case number and first party): the diary read once, grouped
    // once, instead of a search for a later listing per hearing.
    const ResultTable rows = DataEnvironment::run(Command{
        QStringLiteral(
            "select h.ndate, h.cdate, h.courtname, h.CourtIndex, h.caseno, h.Party1, h.Party2, "
            "h.fixedforN from advocate h "
            "join (select coalesce(caseno, '') as caseKey, coalesce(Party1, '') as partyKey, "
            "max(cdate) as lastListed from advocate "
            "group by coalesce(caseno, ''), coalesce(Party1, '')) c "
            "on c.caseKey = coalesce(h.caseno, '') and c.partyKey = coalesce(h.Party1, '') "
            "where h.ndate < ? and (c.lastListed is null or h.ndate > c.lastListed) "
            "order by h.ndate, h.CourtIndex"),
        {today}});
    auto asDate = [](const QVariant &value) {
        return value.typeId() == QMetaType::QDate
                   ? value.toDate()
                   : dates::parseIso(value.toString()).value_or(QDate());
    };
    MissedHearings missed;
    for (const QVariantList &row : rows.rows) {
        const QDate due = asDate(row.value(0));
        if (missed.dates.isEmpty() || missed.dates.last() != due)
            missed.dates.append(due);
        const QVariant cdate = row.value(1).isNull() ? QVariant() : QVariant(asDate(row.value(1)));
        missed.hearings.append(Hearing{cdate, row.value(2), row.value(3), row.value(4),
                                       row.value(5), row.value(6), row.value(7)});
    }
    return missed;
}

void listHearingsOn(RecordSet &diary, const QDate &day, const QList<Hearing> &hearings)
{
    try {
        Database::Transaction transaction;
        for (const Hearing &hearing : hearings)
            appendListing(diary, day, hearing);
        transaction.commit();
    } catch (const DataError &) {
        // Rolled back: none of them is kept, and the rows added on screen go
        // with the re-read.
        diary.cancelUpdate();
        diary.requery();
        throw;
    }
}

} // namespace lexordo::diary
