#include "diaryqueries.h"

#include <data/dataenvironment.h>
#include <data/dates.h>

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
        const ResultTable holidays = DataEnvironment::run(
            Command{QStringLiteral("select Date from Holidays where Date > ? and Date <= ?"),
                    {from, to}});
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
    const ResultTable rows = DataEnvironment::run(Command{
        QStringLiteral(
            "select h.ndate, count(*) from advocate h where h.ndate < ? "
            "and not exists (select 1 from advocate l where l.cdate >= h.ndate "
            "and (l.caseno = h.caseno or (l.caseno is null and h.caseno is null)) "
            "and (l.Party1 = h.Party1 or (l.Party1 is null and h.Party1 is null))) "
            "group by h.ndate order by h.ndate"),
        {today}});
    MissedHearings missed;
    for (const QVariantList &row : rows.rows) {
        const QVariant date = row.value(0);
        missed.dates.append(date.typeId() == QMetaType::QDate
                                ? date.toDate()
                                : dates::parseIso(date.toString()).value_or(QDate()));
        missed.count += row.value(1).toInt();
    }
    return missed;
}

} // namespace lexordo::diary
