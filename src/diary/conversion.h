#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

namespace lexordo {

class RecordSet;

namespace diary {

// Turning the hearings fixed for one day into that day's listings, by hand.

// The current dates of the hearings from 30 days before `day` onward that
// still have no next date, in the record set's order (dd/MM/yyyy). The
// record set is filtered to them.
QStringList datesWithoutNextDate(RecordSet &diary, const QDate &day);

// "Next Date is not entered for Dates : " followed by each date after a space.
QString warningCaption(const QStringList &dates);

// Re-reads the diary and filters it to the hearings whose next date is `day`.
void selectHearingsFixedFor(RecordSet &diary, const QDate &day);

struct Conversion
{
    bool declined = false; // the user answered No to the duplicate question
    int added = 0;
    int skipped = 0; // case numbers that already had a listing on the day
    int failed = 0;  // hearings not converted because the conversion failed
    QString message; // what the screen tells the user when it failed
};

// What the user is told when the conversion could not be made.
QString notConvertedMessage(int due, const QString &reason);

inline constexpr const char *duplicateQuestion =
    "Few Cases of this Date Already Exist and duplicate copy of the cases can be converted. Do "
    "you want to continue?";

// Adds a listing dated `day` for every hearing of `hearings` (the diary
// filtered by selectHearingsFixedFor), unless its case number already has a
// listing on that day as stored when the conversion starts. Asks first when
// any listing is already dated `day`. All new rows go to the file together,
// or none: then the message says how many hearings were not converted and
// why. The hearings converted are left unchanged.
Conversion convertHearings(RecordSet &hearings, const QDate &day);

} // namespace diary
} // namespace lexordo
