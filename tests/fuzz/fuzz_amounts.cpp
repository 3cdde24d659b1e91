// Feeds any text to the amount reader and any double to the amount writer:
// nothing may crash, what is written reads back as the amount it was
// written from (to the 15 significant digits it keeps, and exactly at the
// ends of the range), reading never gives more than a finite number, and a
// text is only taken when it is a plain number once its blanks around and
// grouping commas are taken out, and then as that number.

#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <data/amounts.h>
#include <limits>
#include <optional>
#include <QString>
#include <string>

using namespace lexordo;

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void roundTrip(double amount)
{
    const QString written = amounts::write(amount);
    check(!written.isEmpty());
    check(!written.contains(u'e') && !written.contains(u'E') && !written.contains(u','));
    const std::optional<double> read = amounts::parse(written);
    check(read.has_value());
    const double back = *read;
    check(std::isfinite(back));
    if (!std::isfinite(amount) || amount == 0.0) {
        check(back == 0.0);
        return;
    }
    // Fifteen significant digits: the difference is within the last of them.
    const double tolerance = std::fabs(amount) * 1e-14;
    check(std::fabs(back - amount) <= tolerance);
    check(std::signbit(back) == std::signbit(amount));
    // Writing what was read gives the same text: the form is settled.
    check(amounts::write(back) == written);
}

// The text without blanks around it and without commas, when it is a plain
// decimal number (a leading minus, digits with at most one point).
std::optional<std::string> plainNumber(const QString &text)
{
    const QString trimmed = text.trimmed();
    std::string plain;
    int digits = 0;
    bool point = false;
    for (qsizetype i = 0; i < trimmed.size(); ++i) {
        const QChar c = trimmed[i];
        if (c == u'-' && i == 0) {
            plain += '-';
        } else if (c >= u'0' && c <= u'9') {
            plain += char(c.unicode());
            ++digits;
        } else if (c == u'.' && !point) {
            plain += '.';
            point = true;
        } else if (c != u',' || point) {
            return std::nullopt;
        }
    }
    if (digits == 0)
        return std::nullopt;
    return plain;
}

// Its value, or nothing when a double cannot hold it.
std::optional<double> plainValue(const std::string &plain)
{
    const size_t sign = plain.starts_with('-') ? 1 : 0;
    std::string whole = plain.substr(0, sign);
    if (plain.size() > sign && plain[sign] == '.')
        whole += '0';
    whole += plain.substr(sign);
    double value = 0;
    const std::from_chars_result read =
        std::from_chars(whole.data(), whole.data() + whole.size(), value);
    if (read.ec != std::errc() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const bool extremes = [] {
        for (const double amount :
             {std::numeric_limits<double>::max(), -std::numeric_limits<double>::max(), 1.797e308,
              -1.797e308, std::numeric_limits<double>::min(),
              std::numeric_limits<double>::denorm_min()}) {
            roundTrip(amount);
        }
        // The largest amounts read back as themselves, not as near them.
        for (const double amount : {std::numeric_limits<double>::max(),
                                    -std::numeric_limits<double>::max(), 1.797e308, -1.797e308})
            check(amounts::parse(amounts::write(amount)) == amount);
        // The amounts next to the largest ones, of either sign, are settled.
        for (double amount = -std::numeric_limits<double>::max(); amount < -1.7976931348623e308;
             amount = std::nextafter(amount, 0.0)) {
            roundTrip(amount);
            roundTrip(-amount);
        }
        return true;
    }();
    (void)extremes;

    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    // The bytes read as their text does, wherever they are UTF-8.
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    if (text.toUtf8() == bytes)
        check(amounts::parseUtf8(bytes) == amounts::parse(text));
    if (const std::optional<double> read = amounts::parse(text)) {
        check(std::isfinite(*read));
        if (text.trimmed().isEmpty()) {
            check(*read == 0.0);
        } else {
            const std::optional<std::string> plain = plainNumber(text);
            check(plain.has_value());
            check(plainValue(*plain) == *read);
        }
        roundTrip(*read);
    } else if (const std::optional<std::string> plain = plainNumber(text);
               plain && !text.contains(u',')) {
        // A plain number without commas is refused only when a double cannot hold it.
        check(!plainValue(*plain).has_value());
    }

    if (size >= sizeof(double)) {
        double amount;
        std::memcpy(&amount, data, sizeof amount);
        roundTrip(amount);
    }
    return 0;
}
