#include "remindersstore.h"

#include <data/database.h>
#include <data/dataerror.h>
#include <data/dates.h>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace lexordo {

namespace {

QSqlQuery prepared(const QString &sql)
{
    if (!Database::isOpen())
        throw DataError(QStringLiteral("The database is not open."));
    QSqlQuery query(QSqlDatabase::database(QStringLiteral("advocate"), false));
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        throw DataError(query.lastError().text());
    return query;
}

void run(QSqlQuery &query)
{
    if (!query.exec())
        throw DataError(query.lastError().text());
}

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
    QSqlQuery count = prepared(
        QStringLiteral("SELECT count(*) FROM reminder WHERE \"REMDate\" >= ? AND \"REMDate\" < ?"));
    count.addBindValue(from);
    count.addBindValue(to);
    run(count);
    if (count.next())
        result.total = count.value(0).toInt();

    QSqlQuery list =
        prepared(QStringLiteral("SELECT \"Time\", \"Work\" FROM reminder"
                                " WHERE \"REMDate\" >= ? AND \"REMDate\" < ? LIMIT ?"));
    list.addBindValue(from);
    list.addBindValue(to);
    list.addBindValue(limit);
    run(list);
    while (list.next()) {
        Reminder reminder;
        if (!list.value(0).isNull()) {
            reminder.timeText = list.value(0).toString();
            reminder.time = readTime(reminder.timeText);
        }
        reminder.work = list.value(1).toString();
        result.first.append(reminder);
    }
    if (list.lastError().isValid())
        throw DataError(list.lastError().text());
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
