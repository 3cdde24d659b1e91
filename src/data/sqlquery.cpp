#include "sqlquery.h"

#include "database.h"
#include "dates.h"
#include "pgconnection.h"
#include "schemacheck.h"
#include "serverdialect.h"
#include "serverschema.h"
#include "sqlite.h"

#include <libpq-fe.h>
#include <QFile>

namespace lexordo {

namespace {

// The server's types, by the oids of its catalogue.
enum : unsigned {
    boolOid = 16,
    byteaOid = 17,
    int8Oid = 20,
    int2Oid = 21,
    int4Oid = 23,
    float4Oid = 700,
    float8Oid = 701,
    dateOid = 1082,
    timeOid = 1083,
    numericOid = 1700,
};

// Rows changed through the server connection since it opened, and the
// changes other desks made, as the notices told them.
qint64 serverChanges = 0;
qint64 serverNotices = 0;

// A name as the schema spells it: the server keeps names in lower case.
QString schemaSpelling(const QString &table, const QString &name)
{
    const SchemaCheck::Column *unique = nullptr;
    int found = 0;
    for (const SchemaCheck::Table &t : SchemaCheck::required()) {
        const bool inTable = t.name.compare(table, Qt::CaseInsensitive) == 0;
        for (const SchemaCheck::Column &column : t.columns) {
            if (column.name.compare(name, Qt::CaseInsensitive) != 0)
                continue;
            if (inTable)
                return column.name;
            if (!unique || unique->name != column.name) {
                unique = &column;
                ++found;
            }
        }
    }
    return found == 1 ? unique->name : name;
}

QString tableSpelling(const QString &table)
{
    for (const SchemaCheck::Table &t : SchemaCheck::required()) {
        if (t.name.compare(table, Qt::CaseInsensitive) == 0)
            return t.name;
    }
    return table;
}

} // namespace

struct SqlQuery::Server
{
    PgConnection *connection = nullptr;
    PgConnection::Prepared statement;
    QList<QByteArray> values;
    PgResult result;
    bool ran = false;
    int row = -1;

    const PgResult &columns() const { return ran ? result : statement.description; }
    pg_result *described() const { return columns().native(); }
    bool isNull(int column) const { return row < 0 || result.isNull(row, column); }
    QByteArrayView bytes(int column) const
    {
        if (isNull(column))
            return {};
        return QByteArrayView(PQgetvalue(result.native(), row, column),
                              PQgetlength(result.native(), row, column));
    }
    unsigned type(int column) const { return PQftype(described(), column); }
};

SqlQuery::SqlQuery(const QString &sql, Lifetime lifetime)
{
    if (Database::isServer()) {
        m_server = std::make_unique<Server>();
        m_server->connection = &Database::serverConnection();
        const serverdialect::Statement translated = serverdialect::translate(sql);
        m_server->statement = m_server->connection->prepare(translated.text, translated.parameters);
        return;
    }
    prepareOn(Database::handle(), sql, lifetime);
}

SqlQuery::SqlQuery(PgConnection &connection, const QString &sql)
    : m_server(std::make_unique<Server>())
{
    m_server->connection = &connection;
    const serverdialect::Statement translated = serverdialect::translate(sql);
    m_server->statement = connection.prepare(translated.text, translated.parameters);
}

SqlQuery::SqlQuery(sqlite3 *connection, const QString &sql, Lifetime lifetime)
{
    prepareOn(connection, sql, lifetime);
}

void SqlQuery::prepareOn(sqlite3 *connection, const QString &sql, Lifetime lifetime)
{
    m_db = connection;
    const QByteArray utf8 = sql.toUtf8();
    const unsigned flags = lifetime == Lifetime::Long ? SQLITE_PREPARE_PERSISTENT : 0;
    if (sqlite3_prepare_v3(m_db, utf8.constData(), int(utf8.size()), flags, &m_stmt, nullptr) !=
        SQLITE_OK) {
        const QString error = sqlite::errorText(m_db);
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        throw DataError(error);
    }
    if (!m_stmt)
        throw DataError(QStringLiteral("The statement is empty."));
}

SqlQuery::~SqlQuery()
{
    sqlite3_finalize(m_stmt);
}

void SqlQuery::fail() const
{
    throw DataError(sqlite::errorText(m_db));
}

void SqlQuery::check(int rc) const
{
    if (rc != SQLITE_OK)
        fail();
}

void SqlQuery::setValue(int index, QByteArray value)
{
    if (index < 1 || index > m_server->statement.parameters)
        throw DataError(QStringLiteral("column index out of range"));
    if (m_server->values.size() < m_server->statement.parameters)
        m_server->values.resize(m_server->statement.parameters);
    m_server->values[index - 1] = std::move(value);
}

void SqlQuery::bindNull(int index)
{
    if (m_server) {
        setValue(index, QByteArray());
        return;
    }
    check(sqlite3_bind_null(m_stmt, index));
}

void SqlQuery::bindText(int index, const QString &text)
{
    if (m_server) {
        QByteArray utf8 = text.toUtf8();
        if (utf8.isNull())
            utf8 = QByteArray("");
        setValue(index, std::move(utf8));
        return;
    }
    const QByteArray utf8 = text.toUtf8();
    check(sqlite3_bind_text(m_stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT));
}

void SqlQuery::bindUtf8(int index, QByteArrayView text)
{
    if (m_server) {
        setValue(index, text.data() ? text.toByteArray() : QByteArray(""));
        return;
    }
    // A null view is bound as an empty text, not as NULL.
    check(sqlite3_bind_text(m_stmt, index, text.data() ? text.data() : "", int(text.size()),
                            SQLITE_TRANSIENT));
}

void SqlQuery::bindUtf8Borrowed(int index, QByteArrayView text)
{
    if (m_server) {
        bindUtf8(index, text);
        return;
    }
    check(sqlite3_bind_text(m_stmt, index, text.data() ? text.data() : "", int(text.size()),
                            SQLITE_STATIC));
}

void SqlQuery::bindDouble(int index, double value)
{
    if (m_server) {
        setValue(index, QByteArray::number(value, 'g', 17));
        return;
    }
    check(sqlite3_bind_double(m_stmt, index, value));
}

void SqlQuery::bindInt(int index, qint64 value)
{
    if (m_server) {
        setValue(index, QByteArray::number(value));
        return;
    }
    check(sqlite3_bind_int64(m_stmt, index, value));
}

void SqlQuery::bind(int index, const QVariant &value)
{
    if (!value.isValid() || value.isNull()) {
        bindNull(index);
        return;
    }
    switch (value.typeId()) {
    case QMetaType::QDate:
        bindText(index, dates::toIso(value.toDate()));
        break;
    case QMetaType::QTime:
        bindText(index, dates::formatTime(value.toTime()));
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        bindDouble(index, value.toDouble());
        break;
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Bool:
        bindInt(index, value.toLongLong());
        break;
    default:
        bindText(index, value.toString());
        break;
    }
}

void SqlQuery::bindAll(const QVariantList &values)
{
    for (int i = 0; i < values.size(); ++i)
        bind(i + 1, values[i]);
}

void SqlQuery::bindStored(int index, const QVariant &stored)
{
    if (stored.typeId() == QMetaType::QByteArray) {
        const QByteArray bytes = stored.toByteArray();
        if (m_server) {
            setValue(index, "\\x" + bytes.toHex());
            return;
        }
        check(sqlite3_bind_blob(m_stmt, index, bytes.constData(), int(bytes.size()),
                                SQLITE_TRANSIENT));
        return;
    }
    bind(index, stored);
}

bool SqlQuery::next()
{
    if (m_server) {
        Server &server = *m_server;
        if (!server.ran) {
            server.result = server.connection->execPrepared(server.statement, server.values);
            server.ran = true;
            server.row = -1;
            serverChanges += server.result.changed();
        }
        if (server.row + 1 >= server.result.rows()) {
            server.row = server.result.rows();
            return false;
        }
        ++server.row;
        return true;
    }
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    const QString error = sqlite::errorText(m_db);
    sqlite3_reset(m_stmt);
    throw DataError(error);
}

qint64 SqlQuery::exec()
{
    if (m_server) {
        m_server->ran = false;
        next();
        return m_server->result.changed();
    }
    while (next()) {
    }
    return sqlite3_changes64(m_db);
}

void SqlQuery::reset()
{
    if (m_server) {
        m_server->ran = false;
        m_server->row = -1;
        m_server->result = PgResult();
        m_server->values.clear();
        return;
    }
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

int SqlQuery::columnCount() const
{
    if (m_server)
        return m_server->columns().columns();
    return sqlite3_column_count(m_stmt);
}

QString SqlQuery::columnName(int column) const
{
    if (m_server) {
        pg_result *described = m_server->described();
        const unsigned table = PQftable(described, column);
        const QString name = QString::fromUtf8(PQfname(described, column));
        if (table == InvalidOid)
            return schemaSpelling(QString(), name);
        return schemaSpelling(m_server->connection->tableName(table), name);
    }
    return QString::fromUtf8(sqlite3_column_name(m_stmt, column));
}

QString SqlQuery::columnOrigin(int column) const
{
    if (m_server) {
        pg_result *described = m_server->described();
        const unsigned table = PQftable(described, column);
        if (table == InvalidOid)
            return QString();
        return schemaSpelling(
            m_server->connection->tableName(table),
            m_server->connection->columnName(table, PQftablecol(described, column)));
    }
    const char *origin = sqlite3_column_origin_name(m_stmt, column);
    return origin ? QString::fromUtf8(origin) : QString();
}

QByteArray SqlQuery::columnDeclaredType(int column) const
{
    if (m_server) {
        switch (m_server->type(column)) {
        case dateOid:
            return "DATE";
        case timeOid:
            return "TIME";
        case int2Oid:
        case int4Oid:
        case int8Oid:
        case boolOid:
            return "INTEGER";
        case float4Oid:
        case float8Oid:
        case numericOid:
            return "REAL";
        case byteaOid:
            return "BLOB";
        default:
            return "TEXT";
        }
    }
    const char *declared = sqlite3_column_decltype(m_stmt, column);
    return declared ? QByteArray(declared).toUpper() : QByteArray();
}

SqlQuery::Kind SqlQuery::kind(int column) const
{
    if (m_server) {
        if (m_server->isNull(column))
            return Kind::Null;
        switch (m_server->type(column)) {
        case int2Oid:
        case int4Oid:
        case int8Oid:
        case boolOid:
            return Kind::Integer;
        case float4Oid:
        case float8Oid:
        case numericOid:
            return Kind::Real;
        case byteaOid:
            return Kind::Blob;
        default:
            return Kind::Text;
        }
    }
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_INTEGER:
        return Kind::Integer;
    case SQLITE_FLOAT:
        return Kind::Real;
    case SQLITE_NULL:
        return Kind::Null;
    case SQLITE_BLOB:
        return Kind::Blob;
    default:
        return Kind::Text;
    }
}

bool SqlQuery::isNull(int column) const
{
    if (m_server)
        return m_server->isNull(column);
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

bool SqlQuery::isNumber(int column) const
{
    if (m_server) {
        const Kind k = kind(column);
        return k == Kind::Integer || k == Kind::Real;
    }
    const int kind = sqlite3_column_type(m_stmt, column);
    return kind == SQLITE_INTEGER || kind == SQLITE_FLOAT;
}

QByteArrayView SqlQuery::utf8(int column) const
{
    if (m_server) {
        if (m_server->type(column) == boolOid && !m_server->isNull(column))
            return m_server->bytes(column) == "t" ? QByteArrayView("1") : QByteArrayView("0");
        return m_server->bytes(column);
    }
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    return text ? QByteArrayView(text, sqlite3_column_bytes(m_stmt, column)) : QByteArrayView();
}

QString SqlQuery::text(int column) const
{
    if (m_server) {
        if (m_server->isNull(column))
            return QString();
        const QByteArrayView bytes = utf8(column);
        return QString::fromUtf8(bytes.data(), bytes.size());
    }
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    return text ? QString::fromUtf8(text, sqlite3_column_bytes(m_stmt, column)) : QString();
}

QByteArray SqlQuery::blob(int column) const
{
    if (m_server) {
        const QByteArrayView bytes = m_server->bytes(column);
        if (m_server->type(column) == byteaOid && bytes.startsWith("\\x"))
            return QByteArray::fromHex(bytes.sliced(2).toByteArray());
        return bytes.toByteArray();
    }
    const auto *bytes = static_cast<const char *>(sqlite3_column_blob(m_stmt, column));
    return QByteArray(bytes, sqlite3_column_bytes(m_stmt, column));
}

qint64 SqlQuery::integer(int column) const
{
    if (m_server) {
        if (m_server->isNull(column))
            return 0;
        const QByteArray bytes = utf8(column).toByteArray();
        bool whole = false;
        const qint64 value = bytes.toLongLong(&whole);
        return whole ? value : qint64(bytes.toDouble());
    }
    return sqlite3_column_int64(m_stmt, column);
}

double SqlQuery::real(int column) const
{
    if (m_server)
        return m_server->isNull(column) ? 0.0 : utf8(column).toByteArray().toDouble();
    return sqlite3_column_double(m_stmt, column);
}

QVariant SqlQuery::value(int column) const
{
    if (m_server) {
        switch (kind(column)) {
        case Kind::Integer:
            return QVariant(integer(column));
        case Kind::Real:
            return QVariant(real(column));
        case Kind::Null:
            return QVariant();
        default:
            return QVariant(text(column));
        }
    }
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(m_stmt, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(m_stmt, column));
    case SQLITE_NULL:
        return QVariant();
    default:
        return QVariant(text(column));
    }
}

QVariant SqlQuery::stored(int column) const
{
    if (kind(column) == Kind::Blob)
        return blob(column);
    return value(column);
}

std::optional<QVariant> SqlQuery::singleValue(const QString &sql, const QVariantList &values)
{
    SqlQuery query(sql);
    query.bindAll(values);
    if (!query.next())
        return std::nullopt;
    return query.value(0);
}

namespace sql {

QString quoteIdentifier(const QString &name)
{
    return sqlite::quoteIdentifier(name);
}

QString rowKey()
{
    return sqlite::rowKey();
}

QString foldedCollation()
{
    return sqlite::foldedCollation();
}

QString foldedText(const QString &expression)
{
    return sqlite::foldedText(expression);
}

QString sameAsBound(const QString &expression)
{
    return sqlite::sameAsBound(expression);
}

QString noValue(const QString &expression)
{
    if (Database::isServer())
        return QStringLiteral("%1 IS NULL").arg(expression);
    return QStringLiteral("(%1 IS NULL OR %1 = '')").arg(expression);
}

bool isRowKeyColumn(const QString &name)
{
    return Database::isServer() && name.compare(serverschema::rowKey, Qt::CaseInsensitive) == 0;
}

QString unindexed(const QString &expression)
{
    return Database::isServer() ? expression : u'+' + expression;
}

QString amongTexts(const QString &expression, const QString &list, const QString &condition)
{
    // A server's planner joins a subquery by reading the whole table; an
    // array it reads first, it looks up in the index one text at a time.
    const QString form = Database::isServer()
                             ? QStringLiteral("%1 COLLATE NOCASE = ANY (ARRAY(SELECT \"text\" FROM "
                                              "%2 WHERE %3))")
                             : QStringLiteral("%1 COLLATE NOCASE IN (SELECT \"text\" FROM %2 "
                                              "WHERE %3)");
    return form.arg(expression, list, condition);
}

QStringList tables()
{
    if (Database::isServer()) {
        SqlQuery query(
            QStringLiteral("SELECT table_name FROM information_schema.tables WHERE table_schema = "
                           "current_schema() AND table_type = 'BASE TABLE' ORDER BY table_name"));
        QStringList names;
        while (query.next())
            names << tableSpelling(query.text(0));
        return names;
    }
    // As Qt's SQLite driver lists them: the file's tables, then temporary ones.
    SqlQuery query(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' UNION ALL "
                                  "SELECT name FROM sqlite_temp_master WHERE type = 'table'"));
    QStringList names;
    while (query.next())
        names << query.text(0);
    return names;
}

qint64 totalChanges()
{
    if (Database::isServer())
        return serverChanges;
    return sqlite::totalChanges(Database::handle());
}

qint64 dataVersion()
{
    // On a server, other desks' writes arrive as notices on the connection.
    if (Database::isServer()) {
        PgConnection &connection = Database::serverConnection();
        // A round trip brings every notice of a change committed before it.
        connection.execScript("");
        serverNotices += connection.takeNotices();
        return serverNotices + connection.connections();
    }
    return sqlite::dataVersion(Database::handle());
}

QList<Index> plainIndexes(const QString &table)
{
    if (Database::isServer()) {
        SqlQuery query(QStringLiteral(
            "SELECT i.indexname, i.indexdef FROM pg_indexes i JOIN pg_class c ON c.relname = "
            "i.indexname JOIN pg_index x ON x.indexrelid = c.oid WHERE i.schemaname = "
            "current_schema() AND i.tablename = lower(?) AND NOT x.indisunique"));
        query.bindText(1, table);
        QList<Index> indexes;
        while (query.next())
            indexes.append({query.text(0), query.text(1)});
        return indexes;
    }
    // An index the table's definition makes has no statement of its own.
    SqlQuery query(QStringLiteral("SELECT m.name, m.sql FROM sqlite_master m "
                                  "WHERE m.type = 'index' AND m.tbl_name = ?1 "
                                  "COLLATE NOCASE AND m.sql IS NOT NULL AND "
                                  "NOT EXISTS (SELECT 1 FROM "
                                  "pragma_index_list(m.tbl_name) i WHERE "
                                  "i.name = m.name AND i.\"unique\")"));
    query.bindText(1, table);
    QList<Index> indexes;
    while (query.next())
        indexes.append({query.text(0), query.text(1)});
    return indexes;
}

int cacheSize()
{
    // The server keeps its own cache, shared by the desks.
    if (Database::isServer())
        return 0;
    SqlQuery query(QStringLiteral("PRAGMA cache_size"));
    if (!query.next())
        throw DataError(QStringLiteral("The database did not give its page cache size."));
    return int(query.integer(0));
}

void setCacheSize(int size)
{
    if (Database::isServer())
        return;
    SqlQuery(QStringLiteral("PRAGMA cache_size = %1").arg(size)).exec();
}

std::optional<QString> fileProblem(const QString &path)
{
    return sqlite::fileProblem(path);
}

ReadConnection::ReadConnection(const QString &path, int lockWaitMs)
{
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READONLY,
                        nullptr) != SQLITE_OK) {
        const QString error = m_db ? sqlite::errorText(m_db) : QStringLiteral("out of memory");
        sqlite3_close(m_db);
        m_db = nullptr;
        throw DataError(error);
    }
    sqlite3_busy_timeout(m_db, lockWaitMs);
}

ReadConnection::~ReadConnection()
{
    sqlite3_close(m_db);
}

} // namespace sql

} // namespace lexordo
