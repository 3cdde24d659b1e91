#pragma once

#include <QDate>
#include <QString>

namespace lexordo {

class RecordSet;

namespace diary {

// What the register's opening found and did about today's hearings.
struct CarryForward
{
    enum class Outcome {
        AlreadyListed,  // the diary has rows dated today: it shows just those
        Declined,       // the user chose not to carry forward: no rows shown
        CarriedForward, // every hearing due today has its row dated today (possibly none)
        Failed          // nothing was carried forward; `message` says why
    };

    Outcome outcome = Outcome::CarriedForward;
    int added = 0;
    int failed = 0; // hearings due today that were not carried forward
    // What the screen tells the user: every failure met on the way, in one
    // message; empty when all went well.
    QString message;
};

// Carries the hearings whose next date is today into new rows dated today,
// unless the diary already has rows dated today. `diary` is the register's
// record set ("select * from advocate order by cdate, courtindex"). The test
// for today's rows and the copies are one transaction that takes the write
// lock first: all of today's rows are made or none, and two copies of the
// program never both make them. Every hearing due is carried forward,
// whatever their number, and no empty row is ever made. When the copy cannot
// be made the message says how many hearings were not carried forward and
// why, nothing of it is kept, and the next opening tries again.
CarryForward carryForward(RecordSet &diary, const QDate &today);

// The same from the point where the register found no row dated today in its
// own view: rows dated today that turn up after all (another copy of the
// program, or another program, stored them meanwhile) bring the question
// below, with No as the default button; Yes carries forward the hearings due
// that are not listed today yet, so none is ever listed twice on a day.
CarryForward carryForwardUnlisted(RecordSet &diary, const QDate &today);

// The question asked when rows dated today turn up after all.
inline constexpr const char *alreadyExistQuestion =
    "Few Cases of this Date Already Exist!! Do you want to continue?";

// What the user is told when the hearings due could not be carried forward.
QString notCarriedMessage(int due, const QString &reason);

} // namespace diary
} // namespace lexordo
