#include "movecommand.h"

#include "commandoptions.h"

#include <cstdio>
#include <data/dataerror.h>
#include <data/datasource.h>
#include <data/servermove.h>
#include <optional>
#include <QHash>

namespace lexordo {

namespace {

const char *const moveUsage =
    "Usage:\n"
    "  lexordo move-to-server --from FILE\n"
    "      Copies the diary FILE (a database file such as advocate_v2.mdb)\n"
    "      into the PostgreSQL database that the data source \"advocate\"\n"
    "      names. That database must hold no rows: an empty database gets the\n"
    "      diary's tables first. Every table is copied in one transaction and\n"
    "      checked (rows of each table, the sum of each amount column) before\n"
    "      it is kept; when anything is wrong, nothing is kept on the server.\n"
    "      FILE is only read.\n"
    "\n"
    "Progress goes to standard error, the summary to standard output.\n"
    "Exit status:\n"
    "  0  the diary is on the server\n"
    "  1  nothing was moved: the file, a value in it or the server database is\n"
    "     not fit, or the server failed; the message on standard error says\n"
    "     which\n"
    "  2  wrong arguments; the message names the argument\n";

} // namespace

int runMoveToServerCommand(const QStringList &commandLine)
{
    const QString command = QStringLiteral("move-to-server");
    QString file;
    if (const std::optional<int> stop =
            readFromFile(commandLine, command, moveUsage,
                         QStringLiteral("Name the diary file with --from FILE."), file))
        return *stop;

    std::optional<ServerAddress> server;
    try {
        server = DataSource::registeredServer();
    } catch (const DataError &e) {
        return failedWith(e.description());
    }
    if (!server)
        return failedWith(
            QStringLiteral("The data source \"%1\" (%2) names no PostgreSQL database; a diary is "
                           "moved to the server it names. Nothing was moved.")
                .arg(DataSource::name, DataSource::catalogueFile()));
    try {
        const servermove::Outcome outcome =
            servermove::move(file, *server, [](qint64 copied, qint64 total) {
                std::fprintf(stderr, "Copied %lld of %lld rows.\n", qlonglong(copied),
                             qlonglong(total));
                std::fflush(stderr);
            });
        std::printf("Moved %lld %s of %d tables from %s to the %s.\n", qlonglong(outcome.rows),
                    outcome.rows == 1 ? "row" : "rows", outcome.tables, qPrintable(file),
                    qPrintable(server->describe()));
    } catch (const DataError &e) {
        return failedWith(e.description());
    }
    return 0;
}

} // namespace lexordo
