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

private:
    sqlite3 *m_db;
    sqlite3_stmt *m_stmt = nullptr;
};

} // namespace lexordo::sqlite
