#include "support/testserver.h"

#include <csignal>
#include <cstdio>
#include <data/dataerror.h>
#include <data/pgconnection.h>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace lexordo;
using lexordo::test::TestServer;

namespace {

// Set in the environment of a copy of this program that starts the cluster
// and then ends as the variable says: "exits" or "is killed".
const char *const childVariable = "LEXORDO_TEST_SERVER_CHILD";

// A process that ended but was not yet reaped by its parent counts as gone.
bool processRuns(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = stat.readAll();
    const qsizetype end = text.lastIndexOf(')');
    const char state = end >= 0 && end + 2 < text.size() ? text.at(end + 2) : 'X';
    return state != 'Z' && state != 'X';
}

int startTheServerAndEnd(const QByteArray &ending)
{
    TestServer &server = TestServer::shared();
    if (!server.available()) {
        std::fprintf(stderr, "%s\n", qPrintable(server.unavailableReason()));
        return 2;
    }
    std::printf("%s\n%lld\n", qPrintable(server.folder()), server.serverProcess());
    std::fflush(stdout);
    if (ending == "is killed")
        std::raise(SIGKILL);
    return 0;
}

} // namespace

class TestTestServer : public QObject
{
    Q_OBJECT

private slots:
    void servesItsDatabasesOverTheSocketOnly();
    void eachNewDatabaseIsSeparateAndEmpty();
    void anOdbcClientReadsTheServerThroughTheEntry();
    void clusterIsGoneWhenTheProcessEnds_data();
    void clusterIsGoneWhenTheProcessEnds();
    // Last: a failure here leaves the cluster stopped.
    void serverGoesAwayAndComesBack();
};

void TestTestServer::servesItsDatabasesOverTheSocketOnly()
{
    LEXORDO_REQUIRE_TEST_SERVER();
    const ServerAddress address = TestServer::shared().newDatabase();
    PgConnection connection(address);
    QCOMPARE(connection.exec("SELECT current_database()").text(0, 0), address.database);
    QVERIFY(QFileInfo(address.host).isDir());

    ServerAddress overTcp = address;
    overTcp.host = QStringLiteral("127.0.0.1");
    QVERIFY_THROWS_EXCEPTION(DataError, PgConnection{overTcp});
}

void TestTestServer::eachNewDatabaseIsSeparateAndEmpty()
{
    LEXORDO_REQUIRE_TEST_SERVER();
    const ServerAddress first = TestServer::shared().newDatabase();
    const ServerAddress second = TestServer::shared().newDatabase();
    QVERIFY(first.database != second.database);

    PgConnection(first).execScript("CREATE TABLE courts (name text); "
                                   "INSERT INTO courts VALUES ('Sessions Court No. 3')");
    PgConnection other(second);
    QCOMPARE(other
                 .exec("SELECT count(*) FROM pg_class c JOIN pg_namespace n "
                       "ON n.oid = c.relnamespace WHERE n.nspname = 'public'")
                 .text(0, 0),
             QStringLiteral("0"));
    QCOMPARE(other
                 .exec("SELECT pg_encoding_to_char(encoding) FROM pg_database "
                       "WHERE datname = current_database()")
                 .text(0, 0),
             QStringLiteral("UTF8"));
}

void TestTestServer::anOdbcClientReadsTheServerThroughTheEntry()
{
    LEXORDO_REQUIRE_TEST_SERVER();
    const QString isql = QStandardPaths::findExecutable(QStringLiteral("isql"));
    if (isql.isEmpty()) {
        if (TestServer::shared().mustRun())
            QFAIL("unixODBC's isql is not installed");
        QSKIP("unixODBC's isql is not installed");
    }
    const ServerAddress address = TestServer::shared().newDatabase();
    PgConnection connection(address);
    connection.execScript("CREATE TABLE courts (name text, hearing_day integer)");
    connection.exec("INSERT INTO courts VALUES ($1, $2)", {"Sessions Court No. 3", "7"});

    QTemporaryDir folder;
    const QString catalogue = folder.filePath(QStringLiteral("odbc.ini"));
    test::writeServerEntry(catalogue, address);
    QProcess client;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ODBCINI"), catalogue);
    client.setProcessEnvironment(environment);
    client.start(isql, {QStringLiteral("-b"), QStringLiteral("advocate")});
    QVERIFY(client.waitForStarted());
    client.write("SELECT name, hearing_day FROM courts\n");
    client.closeWriteChannel();
    QVERIFY(client.waitForFinished(60000));
    const QString output = QString::fromUtf8(client.readAllStandardOutput());
    const QString errors = QString::fromUtf8(client.readAllStandardError());
    QVERIFY2(client.exitCode() == 0, qPrintable(output + errors));
    QVERIFY2(output.contains(QStringLiteral("Sessions Court No. 3")), qPrintable(output + errors));
}

void TestTestServer::clusterIsGoneWhenTheProcessEnds_data()
{
    QTest::addColumn<QString>("ending");
    QTest::newRow("the process exits") << QStringLiteral("exits");
    QTest::newRow("the process is killed") << QStringLiteral("is killed");
}

void TestTestServer::clusterIsGoneWhenTheProcessEnds()
{
    LEXORDO_REQUIRE_TEST_SERVER();
    QFETCH(QString, ending);
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(childVariable), ending);
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), QStringList());
    QVERIFY(child.waitForFinished(120000));
    const QStringList lines =
        QString::fromLocal8Bit(child.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    QVERIFY2(lines.size() == 2, child.readAllStandardError().constData());
    const QString folder = lines.at(0);
    const qint64 server = lines.at(1).toLongLong();
    QVERIFY(server > 0);

    if (ending == QStringLiteral("exits")) {
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QVERIFY(!QFileInfo::exists(folder));
        QVERIFY(!processRuns(server));
    } else {
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(folder), 30000);
        QTRY_VERIFY_WITH_TIMEOUT(!processRuns(server), 30000);
    }
}

void TestTestServer::serverGoesAwayAndComesBack()
{
    LEXORDO_REQUIRE_TEST_SERVER();
    TestServer &server = TestServer::shared();
    const ServerAddress address = server.newDatabase();
    PgConnection connection(address);
    connection.execScript("CREATE TABLE courts (name text); "
                          "INSERT INTO courts VALUES ('Sessions Court No. 3')");

    server.stop();
    QVERIFY_THROWS_EXCEPTION(DataError, connection.exec("SELECT 1"));
    QVERIFY_THROWS_EXCEPTION(DataError, PgConnection{address});

    server.start();
    connection.reconnect();
    QCOMPARE(connection.exec("SELECT name FROM courts").text(0, 0),
             QStringLiteral("Sessions Court No. 3"));
}

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const QByteArray ending = qgetenv(childVariable);
    if (!ending.isEmpty())
        return startTheServerAndEnd(ending);
    TestTestServer test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_testserver.moc"
