#pragma once

#include <QDate>
#include <QString>

#include <optional>

namespace lexordo {

class RecordSet;

namespace diary {

// The question asked when a next date falls on a day the courts do not sit:
// "Today is sunday. Do you want to continue?" for a Sunday, else "Today is "
// + the holiday + ". Do you want to continue?" for a date in `holidays` (the
// table Holidays). A Sunday that is also a holiday gets the Sunday question
// only. Nothing for a working day.
std::optional<QString> nextDateQuestion(const QDate &date, RecordSet &holidays);

} // namespace diary
} // namespace lexordo
