#include "nextdate.h"

#include "diarystore.h"

#include <data/dates.h>

namespace lexordo::diary {

std::optional<QString> nextDateQuestion(const QDate &date)
{
    if (!date.isValid())
        return std::nullopt;
    if (dates::weekday(date) == 1)
        return QStringLiteral("Today is sunday. Do you want to continue?");
    if (const std::optional<QString> holiday = DiaryStore::holidayOn(date))
        return QStringLiteral("Today is ") + *holiday +
               QStringLiteral(". Do you want to continue?");
    return std::nullopt;
}

} // namespace lexordo::diary
