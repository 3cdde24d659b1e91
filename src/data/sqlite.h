#pragma once

// Thin helpers over SQLite's C interface, used inside the data layer only.

#include "dataerror.h"
#include "sqlquery.h"

#include <optional>
#include <QString>
#include <QVariant>
#include <sqlite3.h>

namespace lexordo::sqlite {

QString quoteIdentifier(const QString &name);
QString errorText(sqlite3 *db);

// The engine's own pieces of statement text, kept here so that the rest of the
// data layer does not spell them.
// The hidden key that names one stored row of a table.
QString rowKey();
// A comparison of text that ignores letter case in every script (a collation
// registered on the connection by Database::open).
QString foldedCollation();
// The same, as a function giving the case-folded text ("lx_fold(x)").
QString foldedText(const QString &expression);
// The test that `expression` still holds the value bound to the one "?" it
// adds, NULL matching NULL.
QString sameAsBound(const QString &expression);

// Registers the text folding used by foldedCollation() and foldedText().
void registerTextFolding(sqlite3 *db); // throws DataError

// The rows the connection's last statement changed, every row it changed
// since it opened, and a number that changes whenever another connection
// writes to the file.
qint64 changes(sqlite3 *db);
qint64 totalChanges(sqlite3 *db);
qint64 dataVersion(sqlite3 *db); // throws DataError
bool inTransaction(sqlite3 *db);

// What makes a file unfit to be opened as an SQLite database, read from the
// file itself without opening it: empty, not a database at all, a damaged
// header, or shorter than its header says (cut short by a copy or a full
// disk). Nothing when it looks whole. The reason is written to follow the
// file's name ("is empty ...").
std::optional<QString> fileProblem(const QString &path);

// The longest path, in bytes, at which SQLite opens a database together with
// its journal files.
inline constexpr int longestPath = 500;

} // namespace lexordo::sqlite
