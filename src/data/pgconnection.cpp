#include "pgconnection.h"

#include <libpq-fe.h>

namespace lexordo {

namespace {

QString serverMessage(pg_conn *conn)
{
    return QString::fromUtf8(PQerrorMessage(conn)).trimmed();
}

QString resultMessage(const pg_result *result, pg_conn *conn)
{
    // The server's own sentence, without its "ERROR:" and context lines.
    const char *primary = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    if (primary && *primary) {
        QString text = QString::fromUtf8(primary);
        if (const char *detail = PQresultErrorField(result, PG_DIAG_MESSAGE_DETAIL))
            text += u' ' + QString::fromUtf8(detail);
        return text;
    }
    const char *message = result ? PQresultErrorMessage(result) : nullptr;
    const QString text =
        message && *message ? QString::fromUtf8(message).trimmed() : serverMessage(conn);
    return text.isEmpty() ? QStringLiteral("The server gave no reason.") : text;
}

} // namespace

PgResult::PgResult(pg_result *result) : m_result(result, PQclear)
{
}

int PgResult::rows() const
{
    return m_result ? PQntuples(m_result.get()) : 0;
}

int PgResult::columns() const
{
    return m_result ? PQnfields(m_result.get()) : 0;
}

bool PgResult::isNull(int row, int column) const
{
    return PQgetisnull(m_result.get(), row, column) != 0;
}

QByteArray PgResult::bytes(int row, int column) const
{
    if (isNull(row, column))
        return QByteArray();
    return QByteArray(PQgetvalue(m_result.get(), row, column),
                      PQgetlength(m_result.get(), row, column));
}

QString PgResult::text(int row, int column) const
{
    if (isNull(row, column))
        return QString();
    return QString::fromUtf8(PQgetvalue(m_result.get(), row, column),
                             PQgetlength(m_result.get(), row, column));
}

QString PgResult::columnName(int column) const
{
    return QString::fromUtf8(PQfname(m_result.get(), column));
}

unsigned PgResult::columnType(int column) const
{
    return PQftype(m_result.get(), column);
}

qint64 PgResult::changed() const
{
    const char *tuples = m_result ? PQcmdTuples(m_result.get()) : nullptr;
    return tuples && *tuples ? QByteArray(tuples).toLongLong() : 0;
}

PgConnection::PgConnection(const ServerAddress &address) : m_address(address)
{
    connect();
}

PgConnection::~PgConnection()
{
    PQfinish(m_conn);
}

void PgConnection::connect()
{
    const QList<QPair<QByteArray, QByteArray>> keywords = m_address.connectionKeywords();
    std::vector<const char *> keys;
    std::vector<const char *> values;
    for (const auto &[key, value] : keywords) {
        keys.push_back(key.constData());
        values.push_back(value.constData());
    }
    keys.push_back(nullptr);
    values.push_back(nullptr);
    PQfinish(m_conn);
    m_prepared.clear();
    m_columnNames.clear();
    m_tableNames.clear();
    m_conn = PQconnectdbParams(keys.data(), values.data(), 0);
    ++m_connections;
    if (!m_conn)
        throw DataError(QStringLiteral("The server's %1 could not be reached: out of memory.")
                            .arg(m_address.describe()));
    if (PQstatus(m_conn) != CONNECTION_OK) {
        const QString reason = serverMessage(m_conn);
        PQfinish(m_conn);
        m_conn = nullptr;
        throw DataError(QStringLiteral("The diary's %1 could not be reached: %2")
                            .arg(m_address.describe(), reason));
    }
}

PgResult PgConnection::exec(const QByteArray &sql, const QList<QByteArray> &values)
{
    if (!m_conn)
        throw DataError(QStringLiteral("The diary's server is not connected."));
    std::vector<const char *> params;
    std::vector<int> lengths;
    params.reserve(size_t(values.size()));
    for (const QByteArray &value : values) {
        params.push_back(value.isNull() ? nullptr : value.constData());
        lengths.push_back(int(value.size()));
    }
    PgResult result(PQexecParams(m_conn, sql.constData(), int(values.size()), nullptr,
                                 params.data(), lengths.data(), nullptr, 0));
    const ExecStatusType status =
        result.native() ? PQresultStatus(result.native()) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK && status != PGRES_COPY_IN)
        throw failure(result.native());
    return result;
}

void PgConnection::execScript(const QByteArray &sql)
{
    if (!m_conn)
        throw DataError(QStringLiteral("The diary's server is not connected."));
    // PQexec runs several statements as one; they stop at the first failure.
    PgResult result(PQexec(m_conn, sql.constData()));
    const ExecStatusType status =
        result.native() ? PQresultStatus(result.native()) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK && status != PGRES_EMPTY_QUERY)
        throw failure(result.native());
}

void PgConnection::copyIn(const QByteArray &copyStatement)
{
    PgResult result(PQexec(m_conn, copyStatement.constData()));
    if (!result.native() || PQresultStatus(result.native()) != PGRES_COPY_IN)
        throw DataError(resultMessage(result.native(), m_conn));
}

void PgConnection::putCopyData(const QByteArray &lines)
{
    if (PQputCopyData(m_conn, lines.constData(), int(lines.size())) != 1)
        throw DataError(serverMessage(m_conn));
}

void PgConnection::endCopy()
{
    if (PQputCopyEnd(m_conn, nullptr) != 1)
        throw DataError(serverMessage(m_conn));
    // The copy's own result, then the end of its results.
    QString failure;
    while (pg_result *raw = PQgetResult(m_conn)) {
        PgResult result(raw);
        if (PQresultStatus(raw) != PGRES_COMMAND_OK && failure.isEmpty())
            failure = resultMessage(raw, m_conn);
    }
    if (!failure.isEmpty())
        throw DataError(failure);
}

DataError PgConnection::failure(const pg_result *result) const
{
    const QString reason = resultMessage(result, m_conn);
    // The server went away under the statement: what it was doing is undone
    // by the server, and the next action connects again.
    if (!m_conn || PQstatus(m_conn) == CONNECTION_BAD)
        return DataError(QStringLiteral("The connection to the diary's %1 was lost: %2 Nothing "
                                        "of this action was stored; the next action connects "
                                        "again.")
                             .arg(m_address.describe(), reason));
    const char *state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    if (state && qstrcmp(state, "23505") == 0)
        return DataError(QStringLiteral("This number is already given to another entry, perhaps "
                                        "at another desk; nothing was stored (%1).")
                             .arg(reason));
    return DataError(reason);
}

PgResult PgConnection::checked(pg_result *raw)
{
    return checked(PgResult(raw));
}

PgResult PgConnection::checked(const PgResult &result)
{
    pg_result *raw = result.native();
    const ExecStatusType status = raw ? PQresultStatus(raw) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        throw failure(raw);
    return result;
}

PgConnection::Prepared PgConnection::prepare(const QByteArray &sql, int parameters)
{
    if (!m_conn)
        throw DataError(QStringLiteral("The diary's server is not connected."));
    const auto found = m_prepared.constFind(sql);
    if (found != m_prepared.constEnd())
        return *found;
    Prepared statement;
    statement.name = "lx" + QByteArray::number(m_prepared.size() + 1);
    statement.parameters = parameters;
    // A value whose type nothing around it tells ("? IS NULL") is taken as
    // text, as SQLite takes it. A failed PREPARE would end a transaction
    // that is open: it is tried under a savepoint then.
    const bool inTransaction = PQtransactionStatus(m_conn) == PQTRANS_INTRANS;
    if (inTransaction)
        exec("SAVEPOINT lx_prepare");
    PgResult tried(
        PQprepare(m_conn, statement.name.constData(), sql.constData(), parameters, nullptr));
    const char *state =
        tried.native() ? PQresultErrorField(tried.native(), PG_DIAG_SQLSTATE) : nullptr;
    if (state && qstrcmp(state, "42P18") == 0) {
        if (inTransaction)
            exec("ROLLBACK TO SAVEPOINT lx_prepare");
        const std::vector<unsigned> text(size_t(parameters), 25);
        tried = PgResult(PQprepare(m_conn, statement.name.constData(), sql.constData(), parameters,
                                   text.data()));
    }
    if (inTransaction) {
        if (PQresultStatus(tried.native()) == PGRES_COMMAND_OK)
            exec("RELEASE SAVEPOINT lx_prepare");
        else
            exec("ROLLBACK TO SAVEPOINT lx_prepare");
    }
    checked(tried);
    statement.description = checked(PQdescribePrepared(m_conn, statement.name.constData()));
    m_prepared.insert(sql, statement);
    return statement;
}

PgResult PgConnection::execPrepared(const Prepared &statement, const QList<QByteArray> &values)
{
    if (!m_conn)
        throw DataError(QStringLiteral("The diary's server is not connected."));
    std::vector<const char *> params(size_t(statement.parameters), nullptr);
    std::vector<int> lengths(size_t(statement.parameters), 0);
    for (qsizetype i = 0; i < values.size() && i < statement.parameters; ++i) {
        if (!values[i].isNull()) {
            params[size_t(i)] = values[i].constData();
            lengths[size_t(i)] = int(values[i].size());
        }
    }
    return checked(PQexecPrepared(m_conn, statement.name.constData(), statement.parameters,
                                  params.data(), lengths.data(), nullptr, 0));
}

QString PgConnection::columnName(unsigned table, int column)
{
    const auto key = qMakePair(table, column);
    const auto found = m_columnNames.constFind(key);
    if (found != m_columnNames.constEnd())
        return *found;
    const PgResult result = exec("SELECT attname FROM pg_attribute WHERE attrelid = $1 AND "
                                 "attnum = $2",
                                 {QByteArray::number(table), QByteArray::number(column)});
    QString name = result.rows() == 1 ? result.text(0, 0) : QString();
    m_columnNames.insert(key, name);
    return name;
}

QString PgConnection::tableName(unsigned table)
{
    const auto found = m_tableNames.constFind(table);
    if (found != m_tableNames.constEnd())
        return *found;
    const PgResult result =
        exec("SELECT relname FROM pg_class WHERE oid = $1", {QByteArray::number(table)});
    QString name = result.rows() == 1 ? result.text(0, 0) : QString();
    m_tableNames.insert(table, name);
    return name;
}

int PgConnection::takeNotices()
{
    if (!m_conn)
        return 0;
    // A connection that cannot be read has lost its server.
    if (!PQconsumeInput(m_conn))
        throw failure(nullptr);
    int count = 0;
    const int own = PQbackendPID(m_conn);
    while (PGnotify *notice = PQnotifies(m_conn)) {
        if (notice->be_pid != own)
            ++count;
        PQfreemem(notice);
    }
    return count;
}

DataError PgConnection::undone(const QByteArray &undo, const DataError &cause)
{
    if (isBroken())
        return cause;
    try {
        execScript(undo);
    } catch (const DataError &e) {
        if (isBroken())
            return cause;
        return DataError(QStringLiteral("%1 What was begun could not be undone either: %2")
                             .arg(cause.description(), e.description()));
    }
    return cause;
}

bool PgConnection::isBroken() const
{
    return !m_conn || PQstatus(m_conn) != CONNECTION_OK;
}

void PgConnection::reconnect()
{
    connect();
}

} // namespace lexordo
