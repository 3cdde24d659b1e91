#include "remindersstore.h"

#include <data/database.h>
#include <data/dataerror.h>
#include <data/dates.h>
#include <data/sqlquery.h>
#include <QVariant>

namespace lexordo {

namespace {

// A stored time "16:00:00"; older files may hold a day before it.
std::optional<QTime> readTime(const QString &text)
{
    if (auto time = dates::parseTime(text))
        return time;
    const qsizetype blank = text.trimmed().lastIndexOf(u' ');
    if (blank > 0)
        return dates::parseTime(QStringView(text.trimmed()).mid(blank + 1));
    return std::nullopt;
}

} // namespace

DayReminders RemindersStore::remindersOn(const QDate &day, int limit)
{
    // The day is a range so that a date stored with a time after it counts too.
    const QString from = dates::toIso(day);
    const QString to = dates::toIso(day.addDays(1));

    DayReminders result;
    if (const auto total = SqlQuery::singleValue(
            QStringLiteral(
                "SELECT count(*) FROM reminder WHERE \"REMDate\" >= ? AND \"REMDate\" < ?"),
            {from, to}))
        result.total = total->toInt();

    SqlQuery list(QStringLiteral("SELECT \"Time\", \"Work\" FROM reminder"
                                 " WHERE \"REMDate\" >= ? AND \"REMDate\" < ? LIMIT ?"));
    list.bindAll({from, to, limit});
    while (list.next()) {
        Reminder reminder;
        if (!list.isNull(0)) {
            reminder.timeText = list.value(0).toString();
            reminder.time = readTime(reminder.timeText);
        }
        reminder.work = list.value(1).toString();
        result.first.append(reminder);
    }
    return result;
}

QString RemindersStore::formatTime(const QTime &time)
{
    if (!time.isValid())
        return QString();
    const int hour = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    return QStringLiteral("%1:%2 %3")
        .arg(hour)
        .arg(time.minute(), 2, 10, QLatin1Char('0'))
        .arg(time.hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM"));
}

QString RemindersStore::timeShown(const Reminder &reminder)
{
    return reminder.time ? formatTime(*reminder.time) : reminder.timeText.trimmed();
}

} // namespace lexordo
