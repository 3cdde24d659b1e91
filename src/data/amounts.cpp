#include "amounts.h"

#include <charconv>
#include <cmath>
#include <string>

namespace lexordo::amounts {

namespace {

// The lengths of the comma-separated groups of a whole part, kept as they
// are read: Western groups of three after the first (125,000,000) or Indian
// groups of two before the last three (1,25,00,000). The first group has no
// leading zero.
class Groups
{
public:
    void digit() { ++m_current; }
    void comma()
    {
        close();
        m_current = 0;
    }
    bool well(bool leadingZero)
    {
        close();
        if (m_count < 2)
            return true;
        if (m_first < 1 || m_first > 3 || leadingZero)
            return false;
        const bool western = m_allThree;
        const bool indian = m_first <= 2 && m_last == 3 && m_middleTwo;
        return western || indian;
    }

private:
    // Ends the group being read; well() ends the last one.
    void close()
    {
        if (m_count == 0) {
            m_first = m_current;
        } else {
            m_allThree = m_allThree && m_current == 3;
            // The group before this one is no longer the last: it is a middle one.
            if (m_count >= 2)
                m_middleTwo = m_middleTwo && m_last == 2;
            m_last = m_current;
        }
        ++m_count;
    }

    int m_current = 0;
    int m_count = 0;
    int m_first = 0;
    int m_last = 0;
    bool m_allThree = true;
    bool m_middleTwo = true;
};

bool isBlank(char16_t c)
{
    return c == u' ' || (c >= u'\t' && c <= u'\r') || (c >= 0x80 && QChar::isSpace(c));
}

// Reads `size` code units of a text, each given by `at`.
template <typename At> std::optional<double> read(qsizetype size, At at)
{
    qsizetype i = 0;
    qsizetype end = size;
    while (i < end && isBlank(at(i)))
        ++i;
    while (end > i && isBlank(at(end - 1)))
        --end;
    if (i == end)
        return 0.0;

    std::string plain;
    if (at(i) == u'-') {
        plain += '-';
        ++i;
    }

    // The whole part, with its grouping commas taken out.
    const bool leadingZero = i < end && at(i) == u'0';
    Groups groups;
    int wholeDigits = 0;
    for (; i < end; ++i) {
        const char16_t c = at(i);
        if (c >= u'0' && c <= u'9') {
            plain += char(c);
            groups.digit();
            ++wholeDigits;
        } else if (c == u',') {
            groups.comma();
        } else {
            break;
        }
    }
    if (!groups.well(leadingZero))
        return std::nullopt;
    if (wholeDigits == 0)
        plain += '0';

    int fractionDigits = 0;
    if (i < end && at(i) == u'.') {
        plain += '.';
        for (++i; i < end && at(i) >= u'0' && at(i) <= u'9'; ++i) {
            plain += char(at(i));
            ++fractionDigits;
        }
    }
    if (i != end || wholeDigits + fractionDigits == 0)
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

} // namespace

std::optional<double> parse(QStringView text)
{
    return read(text.size(), [text](qsizetype i) { return text[i].unicode(); });
}

std::optional<double> parseUtf8(QByteArrayView text)
{
    for (const char c : text) {
        // Blanks beyond ASCII are told by their characters.
        if (uchar(c) >= 0x80)
            return parse(QString::fromUtf8(text));
    }
    return read(text.size(), [text](qsizetype i) { return char16_t(uchar(text[i])); });
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
