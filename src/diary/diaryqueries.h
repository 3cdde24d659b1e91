#pragma once

#include <QDate>
#include <QList>

namespace lexordo::diary {

// The first day after `day` on which the courts sit: not a Sunday and not in
// the holidays register. Throws DataError when the register cannot be read.
QDate nextWorkingDay(const QDate &day);

// Hearings whose next date has passed without a listing on or after that
// date: the diary was not opened that day (the office was closed, the clerk
// away), so nothing carried them forward.
struct MissedHearings
{
    int count = 0;
    QList<QDate> dates; // their next dates, each once, earliest first
};

// The hearings with a next date before `today` that come after the latest
// listing of their case (case number and first party). Throws DataError when
// the diary cannot be read.
MissedHearings missedHearings(const QDate &today);

// Lists every one of those hearings on `today`, as the carry-forward does (the
// old current date becomes the previous date, the next fixed-for text what it
// is fixed for): one statement in one transaction, all of them or none.
// Returns the listings made; throws DataError, with nothing stored, on failure.
int listMissedHearings(const QDate &today);

} // namespace lexordo::diary
