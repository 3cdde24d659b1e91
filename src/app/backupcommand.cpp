#include "backupcommand.h"

#include "backupscreen.h"

#include <cstdio>
#include <data/backup.h>
#include <data/database.h>
#include <data/dataerror.h>
#include <data/datasource.h>
#include <QCoreApplication>

namespace lexordo {

namespace {

const char *const usage =
    "Usage:\n"
    "  lexordo backup --to FOLDER [--verify]\n"
    "      Copies the diary (the database of the data source \"advocate\") to\n"
    "      FOLDER/advocate.mdb while the program may be in use, checks the copy\n"
    "      and only then puts it in place of an earlier copy there.\n"
    "      The check reads every page's structure; --verify also compares every\n"
    "      index with its table, as a restore does (several times slower).\n"
    "\n"
    "Messages go to standard error. Exit status:\n"
    "  0  the copy is written and checked\n"
    "  1  it could not be made (the earlier copy is left as it was): a fault\n"
    "     of the diary or of the copy, named on standard error\n"
    "  2  wrong arguments, named on standard error\n";

int wrongArguments(const QString &problem)
{
    std::fprintf(stderr, "%s lexordo backup --help tells how to use it.\n", qPrintable(problem));
    return 2;
}

} // namespace

int runBackupCommand(const QStringList &commandLine)
{
    QStringList arguments = commandLine.mid(1);
    if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"))) {
        std::fputs(usage, stdout);
        return 0;
    }
    QString folder;
    bool given = false;
    bool verify = false;
    while (!arguments.isEmpty()) {
        const QString option = arguments.takeFirst();
        QString value;
        if (option == QStringLiteral("--verify")) {
            if (verify)
                return wrongArguments(QStringLiteral("--verify is given more than once."));
            verify = true;
            continue;
        }
        if (option.startsWith(QStringLiteral("--to="))) {
            value = option.mid(5);
        } else if (option == QStringLiteral("--to")) {
            if (arguments.isEmpty())
                return wrongArguments(QStringLiteral("--to needs a folder."));
            value = arguments.takeFirst();
        } else {
            return wrongArguments(QStringLiteral("%1 is not an option of backup.").arg(option));
        }
        if (given)
            return wrongArguments(QStringLiteral("--to is given more than once."));
        folder = value;
        given = true;
    }
    if (folder.isEmpty())
        return wrongArguments(QStringLiteral("Name the folder to back up to with --to FOLDER."));

    int status = 1;
    try {
        Database::open(DataSource::databasePath(QCoreApplication::applicationDirPath()));
        DatabaseBackup::writeSnapshot(DatabaseBackup::copyPathIn(folder),
                                      verify ? DatabaseBackup::Check::Full
                                             : DatabaseBackup::Check::Quick);
        std::fprintf(stderr, "%s\n", qPrintable(BackupScreen::completedMessage));
        status = 0;
    } catch (const DataError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.description()));
    }
    Database::close();
    return status;
}

} // namespace lexordo
