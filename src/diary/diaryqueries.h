#pragma once

#include "listing.h"

#include <QDate>
#include <QList>

namespace lexordo {
class RecordSet;
}

namespace lexordo::diary {

// The first day after `day` on which the courts sit: not a Sunday and not in
// the holidays register. Throws DataError when the register cannot be read.
QDate nextWorkingDay(const QDate &day);

// Hearings whose next date has passed without a listing on that date: the
// diary was not opened that day (the office was closed, the clerk away), so
// nothing carried them forward.
struct MissedHearings
{
    QList<Hearing> hearings; // in the order of their next dates, then the courts
    QList<QDate> dates;      // their next dates, each once, earliest first
};

// The hearings with a next date before `today` for which the diary holds no
// listing of the same case and first party on or after that date. Throws
// DataError when the diary cannot be read.
MissedHearings missedHearings(const QDate &today);

// Lists each of `hearings` on `day` in `diary`, all of them or, when one is
// refused, none (the diary is then read again and the error thrown).
void listHearingsOn(RecordSet &diary, const QDate &day, const QList<Hearing> &hearings);

} // namespace lexordo::diary
