#include "amounts.h"

#include <charconv>
#include <cmath>
#include <string>
#include <vector>

namespace lexordo::amounts {

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// The lengths of the comma-separated groups of a whole part: Western groups
// of three after the first (125,000,000) or Indian groups of two before the
// last three (1,25,00,000). The first group has no leading zero.
bool groupedWell(const std::vector<int> &groups, bool leadingZero)
{
    if (groups.size() < 2)
        return true;
    const int first = groups.front();
    if (first < 1 || first > 3 || leadingZero)
        return false;
    bool western = true;
    for (size_t i = 1; i < groups.size(); ++i)
        western = western && groups[i] == 3;
    bool indian = first <= 2 && groups.back() == 3;
    for (size_t i = 1; i + 1 < groups.size(); ++i)
        indian = indian && groups[i] == 2;
    return western || indian;
}

} // namespace

std::optional<double> parse(QStringView text)
{
    qsizetype at = 0;
    qsizetype end = text.size();
    while (at < end && text[at].isSpace())
        ++at;
    while (end > at && text[end - 1].isSpace())
        --end;
    if (at == end)
        return 0.0;

    std::string plain;
    if (text[at] == u'-') {
        plain += '-';
        ++at;
    }

    // The whole part, with its grouping commas taken out.
    const bool leadingZero = at < end && text[at] == u'0';
    std::vector<int> groups{0};
    int wholeDigits = 0;
    for (; at < end; ++at) {
        const QChar c = text[at];
        if (isDigit(c)) {
            plain += char(c.unicode());
            ++groups.back();
            ++wholeDigits;
        } else if (c == u',') {
            groups.push_back(0);
        } else {
            break;
        }
    }
    if (!groupedWell(groups, leadingZero))
        return std::nullopt;
    if (wholeDigits == 0)
        plain += '0';

    int fractionDigits = 0;
    if (at < end && text[at] == u'.') {
        plain += '.';
        for (++at; at < end && isDigit(text[at]); ++at) {
            plain += char(text[at].unicode());
            ++fractionDigits;
        }
    }
    if (at != end || wholeDigits + fractionDigits == 0)
        return std::nullopt;
    if (fractionDigits == 0 && plain.back() == '.')
        plain.pop_back(); // "12." is 12

    double value = 0;
    const char *first = plain.data();
    const char *last = first + plain.size();
    const auto [stop, error] = std::from_chars(first, last, value);
    // Too large for a double, or so small that it would read as zero.
    if (error != std::errc() || stop != last || !std::isfinite(value))
        return std::nullopt;
    return value == 0.0 ? 0.0 : value;
}

namespace {

// The amount laid out without an exponent, with that many significant
// digits, or with the fewest that read back as the amount itself.
std::string layOut(double amount, std::optional<int> significant)
{
    char buffer[64];
    const double magnitude = std::fabs(amount);
    const std::to_chars_result made =
        significant ? std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                    std::chars_format::scientific, *significant - 1)
                    : std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                    std::chars_format::scientific);
    // buffer: d[.ddd]e[+-]xx
    std::string digits;
    const char *p = buffer;
    for (; p < made.ptr && *p != 'e'; ++p) {
        if (*p != '.')
            digits += *p;
    }
    int exponent = 0;
    if (p < made.ptr) {
        ++p;
        if (*p == '+')
            ++p;
        std::from_chars(p, made.ptr, exponent);
    }
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    std::string result;
    if (exponent < 0) {
        result = "0." + std::string(size_t(-exponent - 1), '0') + digits;
    } else if (size_t(exponent) + 1 >= digits.size()) {
        result = digits + std::string(size_t(exponent) + 1 - digits.size(), '0');
    } else {
        result = digits.substr(0, size_t(exponent) + 1) + "." + digits.substr(size_t(exponent) + 1);
    }
    if (amount < 0)
        result.insert(result.begin(), '-');
    return result;
}

} // namespace

QString write(double amount)
{
    if (!std::isfinite(amount) || amount == 0.0)
        return QStringLiteral("0");

    // Fifteen significant digits hide the binary noise of sums (0.1 + 0.2
    // is written 0.3). At the ends of the range they do not come back: next
    // to the largest amount a double holds they round past it, and the text
    // is no amount at all; next to the smallest normal one they read back
    // among the subnormals, where a double keeps fewer digits. There the
    // amount is written with the digits that read back as itself. The choice
    // hangs on the amount alone, and 1e-290 is itself written in fifteen
    // digits, so what is read back is written again as the same text.
    std::string result;
    if (std::fabs(amount) >= 1e-290)
        result = layOut(amount, 15);
    if (result.empty() || !parse(QString::fromLatin1(result.c_str())))
        result = layOut(amount, std::nullopt);
    return QString::fromLatin1(result.c_str());
}

QString notAnAmount(const QString &box, const QString &typed)
{
    return QStringLiteral("%1: \"%2\" is not an amount.").arg(box, typed);
}

} // namespace lexordo::amounts
