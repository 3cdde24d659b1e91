#include "backup.h"

#include "database.h"
#include "dataerror.h"
#include "safewrite.h"
#include "serverbackup.h"
#include "sqlite.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryFile>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

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
    SqlQuery pageSize(db, QStringLiteral("PRAGMA page_size"));
    if (!pageSize.next())
        throw DataError(QStringLiteral("The page size could not be read."));
    return pageSize.value(0).toInt();
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

const QString partSuffix = QStringLiteral(".part");

// A copy in the making: a file under a temporary name beside its target
// ("advocate.mdb.Ab12Cd.part"), locked for as long as this program writes it
// (a lock the system drops when the program dies), so that a later backup
// tells a copy still being written from one left behind by a killed run.
// The file stays open until every connection on it is closed: closing any
// handle of a file drops SQLite's own locks on it.
class PartFile
{
public:
    explicit PartFile(const QString &target)
        : m_file(
              QDir(QFileInfo(target).absolutePath())
                  .filePath(QFileInfo(target).fileName() + QStringLiteral(".XXXXXX") + partSuffix))
    {
        m_file.setAutoRemove(false);
        if (!m_file.open())
            throw DataError(QStringLiteral("%1 could not be written: %2")
                                .arg(QDir::toNativeSeparators(target), m_file.errorString()));
#ifdef Q_OS_UNIX
        ::flock(m_file.handle(), LOCK_EX | LOCK_NB);
#endif
    }

    QString path() const
    {
        return m_file.fileName();
    }

private:
    QTemporaryFile m_file;
};

// True when another run holds the copy in the making at `path`.
bool beingWritten(const QString &path)
{
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno != ENOENT;
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    ::close(fd);
    return held;
#else
    Q_UNUSED(path)
    return false;
#endif
}

// Removes what earlier backups left half-made in `folder`: the temporary
// files of this program's own pattern, for a file whose name matches
// `namePattern`, that no run holds. Nothing else in the folder is touched,
// and never the diary.
void removeLeftovers(const QDir &folder, const QString &namePattern, const QString &diary)
{
    const QRegularExpression own(
        QStringLiteral("^(%1\\.[A-Za-z0-9]{6}\\.part)(-journal|-wal|-shm)?$").arg(namePattern));
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        const QRegularExpressionMatch match = own.match(name);
        if (!match.hasMatch())
            continue;
        const QString path = folder.filePath(name);
        if (safewrite::isDiaryFile(path, diary) || beingWritten(folder.filePath(match.captured(1))))
            continue;
        // One that cannot be removed is no reason to fail tonight's backup.
        QFile::remove(path);
    }
}

// Checks the database `db` reads as a backup of the diary shown as `shown`.
void checkOpened(sqlite3 *db, const QString &shown, DatabaseBackup::Check check)
{
    const auto notOurs = [&shown](const QString &why) {
        return DataError(QStringLiteral("%1 is not a backup of the diary: %2").arg(shown, why));
    };
    try {
        SqlQuery integrity(db, check == DatabaseBackup::Check::Full
                                   ? QStringLiteral("PRAGMA integrity_check(10)")
                                   : QStringLiteral("PRAGMA quick_check(10)"));
        QStringList problems;
        while (integrity.next())
            problems << integrity.text(0);
        if (problems != QStringList{QStringLiteral("ok")})
            throw notOurs(QStringLiteral("it fails the integrity check (%1).")
                              .arg(problems.join(QStringLiteral("; "))));

        SqlQuery tables(db, QStringLiteral("SELECT lower(name) FROM sqlite_master "
                                           "WHERE type = 'table'"));
        QSet<QString> present;
        while (tables.next())
            present.insert(tables.text(0));
        QStringList missing;
        for (const QString &table : DatabaseBackup::programTables()) {
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

qint64 pageCount(sqlite3 *db)
{
    SqlQuery count(db, QStringLiteral("PRAGMA page_count"));
    return count.next() ? count.integer(0) : -1;
}

// Two connections of their own to the file of `source`, each in a read of the
// same moment of it, which they keep until they close. No desk commits while
// they begin: a source that can write holds the write lock meanwhile; one
// opened for reading only is a finished copy, which nothing writes. Empty
// when `source` is inside a transaction of its own, or another desk's write
// holds the lock longer than a write waits for it (a copy needs no lock).
std::optional<std::pair<std::unique_ptr<Connection>, std::unique_ptr<Connection>>>
twoReadsOf(sqlite3 *source)
{
    if (!sqlite3_get_autocommit(source))
        return std::nullopt;
    const QString path = QString::fromUtf8(sqlite3_db_filename(source, "main"));
    const bool writable = sqlite3_db_readonly(source, "main") == 0;
    if (writable) {
        const int rc = sqlite3_exec(source, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        if (rc == SQLITE_BUSY)
            return std::nullopt;
        if (rc != SQLITE_OK)
            throw DataError(sqlite::errorText(source));
    }
    try {
        auto first = std::make_unique<Connection>(path, SQLITE_OPEN_READONLY);
        auto second = std::make_unique<Connection>(path, SQLITE_OPEN_READONLY);
        for (Connection *reader : {first.get(), second.get()})
            execOn(reader->get(), "BEGIN; SELECT count(*) FROM sqlite_master");
        if (writable)
            execOn(source, "ROLLBACK");
        return std::make_pair(std::move(first), std::move(second));
    } catch (const DataError &) {
        if (writable)
            sqlite3_exec(source, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

// Copies `source` into `destination` and meanwhile, on a second core, checks
// the very pages copied: a check of the copy read back at once would read the
// same pages from memory, after the copy instead of beside it. The copy then
// holds as many pages as were checked. False, with nothing done, when the
// source cannot be read twice at one moment (twoReadsOf).
bool copyChecked(sqlite3 *destination, sqlite3 *source, const QString &shown)
{
    auto reads = twoReadsOf(source);
    if (!reads)
        return false;
    Connection &copied = *reads->first;
    Connection &checked = *reads->second;
    std::optional<DataError> failure;
    {
        std::jthread checking([&] {
            try {
                checkOpened(checked.get(), shown, DatabaseBackup::Check::Quick);
            } catch (const DataError &e) {
                failure = e;
            }
        });
        copyPages(destination, copied.get());
    }
    if (failure)
        throw *failure;
    const qint64 pages = pageCount(checked.get());
    if (pageCount(destination) != pages)
        throw DataError(QStringLiteral("%1 holds %2 pages of the diary's %3.")
                            .arg(shown)
                            .arg(pageCount(destination))
                            .arg(pages));
    return true;
}

// Snapshot of `source` into `target`. The copy grows under a temporary name
// beside the target and takes the target's name only when it is complete
// (and, when asked, checked), in one rename. A target that is the `diary` or
// one of its companions is refused (an empty `diary` when the target is
// meant to become the diary).
void snapshot(sqlite3 *source, const QString &target, const QString &diary, bool check,
              bool replace, DatabaseBackup::Check how = DatabaseBackup::Check::Full)
{
    const QFileInfo targetInfo(target);
    const QString folder = targetInfo.absolutePath();
    const QString shown = QDir::toNativeSeparators(target);
    safewrite::refuseDiary(target, diary);
    if (!QFileInfo(folder).isDir())
        throw DataError(
            QStringLiteral("The folder %1 does not exist.").arg(QDir::toNativeSeparators(folder)));
    if (targetInfo.isDir())
        throw DataError(QStringLiteral("%1 is a folder; it has been left as it is.").arg(shown));
    if (!replace && targetInfo.exists())
        throw DataError(QStringLiteral("%1 already exists; it has been left as it is.").arg(shown));

    removeLeftovers(targetInfo.absoluteDir(), QRegularExpression::escape(targetInfo.fileName()),
                    diary);
    const PartFile part(target);
    const QString partial = part.path();
    try {
        bool checked = false;
        {
            Connection copy(partial, SQLITE_OPEN_READWRITE);
            if (check && how == DatabaseBackup::Check::Quick)
                checked = copyChecked(copy.get(), source, QDir::toNativeSeparators(partial));
            if (!checked)
                copyPages(copy.get(), source);
            // A copy is one self-contained file, whatever journal the diary keeps.
            execOn(copy.get(), "PRAGMA journal_mode = DELETE");
        }
        if (check && !checked)
            DatabaseBackup::checkFile(partial, how);
    } catch (const DataError &e) {
        removeWithCompanions(partial);
        throw DataError(QStringLiteral("%1 could not be written: %2").arg(shown, e.description()));
    }

    // The last moment to refuse a link to the diary made meanwhile.
    try {
        safewrite::refuseDiary(target, diary);
    } catch (const DataError &) {
        removeWithCompanions(partial);
        throw;
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

// The name of a dated copy, its day captured: advocate-2026-12-07.mdb.
QString datedPattern()
{
    const QFileInfo name(DatabaseBackup::copyName);
    return QStringLiteral("%1-(\\d{4}-\\d{2}-\\d{2})\\.%2")
        .arg(QRegularExpression::escape(name.completeBaseName()),
             QRegularExpression::escape(name.suffix()));
}

// The day in a dated copy's name, invalid for any other name.
QDate dayOfCopy(const QString &name)
{
    static const QRegularExpression dated(u'^' + datedPattern() + u'$');
    const QRegularExpressionMatch match = dated.match(name);
    return match.hasMatch() ? QDate::fromString(match.captured(1), Qt::ISODate) : QDate();
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
        SqlQuery names(schema.get(),
                       QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' "
                                      "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' "
                                      "ORDER BY name"));
        QStringList list;
        while (names.next())
            list << names.text(0);
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
    Connection file(path, SQLITE_OPEN_READONLY);
    checkOpened(file.get(), shown, check);
}

void DatabaseBackup::checkBackup(const QString &path, const QString &diaryPath)
{
    if (safewrite::isDiaryFile(path, diaryPath))
        throw DataError(QStringLiteral("%1 is the diary itself, not a backup of it.")
                            .arg(QDir::toNativeSeparators(path)));
    checkFile(path);
}

void DatabaseBackup::writeSnapshot(const QString &target, Check check)
{
    snapshot(Database::handle(), target, Database::path(), true, true, check);
}

QString DatabaseBackup::datedCopyPathIn(const QString &folder, const QDate &day)
{
    const QFileInfo name(copyName);
    return QDir(folder).filePath(
        QStringLiteral("%1-%2.%3")
            .arg(name.completeBaseName(), day.toString(Qt::ISODate), name.suffix()));
}

QStringList DatabaseBackup::backUpInto(const QString &folder, int keep, const QDate &day,
                                       Check check)
{
    // The server's own tool makes a sound, consistent copy of a diary kept there.
    if (const std::optional<ServerAddress> server = Database::server())
        return ServerBackup::backUpInto(*server, folder, keep, day, check == Check::Full);
    const QString diary = Database::path();
    const QString copy = copyPathIn(folder);
    writeSnapshot(copy, check);
    if (keep <= 0)
        return {};

    // The dated copy is the checked copy just written, the same moment of the diary.
    removeLeftovers(QDir(folder), datedPattern(), diary);
    const QString dated = datedCopyPathIn(folder, day);
    try {
        Connection written(copy, SQLITE_OPEN_READONLY);
        snapshot(written.get(), dated, diary, true, true, check);
    } catch (const DataError &e) {
        throw DataError(QStringLiteral("%1 is written and checked, but %2")
                            .arg(QDir::toNativeSeparators(copy), e.description()));
    }

    return removeOlderCopies(
        folder, day, keep, dayOfCopy,
        [&](const QString &path) { return safewrite::isDiaryFile(path, diary); },
        [&](const QString &path, const QString &reason) {
            return QStringLiteral("%1 is written and checked, but the old copy %2 could not be "
                                  "removed: %3")
                .arg(QDir::toNativeSeparators(dated), QDir::toNativeSeparators(path), reason);
        });
}

QStringList
removeOlderCopies(const QString &folder, const QDate &day, qsizetype keep,
                  const std::function<QDate(const QString &)> &dayOf,
                  const std::function<bool(const QString &)> &spared,
                  const std::function<QString(const QString &, const QString &)> &refusal)
{
    // Today's copy stays whatever the names of the others say; then the latest.
    struct Dated
    {
        QDate day;
        QString path;
    };
    QList<Dated> others;
    const QDir dir(folder);
    const QStringList names = dir.entryList(QDir::Files);
    for (const QString &name : names) {
        const QDate when = dayOf(name);
        if (when.isValid() && when != day && !spared(dir.filePath(name)))
            others.append({when, dir.filePath(name)});
    }
    std::sort(others.begin(), others.end(),
              [](const Dated &a, const Dated &b) { return a.day > b.day; });
    QStringList removed;
    for (qsizetype i = keep - 1; i < others.size(); ++i) {
        QFile file(others.at(i).path);
        if (!file.remove())
            throw DataError(refusal(file.fileName(), file.errorString()));
        removed << file.fileName();
    }
    return removed;
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
    checkBackup(backupFile, livePath);

    // The present diary is kept as it is, even when it would not pass the
    // check: the reason for a restore may be that it is damaged.
    snapshot(live, keepAs, livePath, false, false);

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
            snapshot(source.get(), resized, livePath, false, false);
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
    checkBackup(backupFile, databasePath);
    safewrite::refuseDiary(keepAs, databasePath);
    if (QFileInfo::exists(keepAs))
        throw DataError(QStringLiteral("%1 already exists; it has been left as it is.")
                            .arg(QDir::toNativeSeparators(keepAs)));

    // The old file moves aside with its journal, which belongs to it alone.
    struct Moved
    {
        QString from, to;
    };
    QList<Moved> moved;
    // Puts the moved files back; what stays aside is told, for the office
    // to put back by hand: the diary is then not as it was.
    const auto moveBack = [&moved] {
        QStringList stuck;
        for (const Moved &m : std::as_const(moved)) {
            std::error_code error;
            std::filesystem::rename(fsPath(m.to), fsPath(m.from), error);
            if (error)
                stuck << QStringLiteral("%1 could not be put back and is still at %2 (%3)")
                             .arg(QDir::toNativeSeparators(m.from), QDir::toNativeSeparators(m.to),
                                  QString::fromLocal8Bit(error.message().c_str()));
        }
        return stuck.isEmpty() ? QStringLiteral("Nothing has been changed.")
                               : stuck.join(QStringLiteral("; ")) + u'.';
    };
    for (const char *suffix : {"", "-wal", "-journal"}) {
        const QString from = databasePath + QLatin1String(suffix);
        if (!QFileInfo::exists(from))
            continue;
        const QString to = keepAs + QLatin1String(suffix);
        std::error_code error;
        std::filesystem::rename(fsPath(from), fsPath(to), error);
        if (error) {
            const QString outcome = moveBack();
            throw DataError(QStringLiteral("%1 could not be moved aside: %2. %3")
                                .arg(QDir::toNativeSeparators(from),
                                     QString::fromLocal8Bit(error.message().c_str()), outcome));
        }
        moved.append({from, to});
    }
    QFile::remove(databasePath + QStringLiteral("-shm"));

    try {
        Connection source(backupFile, SQLITE_OPEN_READONLY);
        // The target is meant to become the diary: no diary to refuse.
        snapshot(source.get(), databasePath, QString(), true, false);
    } catch (const DataError &e) {
        const QString outcome = moveBack();
        throw DataError(QStringLiteral("The diary could not be restored from %1: %2. %3")
                            .arg(QDir::toNativeSeparators(backupFile), e.description(), outcome));
    }
    Database::open(databasePath);
}

} // namespace lexordo
