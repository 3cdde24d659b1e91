#include "sqlquery.h"

#include "database.h"
#include "dates.h"
#include "sqlite.h"

#include <QFile>

namespace lexordo {

SqlQuery::SqlQuery(const QString &sql, Lifetime lifetime)
    : SqlQuery(Database::handle(), sql, lifetime)
{
}

SqlQuery::SqlQuery(sqlite3 *connection, const QString &sql, Lifetime lifetime) : m_db(connection)
{
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

void SqlQuery::bindNull(int index)
{
    check(sqlite3_bind_null(m_stmt, index));
}

void SqlQuery::bindText(int index, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    check(sqlite3_bind_text(m_stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT));
}

void SqlQuery::bindUtf8(int index, QByteArrayView text)
{
    // A null view is bound as an empty text, not as NULL.
    check(sqlite3_bind_text(m_stmt, index, text.data() ? text.data() : "", int(text.size()),
                            SQLITE_TRANSIENT));
}

void SqlQuery::bindUtf8Borrowed(int index, QByteArrayView text)
{
    check(sqlite3_bind_text(m_stmt, index, text.data() ? text.data() : "", int(text.size()),
                            SQLITE_STATIC));
}

void SqlQuery::bindDouble(int index, double value)
{
    check(sqlite3_bind_double(m_stmt, index, value));
}

void SqlQuery::bindInt(int index, qint64 value)
{
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
        check(sqlite3_bind_blob(m_stmt, index, bytes.constData(), int(bytes.size()),
                                SQLITE_TRANSIENT));
        return;
    }
    bind(index, stored);
}

bool SqlQuery::next()
{
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
    while (next()) {
    }
    return sqlite3_changes64(m_db);
}

void SqlQuery::reset()
{
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

int SqlQuery::columnCount() const
{
    return sqlite3_column_count(m_stmt);
}

QString SqlQuery::columnName(int column) const
{
    return QString::fromUtf8(sqlite3_column_name(m_stmt, column));
}

QString SqlQuery::columnOrigin(int column) const
{
    const char *origin = sqlite3_column_origin_name(m_stmt, column);
    return origin ? QString::fromUtf8(origin) : QString();
}

QByteArray SqlQuery::columnDeclaredType(int column) const
{
    const char *declared = sqlite3_column_decltype(m_stmt, column);
    return declared ? QByteArray(declared).toUpper() : QByteArray();
}

SqlQuery::Kind SqlQuery::kind(int column) const
{
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
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

bool SqlQuery::isNumber(int column) const
{
    const int kind = sqlite3_column_type(m_stmt, column);
    return kind == SQLITE_INTEGER || kind == SQLITE_FLOAT;
}

QByteArrayView SqlQuery::utf8(int column) const
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    return text ? QByteArrayView(text, sqlite3_column_bytes(m_stmt, column)) : QByteArrayView();
}

QString SqlQuery::text(int column) const
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    return text ? QString::fromUtf8(text, sqlite3_column_bytes(m_stmt, column)) : QString();
}

QByteArray SqlQuery::blob(int column) const
{
    const auto *bytes = static_cast<const char *>(sqlite3_column_blob(m_stmt, column));
    return QByteArray(bytes, sqlite3_column_bytes(m_stmt, column));
}

qint64 SqlQuery::integer(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

double SqlQuery::real(int column) const
{
    return sqlite3_column_double(m_stmt, column);
}

QVariant SqlQuery::value(int column) const
{
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
    if (sqlite3_column_type(m_stmt, column) == SQLITE_BLOB)
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

QStringList tables()
{
    // As Qt's SQLite driver lists them: the file's tables, then temporary ones.
    SqlQuery query(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' UNION ALL "
                                  "SELECT name FROM sqlite_temp_master WHERE type = 'table'"));
    QStringList names;
    while (query.next())
        names << query.text(0);
    return names;
}

qint64 lastInsertKey()
{
    return sqlite::lastInsertKey(Database::handle());
}

qint64 totalChanges()
{
    return sqlite::totalChanges(Database::handle());
}

qint64 dataVersion()
{
    return sqlite::dataVersion(Database::handle());
}

QList<Index> plainIndexes(const QString &table)
{
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
    SqlQuery query(QStringLiteral("PRAGMA cache_size"));
    if (!query.next())
        throw DataError(QStringLiteral("The database did not give its page cache size."));
    return int(query.integer(0));
}

void setCacheSize(int size)
{
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
