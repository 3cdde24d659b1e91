#include "reminderreport.h"

#include "remindersstore.h"

#include <data/dates.h>
#include <reports/runtime/reportwindow.h>

namespace lexordo {

ReminderList ReminderList::forDay(const QDate &day)
{
    const DayReminders found = RemindersStore::remindersOn(day, rows);
    ReminderList list;
    list.date = dates::format(day);
    for (const Reminder &reminder : found.first) {
        list.times.append(RemindersStore::timeShown(reminder));
        list.works.append(reminder.work);
    }
    list.notShown = found.notShown();
    return list;
}

QString ReminderList::notShownText() const
{
    if (notShown <= 0)
        return QString();
    if (notShown == 1)
        return QStringLiteral("1 more reminder for today is not shown here: search for today's "
                              "date in Enter Reminder to see it.");
    return QStringLiteral("%1 more reminders for today are not shown here: search for today's "
                          "date in Enter Reminder to see them.")
        .arg(notShown);
}

report::ReportLayout reminderReportLayout(const ReminderList &list)
{
    using namespace report;
    ReportLayout layout(QStringLiteral("drReminder"));
    layout.setCaption(QStringLiteral("Reminder Printing"));

    constexpr double rowHeight = 9;
    constexpr double top = 40;
    Section &head = layout.addSection(SectionKind::ReportHeader, QStringLiteral("Section1"),
                                      top + 11 * rowHeight + 16);
    const TextStyle title = TextStyle().size(18).strong().align(Qt::AlignCenter);
    const TextStyle caption = TextStyle().size(11).strong();
    const TextStyle text = TextStyle().size(11);

    head.frame(QRectF(70, 2, 46, 13), 0.5);
    head.label(QStringLiteral("Reminder"), QRectF(70, 4, 46, 10), title);
    head.label(QStringLiteral("Date :"), QRectF(10, 22, 18, 7), caption);
    head.namedLabel(QStringLiteral("lbldate"), QRectF(28, 22, 60, 7), text, list.date);
    head.label(QStringLiteral("Time"), QRectF(10, 32, 30, 7), caption);
    head.label(QStringLiteral("Works to be done"), QRectF(45, 32, 140, 7), caption);
    head.line(QLineF(10, 39.5, 186, 39.5), 0.3);
    for (int n = 1; n <= 10; ++n) {
        const double y = top + (n - 1) * rowHeight;
        // Row ten is part of the block and always stays empty.
        const bool filled = n <= ReminderList::rows && n <= list.times.size();
        // A long work wraps, and the rows after it move down.
        const QString above = QStringLiteral("lblp%1").arg(n - 1);
        head.namedLabel(QStringLiteral("lblSno%1").arg(n), QRectF(10, y, 33, 7), text,
                        filled ? list.times.at(n - 1) : QString())
            .singleLine();
        if (n > 1)
            head.below(above);
        head.namedLabel(QStringLiteral("lblp%1").arg(n), QRectF(45, y, 141, 7), text,
                        filled ? list.works.at(n - 1) : QString());
        if (n > 1)
            head.below(above);
    }
    head.namedLabel(QStringLiteral("lblMore"), QRectF(10, top + 10 * rowHeight + 2, 176, 12),
                    TextStyle().size(10).strong(), list.notShownText())
        .below(QStringLiteral("lblp10"));
    return layout;
}

report::ReportWindow *openReminderReport(const ReminderList &list)
{
    return report::ReportWindow::open(reminderReportLayout(list), report::ReportData());
}

} // namespace lexordo
