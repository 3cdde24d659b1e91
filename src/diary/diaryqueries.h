#pragma once

#include <QDate>
#include <QList>

namespace lexordo::diary {

// The first day after `day` on which the courts sit: not a Sunday and not in
// the holidays register. Throws DataError when the register cannot be read.
QDate nextWorkingDay(const QDate &day);

// Hearings whose next date has passed without a listing on that date: the
// diary was not opened that day (the office was closed, the clerk away), so
// nothing carried them forward.
struct MissedHearings
{
    int count = 0;
    QList<QDate> dates; // their next dates, earliest first
};

// The hearings with a next date before `today` for which the diary holds no
// listing of the same case and first party on or after that date. Throws
// DataError when the diary cannot be read.
MissedHearings missedHearings(const QDate &today);

} // namespace lexordo::diary
