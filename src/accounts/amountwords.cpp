#include "amountwords.h"

#include <array>
#include <cmath>

namespace lexordo::amounts {

std::optional<QString> inWords(double amount)
{
    static const std::array<QString, 10> words = {
        QStringLiteral("Zero "),  QStringLiteral("One "),   QStringLiteral("Two "),
        QStringLiteral("Three "), QStringLiteral("Four "),  QStringLiteral("Five "),
        QStringLiteral("Six "),   QStringLiteral("Seven "), QStringLiteral("Eight "),
        QStringLiteral("Nine "),
    };

    QString text = QStringLiteral(" ");
    if (std::isnan(amount) || amount < 0.001)
        return text + QStringLiteral("only");
    if (std::floor(amount) > largestInWords)
        return std::nullopt;

    // The last digit comes from the amount rounded (halves to even, the
    // default rounding mode); every higher digit from whole tenths, which
    // whole numbers of up to fifteen digits give exactly.
    const auto rounded = qint64(std::nearbyint(amount));
    text.prepend(words[size_t(rounded % 10)]);
    for (auto rest = qint64(std::floor(amount)) / 10; rest >= 1; rest /= 10)
        text.prepend(words[size_t(rest % 10)]);
    return text + QStringLiteral("only");
}

} // namespace lexordo::amounts
