#include "filter.h"

#include "dates.h"

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

QString Filter::toString() const
{
    QStringList parts;
    for (const Term &t : m_terms) {
        QString value = t.value.typeId() == QMetaType::QDate ? dates::format(t.value.toDate())
                                                             : t.value.toString();
        auto quoted = [](QString s) { return u'\'' + s.replace(u'\'', QStringLiteral("''")) + u'\''; };
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
