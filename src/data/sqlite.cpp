#include "sqlite.h"

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
    // A version that cannot be read is a failure, not "unchanged".
    SqlQuery query(db, QStringLiteral("PRAGMA data_version"));
    if (!query.next())
        throw DataError(QStringLiteral("The database gave no data version."));
    return query.integer(0);
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

} // namespace lexordo::sqlite
