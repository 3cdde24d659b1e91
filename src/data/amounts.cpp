#include "amounts.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace lexordo::amounts {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

} // namespace

double read(QStringView text)
{
    std::string number;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto skipBlanks = [&] {
        while (i < n && isBlank(text[i]))
            ++i;
    };

    skipBlanks();
    if (i < n && (text[i] == u'-' || text[i] == u'+')) {
        number += char(text[i].unicode());
        ++i;
    }

    bool digits = false;
    bool point = false;
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (isBlank(c))
            continue;
        if (c >= u'0' && c <= u'9') {
            number += char(c.unicode());
            digits = true;
        } else if (c == u'.' && !point) {
            number += '.';
            point = true;
        } else {
            break;
        }
    }
    if (!digits)
        return 0.0;

    // An exponent only counts when digits follow it.
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        std::string exponent = "e";
        if (j < n && (text[j] == u'-' || text[j] == u'+'))
            exponent += char(text[j++].unicode());
        bool exponentDigits = false;
        while (j < n && text[j] >= u'0' && text[j] <= u'9') {
            exponent += char(text[j++].unicode());
            exponentDigits = true;
        }
        if (exponentDigits)
            number += exponent;
    }

    const double value = std::strtod(number.c_str(), nullptr);
    return std::isfinite(value) ? value : 0.0;
}

namespace {

// The amount with that many significant digits, laid out without an exponent.
std::string layOut(double amount, int significant)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", significant - 1, std::fabs(amount));
    // buffer: d.dddddddddddddde[+-]xx
    std::string digits;
    const char *p = buffer;
    for (; *p && *p != 'e'; ++p) {
        if (*p != '.')
            digits += *p;
    }
    const int exponent = std::atoi(p + 1);
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
    // is written 0.3). Next to the largest amount a double holds, rounding
    // to fifteen digits goes past it, and the text would read back as no
    // number at all; there as many digits are written as it takes to read
    // back the amount itself.
    std::string result = layOut(amount, 15);
    for (int significant = 16; significant <= 17; ++significant) {
        if (std::isfinite(std::strtod(result.c_str(), nullptr)))
            break;
        result = layOut(amount, significant);
    }
    return QString::fromLatin1(result.c_str());
}

} // namespace lexordo::amounts
