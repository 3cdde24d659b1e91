#include "transfercommands.h"

#include "commandoptions.h"

#include <cstdio>
#include <data/database.h>
#include <data/dataerror.h>
#include <data/dates.h>
#include <data/diaryfolder.h>
#include <data/hearingcalendar.h>
#include <data/schemacheck.h>
#include <data/tabletransfer.h>
#include <optional>
#include <QHash>

namespace lexordo {

namespace {

const char *const exportUsage =
    "Usage:\n"
    "  lexordo export csv TABLE --file FILE\n"
    "      Writes every row of the table (advocate is the diary; courts,\n"
    "      Holidays, Clients, ...) to a CSV file: UTF-8, a first line of the\n"
    "      column names, dates DD/MM/YYYY.\n"
    "  lexordo export ics --from DD/MM/YYYY --to DD/MM/YYYY --file FILE\n"
    "      Writes the hearings of the period to an iCalendar file, one all-day\n"
    "      event for each hearing. The same hearing keeps its UID in every\n"
    "      export, so a calendar that imports a newer file updates its events.\n"
    "\n"
    "FILE is written to a temporary file beside it that takes its place only\n"
    "when complete; the diary and its -wal, -shm and -journal files are never\n"
    "written, by whatever path or link they are named.\n"
    "\n"
    "Exit status:\n"
    "  0  written\n"
    "  1  a fault of the diary or of the file, named on standard error\n"
    "  2  wrong arguments (an unknown table too), named on standard error\n";

const char *const importUsage =
    "Usage:\n"
    "  lexordo import csv TABLE --file FILE [--replace]\n"
    "      Adds the rows of a CSV file to the table. The first line names the\n"
    "      columns (any of the table's, in any order); dates are DD/MM/YYYY.\n"
    "      Every row is checked first: when one is wrong, nothing is stored\n"
    "      and each wrong row is listed with its line. With --replace the\n"
    "      rows take the place of those the table holds.\n"
    "\n"
    "Exit status:\n"
    "  0  stored\n"
    "  1  nothing was stored: a fault of the diary or of the file (wrong rows\n"
    "     too), named on standard error\n"
    "  2  wrong arguments (an unknown table too), named on standard error\n";

struct Arguments
{
    QString kind;  // csv or ics
    QString table; // csv only
    QHash<QString, QString> options;
    bool replace = false;
};

// Reads KIND [TABLE] --option value ...; an error text when the words do not fit.
QString parse(QStringList words, const QString &command, const QStringList &allowed,
              Arguments &parsed)
{
    if (words.isEmpty())
        return QStringLiteral("Say what to write: csv or ics.");
    parsed.kind = words.takeFirst();
    if (parsed.kind == QStringLiteral("csv")) {
        if (words.isEmpty() || words.first().startsWith(QStringLiteral("--")))
            return QStringLiteral("Name the table: lexordo %1 csv TABLE --file FILE.").arg(command);
        parsed.table = words.takeFirst();
    } else if (parsed.kind != QStringLiteral("ics") || command != QStringLiteral("export")) {
        return QStringLiteral("There is no format called %1.").arg(parsed.kind);
    }
    const QStringList switches = command == QStringLiteral("import")
                                     ? QStringList{QStringLiteral("replace")}
                                     : QStringList{};
    if (QString problem = readOptions(words, command, allowed, switches, parsed.options);
        !problem.isEmpty())
        return problem;
    parsed.replace = parsed.options.contains(QStringLiteral("replace"));
    if (parsed.options.value(QStringLiteral("file")).isEmpty())
        return QStringLiteral("Name the file with --file FILE.");
    return QString();
}

// Opens the diary, checked as the program checks it at start-up, and finds
// the table named on the command line. A fault of the diary exits 1; a table
// the diary does not have is a wrong argument.
std::optional<int> openDiary(const QString &command, const QString &tableWord, QString *table)
{
    try {
        SchemaCheck::openRegistered(diaryfolder::folder());
    } catch (const DataError &e) {
        return failedWith(e.description());
    }
    if (tableWord.isNull())
        return std::nullopt;
    try {
        *table = TableTransfer::storedName(tableWord);
    } catch (const DataError &e) {
        Database::close();
        return wrongArguments(command, e.description());
    }
    return std::nullopt;
}

// "1 row", "2 rows".
QString counted(int count, const char *what)
{
    return QStringLiteral("%1 %2%3").arg(count).arg(QLatin1String(what)).arg(count == 1 ? "" : "s");
}

} // namespace

int runExportCommand(const QStringList &commandLine)
{
    const QString command = QStringLiteral("export");
    if (asksForHelp(commandLine)) {
        std::fputs(exportUsage, stdout);
        return 0;
    }
    Arguments arguments;
    const QString problem =
        parse(commandLine.mid(1), command,
              {QStringLiteral("file"), QStringLiteral("from"), QStringLiteral("to")}, arguments);
    if (!problem.isEmpty())
        return wrongArguments(command, problem);

    std::optional<QDate> from;
    std::optional<QDate> to;
    if (arguments.kind == QStringLiteral("ics")) {
        from = dates::parse(arguments.options.value(QStringLiteral("from")));
        to = dates::parse(arguments.options.value(QStringLiteral("to")));
        if (!from || !to)
            return wrongArguments(
                command, QStringLiteral("The period needs --from and --to, each DD/MM/YYYY."));
        if (*to < *from)
            return wrongArguments(command, QStringLiteral("--to %1 comes before --from %2.")
                                               .arg(dates::format(*to), dates::format(*from)));
    } else if (arguments.options.contains(QStringLiteral("from")) ||
               arguments.options.contains(QStringLiteral("to"))) {
        return wrongArguments(
            command, QStringLiteral("A CSV export writes the whole table; it takes no period."));
    }

    QString table;
    if (const std::optional<int> status = openDiary(command, arguments.table, &table))
        return *status;
    const QString file = arguments.options.value(QStringLiteral("file"));
    int status = 0;
    try {
        if (arguments.kind == QStringLiteral("ics")) {
            const int events = HearingCalendar::exportIcs(*from, *to, file);
            std::printf("Wrote %s to %s.\n", qPrintable(counted(events, "hearing")),
                        qPrintable(file));
        } else {
            const int rows = TableTransfer::exportCsv(table, file);
            std::printf("Wrote %s of %s to %s.\n", qPrintable(counted(rows, "row")),
                        qPrintable(table), qPrintable(file));
        }
    } catch (const DataError &e) {
        status = failedWith(e.description());
    }
    Database::close();
    return status;
}

int runImportCommand(const QStringList &commandLine)
{
    const QString command = QStringLiteral("import");
    if (asksForHelp(commandLine)) {
        std::fputs(importUsage, stdout);
        return 0;
    }
    Arguments arguments;
    const QString problem = parse(commandLine.mid(1), command, {QStringLiteral("file")}, arguments);
    if (!problem.isEmpty())
        return wrongArguments(command, problem);

    QString table;
    if (const std::optional<int> status = openDiary(command, arguments.table, &table))
        return *status;
    int status = 0;
    try {
        const int rows = TableTransfer::importCsv(
            table, arguments.options.value(QStringLiteral("file")), arguments.replace);
        std::printf("Imported %s into %s.\n", qPrintable(counted(rows, "row")), qPrintable(table));
    } catch (const DataError &e) {
        // A refused file lists its wrong rows in the description.
        status = failedWith(e.description());
    }
    Database::close();
    return status;
}

} // namespace lexordo
