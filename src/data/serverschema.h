#pragma once

// The diary's tables on a PostgreSQL server: the same tables and columns in
// the same order as the file's schema, with types that keep the values
// (dates as date, amounts as double precision, times as time), names as the
// server folds them (lower case), and after each table's own columns a key
// "lx_key" that names a row for good, as the file's hidden row number does.
// The statements are translated from the file's schema (schema.sql), so that
// the two never differ.

#include "dataerror.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace lexordo {

class PgConnection;

namespace serverschema {

// The name of the key column every table has on the server.
inline const QString rowKey = QStringLiteral("lx_key");
// The case-insensitive comparison of text in every script on the server (an
// ICU collation the schema makes).
inline const QString foldedCollation = QStringLiteral("lx_nocase");
// The channel other desks LISTEN on; each notice's payload names the table
// written (as the server names it).
inline const QString changeChannel = QStringLiteral("lexordo_changed");

// A table of the diary as the file's schema declares it and as the server
// keeps it.
struct Column
{
    QString name;        // on the server: "legal fees"
    QString fileName;    // in the file's schema: "Legal Fees"
    QByteArray fileType; // DATE, TIME, REAL, INTEGER or TEXT
    QString type;        // on the server, as the server names it: date, double precision ...
};
struct Table
{
    QString name;          // on the server: "ac_info"
    QString fileName;      // in the file's schema: "AC_INFO"
    QList<Column> columns; // the table's own, without the key
};
// The diary's tables in the schema's order. Throws DataError when the
// schema holds a statement the translation does not know.
const QList<Table> &tables();

// The numbers the server gives once, however many desks add one at the same
// moment (a unique index): bill numbers and receipt numbers.
struct NumberGivenOnce
{
    QString table;  // as the server names it: "bill"
    QString column; // as the server names it: "billno"
};
const QList<NumberGivenOnce> &numbersGivenOnce();

// The server's statements for a schema written as schema.sql is: its tables
// with their keys, its rows and its indexes. Throws DataError, naming what
// it does not know.
QString translatedSchema(const QString &schemaText);

// The statements that make the schema on an empty server database, with what
// the server keeps beside the tables (counts, indexes, the trigram index for
// the party search, the change notices other desks listen for).
QString createStatements(); // throws DataError
// Makes them in one transaction (or inside the caller's). Throws DataError.
void create(PgConnection &connection);
// The diary's tables the server database holds, as the server names them;
// empty for an empty database.
QStringList diaryTables(PgConnection &connection); // throws DataError
// What makes the server database no diary of this program, naming it;
// empty when it is one.
QString problem(PgConnection &connection); // throws DataError
// Makes what the server keeps beside the tables again from the rows when a
// diary made by an earlier version keeps it otherwise. Throws DataError.
void bringUpToDate(PgConnection &connection);
// Makes the counts kept beside the tables again from the rows (after rows
// were added with the keeping triggers off). Throws DataError.
void rebuildKept(PgConnection &connection);

// For a move of many rows at once: the schema's indexes go before the rows
// are copied and are made again after, which is faster than keeping them up
// row by row; the keeping triggers are off meanwhile (rebuildKept() then).
// Inside the caller's transaction. Throw DataError.
void dropIndexes(PgConnection &connection);
void makeIndexes(PgConnection &connection);
void setKeeping(PgConnection &connection, bool on);

} // namespace serverschema

} // namespace lexordo
