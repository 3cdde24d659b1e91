#include "filter.h"

#include "dates.h"

#include <algorithm>

namespace lexordo {

Filter::Filter(const QString &column, Op op, const QVariant &value)
{
    andWhere(column, op, value);
}

Filter &Filter::andWhere(const QString &column, Op op, const QVariant &value)
{
    m_terms.append(Term{column, op, value});
    return *this;
}

Filter Filter::operator&&(const Filter &other) const
{
    Filter result = *this;
    result.m_terms.append(other.m_terms);
    return result;
}

bool Filter::operator==(const Filter &other) const
{
    if (m_terms.size() != other.m_terms.size())
        return false;
    for (qsizetype i = 0; i < m_terms.size(); ++i) {
        const Term &a = m_terms[i];
        const Term &b = other.m_terms[i];
        if (a.column.compare(b.column, Qt::CaseInsensitive) != 0 || a.op != b.op ||
            a.value != b.value)
            return false;
    }
    return true;
}

QString Filter::foldedText(const QString &text)
{
    QString folded;
    folded.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        if (unit < 0x80) {
            folded += QChar(unit >= u'A' && unit <= u'Z' ? char16_t(unit + 32) : unit);
            continue;
        }
        char32_t c = unit;
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            c = QChar::surrogateToUcs4(unit, text[++i].unicode());
        char32_t f = QChar::toCaseFolded(c);
        // The Kelvin sign and the long s stay themselves: A to Z fold only
        // among themselves, as in the database's case-blind index.
        if (f < 0x80)
            f = c;
        if (QChar::requiresSurrogates(f)) {
            folded += QChar(QChar::highSurrogate(f));
            folded += QChar(QChar::lowSurrogate(f));
        } else {
            folded += QChar(char16_t(f));
        }
    }
    return folded;
}

int Filter::compareText(QStringView a, QStringView b)
{
    const QString x = foldedText(a.toString());
    const QString y = foldedText(b.toString());
    const qsizetype n = std::min(x.size(), y.size());
    for (qsizetype i = 0; i < n; ++i) {
        char16_t p = x[i].unicode();
        char16_t q = y[i].unicode();
        if (p == q)
            continue;
        // UTF-16 in code point order: the surrogates of the supplementary
        // planes come after every other unit of the basic plane.
        auto rank = [](char16_t u) {
            return u >= 0xd800 && u < 0xe000 ? int(u) + 0x2000
                   : u >= 0xe000             ? int(u) - 0x800
                                             : int(u);
        };
        return rank(p) < rank(q) ? -1 : 1;
    }
    return x.size() < y.size() ? -1 : (x.size() > y.size() ? 1 : 0);
}

QString Filter::toString() const
{
    QStringList parts;
    for (const Term &t : m_terms) {
        QString value = t.value.typeId() == QMetaType::QDate ? dates::format(t.value.toDate())
                                                             : t.value.toString();
        auto quoted = [](QString s) {
            return u'\'' + s.replace(u'\'', QStringLiteral("''")) + u'\'';
        };
        switch (t.op) {
        case Op::Equal:
            parts << t.column + QStringLiteral(" = ") + value;
            break;
        case Op::NotEqual:
            parts << t.column + QStringLiteral(" <> ") + value;
            break;
        case Op::Less:
            parts << t.column + QStringLiteral(" < ") + value;
            break;
        case Op::LessOrEqual:
            parts << t.column + QStringLiteral(" <= ") + value;
            break;
        case Op::Greater:
            parts << t.column + QStringLiteral(" > ") + value;
            break;
        case Op::GreaterOrEqual:
            parts << t.column + QStringLiteral(" >= ") + value;
            break;
        case Op::IsNull:
            parts << t.column + QStringLiteral(" is null");
            break;
        case Op::BeginsWith:
            parts << t.column + QStringLiteral(" like ") + quoted(value + u'%');
            break;
        case Op::Contains:
            parts << t.column + QStringLiteral(" like ") + quoted(u'%' + value + u'%');
            break;
        }
    }
    return parts.join(QStringLiteral(" and "));
}

} // namespace lexordo
