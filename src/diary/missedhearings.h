#pragma once

#include <diary/diarystore.h>
#include <QString>

namespace lexordo::diary {

// What the register asks on the day's first opening about the hearings that
// came due on days the diary was not opened: how many, their days (a long
// absence names its first ten days and counts the rest), and what Yes, No and
// Cancel do. Asked only when there is at least one.
QString missedHearingsText(const DiaryStore::MissedHearings &missed);

} // namespace lexordo::diary
