#pragma once

#include <functional>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

namespace lexordo {

// Copies of the diary database: a consistent snapshot of the open database
// written beside others' files without ever leaving half a copy, the check
// that a file is a sound database of this program, and putting such a copy
// back in place of the open database.
class DatabaseBackup
{
public:
    static inline const QString copyName = QStringLiteral("advocate.mdb");

    // How a copy is checked: Quick reads every page's structure (a copy made
    // page by page is damaged only there); Full also compares every index
    // with its table, which reads the file many times over.
    enum class Check { Quick, Full };

    // Where a backup into the folder goes ("/" gives "/advocate.mdb").
    static QString copyPathIn(const QString &folder);

    // The dated copy that a backup keeps beside the copy: "advocate-2026-12-07.mdb".
    static QString datedCopyPathIn(const QString &folder, const QDate &day);

    // Writes a snapshot of the open database to `target` while the program
    // (and any other program) goes on using it. The copy is made under a
    // temporary name in the target's folder, checked, and only then renamed
    // over `target`; a failure leaves `target` as it was. A target that is
    // the diary (by any path or link) is refused. Copies that an earlier
    // backup left half-made under their temporary names (it was killed) are
    // removed first. The copy gets the quick check of every page's structure
    // unless the full one is asked for. Throws DataError.
    static void writeSnapshot(const QString &target, Check check = Check::Quick);

    // The backup into a folder: its copy (copyPathIn) and, when `keep` is
    // above 0, the same copy under the name dated `day`, after which only the
    // `keep` latest dated copies there stay. Returns the dated copies removed.
    // Throws DataError saying which file could not be written or removed.
    // A diary on a server is dumped instead (ServerBackup::backUpInto); the
    // full check reads the dump back whole as it is written.
    static QStringList backUpInto(const QString &folder, int keep, const QDate &day,
                                  Check check = Check::Quick);

    // Checks that `path` is a database of this program that passes SQLite's
    // integrity check. Throws DataError saying what is wrong.
    static void checkFile(const QString &path, Check check = Check::Full);

    // checkFile for a restore of the diary at `diaryPath`, which also refuses
    // the diary itself (by any path or link) as its own backup.
    static void checkBackup(const QString &path, const QString &diaryPath);

    // The tables that a database of this program holds.
    static QStringList programTables();

    // The name under which a restore keeps the diary it replaces, beside it:
    // "advocate_v2-replaced-20261207-111213.mdb".
    static QString keptName(const QString &databasePath, const QDateTime &when);

    // Puts the backup file's content in place of the open database: checks
    // the file, keeps a snapshot of the present diary as `keepAs` (never
    // overwriting a file), copies the backup in within one transaction and
    // reopens the database. On failure the diary is left as it was and
    // DataError says why. Nothing may hold the connection's statements open.
    static void restoreFrom(const QString &backupFile, const QString &keepAs);

    // The same for a diary that is not open (it could not be opened, or its
    // file is missing): the file at `databasePath`, if any, is moved aside
    // to `keepAs`, a checked copy of the backup takes its place and the
    // database is opened. On failure the old file is put back.
    static void restoreInto(const QString &backupFile, const QString &databasePath,
                            const QString &keepAs);
};

// Removes the dated copies in `folder` beyond the `keep` latest, today's always
// kept: `dayOf` reads a file name's day (invalid for no copy), `spared` keeps a
// file out, `refusal` words the failure to remove one (its path and reason).
// Gives the files removed. Throws DataError.
QStringList
removeOlderCopies(const QString &folder, const QDate &day, qsizetype keep,
                  const std::function<QDate(const QString &)> &dayOf,
                  const std::function<bool(const QString &)> &spared,
                  const std::function<QString(const QString &, const QString &)> &refusal);

} // namespace lexordo
