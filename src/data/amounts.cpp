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

QString write(double amount)
{
    if (!std::isfinite(amount) || amount == 0.0)
        return QStringLiteral("0");

    // Round to 15 significant digits, then lay the digits out without an
    // exponent.
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14e", std::fabs(amount));
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
    return QString::fromLatin1(result.c_str());
}

} // namespace lexordo::amounts
