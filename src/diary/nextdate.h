#pragma once

#include <optional>
#include <QDate>
#include <QString>

namespace lexordo {

namespace diary {

// The question asked when a next date falls on a day the courts do not sit:
// "Today is sunday. Do you want to continue?" for a Sunday, else "Today is "
// + the holiday + ". Do you want to continue?" for a date in the table
// Holidays (its first entry for the day). A Sunday that is also a holiday
// gets the Sunday question only. Nothing for a working day.
std::optional<QString> nextDateQuestion(const QDate &date);

} // namespace diary
} // namespace lexordo
