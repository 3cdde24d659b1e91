#pragma once

#include <QDate>
#include <QStringList>
#include <reports/runtime/reportlayout.h>

namespace lexordo {

namespace report {
class ReportWindow;
}

// Today's reminders as the reminder window shows them and the reminder
// report prints them: the date text, and the time and work of each row.
struct ReminderList
{
    static constexpr int rows = 9;

    QString date;
    QStringList times; // "4:00 PM", at most nine
    QStringList works;
    int notShown = 0; // reminders of the day beyond the nine rows

    // The day's list read afresh from the table.
    static ReminderList forDay(const QDate &day); // throws DataError
    // "2 more reminders for today are not shown ..."; empty when all are shown.
    QString notShownText() const;
};

// The reminder report `drReminder`: one block with the title, the date and
// ten rows of time and work.
report::ReportLayout reminderReportLayout(const ReminderList &list);
report::ReportWindow *openReminderReport(const ReminderList &list);

} // namespace lexordo
