#include "causelistcommand.h"

#include "commandoptions.h"

#include <cstdio>
#include <data/database.h>
#include <data/dataerror.h>
#include <data/dates.h>
#include <data/diaryfolder.h>
#include <data/safewrite.h>
#include <data/schemacheck.h>
#include <diary/courtlistcheck.h>
#include <QHash>

namespace lexordo {

namespace {

enum Status {
    AllInDiary = 0,
    Fault = 1,
    WrongArguments = 2,
    MissedMatters = 3,
};

const char *const usage =
    "Usage:\n"
    "  lexordo check-cause-list --date DD/MM/YYYY --file LIST [--csv OUT]\n"
    "      Reads the court's list of the day as saved from the court's site\n"
    "      (a PDF with text, a web page or a text file), finds the office's\n"
    "      cases in it by their numbers and prints three groups: listed by the\n"
    "      court but not in the diary for the day, listed and in the diary,\n"
    "      in the diary but not found in the list.\n"
    "      --csv OUT writes them as CSV with the columns\n"
    "      status,item,hall,caseno,party1,party2,diary_date (status is\n"
    "      not-in-diary, listed or not-listed); OUT is written to a temporary\n"
    "      file beside it that takes its place only when complete.\n"
    "\n"
    "Exit status:\n"
    "  0  every matter the court lists is in the diary for the day\n"
    "  3  at least one matter the court lists is not in the diary for the day\n"
    "  1  the list, the diary or OUT could not be read or written (named on\n"
    "     standard error); a scanned list without text too\n"
    "  2  wrong arguments, named on standard error\n";

int fault(const QString &reason)
{
    std::fprintf(stderr, "%s\n", qPrintable(reason));
    return Fault;
}

} // namespace

int runCheckCauseListCommand(const QStringList &commandLine)
{
    QStringList words = commandLine.mid(1);
    if (words.contains(QStringLiteral("--help")) || words.contains(QStringLiteral("-h"))) {
        std::fputs(usage, stdout);
        return AllInDiary;
    }
    QHash<QString, QString> options;
    const QString problem = readOptions(
        words, QStringLiteral("check-cause-list"),
        {QStringLiteral("date"), QStringLiteral("file"), QStringLiteral("csv")}, {}, options);
    if (!problem.isEmpty())
        return wrongArguments(QStringLiteral("check-cause-list"), problem);
    const std::optional<QDate> day = dates::parse(options.value(QStringLiteral("date")));
    if (!day)
        return wrongArguments(QStringLiteral("check-cause-list"),
                              QStringLiteral("--date needs the list's day, written DD/MM/YYYY."));
    const QString listFile = options.value(QStringLiteral("file"));
    if (listFile.isEmpty())
        return wrongArguments(QStringLiteral("check-cause-list"),
                              QStringLiteral("Name the court's list with --file LIST."));
    if (options.contains(QStringLiteral("csv")) && options.value(QStringLiteral("csv")).isEmpty())
        return wrongArguments(QStringLiteral("check-cause-list"),
                              QStringLiteral("--csv needs the name of the file to write."));

    try {
        SchemaCheck::openRegistered(diaryfolder::folder());
    } catch (const DataError &e) {
        Database::close();
        return fault(e.description());
    }
    int status = Fault;
    try {
        const courtlist::CheckResult result = courtlist::checkListFile(*day, listFile);
        if (options.contains(QStringLiteral("csv")))
            safewrite::writeFile(options.value(QStringLiteral("csv")), courtlist::csvOf(result));
        std::fputs(qPrintable(courtlist::textOf(result)), stdout);
        status = result.notInDiary.isEmpty() ? AllInDiary : MissedMatters;
    } catch (const DataError &e) {
        fault(e.description());
    }
    Database::close();
    return status;
}

} // namespace lexordo
