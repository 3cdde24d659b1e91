#pragma once

#include <QString>

namespace lexordo::amounts {

// Reads the leading number of a text, as amount boxes are read: blanks are
// ignored, the point is the decimal separator, a comma (or any other
// character) ends the number, and a text without a number reads 0.
// "1,500" reads 1; " 12 34.5x" reads 1234.5; "-300" reads -300.
double read(QStringView text);

// Writes an amount as plain decimal text: no thousands separator, no fixed
// number of decimals, trailing zeros dropped, a leading minus sign when
// negative, at most 15 significant digits (1500, 1234.5, -300); only the
// amounts next to the largest a double holds take the 16 or 17 digits that
// read back as themselves.
QString write(double amount);

} // namespace lexordo::amounts
