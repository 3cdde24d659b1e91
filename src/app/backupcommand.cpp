#include "backupcommand.h"

#include "backupscreen.h"
#include "commandoptions.h"
#include "restore.h"

#include <cstdio>
#include <data/backup.h>
#include <data/clock.h>
#include <data/database.h>
#include <data/dataerror.h>
#include <data/datasource.h>
#include <data/diaryfolder.h>
#include <data/schemacheck.h>
#include <QDir>
#include <QHash>

namespace lexordo {

namespace {

const char *const backupUsage =
    "Usage:\n"
    "  lexordo [--today DD/MM/YYYY] backup --to FOLDER [--keep N] [--verify]\n"
    "      Copies the diary (the database of the data source \"advocate\") to\n"
    "      FOLDER/advocate.mdb while the program may be in use, checks the copy\n"
    "      and only then puts it in place of an earlier copy there.\n"
    "      With --keep N the copy is also kept as FOLDER/advocate-YYYY-MM-DD.mdb\n"
    "      (today's date), and only the N latest of those dated copies stay.\n"
    "      A folder that holds the diary itself under the name advocate.mdb\n"
    "      is refused.\n"
    "      With --verify the copy gets SQLite's full integrity check, which also\n"
    "      compares every index with its table (it takes several times as long).\n"
    "      A diary on a PostgreSQL server is dumped by pg_dump instead, to\n"
    "      FOLDER/advocate.dump (and FOLDER/advocate-YYYY-MM-DD.dump); with\n"
    "      --verify, pg_restore reads the dump back whole as it is written.\n"
    "\n"
    "Messages go to standard error. Exit status:\n"
    "  0  the copy is written and checked\n"
    "  1  it could not be made (the earlier copy is left as it was); the\n"
    "     message names the file\n"
    "  2  wrong arguments; the message names the argument\n";

const char *const restoreUsage =
    "Usage:\n"
    "  lexordo restore --from FILE\n"
    "      Puts the backup FILE (advocate.mdb from a backup folder) in place of\n"
    "      the diary, as File > Restore... does, without asking. The file is\n"
    "      checked first. The present diary is kept beside it as\n"
    "      advocate_v2-replaced-YYYYMMDD-HHMMSS.mdb, which is written on\n"
    "      standard output. A diary that no longer opens is moved aside\n"
    "      under that name.\n"
    "      A diary on a PostgreSQL server is restored from a dump\n"
    "      (advocate.dump) in one transaction; the present one is kept as\n"
    "      DATABASE-replaced-YYYYMMDD-HHMMSS.dump in the diary's folder.\n"
    "\n"
    "Exit status:\n"
    "  0  the diary is restored\n"
    "  1  the file is not a backup of the diary, or the diary could not be\n"
    "     restored (the message on standard error names the file and why;\n"
    "     nothing has been changed unless it says otherwise)\n"
    "  2  wrong arguments; the message names the argument\n";

// Opens the diary the data source names. A file is opened as it stands (a
// backup copies it whatever its tables, a restore may replace a file that is
// no diary); a diary on a server is opened as every command opens it.
void openDiary()
{
    const DataSource::Diary diary = DataSource::commandDiary(diaryfolder::folder());
    if (diary.server)
        SchemaCheck::openServerDiary(*diary.server);
    else
        Database::open(diary.file);
}

} // namespace

int runBackupCommand(const QStringList &commandLine)
{
    const QString command = QStringLiteral("backup");
    if (asksForHelp(commandLine)) {
        std::fputs(backupUsage, stdout);
        return 0;
    }
    QHash<QString, QString> options;
    const QString problem =
        readOptions(commandLine.mid(1), command, {QStringLiteral("to"), QStringLiteral("keep")},
                    {QStringLiteral("verify")}, options);
    if (!problem.isEmpty())
        return wrongArguments(command, problem);
    const QString folder = options.value(QStringLiteral("to"));
    if (folder.isEmpty())
        return wrongArguments(command,
                              QStringLiteral("Name the folder to back up to with --to FOLDER."));
    int keep = 0;
    if (options.contains(QStringLiteral("keep"))) {
        bool number = false;
        keep = options.value(QStringLiteral("keep")).toInt(&number);
        if (!number || keep < 1)
            return wrongArguments(
                command, QStringLiteral("--keep needs a number of dated copies, 1 or more."));
    }

    int status = 0;
    try {
        openDiary();
        DatabaseBackup::backUpInto(folder, keep, Clock::today(),
                                   options.contains(QStringLiteral("verify"))
                                       ? DatabaseBackup::Check::Full
                                       : DatabaseBackup::Check::Quick);
        std::fprintf(stderr, "%s\n", qPrintable(BackupScreen::completedMessage));
    } catch (const DataError &e) {
        status = failedWith(e.description());
    }
    Database::close();
    return status;
}

int runRestoreCommand(const QStringList &commandLine)
{
    const QString command = QStringLiteral("restore");
    QString file;
    if (const std::optional<int> stop =
            readFromFile(commandLine, command, restoreUsage,
                         QStringLiteral("Name the backup file with --from FILE."), file))
        return *stop;

    // A diary that does not open is restored in its file's place, as at the desk.
    QString unopened;
    try {
        openDiary();
    } catch (const DataError &e) {
        unopened = e.description();
    }
    int status = 0;
    try {
        const RestorePlan plan = planRestore(file);
        carryOutRestore(plan);
        if (!unopened.isEmpty())
            std::printf("%s\n", qPrintable(unopened));
        std::printf("The diary has been restored from %s.\n",
                    qPrintable(QDir::toNativeSeparators(file)));
        if (plan.replacing)
            std::printf("The replaced diary is kept as %s.\n",
                        qPrintable(QDir::toNativeSeparators(plan.keepAs)));
    } catch (const DataError &e) {
        status = failedWith(e.description());
    }
    Database::close();
    return status;
}

} // namespace lexordo
