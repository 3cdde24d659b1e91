#pragma once

// Thin helpers over SQLite's C interface, used inside the data layer only.

#include "dataerror.h"

#include <QString>
#include <QVariant>

#include <optional>

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

// The key of the row the connection inserted last, the rows its last
// statement changed, every row it changed since it opened, and a number that
// changes whenever another connection writes to the file.
qint64 lastInsertKey(sqlite3 *db);
qint64 changes(sqlite3 *db);
qint64 totalChanges(sqlite3 *db);
qint64 dataVersion(sqlite3 *db);
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

class Statement
{
public:
    Statement(sqlite3 *db, const QString &sql); // throws DataError
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    void bind(int index, const QVariant &value); // 1-based; dates as ISO text
    void bindNull(int index);
    void bindText(int index, const QString &text);
    void bindDouble(int index, double value);
    void bindInt(int index, qint64 value);

    bool step(); // true while rows come; throws DataError on failure
    void reset();

    sqlite3_stmt *get() const { return m_stmt; }
    int columnCount() const { return sqlite3_column_count(m_stmt); }
    QString columnText(int column) const;
    QVariant columnValue(int column) const;
    // The value as stored, by its storage class (blobs as QByteArray), for
    // binding back with bindStored() to find the same value.
    QVariant columnStored(int column) const;
    void bindStored(int index, const QVariant &stored);
    qint64 columnInt(int column) const { return sqlite3_column_int64(m_stmt, column); }
    bool columnIsNull(int column) const { return sqlite3_column_type(m_stmt, column) == SQLITE_NULL; }
    bool columnIsNumber(int column) const;
    QString columnName(int column) const;
    // The table column a result column comes from; empty for an expression.
    QString columnOrigin(int column) const;
    // The declared type of that column, upper case; empty when none.
    QByteArray columnDeclaredType(int column) const;

private:
    sqlite3 *m_db;
    sqlite3_stmt *m_stmt = nullptr;
};

} // namespace lexordo::sqlite
