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
    m_conn = PQconnectdbParams(keys.data(), values.data(), 0);
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
        throw DataError(resultMessage(result.native(), m_conn));
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
        throw DataError(resultMessage(result.native(), m_conn));
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

bool PgConnection::isBroken() const
{
    return !m_conn || PQstatus(m_conn) != CONNECTION_OK;
}

void PgConnection::reconnect()
{
    connect();
}

} // namespace lexordo
