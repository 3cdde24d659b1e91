#include "sortorder.h"

#include <QStringList>

namespace lexordo {

bool SortKey::operator==(const SortKey &other) const
{
    return column.compare(other.column, Qt::CaseInsensitive) == 0 && descending == other.descending;
}

QList<SortKey> parseSort(const QString &text)
{
    QList<SortKey> keys;
    for (const QString &part : text.split(u',', Qt::SkipEmptyParts)) {
        QStringList words = part.simplified().split(u' ');
        if (words.isEmpty() || words.first().isEmpty())
            continue;
        bool descending = false;
        if (words.size() > 1) {
            const QString direction = words.takeLast();
            if (direction.compare(u"desc", Qt::CaseInsensitive) == 0)
                descending = true;
            else if (direction.compare(u"asc", Qt::CaseInsensitive) != 0)
                words << direction;
        }
        keys.append(SortKey{words.join(u' '), descending});
    }
    return keys;
}

QString sortText(const QList<SortKey> &keys)
{
    QStringList parts;
    for (const SortKey &key : keys)
        parts << (key.descending ? key.column + QStringLiteral(" desc") : key.column);
    return parts.join(QStringLiteral(", "));
}

QString orderByText(const QList<OrderTerm> &terms)
{
    QStringList parts;
    for (const OrderTerm &term : terms)
        parts << (term.descending ? term.expression + QStringLiteral(" DESC") : term.expression);
    return parts.join(QStringLiteral(", "));
}

QList<OrderTerm> reversed(const QList<OrderTerm> &terms)
{
    QList<OrderTerm> backwards = terms;
    for (OrderTerm &term : backwards)
        term.descending = !term.descending;
    return backwards;
}

} // namespace lexordo
