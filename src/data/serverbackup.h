#pragma once

#include "serveraddress.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

namespace lexordo {

// Copies of a diary kept on a PostgreSQL server, made and put back by the
// server's own tools: pg_dump writes one transaction-consistent snapshot of
// the database in its custom format, pg_restore puts such a dump back in one
// transaction. The password reaches the tools through their environment,
// never their command line, and no message shows it.
class ServerBackup
{
public:
    static inline const QString dumpName = QStringLiteral("advocate.dump");

    // Where a backup into the folder goes ("/" gives "/advocate.dump").
    static QString dumpPathIn(const QString &folder);
    // The dated copy beside it: "advocate-2026-12-07.dump".
    static QString datedDumpPathIn(const QString &folder, const QDate &day);

    // Dumps the server database to `target`, written under a temporary name
    // in its folder and put in place only when pg_dump has finished well; a
    // failure (pg_dump's, with its reason, or a full disk) leaves `target`
    // as it was. With `readBack`, pg_restore reads every block of the dump
    // as it is written, and a dump it cannot read is not put in place.
    // Throws DataError.
    static void writeDump(const ServerAddress &server, const QString &target,
                          bool readBack = false);

    // The backup into a folder: its dump (dumpPathIn) and, when `keep` is
    // above 0, the same dump under the name dated `day`, after which only the
    // `keep` latest dated dumps there stay. Returns the dated dumps removed.
    // Throws DataError saying which file could not be written or removed.
    // `readBack` as for writeDump.
    static QStringList backUpInto(const ServerAddress &server, const QString &folder, int keep,
                                  const QDate &day, bool readBack = false);

    // Checks that `path` is a dump in pg_dump's custom format that holds
    // every table of the diary. Throws DataError saying what is wrong.
    static void checkDump(const QString &path);

    // The name under which a restore keeps the server's diary it replaces,
    // in `folder`: "diary-replaced-20261207-111213.dump" for the database
    // "diary".
    static QString keptName(const ServerAddress &server, const QString &folder,
                            const QDateTime &when);

    // Puts the dump in place of the server's diary: checks the dump, keeps a
    // dump of the present diary as `keepAs` (never over an existing file),
    // restores in one transaction and checks that the database is a diary.
    // On failure the server keeps what it had and DataError says why.
    static void restoreFrom(const ServerAddress &server, const QString &dumpFile,
                            const QString &keepAs);
};

} // namespace lexordo
