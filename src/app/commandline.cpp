#include "commandline.h"

#include "backupcommand.h"
#include "causelistcommand.h"
#include "commandoptions.h"
#include "movecommand.h"
#include "printcommand.h"
#include "transfercommands.h"

#include <cstdio>
#include <data/clock.h>
#include <data/database.h>
#include <data/dataerror.h>
#include <data/datasource.h>
#include <data/dates.h>
#include <data/schemacheck.h>
#include <functional>
#include <QCommandLineParser>
#include <QGuiApplication>

namespace lexordo {

namespace {

// The commands that run without a window. Each gets its own arguments (the
// command word first) and returns the exit status.
struct Command
{
    const char *word;
    const char *summary;
    std::function<int(const QStringList &)> run;
};

const std::vector<Command> &commands()
{
    static const std::vector<Command> list = {
        {"print", "Writes a report to a PDF file (lexordo print --help).", runPrintCommand},
        {"backup", "Copies the diary to FOLDER/advocate.mdb (lexordo backup --help).",
         runBackupCommand},
        {"restore", "Puts a backup in place of the diary (lexordo restore --help).",
         runRestoreCommand},
        {"export", "Writes a table to CSV, or hearings to iCalendar (lexordo export --help).",
         runExportCommand},
        {"import", "Adds the rows of a CSV file to a table (lexordo import --help).",
         runImportCommand},
        {"check-cause-list",
         "Checks the court's list of a day against the diary (lexordo check-cause-list --help).",
         runCheckCauseListCommand},
        {"move-to-server",
         "Copies a diary file to the server the data source names (lexordo move-to-server "
         "--help).",
         runMoveToServerCommand},
    };
    return list;
}

const Command *findCommand(const QString &word)
{
    for (const Command &command : commands()) {
        if (word == QLatin1String(command.word))
            return &command;
    }
    return nullptr;
}

QString description()
{
    QString text =
        QStringLiteral("The case diary of an advocate's office.\n\n"
                       "Without a command the windowed program starts. Commands run without a\n"
                       "display on the database of the data source \"advocate\":\n");
    for (const Command &command : commands())
        text += QStringLiteral("  %1  %2\n")
                    .arg(QLatin1String(command.word), -8)
                    .arg(QLatin1String(command.summary));
    text +=
        QStringLiteral("\nExit status, the same for every command:\n"
                       "  0  done\n"
                       "  1  a fault of the diary or of a file: it is missing, locked, read-only\n"
                       "     or not a diary, its server cannot be reached, or a file could not be\n"
                       "     read or written; the line on standard error names the file or the\n"
                       "     server's database\n"
                       "  2  wrong arguments: an unknown, repeated or missing option or value, a\n"
                       "     date that is not a date, a period that ends before it begins, an\n"
                       "     unknown table; the line on standard error names the argument\n"
                       "  3  check-cause-list only: the court lists a matter that is not in the\n"
                       "     diary for the day");
    return text;
}

// Only real trouble reaches standard error, which cron mails to the office;
// the platform's chatter about a missing desktop session does not.
void quietMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

int createDatabase(const QString &path)
{
    try {
        Database::createFile(path);
    } catch (const DataError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.description()));
        return 1;
    }
    std::printf("Created %s\n", qPrintable(path));
    return 0;
}

// Makes the diary's tables in the server database the data source names: the
// --create-database that names no file.
int createOnServer()
{
    const DataSource::Entry found = DataSource::entry();
    if (found.state == DataSource::Entry::State::Unusable)
        return failedWith(found.problem);
    if (!found.server)
        return wrongArguments(
            QString(), QStringLiteral("--create-database needs the name of the file to make: "
                                      "the data source \"%1\" in %2 names no server database.")
                           .arg(DataSource::name, DataSource::catalogueFile()));
    try {
        Database::createOnServer(*found.server);
    } catch (const DataError &e) {
        return failedWith(SchemaCheck::serverFault(*found.server, e.description()));
    }
    std::printf("Created the diary's tables in the %s.\n", qPrintable(found.server->describe()));
    return 0;
}

// Takes out a --create-database given without a value (the last word, or one
// followed by another option), which asks for the server database the data
// source names; QCommandLineParser knows no option whose value may be left out.
// Only the program's own options are looked at, not a command's.
bool takeCreateWithoutName(QStringList &arguments)
{
    const QString create = QStringLiteral("--create-database");
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &word = arguments.at(i);
        if (!word.startsWith(u'-'))
            return false; // the command word
        const bool last = i + 1 == arguments.size();
        if (word == create && (last || arguments.at(i + 1).startsWith(u'-'))) {
            arguments.removeAt(i);
            return true;
        }
        if (word == create || word == QLatin1String("--today"))
            ++i; // its value
    }
    return false;
}

} // namespace

std::optional<int> runCommandLine(int &argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const bool createOnServerNamed = takeCreateWithoutName(arguments);

    QCommandLineParser parser;
    parser.setApplicationDescription(description());
    // Everything after the command word belongs to the command.
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Shows this help."));
    const QCommandLineOption today(QStringLiteral("today"),
                                   QStringLiteral("Works as if DATE (DD/MM/YYYY) were today."),
                                   QStringLiteral("DATE"));
    const QCommandLineOption create(QStringLiteral("create-database"),
                                    QStringLiteral("Writes a new, empty database to PATH; an "
                                                   "existing file is never overwritten. Without "
                                                   "PATH, makes the diary's tables in the empty "
                                                   "server database the data source names."),
                                    QStringLiteral("PATH"));
    parser.addOptions({help, today, create});
    parser.addPositionalArgument(QStringLiteral("command"),
                                 QStringLiteral("A command to run without a window."),
                                 QStringLiteral("[command [options]]"));

    if (!parser.parse(arguments))
        return wrongArguments(QString(), parser.errorText());
    for (const QCommandLineOption &option : {today, create}) {
        if (parser.values(option).size() > 1)
            return wrongArguments(
                QString(),
                QStringLiteral("--%1 is given more than once.").arg(option.names().constLast()));
    }

    const QStringList positional = parser.positionalArguments();
    if (parser.isSet(help) && positional.isEmpty()) {
        // Without an application object yet, the parser knows no program name.
        std::printf("%s", qPrintable(parser.helpText().replace(QStringLiteral("<executable_name>"),
                                                               QStringLiteral("lexordo"))));
        return 0;
    }
    if (parser.isSet(today)) {
        const auto day = dates::parse(parser.value(today));
        if (!day)
            return wrongArguments(QString(),
                                  QStringLiteral("--today needs a date written DD/MM/YYYY."));
        Clock::setToday(*day);
    }
    if (createOnServerNamed) {
        if (parser.isSet(create))
            return wrongArguments(QString(),
                                  QStringLiteral("--create-database is given more than once."));
        if (!positional.isEmpty())
            return wrongArguments(QString(), QStringLiteral("--create-database takes no command."));
        QCoreApplication app(argc, argv);
        return createOnServer();
    }
    if (parser.isSet(create)) {
        if (!positional.isEmpty())
            return wrongArguments(QString(), QStringLiteral("--create-database takes no command."));
        if (parser.value(create).trimmed().isEmpty())
            return wrongArguments(QString(),
                                  QStringLiteral("--create-database needs the name of the file "
                                                 "to make."));
        QCoreApplication app(argc, argv);
        return createDatabase(parser.value(create));
    }
    if (positional.isEmpty())
        return std::nullopt;

    const Command *command = findCommand(positional.first());
    if (!command)
        return wrongArguments(
            QString(), QStringLiteral("There is no command called %1.").arg(positional.first()));

    // Commands lay out and write without ever showing a window.
    qInstallMessageHandler(quietMessages);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return command->run(positional);
}

} // namespace lexordo
