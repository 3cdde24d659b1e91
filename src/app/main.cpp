#include "mainwindow.h"
#include "qtmessenger.h"
#include "splash.h"
#include "startup.h"

#include <data/clock.h>
#include <data/database.h>
#include <data/dataerror.h>
#include <data/dates.h>
#include <reports/printcommand.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QPointer>

#include <cstdio>

using namespace lexordo;

namespace {

const char *const usage =
    "Usage:\n"
    "  lexordo [--today DD/MM/YYYY]\n"
    "      Starts the case diary. --today sets the day the diary works on.\n"
    "  lexordo --create-database PATH\n"
    "      Writes a new, empty database to PATH. An existing file is never\n"
    "      overwritten.\n"
    "  lexordo print REPORT ... --pdf FILE\n"
    "      Writes a diary report to a PDF file without a display;\n"
    "      lexordo print --help tells more.\n";

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

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 1 && qstrcmp(argv[1], "print") == 0)
        return runPrintCommand(argc, argv);

    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"))) {
        std::fputs(usage, stdout);
        return 0;
    }
    if (const qsizetype at = arguments.indexOf(QStringLiteral("--create-database")); at > 0) {
        if (at + 1 >= arguments.size()) {
            std::fputs(usage, stderr);
            return 2;
        }
        QCoreApplication app(argc, argv);
        return createDatabase(arguments[at + 1]);
    }
    if (const qsizetype at = arguments.indexOf(QStringLiteral("--today")); at > 0) {
        const auto today = at + 1 < arguments.size() ? dates::parse(arguments[at + 1]) : std::nullopt;
        if (!today) {
            std::fputs("--today needs a date written DD/MM/YYYY.\n", stderr);
            return 2;
        }
        Clock::setToday(*today);
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lexordo"));
    QApplication::setApplicationDisplayName(QStringLiteral("Lexordo"));
    QApplication::setApplicationVersion(QStringLiteral("2.0"));

    QtMessenger screenMessenger;
    setMessenger(&screenMessenger);

    prepareDatabase(programFolder());

    QPointer<MainWindow> mainWindow;
    auto *splash = new Splash([&mainWindow] {
        mainWindow = new MainWindow;
        mainWindow->setAttribute(Qt::WA_DeleteOnClose);
        mainWindow->show();
    });
    splash->show();

    const int result = QApplication::exec();
    Database::close();
    return result;
}
