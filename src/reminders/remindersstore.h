#pragma once

#include <optional>
#include <QDate>
#include <QList>
#include <QString>
#include <QTime>

namespace lexordo {

// One reminder as the reminder window lists it.
struct Reminder
{
    std::optional<QTime> time; // nothing when the time is empty or not a time
    QString timeText;          // the stored text, for a time that cannot be read
    QString work;
};

// The reminders of one day: the first ones in the order the table keeps
// them, and how many the day holds in all.
struct DayReminders
{
    QList<Reminder> first;
    int total = 0;

    int notShown() const { return total - int(first.size()); }
};

// The statements of the reminders (table `reminder`). No widgets here.
class RemindersStore
{
public:
    // At most `limit` reminders of the day, in table order, and the day's count.
    static DayReminders remindersOn(const QDate &day, int limit); // throws DataError

    // A time as the reminder window shows it: "4:00 PM", "9:30 AM", "12:05 AM".
    static QString formatTime(const QTime &time);
    static QString timeShown(const Reminder &reminder);
};

} // namespace lexordo
