#pragma once

#include <QDate>

namespace lexordo {

class RecordSet;

namespace diary {

// What the register's opening found and did about today's hearings.
struct CarryForward
{
    enum class Outcome {
        AlreadyListed, // the diary has rows dated today: it shows just those
        Declined,      // the user chose not to carry forward: no rows shown
        CarriedForward // every hearing due today has its row dated today (possibly none)
    };

    Outcome outcome = Outcome::CarriedForward;
    int added = 0;
    int failed = 0;
};

// Carries the hearings whose next date is today into new rows dated today,
// unless the diary already has rows dated today. `diary` is the register's
// record set ("select * from advocate order by cdate, courtindex"); `check`
// is its second view of the diary, used for the one question. All new rows
// are stored in one transaction: after a crash either all of today's rows
// exist or none do. Every hearing due is carried forward, whatever their
// number, and no empty row is ever made.
CarryForward carryForward(RecordSet &diary, RecordSet &check, const QDate &today);

// The question asked when rows dated today turn up after all.
inline constexpr const char *alreadyExistQuestion =
    "Few Cases of this Date Already Exist!! Do you want to continue?";

} // namespace diary
} // namespace lexordo
