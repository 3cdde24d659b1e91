#include "sqlite.h"

#include "dates.h"
#include "filter.h"

#include <QFile>
#include <QFileInfo>

namespace lexordo::sqlite {

QString quoteIdentifier(const QString &name)
{
    QString escaped = name;
    escaped.replace(u'"', QStringLiteral("\"\""));
    return u'"' + escaped + u'"';
}

QString errorText(sqlite3 *db)
{
    return QString::fromUtf8(sqlite3_errmsg(db));
}

QString rowKey()
{
    return QStringLiteral("rowid");
}

QString sameAsBound(const QString &expression)
{
    return expression + QStringLiteral(" IS ?");
}

QString foldedCollation()
{
    return QStringLiteral("LXFOLD");
}

QString foldedText(const QString &expression)
{
    return QStringLiteral("lx_fold(") + expression + u')';
}

namespace {

void foldFunction(sqlite3_context *context, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto *p = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    const int n = sqlite3_value_bytes(argv[0]);
    const QByteArray folded = Filter::foldedText(QString::fromUtf8(p, n)).toUtf8();
    sqlite3_result_text(context, folded.constData(), int(folded.size()), SQLITE_TRANSIENT);
}

int foldCompare(void *, int n1, const void *p1, int n2, const void *p2)
{
    const auto *a = static_cast<const unsigned char *>(p1);
    const auto *b = static_cast<const unsigned char *>(p2);
    // Most texts are plain ASCII: compared at once, A to Z as a to z.
    const int n = std::min(n1, n2);
    int i = 0;
    for (; i < n && a[i] < 0x80 && b[i] < 0x80; ++i) {
        const int x = a[i] >= 'A' && a[i] <= 'Z' ? a[i] + 32 : a[i];
        const int y = b[i] >= 'A' && b[i] <= 'Z' ? b[i] + 32 : b[i];
        if (x != y)
            return x - y;
    }
    if (i == n)
        return n1 - n2;
    return Filter::compareText(QString::fromUtf8(reinterpret_cast<const char *>(a), n1),
                               QString::fromUtf8(reinterpret_cast<const char *>(b), n2));
}

quint32 bigEndian(const QByteArray &bytes, int at, int size)
{
    quint32 value = 0;
    for (int i = 0; i < size; ++i)
        value = (value << 8) | quint8(bytes.at(at + i));
    return value;
}

// Most of what an editor writes: letters, digits, blanks and punctuation.
bool looksLikeText(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return false;
    int plain = 0;
    for (const char c : bytes) {
        const auto u = quint8(c);
        if (u == '\n' || u == '\r' || u == '\t' || (u >= 0x20 && u != 0x7f))
            ++plain;
        else if (u == 0)
            return false;
    }
    return plain == bytes.size();
}

} // namespace

void registerTextFolding(sqlite3 *db)
{
    if (sqlite3_create_function(db, "lx_fold", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                foldFunction, nullptr, nullptr) != SQLITE_OK ||
        sqlite3_create_collation(db, "LXFOLD", SQLITE_UTF8, nullptr, foldCompare) != SQLITE_OK)
        throw DataError(errorText(db));
}

qint64 lastInsertKey(sqlite3 *db)
{
    return sqlite3_last_insert_rowid(db);
}

qint64 changes(sqlite3 *db)
{
    return sqlite3_changes64(db);
}

qint64 totalChanges(sqlite3 *db)
{
    return sqlite3_total_changes64(db);
}

qint64 dataVersion(sqlite3 *db)
{
    sqlite3_stmt *stmt = nullptr;
    qint64 version = -1;
    if (sqlite3_prepare_v2(db, "PRAGMA data_version", -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW)
        version = sqlite3_column_int64(stmt, 0);
    sqlite3_finalize(stmt);
    return version;
}

bool inTransaction(sqlite3 *db)
{
    return sqlite3_get_autocommit(db) == 0;
}

std::optional<QString> fileProblem(const QString &path)
{
    const QFileInfo info(path);
    // Checked first: a path cut short where it was stored names no file.
    const QByteArray encoded = QFile::encodeName(info.absoluteFilePath());
    if (encoded.size() > longestPath)
        return QStringLiteral("lies at a path of %1 bytes or more; the database can be opened "
                              "from a path of at most %2 bytes. Move it to a shorter path and "
                              "name that in the data source \"advocate\"")
            .arg(encoded.size())
            .arg(longestPath);
    if (!info.exists())
        return QStringLiteral("does not exist");
    if (!info.isFile())
        return QStringLiteral("is not a file");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot be read: %1").arg(file.errorString());
    const qint64 size = file.size();
    if (size == 0)
        return QStringLiteral("is empty: it holds no diary");
    const QByteArray header = file.read(100);
    if (header.size() < 100 || !header.startsWith(QByteArrayLiteral("SQLite format 3\0"))) {
        if (looksLikeText(header))
            return QStringLiteral("is a text file, not a database");
        return QStringLiteral("is not a database: its contents are not those of an SQLite "
                              "database file");
    }
    quint32 pageSize = bigEndian(header, 16, 2);
    if (pageSize == 1)
        pageSize = 65536;
    if (pageSize < 512 || pageSize > 65536 || (pageSize & (pageSize - 1)) != 0)
        return QStringLiteral("is damaged: its header gives no valid page size");

    // Pages still in the write-ahead journal belong to the file; only a
    // file without one has to be as long as its header says.
    if (QFileInfo(path + QStringLiteral("-wal")).size() > 0)
        return std::nullopt;
    const quint32 pages = bigEndian(header, 28, 4);
    const bool pagesValid = pages > 0 && bigEndian(header, 24, 4) == bigEndian(header, 92, 4);
    const qint64 expected = pagesValid ? qint64(pages) * pageSize : 0;
    if (size % pageSize != 0 || size < expected)
        return QStringLiteral("is cut short: it holds %1 bytes of a database of %2 bytes")
            .arg(size)
            .arg(std::max(expected, (size / pageSize + 1) * qint64(pageSize)));
    return std::nullopt;
}

Statement::Statement(sqlite3 *db, const QString &sql) : m_db(db)
{
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &m_stmt, nullptr) != SQLITE_OK) {
        const QString error = errorText(db);
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        throw DataError(error);
    }
    if (!m_stmt)
        throw DataError(QStringLiteral("The statement is empty."));
}

Statement::~Statement()
{
    sqlite3_finalize(m_stmt);
}

void Statement::bindNull(int index)
{
    sqlite3_bind_null(m_stmt, index);
}

void Statement::bindText(int index, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(m_stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void Statement::bindDouble(int index, double value)
{
    sqlite3_bind_double(m_stmt, index, value);
}

void Statement::bindInt(int index, qint64 value)
{
    sqlite3_bind_int64(m_stmt, index, value);
}

void Statement::bind(int index, const QVariant &value)
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

bool Statement::step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    const QString error = errorText(m_db);
    sqlite3_reset(m_stmt);
    throw DataError(error);
}

void Statement::reset()
{
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

QString Statement::columnText(int column) const
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    return text ? QString::fromUtf8(text, sqlite3_column_bytes(m_stmt, column)) : QString();
}

bool Statement::columnIsNumber(int column) const
{
    const int kind = sqlite3_column_type(m_stmt, column);
    return kind == SQLITE_INTEGER || kind == SQLITE_FLOAT;
}

QString Statement::columnName(int column) const
{
    return QString::fromUtf8(sqlite3_column_name(m_stmt, column));
}

QString Statement::columnOrigin(int column) const
{
    const char *origin = sqlite3_column_origin_name(m_stmt, column);
    return origin ? QString::fromUtf8(origin) : QString();
}

QByteArray Statement::columnDeclaredType(int column) const
{
    const char *declared = sqlite3_column_decltype(m_stmt, column);
    return declared ? QByteArray(declared).toUpper() : QByteArray();
}

QVariant Statement::columnValue(int column) const
{
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(m_stmt, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(m_stmt, column));
    case SQLITE_NULL:
        return QVariant();
    default:
        return QVariant(columnText(column));
    }
}

QVariant Statement::columnStored(int column) const
{
    if (sqlite3_column_type(m_stmt, column) == SQLITE_BLOB) {
        const auto *bytes = static_cast<const char *>(sqlite3_column_blob(m_stmt, column));
        return QByteArray(bytes, sqlite3_column_bytes(m_stmt, column));
    }
    return columnValue(column);
}

void Statement::bindStored(int index, const QVariant &stored)
{
    if (stored.typeId() == QMetaType::QByteArray) {
        const QByteArray bytes = stored.toByteArray();
        sqlite3_bind_blob(m_stmt, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
        return;
    }
    bind(index, stored);
}

} // namespace lexordo::sqlite
