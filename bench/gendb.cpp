// lexordo-gendb PATH [--hearings N] [--due-today N] [--today DD/MM/YYYY]
// Writes a realistic database for trying out and measuring Lexordo.

#include "generator.h"

#include <cstdio>
#include <data/dataerror.h>
#include <data/dates.h>
#include <QCoreApplication>
#include <QElapsedTimer>

using namespace lexordo;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 2 || args.contains(QStringLiteral("--help"))) {
        std::fputs("Usage: lexordo-gendb PATH [--hearings N] [--due-today N] "
                   "[--today DD/MM/YYYY] [--years N]\n",
                   stderr);
        return args.contains(QStringLiteral("--help")) ? 0 : 2;
    }
    bench::GeneratorOptions options;
    for (int i = 2; i + 1 < args.size(); i += 2) {
        const QString &option = args[i];
        const QString &value = args[i + 1];
        if (option == QStringLiteral("--hearings")) {
            options.hearings = value.toInt();
        } else if (option == QStringLiteral("--due-today")) {
            options.dueToday = value.toInt();
        } else if (option == QStringLiteral("--years")) {
            options.years = std::max(1, value.toInt());
        } else if (option == QStringLiteral("--today")) {
            const auto today = dates::parse(value);
            if (!today) {
                std::fputs("--today needs a date written DD/MM/YYYY.\n", stderr);
                return 2;
            }
            options.today = *today;
        } else {
            std::fprintf(stderr, "Unknown option %s\n", qPrintable(option));
            return 2;
        }
    }
    QElapsedTimer timer;
    timer.start();
    try {
        const bench::GeneratorStats stats = bench::generateDatabase(args[1], options);
        std::printf("%s: %d hearings (%d due on %s), %d holidays, %d clients, %d ledger rows "
                    "in %lld ms\n",
                    qPrintable(args[1]), stats.hearings, stats.dueToday,
                    qPrintable(dates::format(options.today)), stats.holidays, stats.clients,
                    stats.ledgerRows, timer.elapsed());
    } catch (const DataError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.description()));
        return 1;
    }
    return 0;
}
