#include "printcommand.h"

#include "commandoptions.h"

#include <accounts/accountsreports.h>
#include <cstdio>
#include <data/clock.h>
#include <data/database.h>
#include <data/dataerror.h>
#include <data/dates.h>
#include <data/diaryfolder.h>
#include <data/schemacheck.h>
#include <diary/courtlistcheck.h>
#include <functional>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QHash>
#include <QSet>
#include <reports/diaryreports.h>
#include <reports/runtime/reportengine.h>
#include <reports/runtime/reportpainter.h>

namespace lexordo {

namespace {

// Exit status of the command; the same fault always gives the same status.
enum Status {
    Written = 0,        // the PDF was written
    NotMade = 1,        // the report could not be made (reason on standard error)
    WrongArguments = 2, // the command line is wrong
};

const char *const usage =
    "Usage:\n"
    "  lexordo print cause-list [--date DD/MM/YYYY] [--court-list LIST] --pdf FILE\n"
    "      The cause list of the hearings whose next date is the day (today\n"
    "      when --date is left out), court by court in running order, with\n"
    "      the holidays of the 90 days from that day. With --court-list, the\n"
    "      court's list of the day (PDF, web page or text) is read and each\n"
    "      hearing it lists shows the court's item number and hall under its\n"
    "      case number.\n"
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
    "Options (each at most once; --name VALUE or --name=VALUE):\n"
    "  --pdf FILE          the PDF file to write. It is written to a temporary\n"
    "                      file beside it that replaces FILE only when complete;\n"
    "                      the diary's database is never written over.\n"
    "  --today DD/MM/YYYY  the day taken as today\n"
    "\n"
    "The reports read the database named by the data source \"advocate\", as\n"
    "the program does; diary and blank-next-dates refill the work table\n"
    "tmpAdvocate as their screens do. No display is needed. Messages go to\n"
    "standard error. To print on paper, send the PDF to the printer\n"
    "(lp FILE). In a crontab, write each % of a date as \\%.\n"
    "\n"
    "Exit status:\n"
    "  0  the PDF was written\n"
    "  1  the report could not be made: the database cannot be read, is locked\n"
    "     or read-only, or is not a diary, no hearing was found for the day, the\n"
    "     dates, the case or the party, the court's list cannot be read, or the\n"
    "     PDF could not be written (a full disk, the diary's own file); nothing\n"
    "     is written\n"
    "  2  wrong arguments: an unknown, repeated or missing option, a missing\n"
    "     value, a date that is not a date written DD/MM/YYYY, a period whose\n"
    "     --to comes before its --from, or a number that is not a whole number\n"
    "Either way the one line on standard error names the file or the argument.\n";

using Options = QHash<QString, QString>;
using Prepare = std::function<std::optional<PreparedReport>(const Options &)>;

// Options that every report takes besides its own.
const QStringList commonOptions = {QStringLiteral("pdf"), QStringLiteral("today")};
// Options whose value is a date.
const QStringList dateOptions = {QStringLiteral("date"), QStringLiteral("from"),
                                 QStringLiteral("to"), QStringLiteral("today")};

QString today()
{
    return dates::format(Clock::today());
}

// The places the court's list gives the day's hearings. Throws DataError
// naming the file when the list cannot be read.
QHash<QString, QString> courtPlaces(const ResultTable &hearings, const QString &listPath)
{
    const courtlist::ListText list = courtlist::readListFile(listPath);
    QSet<QString> wanted;
    for (int row = 0; row < hearings.rowCount(); ++row) {
        if (const auto key =
                courtlist::caseKey(hearings.value(row, QStringLiteral("caseno")).toString()))
            wanted.insert(*key);
    }
    return courtlist::placesOf(courtlist::findListings(
        list.text, [&wanted](const QString &key) { return wanted.contains(key); }));
}

std::optional<PreparedReport> causeList(const Options &options)
{
    NextDateCauseList report;
    QString note;
    const QString day = options.value(QStringLiteral("date"), today());
    std::optional<PreparedReport> prepared = report.run(day, note);
    // As the diary of a day without hearings: nothing to print is no list,
    // so that `print cause-list ... && lp` prints no empty page.
    if (prepared && prepared->data.rowCount() == 0) {
        std::fprintf(stderr, "%s\n",
                     qPrintable(QStringLiteral("No hearing has its next date on %1; no PDF was "
                                               "written.")
                                    .arg(day)));
        return std::nullopt;
    }
    if (prepared && options.contains(QStringLiteral("court-list"))) {
        addCourtItems(*prepared, courtPlaces(prepared->data.table(),
                                             options.value(QStringLiteral("court-list"))));
    }
    return prepared;
}

std::optional<PreparedReport> hearingsByDate(HearingsByDate::Kind kind, const Options &options)
{
    HearingsByDate report(kind);
    QString note;
    return report.run(options.value(QStringLiteral("from")),
                      options.value(QStringLiteral("to"), today()), note);
}

std::optional<PreparedReport> caseReport(const Options &options)
{
    const bool party = options.contains(QStringLiteral("party"));
    const QString value =
        options.value(party ? QStringLiteral("party") : QStringLiteral("case-no"));
    std::optional<PreparedReport> prepared =
        caseHistory(party ? CaseCriterion::Party : CaseCriterion::CaseNo, value, true);
    if (prepared->data.rowCount() == 0) {
        std::fprintf(stderr, "%s\n",
                     qPrintable(party ? QStringLiteral("No hearing is recorded for the first "
                                                       "party \"%1\"; no PDF was written.")
                                            .arg(value)
                                      : QStringLiteral("No hearing is recorded for the case "
                                                       "number \"%1\"; no PDF was written.")
                                            .arg(value)));
        return std::nullopt;
    }
    return prepared;
}

QStringList accountsOptions(const QString &report)
{
    return accountsPrintOptions().value(report);
}

// Fee statements, bills and receipts come from the accounts.
std::optional<PreparedReport> accounts(const QString &report, const Options &options)
{
    if (std::optional<AccountsReport> made = accountsPrint(report, options))
        return PreparedReport{made->layout, made->data};
    return std::nullopt;
}

// The reports, one line each: the word, its own options, the options of
// which exactly one must be given, those that must be given, and the run.
struct Report
{
    QString word;
    QStringList options;
    QStringList oneOf;
    QStringList required;
    Prepare prepare;
};

const QList<Report> &reports()
{
    static const QList<Report> list = {
        {QStringLiteral("cause-list"),
         {QStringLiteral("date"), QStringLiteral("court-list")},
         {},
         {},
         causeList},
        {QStringLiteral("diary"),
         {QStringLiteral("from"), QStringLiteral("to")},
         {},
         {QStringLiteral("from")},
         [](const Options &o) { return hearingsByDate(HearingsByDate::Kind::CurrentDates, o); }},
        {QStringLiteral("blank-next-dates"),
         {QStringLiteral("from"), QStringLiteral("to")},
         {},
         {QStringLiteral("from")},
         [](const Options &o) { return hearingsByDate(HearingsByDate::Kind::BlankNextDates, o); }},
        {QStringLiteral("case"),
         {QStringLiteral("case-no"), QStringLiteral("party")},
         {QStringLiteral("case-no"), QStringLiteral("party")},
         {},
         caseReport},
        {QStringLiteral("fees"),
         accountsOptions(QStringLiteral("fees")),
         {},
         {QStringLiteral("from")},
         [](const Options &o) { return accounts(QStringLiteral("fees"), o); }},
        {QStringLiteral("bill"),
         accountsOptions(QStringLiteral("bill")),
         {},
         {QStringLiteral("number")},
         [](const Options &o) { return accounts(QStringLiteral("bill"), o); }},
        {QStringLiteral("receipt"),
         accountsOptions(QStringLiteral("receipt")),
         {},
         {QStringLiteral("number")},
         [](const Options &o) { return accounts(QStringLiteral("receipt"), o); }},
    };
    return list;
}

const Report *findReport(const QString &word)
{
    for (const Report &report : reports()) {
        if (report.word == word)
            return &report;
    }
    return nullptr;
}

QString reportWords()
{
    QStringList words;
    for (const Report &report : reports())
        words << report.word;
    return words.join(QStringLiteral(", "));
}

int notMade(const QString &reason)
{
    std::fprintf(stderr, "%s\n", qPrintable(reason));
    return NotMade;
}

// Reads the command line of one report into its options; a problem is
// returned as the text to show.
std::optional<QString> readOptions(const Report &report, const QStringList &arguments,
                                   Options &options)
{
    // Every option of every report is known to the parser, so that one of
    // another report is named as such rather than as unknown.
    QStringList known = commonOptions;
    for (const Report &any : reports()) {
        for (const QString &name : any.options) {
            if (!known.contains(name))
                known << name;
        }
    }
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    QList<QCommandLineOption> parserOptions;
    for (const QString &name : known)
        parserOptions << QCommandLineOption(name, QString(), QStringLiteral("value"));
    parser.addOptions(parserOptions);

    if (!parser.parse(QStringList{QStringLiteral("print")} + arguments)) {
        QString problem = parser.errorText();
        if (problem.startsWith(QStringLiteral("Missing value after")))
            problem = QStringLiteral("%1 needs a value.").arg(problem.section(u'\'', 1, 1));
        return problem;
    }
    if (!parser.positionalArguments().isEmpty())
        return QStringLiteral("%1 is not an option of %2; options are written --name VALUE.")
            .arg(parser.positionalArguments().first(), report.word);

    const QStringList allowed = report.options + commonOptions;
    for (const QString &name : parser.optionNames()) {
        if (!allowed.contains(name))
            return QStringLiteral("--%1 is not an option of %2.").arg(name, report.word);
    }
    for (const QString &name : allowed) {
        const QStringList values = parser.values(name);
        if (values.size() > 1)
            return QStringLiteral("--%1 is given more than once.").arg(name);
        if (values.size() == 1)
            options.insert(name, values.first());
    }
    if (options.contains(QStringLiteral("today")) && Clock::isSet())
        return QStringLiteral("--today is given more than once.");
    for (const QString &name : dateOptions) {
        if (options.contains(name) && !dates::parse(options.value(name)))
            return QStringLiteral("--%1 needs a date written DD/MM/YYYY; \"%2\" is not one.")
                .arg(name, options.value(name));
    }
    if (options.contains(QStringLiteral("number"))) {
        bool whole = false;
        const qint64 number = options.value(QStringLiteral("number")).trimmed().toLongLong(&whole);
        if (!whole || number <= 0)
            return QStringLiteral("--number needs a whole number above 0; \"%1\" is not one.")
                .arg(options.value(QStringLiteral("number")));
    }
    for (const QString &name : report.required) {
        if (!options.contains(name))
            return QStringLiteral("%1 needs --%2.").arg(report.word, name);
    }
    // A period that ends before it begins finds nothing: the command line is wrong.
    if (options.contains(QStringLiteral("from")) && report.options.contains(QStringLiteral("to"))) {
        const QDate from = *dates::parse(options.value(QStringLiteral("from")));
        const std::optional<QDate> to = options.contains(QStringLiteral("to"))
                                            ? dates::parse(options.value(QStringLiteral("to")))
                                            : std::nullopt;
        const QDate today = options.contains(QStringLiteral("today"))
                                ? *dates::parse(options.value(QStringLiteral("today")))
                                : Clock::today();
        if (to && *to < from)
            return QStringLiteral("--to %1 comes before --from %2.")
                .arg(dates::format(*to), dates::format(from));
        if (!to && today < from)
            return QStringLiteral("--from %1 comes after today, %2, where the period ends when "
                                  "--to is left out.")
                .arg(dates::format(from), dates::format(today));
    }
    if (!report.oneOf.isEmpty()) {
        int given = 0;
        for (const QString &name : report.oneOf)
            given += options.contains(name) ? 1 : 0;
        if (given != 1) {
            QStringList names;
            for (const QString &name : report.oneOf)
                names << QStringLiteral("--") + name;
            return QStringLiteral("The %1 report needs either %2.")
                .arg(report.word, names.join(QStringLiteral(" or ")));
        }
    }
    if (options.value(QStringLiteral("pdf")).isEmpty())
        return QStringLiteral("Name the PDF file to write with --pdf FILE.");
    return std::nullopt;
}

} // namespace

int runPrintCommand(const QStringList &commandLine)
{
    QStringList arguments = commandLine.mid(1);
    if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"))) {
        std::fputs(usage, stdout);
        return Written;
    }
    if (arguments.isEmpty())
        return wrongArguments(QStringLiteral("print"),
                              QStringLiteral("Which report? %1.").arg(reportWords()));

    const QString word = arguments.takeFirst();
    const Report *report = findReport(word);
    if (!report)
        return wrongArguments(QStringLiteral("print"),
                              QStringLiteral("There is no report called %1.").arg(word));

    Options options;
    if (const std::optional<QString> problem = readOptions(*report, arguments, options))
        return wrongArguments(QStringLiteral("print"), *problem);
    if (options.contains(QStringLiteral("today")))
        Clock::setToday(*dates::parse(options.value(QStringLiteral("today"))));

    try {
        SchemaCheck::openRegistered(diaryfolder::folder());
    } catch (const DataError &e) {
        Database::close();
        return notMade(e.description());
    }

    int status = NotMade;
    try {
        if (std::optional<PreparedReport> prepared = report->prepare(options)) {
            const report::ReportDocument document =
                report::layOut(prepared->layout, prepared->data);
            QString error;
            if (report::writePdf(document, options.value(QStringLiteral("pdf")), &error))
                status = Written;
            else
                notMade(error);
        }
    } catch (const DataError &e) {
        notMade(e.description());
    }
    Database::close();
    return status;
}

} // namespace lexordo
