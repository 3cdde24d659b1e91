#pragma once

// The diary's tables on a PostgreSQL server: the same tables and columns in
// the same order as the file's schema, with types that keep the values
// (dates as date, amounts as double precision, times as time), names as the
// server folds them (lower case), and after each table's own columns a key
// "lx_key" that names a row for good, as the file's hidden row number does.

#include "dataerror.h"

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

// The statements that make the schema on an empty server database, with what
// the server keeps beside the tables (counts, indexes, the trigram index for
// the party search, the change notices other desks listen for).
QString createStatements();
// Makes them in one transaction (or inside the caller's). Throws DataError.
void create(PgConnection &connection);
// The diary's tables the server database holds; empty for an empty database.
QStringList diaryTables(PgConnection &connection); // throws DataError
// What makes the server database no diary of this program, naming it;
// empty when it is one.
QString problem(PgConnection &connection); // throws DataError
// Makes the counts the server keeps beside the diary's tables again from the
// rows. Throws DataError.
void rebuildKept(PgConnection &connection);

} // namespace serverschema

} // namespace lexordo
