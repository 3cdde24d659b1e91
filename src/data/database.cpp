#include "database.h"

#include "dataerror.h"
#include "sqlite.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>

namespace lexordo {

const char *schemaSql();

namespace {

const QString connectionName = QStringLiteral("advocate");
int lockWaitMs = 5000;

sqlite3 *nativeHandle(const QSqlDatabase &db)
{
    const QVariant v = db.driver()->handle();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(v.constData());
}

void execOn(sqlite3 *db, const QString &sql)
{
    char *message = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        const QString error = message ? QString::fromUtf8(message) : sqlite::errorText(db);
        sqlite3_free(message);
        throw DataError(error);
    }
}

} // namespace

void Database::open(const QString &path)
{
    close();
    if (!QFileInfo::exists(path))
        throw DataError(QStringLiteral("The database file %1 does not exist.").arg(path));
    // Refused before SQLite touches it: an empty file would become an empty database.
    if (const std::optional<QString> problem = sqlite::fileProblem(path))
        throw DataError(QStringLiteral("The database %1 %2.").arg(path, *problem));

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    db.setDatabaseName(path);
    if (!db.open()) {
        const QString error = db.lastError().text();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName);
        throw DataError(QStringLiteral("The database %1 could not be opened: %2").arg(path, error));
    }
    sqlite3 *handle = nativeHandle(db);
    if (!handle) {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName);
        throw DataError(QStringLiteral("The SQLite driver gave no connection handle."));
    }
    sqlite3_busy_timeout(handle, lockWaitMs);
    try {
        sqlite::registerTextFolding(handle);
        execOn(handle, QStringLiteral("PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL;"));
        // Lists read only the keys of their rows and then the rows in view:
        // a moderate page cache serves that; the file is not mapped, so that
        // memory follows what is shown rather than the size of the diary.
        execOn(handle, QStringLiteral("PRAGMA cache_size = -16384;"));
        // A file that is not a database fails here, not at the first screen.
        execOn(handle, QStringLiteral("SELECT count(*) FROM sqlite_master"));
    } catch (const DataError &e) {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName);
        throw DataError(QStringLiteral("The database %1 could not be opened: %2")
                            .arg(path, e.description()));
    }
}

void Database::close()
{
    if (!QSqlDatabase::contains(connectionName))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connectionName);
}

bool Database::isOpen()
{
    return QSqlDatabase::contains(connectionName) &&
           QSqlDatabase::database(connectionName, false).isOpen();
}

QString Database::path()
{
    if (!QSqlDatabase::contains(connectionName))
        return QString();
    return QSqlDatabase::database(connectionName, false).databaseName();
}

sqlite3 *Database::handle()
{
    if (!isOpen())
        throw DataError(QStringLiteral("The database is not open."));
    return nativeHandle(QSqlDatabase::database(connectionName, false));
}

QString Database::schemaText()
{
    return QString::fromUtf8(schemaSql());
}

void Database::createFile(const QString &path)
{
    if (QFileInfo::exists(path))
        throw DataError(
            QStringLiteral("%1 already exists; it has been left as it is.").arg(path));

    // Build the file under a temporary name so that a failure leaves nothing
    // half-made where the database belongs.
    const QString partial = path + QStringLiteral(".part");
    QFile::remove(partial);
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(partial.toUtf8().constData(), &db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        const QString error = sqlite::errorText(db);
        sqlite3_close(db);
        throw DataError(QStringLiteral("%1 could not be created: %2").arg(path, error));
    }
    try {
        execOn(db, QStringLiteral("PRAGMA journal_mode = WAL"));
        execOn(db, QStringLiteral("BEGIN"));
        execOn(db, schemaText());
        execOn(db, QStringLiteral("COMMIT"));
        // Leave a single self-contained file behind.
        execOn(db, QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    } catch (const DataError &e) {
        sqlite3_close(db);
        QFile::remove(partial);
        QFile::remove(partial + QStringLiteral("-wal"));
        QFile::remove(partial + QStringLiteral("-shm"));
        throw DataError(QStringLiteral("%1 could not be created: %2").arg(path, e.description()));
    }
    sqlite3_close(db);
    QFile::remove(partial + QStringLiteral("-wal"));
    QFile::remove(partial + QStringLiteral("-shm"));
    if (QFileInfo::exists(path) || !QFile::rename(partial, path)) {
        QFile::remove(partial);
        throw DataError(QStringLiteral("%1 could not be created.").arg(path));
    }
}

void Database::exec(const QString &sql)
{
    execOn(handle(), sql);
}

bool Database::inTransaction()
{
    return isOpen() && sqlite::inTransaction(handle());
}

void Database::setLockWait(int milliseconds)
{
    lockWaitMs = std::max(0, milliseconds);
    if (isOpen())
        sqlite3_busy_timeout(handle(), lockWaitMs);
}

int Database::lockWait()
{
    return lockWaitMs;
}

Database::Transaction::Transaction()
{
    Database::exec(QStringLiteral("BEGIN IMMEDIATE"));
    m_open = true;
}

Database::Transaction::~Transaction()
{
    if (m_open) {
        try {
            Database::exec(QStringLiteral("ROLLBACK"));
        } catch (const DataError &) {
            // A destructor cannot report it; the connection then stays inside
            // the transaction, and the next Transaction's BEGIN fails and
            // reports "cannot start a transaction within a transaction".
        }
    }
}

void Database::Transaction::commit()
{
    Database::exec(QStringLiteral("COMMIT"));
    m_open = false;
}

} // namespace lexordo
