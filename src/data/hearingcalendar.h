#pragma once

#include <QDate>
#include <QString>

namespace lexordo {

// The hearings of a period as an iCalendar file for the advocate's phone or
// desktop calendar: one all-day event for each hearing, titled "A vs. B",
// at the court, with the case number, what it is fixed for and the remarks.
//
// A hearing of a day is a diary row dated that day, or a row whose next date
// is that day and that has not been carried forward to it yet. Its event's
// UID comes from the day, the case number and the parties, so the same
// hearing keeps its UID in every export, before and after it is carried
// forward: importing a newer file updates the calendar instead of doubling it.
class HearingCalendar
{
public:
    // Writes the file whole or not at all; returns the number of events.
    // Throws DataError.
    static int exportIcs(const QDate &from, const QDate &to, const QString &file);

    // The calendar text itself.
    static QByteArray calendarText(const QDate &from, const QDate &to, int *events = nullptr);
};

} // namespace lexordo
