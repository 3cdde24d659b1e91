#pragma once

#include <optional>
#include <QByteArrayView>
#include <QString>

namespace lexordo::amounts {

// Reads an amount as offices type it: digits with the point as decimal
// separator, grouping commas in the Western style (125,000.50: groups of
// three) or the Indian one (1,25,000.50: the last group three, the earlier
// ones two), blanks around the number and a leading minus. An empty or blank
// text reads 0. Anything else (12a, 1.2.3, 15,00,0, 1e3, a number too large
// or too small for a double) is not an amount: nothing.
// Every amount that is stored, summed, printed or imported is read here.
std::optional<double> parse(QStringView text);
// The same, of UTF-8 text (as a file holds it).
std::optional<double> parseUtf8(QByteArrayView text);

// Writes an amount as plain decimal text: no thousands separator, no fixed
// number of decimals, trailing zeros dropped, a leading minus sign when
// negative, at most 15 significant digits (1500, 1234.5, -300). Only at the
// ends of the range (next to the largest amount a double holds, and below
// 1e-290) as many digits are written as it takes to read back the amount
// itself. What is written always reads back, and writing that again gives the
// same text.
QString write(double amount);

// The refusal of a text that is not an amount, naming the box or column:
// Legal fees: "12a" is not an amount.
QString notAnAmount(const QString &box, const QString &typed);

} // namespace lexordo::amounts
