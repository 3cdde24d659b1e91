#include "nextdate.h"

#include <data/dates.h>
#include <data/recordset.h>

namespace lexordo::diary {

std::optional<QString> nextDateQuestion(const QDate &date, RecordSet &holidays)
{
    if (!date.isValid())
        return std::nullopt;
    holidays.setFilter(Filter(QStringLiteral("Date"), Filter::Op::Equal, date));
    if (dates::weekday(date) == 1)
        return QStringLiteral("Today is sunday. Do you want to continue?");
    if (holidays.rowCount() > 0) {
        holidays.moveFirst();
        // The occasion is the table's second column.
        return QStringLiteral("Today is ") + holidays.text(1) +
               QStringLiteral(". Do you want to continue?");
    }
    return std::nullopt;
}

} // namespace lexordo::diary
