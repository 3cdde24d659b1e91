#pragma once

// A connection of its own to a PostgreSQL server, through libpq. The data
// layer's server engine, the move of a diary file to the server and the
// server's backup use it; nothing above the data layer sees libpq.

#include "dataerror.h"
#include "serveraddress.h"

#include <memory>
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

struct pg_conn;
struct pg_result;

namespace lexordo {

// One result of a statement run on the server; rows and columns from 0,
// values as the server's text. Frees itself.
class PgResult
{
public:
    PgResult() = default;
    explicit PgResult(pg_result *result);
    int rows() const;
    int columns() const;
    bool isNull(int row, int column) const;
    QByteArray bytes(int row, int column) const;
    QString text(int row, int column) const;
    QString columnName(int column) const;
    // The server's type of a result column (its oid).
    unsigned columnType(int column) const;
    // The rows an insert, update or delete changed.
    qint64 changed() const;
    pg_result *native() const { return m_result.get(); }

private:
    std::shared_ptr<pg_result> m_result;
};

class PgConnection
{
public:
    // Connects, waiting a bounded time; throws DataError with the server's
    // reason (never the password).
    explicit PgConnection(const ServerAddress &address);
    ~PgConnection();
    PgConnection(const PgConnection &) = delete;
    PgConnection &operator=(const PgConnection &) = delete;

    const ServerAddress &address() const { return m_address; }

    // Runs one statement with its values ($1, $2, ... in the text; a null
    // QByteArray is NULL), the values' types left to the server. Throws
    // DataError with the server's message.
    PgResult exec(const QByteArray &sql, const QList<QByteArray> &values = {});
    // Runs statements that take no values, one after another.
    void execScript(const QByteArray &sql);

    // COPY ... FROM STDIN: begin, send lines of the text format, end.
    void copyIn(const QByteArray &copyStatement);
    void putCopyData(const QByteArray &lines);
    void endCopy();

    // A statement prepared once on this connection and kept while it lasts;
    // description tells its result's columns before it runs.
    struct Prepared
    {
        QByteArray name;
        int parameters = 0;
        PgResult description;
    };
    Prepared prepare(const QByteArray &sql, int parameters); // throws DataError
    PgResult execPrepared(const Prepared &statement, const QList<QByteArray> &values);
    // The name of column `column` (from 1) of the table with oid `table`.
    QString columnName(unsigned table, int column); // throws DataError
    // The name of the table with oid `table`.
    QString tableName(unsigned table); // throws DataError
    // The notices of other connections received since the last call, for
    // the channel this connection listens to.
    int takeNotices();
    // How many times it has connected: notices sent while it was away are
    // lost, so a new connection counts as a change.
    int connections() const { return m_connections; }

    // Runs `undo` (a ROLLBACK) after `cause` stopped the work, and gives the
    // error to throw: the cause, and the undo's own failure when the server
    // is still there to keep what was half done (gone, it rolled back).
    DataError undone(const QByteArray &undo, const DataError &cause);

    bool isBroken() const;
    // Connects again after the server went away; throws DataError when it is
    // still away.
    void reconnect();

    pg_conn *native() const { return m_conn; }

private:
    void connect();
    DataError failure(const pg_result *result) const;
    PgResult checked(pg_result *result);
    PgResult checked(const PgResult &result);
    ServerAddress m_address;
    pg_conn *m_conn = nullptr;
    int m_connections = 0;
    QHash<QByteArray, Prepared> m_prepared;
    QHash<QPair<unsigned, int>, QString> m_columnNames;
    QHash<unsigned, QString> m_tableNames;
};

} // namespace lexordo
