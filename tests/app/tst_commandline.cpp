#include "support/commandrunner.h"
#include "support/testdatabase.h"
#include "support/testserver.h"

#include <data/database.h>
#include <data/serveraddress.h>
#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace lexordo;

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void createsADatabaseFromTheSchema();
    void neverOverwritesAnExistingFile();
    void helpAndBadArguments();
    void sameFaultSameStatus_data();
    void sameFaultSameStatus();
    void oneRuleForEveryCommand_data();
    void oneRuleForEveryCommand();
    void createDatabaseWithoutANameNeedsAServerEntry();
    void aServerDiaryIsNamedNeverItsPassword();
    void aServerDiaryIsCreatedAndUsedThroughTheEntry();

private:
    static int run(const QStringList &arguments, QString *output = nullptr);
};

int TestCommandLine::run(const QStringList &arguments, QString *output)
{
    QProcess process;
    process.start(QStringLiteral(LEXORDO_BINARY), arguments);
    if (!process.waitForFinished(30000))
        return -1;
    if (output)
        *output = QString::fromLocal8Bit(process.readAllStandardOutput() +
                                         process.readAllStandardError());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

void TestCommandLine::createsADatabaseFromTheSchema()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("advocate_v2.mdb"));
    QCOMPARE(run({QStringLiteral("--create-database"), path}), 0);
    QVERIFY(QFile::exists(path));
    QVERIFY(!QFile::exists(path + QStringLiteral(".part")));

    Database::open(path);
    QSqlQuery query(QSqlDatabase::database(QStringLiteral("advocate")));
    QVERIFY(query.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'")));
    int tables = 0;
    while (query.next())
        tables += Database::isTextList(query.value(0).toString()) ? 0 : 1;
    QCOMPARE(tables, 13);
    Database::close();
}

void TestCommandLine::neverOverwritesAnExistingFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("advocate_v2.mdb"));
    QCOMPARE(run({QStringLiteral("--create-database"), path}), 0);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
    file.close();

    QString output;
    QVERIFY(run({QStringLiteral("--create-database"), path}, &output) != 0);
    QVERIFY2(output.contains(QStringLiteral("already exists")), qPrintable(output));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256), before);
}

void TestCommandLine::helpAndBadArguments()
{
    QString output;
    QCOMPARE(run({QStringLiteral("--help")}, &output), 0);
    QVERIFY(output.contains(QStringLiteral("--create-database")));
    for (const char *code :
         {"  0  done", "  1  a fault of the diary or of a file", "  2  wrong arguments"})
        QVERIFY2(output.contains(QLatin1String(code)), code);
    // The program names itself as it is typed.
    QVERIFY2(output.startsWith(QStringLiteral("Usage: lexordo ")), qPrintable(output));
    QVERIFY(run({QStringLiteral("--create-database")}) != 0);
    QVERIFY(run({QStringLiteral("--today"), QStringLiteral("31/02/2026"),
                 QStringLiteral("--help-not")}) != 0);
}

void TestCommandLine::sameFaultSameStatus_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("problem");
    QTest::newRow("today not a date")
        << QStringList{"--today", "31/02/2026", "print", "cause-list", "--pdf", "x.pdf"}
        << "--today needs a date written DD/MM/YYYY.";
    QTest::newRow("report date not a date")
        << QStringList{"print", "cause-list", "--date", "31/02/2026", "--pdf", "x.pdf"}
        << "--date needs a date written DD/MM/YYYY";
    QTest::newRow("today twice") << QStringList{"--today", "07/12/2026", "--today", "08/12/2026"}
                                 << "--today is given more than once.";
    QTest::newRow("unknown command") << QStringList{"prnt"} << "There is no command called prnt.";
    QTest::newRow("unknown option") << QStringList{"--todya", "07/12/2026"} << "Unknown option";
}

void TestCommandLine::sameFaultSameStatus()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, problem);
    QString output;
    QCOMPARE(run(arguments, &output), 2);
    QVERIFY2(output.contains(problem), qPrintable(output));
}

// Wrong arguments exit 2 with one line naming the argument; a fault of the
// diary or of a file exits 1 with one line naming the file.
void TestCommandLine::oneRuleForEveryCommand_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("diary"); // as it is while the command runs
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("named");

    const QStringList import = {"import", "csv", "courts", "--file", "{file}"};
    const QStringList diary = {"print", "diary",      "--from", "07/12/2026",
                               "--to",  "07/12/2026", "--pdf",  "{file}"};
    QTest::newRow("an option repeated without a value")
        << import + QStringList{"--replace", "--replace"} << "ok" << 2
        << "--replace is given more than once.";
    QTest::newRow("an unknown table to export")
        << QStringList{"export", "csv", "nosuch", "--file", "{file}"} << "ok" << 2
        << "There is no table called nosuch.";
    QTest::newRow("an unknown table to import")
        << QStringList{"import", "csv", "nosuch", "--file", "{file}"} << "ok" << 2
        << "There is no table called nosuch.";
    QTest::newRow("no name for a new database")
        << QStringList{"--create-database", ""} << "ok" << 2 << "--create-database needs";
    QTest::newRow("a period reversed to print")
        << QStringList{"print", "diary",      "--from", "08/12/2026",
                       "--to",  "07/12/2026", "--pdf",  "{file}"}
        << "ok" << 2 << "--to 07/12/2026 comes before --from 08/12/2026.";
    QTest::newRow("a period reversed to export")
        << QStringList{"export", "ics",        "--from", "08/12/2026",
                       "--to",   "07/12/2026", "--file", "{file}"}
        << "ok" << 2 << "--to 07/12/2026 comes before --from 08/12/2026.";
    QTest::newRow("a period that ends today before it begins")
        << QStringList{"--today", "07/12/2026", "print", "diary",
                       "--from",  "08/12/2026", "--pdf", "{file}"}
        << "ok" << 2 << "--from 08/12/2026 comes after today, 07/12/2026";
    QTest::newRow("a diary that is not there") << import << "missing" << 1 << "{diary}";
    QTest::newRow("a diary locked by another program to import")
        << import << "locked" << 1 << "{diary} is locked by another program";
    QTest::newRow("a diary locked by another program to print")
        << diary << "locked" << 1 << "{diary} is locked by another program";
    QTest::newRow("a file that cannot be read")
        << QStringList{"import", "csv", "courts", "--file", "{folder}/none.csv"} << "ok" << 1
        << "{folder}/none.csv could not be read";
}

void TestCommandLine::oneRuleForEveryCommand()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, diary);
    QFETCH(int, status);
    QFETCH(QString, named);

    test::TestDatabase db;
    QFile csv(db.folder() + QStringLiteral("/courts.csv"));
    QVERIFY(csv.open(QIODevice::WriteOnly));
    csv.write("court,indexx\nHigh Court,1\n");
    csv.close();
    const QString missing = db.folder() + QStringLiteral("/gone.mdb");
    test::CommandRunner runner(QStringLiteral(LEXORDO_BINARY),
                               diary == QStringLiteral("missing") ? missing : db.path());
    auto fill = [&](QString text) {
        return text.replace(QStringLiteral("{file}"), csv.fileName())
            .replace(QStringLiteral("{folder}"), db.folder())
            .replace(QStringLiteral("{diary}"),
                     diary == QStringLiteral("missing") ? missing : db.path());
    };
    for (QString &argument : arguments) {
        if (argument == QStringLiteral("{file}") && arguments.contains(QStringLiteral("print")))
            argument = db.folder() + QStringLiteral("/list.pdf");
        argument = fill(argument);
    }
    // Another program holds the diary's write lock (the command waits for it
    // as long as the program waits for a lock, then gives up).
    if (diary == QStringLiteral("locked"))
        db.exec(QStringLiteral("BEGIN IMMEDIATE"));
    const test::CommandRunner::Result result = runner.run(arguments);
    if (diary == QStringLiteral("locked"))
        db.exec(QStringLiteral("ROLLBACK"));

    QCOMPARE(result.status, status);
    QVERIFY2(result.err.contains(fill(named)), qPrintable(result.err));
    QCOMPARE(result.err.count(u'\n'), 1);
    QVERIFY(result.out.isEmpty());
    QCOMPARE(db.count(QStringLiteral("courts")), 0);
}

// --create-database alone makes the tables of the server database the entry
// names; with a file entry, or none, a file name is wanted.
void TestCommandLine::createDatabaseWithoutANameNeedsAServerEntry()
{
    test::TestDatabase db;
    test::CommandRunner runner(QStringLiteral(LEXORDO_BINARY), db.path());
    const QString wanted = QStringLiteral("--create-database needs the name of the file to make");
    for (const QString &catalogue :
         {QString(), db.folder() + QStringLiteral("/no-catalogue.ini")}) {
        const test::CommandRunner::Result result =
            catalogue.isEmpty()
                ? runner.run({QStringLiteral("--create-database")})
                : runner.run({QStringLiteral("--create-database"), QStringLiteral("--today"),
                              QStringLiteral("07/12/2026")},
                             catalogue);
        QCOMPARE(result.status, 2);
        QVERIFY2(result.err.contains(wanted), qPrintable(result.err));
    }
}

// Every command opens a server diary as the entry names it; one that cannot
// be reached exits 1 with one line naming the database and the server.
void TestCommandLine::aServerDiaryIsNamedNeverItsPassword()
{
    QTemporaryDir dir;
    const ServerAddress address{QStringLiteral("127.0.0.1"), QStringLiteral("1"),
                                QStringLiteral("office_diary"), QStringLiteral("clerk"),
                                QStringLiteral("Wh1sp3r-s3cret")};
    const QString catalogue = dir.filePath(QStringLiteral("odbc.ini"));
    QFile file(catalogue);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[advocate]\nDriver=PostgreSQL Unicode\nServername=127.0.0.1\nPort=1\n"
               "Database=office_diary\nUsername=clerk\nPassword=Wh1sp3r-s3cret\n");
    file.close();
    test::CommandRunner runner(QStringLiteral(LEXORDO_BINARY), QString());
    const QString out = dir.filePath(QStringLiteral("out"));
    for (const QStringList &arguments :
         {QStringList{"--create-database"}, QStringList{"export", "csv", "courts", "--file", out},
          QStringList{"print", "diary", "--from", "07/12/2026", "--to", "07/12/2026", "--pdf", out},
          QStringList{"backup", "--to", dir.path()}}) {
        const test::CommandRunner::Result result = runner.run(arguments, catalogue);
        QCOMPARE(result.status, 1);
        QVERIFY2(result.err.contains(address.describe()) &&
                     !(result.err + result.out).contains(address.password),
                 qPrintable(arguments.join(u' ') + QStringLiteral(": ") + result.err));
        QCOMPARE(result.err.count(u'\n'), 1);
    }
}

// The data source names an empty database on a real server: --create-database
// makes the diary's tables there, once only, and commands then work on it.
void TestCommandLine::aServerDiaryIsCreatedAndUsedThroughTheEntry()
{
    LEXORDO_REQUIRE_TEST_SERVER();
    const ServerAddress address = test::TestServer::shared().newDatabase();
    QTemporaryDir dir;
    const QString catalogue = dir.filePath(QStringLiteral("odbc.ini"));
    test::writeServerEntry(catalogue, address);
    test::CommandRunner runner(QStringLiteral(LEXORDO_BINARY), QString());

    const QString csv = dir.filePath(QStringLiteral("courts.csv"));
    QFile file(csv);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("court,indexx\nSessions Court No. 3,7\n");
    file.close();
    // Before its tables are made the database is no diary.
    test::CommandRunner::Result result =
        runner.run({"import", "csv", "courts", "--file", csv}, catalogue);
    QCOMPARE(result.status, 1);
    QVERIFY2(result.err.contains(address.describe()), qPrintable(result.err));

    result = runner.run({"--create-database"}, catalogue);
    QCOMPARE(result.status, 0);
    QVERIFY2(result.out.contains(address.describe()), qPrintable(result.out + result.err));
    result = runner.run({"--create-database"}, catalogue);
    QCOMPARE(result.status, 1);
    QVERIFY2(result.err.contains(QStringLiteral("already holds a diary")), qPrintable(result.err));

    result = runner.run({"import", "csv", "courts", "--file", csv}, catalogue);
    QCOMPARE(result.status, 0);
    const QString exported = dir.filePath(QStringLiteral("out.csv"));
    result = runner.run({"export", "csv", "courts", "--file", exported}, catalogue);
    QCOMPARE(result.status, 0);
    QFile out(exported);
    QVERIFY(out.open(QIODevice::ReadOnly));
    QVERIFY(out.readAll().contains("Sessions Court No. 3"));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
