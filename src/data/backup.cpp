#include "backup.h"

#include "database.h"
#include "dataerror.h"
#include "sqlite.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryFile>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif
#include <system_error>

namespace lexordo {

namespace {

// Owns a connection of its own on a copy (never the program's connection).
class Connection
{
public:
    Connection(const QString &path, int flags)
    {
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, flags, nullptr) !=
            SQLITE_OK) {
            const QString error = m_db ? sqlite::errorText(m_db) : QStringLiteral("out of memory");
            sqlite3_close(m_db);
            m_db = nullptr;
            throw DataError(QStringLiteral("%1 could not be opened: %2")
                                .arg(QDir::toNativeSeparators(path), error));
        }
        sqlite3_busy_timeout(m_db, 5000);
    }
    ~Connection() { sqlite3_close(m_db); }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    sqlite3 *get() const { return m_db; }

private:
    sqlite3 *m_db = nullptr;
};

void removeWithCompanions(const QString &path)
{
    for (const char *suffix : {"", "-journal", "-wal", "-shm"})
        QFile::remove(path + QLatin1String(suffix));
}

// Copies every page of `source` into `destination` within one read of the
// source, so the copy is the database as one moment left it, whatever other
// connections write meanwhile. The destination takes the copy in one
// transaction: a failure leaves it as it was.
void copyPages(sqlite3 *destination, sqlite3 *source)
{
    sqlite3_backup *backup = sqlite3_backup_init(destination, "main", source, "main");
    if (!backup)
        throw DataError(sqlite::errorText(destination));
    int rc = SQLITE_OK;
    for (int attempt = 0; attempt < 100; ++attempt) {
        rc = sqlite3_backup_step(backup, -1);
        if (rc != SQLITE_BUSY && rc != SQLITE_LOCKED)
            break;
        sqlite3_sleep(100);
    }
    const int finished = sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE) {
        const QString error = finished != SQLITE_OK ? sqlite::errorText(destination)
                                                    : QString::fromUtf8(sqlite3_errstr(rc));
        throw DataError(error);
    }
    if (finished != SQLITE_OK)
        throw DataError(sqlite::errorText(destination));
}

void execOn(sqlite3 *db, const char *sql)
{
    char *message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        const QString error = message ? QString::fromUtf8(message) : sqlite::errorText(db);
        sqlite3_free(message);
        throw DataError(error);
    }
}

int pageSizeOf(sqlite3 *db)
{
    sqlite::Statement pageSize(db, QStringLiteral("PRAGMA page_size"));
    if (!pageSize.step())
        throw DataError(QStringLiteral("The page size could not be read."));
    return pageSize.columnValue(0).toInt();
}

std::filesystem::path fsPath(const QString &path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

// The new name reaches the disk too, so a stick pulled out after "completed"
// holds the copy. (SQLite has already synced the file's content.)
void syncFolder(const QString &folder, const QString &shown)
{
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0 || ::fsync(fd) != 0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        if (fd >= 0)
            ::close(fd);
        throw DataError(QStringLiteral("%1 could not be written: %2").arg(shown, reason));
    }
    ::close(fd);
#else
    Q_UNUSED(folder)
    Q_UNUSED(shown)
#endif
}

// Snapshot of `source` into `target`. The copy grows under a temporary name
// beside the target and takes the target's name only when it is complete
// (and, when asked, checked), in one rename.
void snapshot(sqlite3 *source, const QString &target, bool check, bool replace,
              DatabaseBackup::Check how = DatabaseBackup::Check::Full)
{
    const QFileInfo targetInfo(target);
    const QString folder = targetInfo.absolutePath();
    const QString shown = QDir::toNativeSeparators(target);
    if (!QFileInfo(folder).isDir())
        throw DataError(
            QStringLiteral("The folder %1 does not exist.").arg(QDir::toNativeSeparators(folder)));
    if (targetInfo.isDir())
        throw DataError(QStringLiteral("%1 is a folder; it has been left as it is.").arg(shown));
    if (!replace && targetInfo.exists())
        throw DataError(QStringLiteral("%1 already exists; it has been left as it is.").arg(shown));

    QString partial;
    {
        QTemporaryFile file(
            QDir(folder).filePath(targetInfo.fileName() + QStringLiteral(".XXXXXX.part")));
        file.setAutoRemove(false);
        if (!file.open())
            throw DataError(
                QStringLiteral("%1 could not be written: %2").arg(shown, file.errorString()));
        partial = file.fileName();
    }

    try {
        {
            Connection copy(partial, SQLITE_OPEN_READWRITE);
            copyPages(copy.get(), source);
            // A copy is one self-contained file, whatever journal the diary keeps.
            execOn(copy.get(), "PRAGMA journal_mode = DELETE");
        }
        if (check)
            DatabaseBackup::checkFile(partial, how);
    } catch (const DataError &e) {
        removeWithCompanions(partial);
        throw DataError(QStringLiteral("%1 could not be written: %2").arg(shown, e.description()));
    }

    std::error_code error;
    if (!replace && QFileInfo::exists(target)) {
        removeWithCompanions(partial);
        throw DataError(QStringLiteral("%1 already exists; it has been left as it is.").arg(shown));
    }
    std::filesystem::rename(fsPath(partial), fsPath(target), error);
    if (error) {
        removeWithCompanions(partial);
        throw DataError(QStringLiteral("%1 could not be written: %2")
                            .arg(shown, QString::fromLocal8Bit(error.message().c_str())));
    }
    syncFolder(folder, shown);
}

} // namespace

QString DatabaseBackup::copyPathIn(const QString &folder)
{
    return QDir(folder).filePath(copyName);
}

QStringList DatabaseBackup::programTables()
{
    static const QStringList tables = [] {
        Connection schema(QStringLiteral(":memory:"), SQLITE_OPEN_READWRITE | SQLITE_OPEN_MEMORY);
        execOn(schema.get(), Database::schemaText().toUtf8().constData());
        sqlite::Statement names(
            schema.get(), QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' "
                                         "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' "
                                         "ORDER BY name"));
        QStringList list;
        while (names.step())
            list << names.columnText(0);
        return list;
    }();
    return tables;
}

void DatabaseBackup::checkFile(const QString &path, Check check)
{
    const QString shown = QDir::toNativeSeparators(path);
    const QFileInfo info(path);
    if (!info.exists())
        throw DataError(QStringLiteral("%1 does not exist.").arg(shown));
    if (!info.isFile())
        throw DataError(QStringLiteral("%1 is not a file.").arg(shown));

    const auto notOurs = [&shown](const QString &why) {
        return DataError(QStringLiteral("%1 is not a backup of the diary: %2").arg(shown, why));
    };

    Connection file(path, SQLITE_OPEN_READONLY);
    try {
        sqlite::Statement integrity(file.get(), check == Check::Full
                                                    ? QStringLiteral("PRAGMA integrity_check(10)")
                                                    : QStringLiteral("PRAGMA quick_check(10)"));
        QStringList problems;
        while (integrity.step())
            problems << integrity.columnText(0);
        if (problems != QStringList{QStringLiteral("ok")})
            throw notOurs(QStringLiteral("it fails the integrity check (%1).")
                              .arg(problems.join(QStringLiteral("; "))));

        sqlite::Statement tables(file.get(), QStringLiteral("SELECT lower(name) FROM sqlite_master "
                                                            "WHERE type = 'table'"));
        QSet<QString> present;
        while (tables.step())
            present.insert(tables.columnText(0));
        QStringList missing;
        for (const QString &table : programTables()) {
            if (!present.contains(table.toLower()))
                missing << table;
        }
        if (!missing.isEmpty())
            throw notOurs(
                QStringLiteral("it has no table %1.").arg(missing.join(QStringLiteral(", "))));
    } catch (const DataError &e) {
        if (e.description().startsWith(shown))
            throw;
        throw notOurs(e.description());
    }
}

void DatabaseBackup::writeSnapshot(const QString &target, Check check)
{
    snapshot(Database::handle(), target, true, true, check);
}

QString DatabaseBackup::keptName(const QString &databasePath, const QDateTime &when)
{
    const QFileInfo info(databasePath);
    QString name = info.completeBaseName() + QStringLiteral("-replaced-") +
                   when.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    if (!info.suffix().isEmpty())
        name += u'.' + info.suffix();
    return info.dir().filePath(name);
}

void DatabaseBackup::restoreFrom(const QString &backupFile, const QString &keepAs)
{
    sqlite3 *live = Database::handle();
    const QString livePath = Database::path();
    if (QFileInfo(backupFile).canonicalFilePath() == QFileInfo(livePath).canonicalFilePath())
        throw DataError(QStringLiteral("%1 is the diary itself, not a backup of it.")
                            .arg(QDir::toNativeSeparators(backupFile)));
    checkFile(backupFile);

    // The present diary is kept as it is, even when it would not pass the
    // check: the reason for a restore may be that it is damaged.
    snapshot(live, keepAs, false, false);

    QString resized;
    try {
        Connection source(backupFile, SQLITE_OPEN_READONLY);
        const int pageSize = pageSizeOf(live);
        if (pageSizeOf(source.get()) == pageSize) {
            copyPages(live, source.get());
        } else {
            // A diary kept in a write-ahead journal takes pages of its own
            // size only: the backup is rebuilt in that size first, on a copy.
            resized = QFileInfo(livePath).dir().filePath(QFileInfo(livePath).fileName() +
                                                         QStringLiteral(".restore.part"));
            removeWithCompanions(resized);
            snapshot(source.get(), resized, false, false);
            Connection copy(resized, SQLITE_OPEN_READWRITE);
            execOn(copy.get(), QStringLiteral("PRAGMA page_size = %1; VACUUM;")
                                   .arg(pageSize)
                                   .toUtf8()
                                   .constData());
            copyPages(live, copy.get());
        }
    } catch (const DataError &e) {
        if (!resized.isEmpty())
            removeWithCompanions(resized);
        removeWithCompanions(keepAs);
        throw DataError(QStringLiteral("The diary could not be restored from %1: %2. "
                                       "Nothing has been changed.")
                            .arg(QDir::toNativeSeparators(backupFile), e.description()));
    }
    if (!resized.isEmpty())
        removeWithCompanions(resized);
    Database::open(livePath);
}

void DatabaseBackup::restoreInto(const QString &backupFile, const QString &databasePath,
                                 const QString &keepAs)
{
    if (Database::isOpen())
        throw DataError(QStringLiteral("The diary is open; restore it through its connection."));
    if (QFileInfo::exists(databasePath) &&
        QFileInfo(backupFile).canonicalFilePath() == QFileInfo(databasePath).canonicalFilePath())
        throw DataError(QStringLiteral("%1 is the diary itself, not a backup of it.")
                            .arg(QDir::toNativeSeparators(backupFile)));
    checkFile(backupFile);
    if (QFileInfo::exists(keepAs))
        throw DataError(QStringLiteral("%1 already exists; it has been left as it is.")
                            .arg(QDir::toNativeSeparators(keepAs)));

    // The old file moves aside with its journal, which belongs to it alone.
    struct Moved
    {
        QString from, to;
    };
    QList<Moved> moved;
    const auto moveBack = [&moved] {
        for (const Moved &m : std::as_const(moved)) {
            std::error_code ignored;
            std::filesystem::rename(fsPath(m.to), fsPath(m.from), ignored);
        }
    };
    for (const char *suffix : {"", "-wal", "-journal"}) {
        const QString from = databasePath + QLatin1String(suffix);
        if (!QFileInfo::exists(from))
            continue;
        const QString to = keepAs + QLatin1String(suffix);
        std::error_code error;
        std::filesystem::rename(fsPath(from), fsPath(to), error);
        if (error) {
            moveBack();
            throw DataError(QStringLiteral("%1 could not be moved aside: %2")
                                .arg(QDir::toNativeSeparators(from),
                                     QString::fromLocal8Bit(error.message().c_str())));
        }
        moved.append({from, to});
    }
    QFile::remove(databasePath + QStringLiteral("-shm"));

    try {
        Connection source(backupFile, SQLITE_OPEN_READONLY);
        snapshot(source.get(), databasePath, true, false);
    } catch (const DataError &e) {
        moveBack();
        throw DataError(QStringLiteral("The diary could not be restored from %1: %2. "
                                       "Nothing has been changed.")
                            .arg(QDir::toNativeSeparators(backupFile), e.description()));
    }
    Database::open(databasePath);
}

} // namespace lexordo
