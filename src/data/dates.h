#pragma once

#include <optional>
#include <QDate>
#include <QString>
#include <QTime>

namespace lexordo::dates {

// Dates are typed and shown day/month/year whatever the machine's locale.
inline constexpr const char *displayFormat = "dd/MM/yyyy";

// What the user is told when a typed text is not a date.
inline const QString enterDateMessage = QStringLiteral("Enter The Date in DD/MM/YYYY Format ");

// Reads "dd/mm/yyyy" or "d/m/yyyy" (also with '-' or '.' between the parts),
// blanks around ignored. Anything else, or a day that does not exist, gives
// nothing.
std::optional<QDate> parse(QStringView text);

// Reads the stored form "yyyy-MM-dd" (a time of day after it is ignored).
std::optional<QDate> parseIso(QStringView text);
std::optional<QDate> parseIso(const char *data, qsizetype length);

QString format(const QDate &date);
QString toIso(const QDate &date);

// Day of the week with Sunday = 1 ... Saturday = 7.
int weekday(const QDate &date);

// "[SUNDAY]" ... "[SATURDAY]", as printed beside the date of a cause list.
QString weekdayLabel(const QDate &date);

QDate addDays(const QDate &date, int days);

// Times: stored "hh:mm:ss"; typed as "h:mm", "h:mm:ss", optionally with AM/PM.
std::optional<QTime> parseTime(QStringView text);
QString formatTime(const QTime &time);

} // namespace lexordo::dates
