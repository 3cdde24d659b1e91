#pragma once

// The one way the program runs SQL: every store, report and transfer prepares
// its statements here, on the program's one connection (Database). What is
// particular to the database engine (SQLite) lives behind this header, in
// sqlquery.cpp; a second engine is a second implementation of it.

#include "dataerror.h"

#include <memory>
#include <optional>
#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

namespace lexordo {

class PgConnection;

// One prepared statement. Values are bound by position, from 1; every bind the
// engine refuses throws DataError.
//
//     SqlQuery query(QStringLiteral("SELECT Party1 FROM advocate WHERE cdate = ?"));
//     query.bind(1, day);
//     while (query.next())
//         names << query.text(0);
//
// next() throws DataError for any failure while stepping, so a loop over it
// that ends has read every row: the end of a loop is never a failure unseen.
class SqlQuery
{
public:
    // A statement run many times over a long while (an import's insert) is
    // Long: the engine keeps it apart from its short-lived memory.
    enum class Lifetime { Short, Long };

    // On the program's connection.
    explicit SqlQuery(const QString &sql,
                      Lifetime lifetime = Lifetime::Short); // throws DataError
    // On a connection the data layer opened itself (a copy being checked, a
    // reader on another thread).
    SqlQuery(sqlite3 *connection, const QString &sql,
             Lifetime lifetime = Lifetime::Short); // throws DataError
    // On a server connection of its own (a reader on another thread).
    SqlQuery(PgConnection &connection, const QString &sql); // throws DataError
    ~SqlQuery();
    SqlQuery(const SqlQuery &) = delete;
    SqlQuery &operator=(const SqlQuery &) = delete;

    // Dates as ISO text (as the diary stores them), times as hh:mm:ss, whole
    // numbers and booleans as integers, no value as NULL, the rest as text.
    void bind(int index, const QVariant &value);
    // Binds values[0] to 1, values[1] to 2, ...
    void bindAll(const QVariantList &values);
    void bindNull(int index);
    void bindText(int index, const QString &text);
    void bindInt(int index, qint64 value);
    void bindDouble(int index, double value);
    // UTF-8 text without a QString in between, copied.
    void bindUtf8(int index, QByteArrayView text);
    // The same, not copied: the bytes must stay as they are until the
    // statement has run and been reset().
    void bindUtf8Borrowed(int index, QByteArrayView text);
    // A value read with stored(), bound back to find the same stored value.
    void bindStored(int index, const QVariant &stored);

    // Steps to the next row: true on a row, false after the last one. Throws
    // DataError on failure.
    bool next();
    // Runs a statement to its end (an insert, update or delete) and gives the
    // rows it changed. Throws DataError on failure.
    qint64 exec();
    // Ready to run again, still prepared; the bound values are cleared.
    void reset();

    int columnCount() const;
    QString columnName(int column) const;
    // The table column a result column comes from; empty for an expression.
    QString columnOrigin(int column) const;
    // The declared type of that column, upper case; empty when none.
    QByteArray columnDeclaredType(int column) const;

    // The columns of the current row, from 0.
    enum class Kind { Null, Integer, Real, Text, Blob };
    Kind kind(int column) const;
    bool isNull(int column) const;
    bool isNumber(int column) const;
    // Integers as qint64, reals as double, text as QString, NULL as an
    // invalid QVariant.
    QVariant value(int column) const;
    QString text(int column) const;
    // The stored text as UTF-8, valid until the next step.
    QByteArrayView utf8(int column) const;
    QByteArray blob(int column) const;
    qint64 integer(int column) const;
    double real(int column) const;
    // The value as stored, by its storage class (blobs as QByteArray), for
    // bindStored(): the NULL-safe comparison that finds a row unchanged.
    QVariant stored(int column) const;

    // The first column of the first row; nothing when there is no row.
    static std::optional<QVariant> singleValue(const QString &sql, const QVariantList &values = {});

    // The engine's statement, for the data layer's engine-specific files;
    // none on a server.
    sqlite3_stmt *native() const { return m_stmt; }

private:
    struct Server;
    [[noreturn]] void fail() const;
    void check(int rc) const;
    void setValue(int index, QByteArray value);
    void prepareOn(sqlite3 *connection, const QString &sql, Lifetime lifetime);

    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_stmt = nullptr;
    std::unique_ptr<Server> m_server;
};

// What the engine's statement text and connection say, spelled once.
namespace sql {

QString quoteIdentifier(const QString &name);
// The hidden key that names one stored row of a table.
QString rowKey();
// True for the column that holds it where a table shows it (on a server).
bool isRowKeyColumn(const QString &name);
// A comparison of text that ignores letter case in every script.
QString foldedCollation();
// The same, as a function giving the case-folded text.
QString foldedText(const QString &expression);
// The test that `expression` still holds the value bound to the one "?" it
// adds, NULL matching NULL.
QString sameAsBound(const QString &expression);
// The test that `expression` holds no value: NULL, or on a file empty text,
// which a file's dates and numbers may hold and a server's cannot.
QString noValue(const QString &expression);
// The same value, which the engine does not look for in an index (a server's
// planner weighs its choices by itself).
QString unindexed(const QString &expression);

// The test that `expression`, its letter case ignored, is one of the texts of
// `list` (a table of a column's different texts, in its column "text") that
// meet `condition`, and that the rows are found by the column's index.
QString amongTexts(const QString &expression, const QString &list, const QString &condition);

// The tables of the program's connection, as the database names them.
QStringList tables(); // throws DataError
// Every row the program's connection changed since it opened, and a number
// that changes whenever another connection writes to the diary.
qint64 totalChanges(); // throws DataError
qint64 dataVersion();  // throws DataError

// An index of a table and the statement that makes it again.
struct Index
{
    QString name;
    QString statement;
};
// The indexes of `table` that refuse no row (none unique), those the table's
// own definition makes left out. Throws DataError.
QList<Index> plainIndexes(const QString &table);
// The program's connection's page cache, as the engine counts it (KiB when
// negative). Throw DataError.
int cacheSize();
void setCacheSize(int size);

// What makes a file unfit to be opened as a database, read from the file
// itself; nothing when it looks whole. Written to follow the file's name.
std::optional<QString> fileProblem(const QString &path);

// A connection of its own to a database file, for reading only: a reader on
// another thread needs one (a connection serves one thread).
class ReadConnection
{
public:
    ReadConnection(const QString &path, int lockWaitMs); // throws DataError
    ~ReadConnection();
    ReadConnection(const ReadConnection &) = delete;
    ReadConnection &operator=(const ReadConnection &) = delete;
    sqlite3 *native() const { return m_db; }

private:
    sqlite3 *m_db = nullptr;
};

} // namespace sql

} // namespace lexordo
