#pragma once

// How values move between the database, the program and the text a person
// types or reads: the one place that reads a column by its declared type,
// converts typed text for a column and shows a value as text.

#include <QByteArray>
#include <QString>
#include <QVariant>

namespace lexordo {

enum class FieldType { Text, Date, Time, Number, Integer, Any };

class SqlQuery;

// The type a column takes, from the type its table declares ("DATE", "TEXT",
// "INTEGER" ...). A column without a declared type takes any value.
FieldType fieldTypeFromDeclaration(const QByteArray &declared);

// The type of a statement's column: as its table declares it, or, for a
// column declared without a type (a database made by another tool), as the
// program's own schema has it.
FieldType columnFieldType(const SqlQuery &query, int column);

// A stored value as the program uses it: dates as QDate, times as QTime,
// numbers as double (whole numbers of integer and untyped columns as qint64),
// text as QString, NULL and empty dates or times as an invalid QVariant. A
// stored value that does not fit the column's type comes as its text.
QVariant decodeColumn(const SqlQuery &query, int column, FieldType type);

// "date", "time", "number", "whole number" or "value": what a column takes.
QString fieldTypeName(FieldType type);

// A value for a column of `type` named `column`. Text is converted to the
// type; text that is not a valid date, time or number is refused with a
// DataError naming the column and the text. Empty text is NULL.
QVariant convertForColumn(FieldType type, const QString &column, const QVariant &value);

// A converted value as the column keeps it: whole numbers of columns other
// than Number as qint64.
QVariant normalisedForColumn(FieldType type, const QVariant &value);

// A value as a cell shows it: dates "dd/MM/yyyy", times as typed, numbers
// plain, NULL empty.
QString cellText(const QVariant &value);

// Binds a value converted by convertForColumn for a column of `type`.
void bindForColumn(SqlQuery &query, int index, const QVariant &value, FieldType type);

} // namespace lexordo
