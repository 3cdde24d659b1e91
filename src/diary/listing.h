#pragma once

#include <QDate>
#include <QVariant>

namespace lexordo {

class RecordSet;

namespace diary {

// What a hearing hands on to its next listing.
struct Hearing
{
    QVariant cdate;
    QVariant courtname;
    QVariant courtIndex;
    QVariant caseno;
    QVariant party1;
    QVariant party2;
    QVariant fixedforN;
};

// The current row of the diary.
Hearing readHearing(const RecordSet &diary);

// Appends and stores the listing of a hearing on `day`: the same case, parties
// and court, the hearing's current date as previous date, and what it was
// fixed for on the next date as what it is fixed for now. Next date, next
// fixed-for text and remarks stay empty. Throws DataError when refused.
void appendListing(RecordSet &diary, const QDate &day, const Hearing &hearing);

} // namespace diary
} // namespace lexordo
