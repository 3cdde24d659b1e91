#pragma once

// How stored values become the program's values and back: the one place that
// reads a column by its declared type.

#include "recordset.h"

#include <QByteArray>
#include <QVariant>

namespace lexordo {

class SqlQuery;

// The type a column takes, from the type its table declares ("DATE", "TEXT",
// "INTEGER" ...). A column without a declared type takes any value.
RecordSet::FieldType fieldTypeFromDeclaration(const QByteArray &declared);

// The type of a statement's column: as its table declares it, or, for a
// column declared without a type (a database made by another tool), as the
// program's own schema has it.
RecordSet::FieldType columnFieldType(const SqlQuery &query, int column);

// A stored value as the program uses it: dates as QDate, times as QTime,
// numbers as double (whole numbers of integer and untyped columns as qint64),
// text as QString, NULL and empty dates or times as an invalid QVariant. A
// stored value that does not fit the column's type comes as its text.
QVariant decodeColumn(const SqlQuery &query, int column, RecordSet::FieldType type);

// Binds a value converted by RecordSet::convert for a column of `type`.
void bindForColumn(SqlQuery &query, int index, const QVariant &value, RecordSet::FieldType type);

} // namespace lexordo
