#pragma once

// The order of a view: sort text a person or a screen writes ("cdate,
// courtindex desc") as columns, and those columns as an ORDER BY.

#include <QList>
#include <QString>

namespace lexordo {

// A column named in a sort, as written.
struct SortKey
{
    QString column;
    bool descending = false;

    bool operator==(const SortKey &other) const;
};

// "cdate, courtindex desc": the columns separated by commas, each with
// "asc" or "desc" after it or neither; empty parts are skipped.
QList<SortKey> parseSort(const QString &text);
QString sortText(const QList<SortKey> &keys);

// One term of an ORDER BY: an expression of the statement's columns.
struct OrderTerm
{
    QString expression;
    bool descending = false;
};

// "ORDER BY" is not included.
QString orderByText(const QList<OrderTerm> &terms);
// The same order backwards, for reading the far end of a view from its end.
QList<OrderTerm> reversed(const QList<OrderTerm> &terms);

} // namespace lexordo
