#pragma once

// A filter as the SQL that finds its rows: each term a condition on its
// column with the value bound, never pasted. Text is compared with letter
// case folded in every script; where the text allows it the database's own
// case-blind comparison is used so that its indexes find the rows.

#include "filter.h"
#include "recordcolumn.h"

#include <QStringList>
#include <QVariantList>

namespace lexordo {

// Conditions joined by AND, and the values of their "?" marks in order.
struct Where
{
    QStringList parts;
    QVariantList values;

    bool isEmpty() const { return parts.isEmpty(); }
    QString condition() const; // without WHERE; empty when there is no condition
};

// How statements name a column: by the table's own name on a table, as the
// query names it on a query.
QString columnExpression(const RecordColumn &column, bool onTable);

// Adds each term of `filter`; `table` is the table the columns belong to,
// empty for a query. Throws DataError for an unknown column or a value
// that is not of the column's type.
void addFilter(Where &where, const Filter &filter, const RecordColumns &columns,
               const QString &table);

} // namespace lexordo
