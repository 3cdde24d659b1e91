#pragma once

#include <optional>
#include <QString>

namespace lexordo::amounts {

// The largest whole amount that can be written in words: fifteen nines.
inline constexpr double largestInWords = 999999999999999.0;

// A bill's grand total written out as it is printed: every digit of the
// amount spelled in turn, the most significant first, each word followed by
// one blank, then one more blank and "only" ("One Two Five Zero  only" for
// 1250). The fraction is not spelled; it only rounds the last digit (halves to
// the even neighbour), so 1129.6 reads One One Two Zero. Amounts below 0.001,
// zero and negative ones give a single blank and "only". Nothing when the
// whole part has more than fifteen digits.
std::optional<QString> inWords(double amount);

} // namespace lexordo::amounts
