#include "printcommand.h"

#include "diaryreports.h"
#include "runtime/reportengine.h"
#include "runtime/reportpainter.h"

#include <accounts/accountsreports.h>

#include <data/clock.h>
#include <data/database.h>
#include <data/dataerror.h>
#include <data/datasource.h>
#include <data/dates.h>
#include <data/diaryfolder.h>

#include <QCoreApplication>
#include <QHash>

#include <cstdio>

namespace lexordo {

namespace {

const char *const usage =
    "Usage:\n"
    "  lexordo print cause-list [--date DD/MM/YYYY] --pdf FILE\n"
    "      The cause list of the hearings whose next date is the day (today\n"
    "      when --date is left out), court by court in running order, with\n"
    "      the holidays of the 90 days from that day.\n"
    "  lexordo print diary --from DD/MM/YYYY [--to DD/MM/YYYY] --pdf FILE\n"
    "      The diary of the hearings whose current date lies in the range\n"
    "      (--to is today when left out). A single day prints that day's cause\n"
    "      list grouped by court with its weekday; a longer range is grouped\n"
    "      by date. The holidays of the 120 days after the range close it.\n"
    "  lexordo print blank-next-dates --from DD/MM/YYYY [--to DD/MM/YYYY] --pdf FILE\n"
    "      The hearings of the range that have no next date yet, by date,\n"
    "      leaving out those whose remarks say decided or unattended.\n"
    "  lexordo print case (--case-no NUMBER | --party NAME) --pdf FILE\n"
    "      Every hearing of a case, or of a first party, by date and court.\n"
    "      The value is matched as typed; letter case does not matter.\n"
    "  lexordo print fees --from DD/MM/YYYY [--to DD/MM/YYYY] [--name ACCOUNT] --pdf FILE\n"
    "      The fee statement of the period, both dates included (--to is today\n"
    "      when left out): of one account with --name, else of every account\n"
    "      by financial year (1 April to 31 March). Refills tmpac_info.\n"
    "  lexordo print bill --number N --pdf FILE\n"
    "  lexordo print receipt --number N --pdf FILE\n"
    "      A stored bill or receipt, printed as its screen shows it.\n"
    "\n"
    "Options:\n"
    "  --pdf FILE          the PDF file to write (replaced when it exists)\n"
    "  --today DD/MM/YYYY  the day taken as today\n"
    "\n"
    "The reports read the database named by the data source \"advocate\", as\n"
    "the program does; diary and blank-next-dates refill the work table\n"
    "tmpAdvocate as their screens do. No display is needed. Messages go to\n"
    "standard error. Exit status: 0 the PDF was written, 1 the report could\n"
    "not be made, 2 wrong arguments. To print on paper, send the PDF to the\n"
    "printer (lp FILE). In a crontab, write each % of a date as \\%.\n";

const QHash<QString, QStringList> optionsOf = {
    {QStringLiteral("cause-list"), {QStringLiteral("date")}},
    {QStringLiteral("diary"), {QStringLiteral("from"), QStringLiteral("to")}},
    {QStringLiteral("blank-next-dates"), {QStringLiteral("from"), QStringLiteral("to")}},
    {QStringLiteral("case"), {QStringLiteral("case-no"), QStringLiteral("party")}},
    {QStringLiteral("fees"), accountsPrintOptions().value(QStringLiteral("fees"))},
    {QStringLiteral("bill"), accountsPrintOptions().value(QStringLiteral("bill"))},
    {QStringLiteral("receipt"), accountsPrintOptions().value(QStringLiteral("receipt"))},
};

int wrongArguments(const QString &problem)
{
    std::fprintf(stderr, "%s\nlexordo print --help tells how to use it.\n", qPrintable(problem));
    return 2;
}

std::optional<PreparedReport> prepare(const QString &report, const QHash<QString, QString> &options)
{
    if (accountsPrintOptions().contains(report)) {
        if (std::optional<AccountsReport> accounts = accountsPrint(report, options))
            return PreparedReport{accounts->layout, accounts->data};
        return std::nullopt;
    }
    const QString today = dates::format(Clock::today());
    QString note;
    if (report == QStringLiteral("cause-list")) {
        NextDateCauseList causeList;
        return causeList.run(options.value(QStringLiteral("date"), today), note);
    }
    if (report == QStringLiteral("diary") || report == QStringLiteral("blank-next-dates")) {
        HearingsByDate hearings(report == QStringLiteral("diary")
                                    ? HearingsByDate::Kind::CurrentDates
                                    : HearingsByDate::Kind::BlankNextDates);
        return hearings.run(options.value(QStringLiteral("from")),
                            options.value(QStringLiteral("to"), today), note);
    }
    const bool party = options.contains(QStringLiteral("party"));
    try {
        return caseHistory(party ? CaseCriterion::Party : CaseCriterion::CaseNo,
                           options.value(party ? QStringLiteral("party") : QStringLiteral("case-no")),
                           true);
    } catch (const DataError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.description()));
        return std::nullopt;
    }
}

} // namespace

int runPrintCommand(const QStringList &commandLine)
{
    QStringList arguments = commandLine.mid(1);
    if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"))) {
        std::fputs(usage, stdout);
        return 0;
    }
    if (arguments.isEmpty())
        return wrongArguments(QStringLiteral("Which report? cause-list, diary, blank-next-dates, case, fees, bill or receipt."));

    const QString report = arguments.takeFirst();
    if (!optionsOf.contains(report))
        return wrongArguments(QStringLiteral("There is no report called %1.").arg(report));

    const QStringList allowed =
        optionsOf.value(report) + QStringList{QStringLiteral("pdf"), QStringLiteral("today")};
    QHash<QString, QString> options;
    while (!arguments.isEmpty()) {
        QString option = arguments.takeFirst();
        QString value;
        bool hasValue = false;
        if (const qsizetype equals = option.indexOf(u'='); equals > 0) {
            value = option.mid(equals + 1);
            option.truncate(equals);
            hasValue = true;
        }
        if (!option.startsWith(QStringLiteral("--")) || !allowed.contains(option.mid(2)))
            return wrongArguments(QStringLiteral("%1 is not an option of %2.").arg(option, report));
        if (!hasValue) {
            if (arguments.isEmpty())
                return wrongArguments(QStringLiteral("%1 needs a value.").arg(option));
            value = arguments.takeFirst();
        }
        options.insert(option.mid(2), value);
    }

    if (options.value(QStringLiteral("pdf")).isEmpty())
        return wrongArguments(QStringLiteral("Name the PDF file to write with --pdf FILE."));
    if (report == QStringLiteral("case") &&
        options.contains(QStringLiteral("party")) == options.contains(QStringLiteral("case-no")))
        return wrongArguments(QStringLiteral("The case report needs either --case-no or --party."));
    if (options.contains(QStringLiteral("today"))) {
        const auto today = dates::parse(options.value(QStringLiteral("today")));
        if (!today)
            return wrongArguments(QStringLiteral("--today needs a date written DD/MM/YYYY."));
        Clock::setToday(*today);
    }

    try {
        Database::open(DataSource::databasePath(diaryfolder::folder()));
    } catch (const DataError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.description()));
        return 1;
    }

    int status = 1;
    if (std::optional<PreparedReport> prepared = prepare(report, options)) {
        const report::ReportDocument document = report::layOut(prepared->layout, prepared->data);
        QString error;
        if (report::writePdf(document, options.value(QStringLiteral("pdf")), &error))
            status = 0;
        else
            std::fprintf(stderr, "%s\n", qPrintable(error));
    }
    Database::close();
    return status;
}

} // namespace lexordo
