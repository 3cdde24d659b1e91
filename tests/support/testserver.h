#pragma once

#include <data/serveraddress.h>
#include <QString>
#include <QStringList>

namespace lexordo::test {

// A throwaway PostgreSQL cluster for the tests of one process: made in a
// temporary folder on first use, reached through a Unix socket in that folder
// only (no TCP port), trusted without passwords, and stopped and removed when
// the process ends, however it ends.
class TestServer
{
public:
    // The process's cluster, started on first use.
    static TestServer &shared();
    ~TestServer();
    TestServer(const TestServer &) = delete;
    TestServer &operator=(const TestServer &) = delete;

    // False when PostgreSQL is not installed or the cluster could not start;
    // unavailableReason() says which.
    bool available() const { return m_ready; }
    QString unavailableReason() const { return m_reason; }
    // True when the cluster could not be started although PostgreSQL is
    // installed, or when CI=true: the tests fail then instead of skipping.
    bool mustRun() const;

    // A fresh, empty database of a name of its own. Throws DataError.
    ServerAddress newDatabase();
    ServerAddress address(const QString &database) const;

    // The server goes away (its clients are cut off) and comes back with its
    // databases. Throw DataError when pg_ctl fails.
    void stop();
    void start();

    // The cluster's folder, which is also the folder of its socket.
    QString folder() const { return m_folder; }
    QString port() const { return m_port; }
    // The postmaster's process, 0 when it is not running.
    qint64 serverProcess() const;

private:
    TestServer();
    void setUp();
    void startReaper();
    // A PostgreSQL tool's command line, run as the cluster's owner.
    QStringList toolCommand(const QString &tool, const QStringList &arguments) const;
    // Runs the tool and waits for it; false with its output as `failure`.
    bool runTool(const QString &tool, const QStringList &arguments, QString *failure = nullptr);

    QString m_bin;
    QString m_folder;
    QString m_port;
    QString m_reason;
    QString m_runuser; // set when run as root
    bool m_installed = false;
    bool m_ready = false;
    bool m_running = false;
    qint64 m_owner = 0; // the process that made the cluster
    int m_reaperPipe = -1;
    int m_databases = 0;
};

// Writes an ODBC catalogue at `odbcIniPath` whose data source "advocate" names
// the server database at `address` through Debian's PostgreSQL driver.
void writeServerEntry(const QString &odbcIniPath, const ServerAddress &address);

} // namespace lexordo::test

// The first lines of a test that needs the cluster: skips when PostgreSQL is
// not installed on a developer's machine, fails in CI or when it is installed
// but will not start.
#define LEXORDO_REQUIRE_TEST_SERVER()                                                              \
    do {                                                                                           \
        auto &testServer_ = ::lexordo::test::TestServer::shared();                                 \
        if (!testServer_.available()) {                                                            \
            if (testServer_.mustRun())                                                             \
                QFAIL(qPrintable(testServer_.unavailableReason()));                                \
            QSKIP(qPrintable(testServer_.unavailableReason()));                                    \
        }                                                                                          \
    } while (false)
