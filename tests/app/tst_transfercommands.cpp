#include "support/commandrunner.h"
#include "support/testserver.h"

#include <csignal>
#include <data/database.h>
#include <data/datasource.h>
#include <data/pgconnection.h>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <sys/resource.h>
#include <unistd.h>

using namespace lexordo;

namespace {

// True once the data source reads an entry that names a server database.
template <typename Source> constexpr bool readsServerEntries()
{
    return requires
    {
        Source::registeredServer();
    };
}

} // namespace

// The export and import command words, run as the office runs them: the
// program on the database that the data source "advocate" names.
class TestTransferCommands : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void exportAndImportCsv();
    void aBadRowIsListedAndNothingStored();
    void aTableIsNotReplacedWithNothing();
    void manyWrongRowsAreCountedNotAllPrinted();
    void exportIcs();
    void wrongArguments();
    void theDiaryIsNeverWritten_data();
    void theDiaryIsNeverWritten();
    void aFailedExportLeavesTheOldFile();
    void moveToServer();

private:
    int run(const QStringList &arguments, QString *out = nullptr, QString *err = nullptr) const;
    int count(const QString &table) const;
    QString path(const QString &name) const { return m_dir->filePath(name); }
    void writeFile(const QString &name, const QByteArray &bytes) const;
    QStringList filesBesideTheDiary() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_database;
    std::unique_ptr<test::CommandRunner> m_runner;
};

void TestTransferCommands::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_database = path(QStringLiteral("office.mdb"));
    Database::createFile(m_database);
    m_runner = std::make_unique<test::CommandRunner>(QStringLiteral(LEXORDO_BINARY), m_database);
}

void TestTransferCommands::cleanup()
{
    Database::close();
    m_runner.reset();
    m_dir.reset();
}

int TestTransferCommands::run(const QStringList &arguments, QString *out, QString *err) const
{
    const test::CommandRunner::Result result = m_runner->run(arguments);
    if (out)
        *out = result.out;
    if (err)
        *err = result.err;
    return result.status;
}

int TestTransferCommands::count(const QString &table) const
{
    Database::open(m_database);
    QSqlQuery query(QSqlDatabase::database(QStringLiteral("advocate")));
    int rows = -1;
    if (query.exec(QStringLiteral("SELECT count(*) FROM \"%1\"").arg(table)) && query.next())
        rows = query.value(0).toInt();
    query.finish();
    Database::close();
    return rows;
}

// The folder's files other than those SQLite keeps: a temporary file left
// behind would be among them.
QStringList TestTransferCommands::filesBesideTheDiary() const
{
    QStringList names = QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden);
    for (const char *own : {"office.mdb", "office.mdb-wal", "office.mdb-shm"})
        names.removeAll(QLatin1String(own));
    return names;
}

void TestTransferCommands::writeFile(const QString &name, const QByteArray &bytes) const
{
    QFile file(path(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

void TestTransferCommands::exportAndImportCsv()
{
    writeFile(QStringLiteral("courts.csv"),
              QStringLiteral("court,indexx\r\n\"D'Souza, J.\",1\r\nज़िला न्यायालय,2\r\n").toUtf8());
    QString out;
    QString err;
    QCOMPARE(run({QStringLiteral("import"), QStringLiteral("csv"), QStringLiteral("COURTS"),
                  QStringLiteral("--file"), path(QStringLiteral("courts.csv"))},
                 &out, &err),
             0);
    QCOMPARE(out, QStringLiteral("Imported 2 rows into courts.\n"));
    QCOMPARE(count(QStringLiteral("courts")), 2);

    QCOMPARE(run({QStringLiteral("export"), QStringLiteral("csv"), QStringLiteral("courts"),
                  QStringLiteral("--file=") + path(QStringLiteral("out.csv"))},
                 &out, &err),
             0);
    QCOMPARE(
        out,
        QStringLiteral("Wrote 2 rows of courts to %1.\n").arg(path(QStringLiteral("out.csv"))));
    QFile written(path(QStringLiteral("out.csv")));
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(written.readAll()),
             QStringLiteral("court,indexx\r\n\"D'Souza, J.\",1\r\nज़िला न्यायालय,2\r\n"));

    // --replace puts the file's rows in place of the table's.
    QCOMPARE(run({QStringLiteral("import"), QStringLiteral("csv"), QStringLiteral("courts"),
                  QStringLiteral("--file"), path(QStringLiteral("out.csv")),
                  QStringLiteral("--replace")}),
             0);
    QCOMPARE(count(QStringLiteral("courts")), 2);
}

void TestTransferCommands::aBadRowIsListedAndNothingStored()
{
    writeFile(QStringLiteral("holidays.csv"),
              QByteArrayLiteral("Date,Holiday\n26/01/2027,Republic Day\n30/02/2027,No such day\n"));
    QString out;
    QString err;
    QCOMPARE(run({QStringLiteral("import"), QStringLiteral("csv"), QStringLiteral("holidays"),
                  QStringLiteral("--file"), path(QStringLiteral("holidays.csv"))},
                 &out, &err),
             1);
    QCOMPARE(err, QStringLiteral("Nothing was imported into Holidays: 1 row is wrong.\n"
                                 "Line 3: \"30/02/2027\" is not a valid date for Dated (Date).\n"));
    QVERIFY(out.isEmpty());
    QCOMPARE(count(QStringLiteral("Holidays")), 0);

    QCOMPARE(run({QStringLiteral("export"), QStringLiteral("csv"), QStringLiteral("nosuch"),
                  QStringLiteral("--file"), path(QStringLiteral("x.csv"))},
                 &out, &err),
             2);
    QVERIFY2(err.startsWith(QStringLiteral("There is no table called nosuch.")), qPrintable(err));
    QVERIFY(!QFile::exists(path(QStringLiteral("x.csv"))));
}

void TestTransferCommands::aTableIsNotReplacedWithNothing()
{
    writeFile(QStringLiteral("courts.csv"), QByteArrayLiteral("court,indexx\nHigh Court,1\n"));
    QCOMPARE(run({QStringLiteral("import"), QStringLiteral("csv"), QStringLiteral("courts"),
                  QStringLiteral("--file"), path(QStringLiteral("courts.csv"))}),
             0);
    writeFile(QStringLiteral("empty.csv"), QByteArrayLiteral("court,indexx\n"));
    QString err;
    QCOMPARE(run({QStringLiteral("import"), QStringLiteral("csv"), QStringLiteral("courts"),
                  QStringLiteral("--file"), path(QStringLiteral("empty.csv")),
                  QStringLiteral("--replace")},
                 nullptr, &err),
             1);
    QVERIFY2(err.contains(QStringLiteral("holds no rows")), qPrintable(err));
    QCOMPARE(count(QStringLiteral("courts")), 1);
}

void TestTransferCommands::manyWrongRowsAreCountedNotAllPrinted()
{
    QByteArray bytes = "Date,Holiday\n";
    for (int i = 0; i < 100000; ++i)
        bytes += "31/02/2027,No such day\n";
    writeFile(QStringLiteral("holidays.csv"), bytes);
    QString err;
    QCOMPARE(run({QStringLiteral("import"), QStringLiteral("csv"), QStringLiteral("holidays"),
                  QStringLiteral("--file"), path(QStringLiteral("holidays.csv"))},
                 nullptr, &err),
             1);
    const QStringList lines = err.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 22);
    QCOMPARE(lines[20],
             QStringLiteral("Line 21: \"31/02/2027\" is not a valid date for Dated (Date)."));
    QCOMPARE(lines.last(), QStringLiteral("... and 99980 more wrong lines."));
    QCOMPARE(count(QStringLiteral("Holidays")), 0);
}

void TestTransferCommands::exportIcs()
{
    Database::open(m_database);
    Database::exec(QStringLiteral(
        "INSERT INTO advocate VALUES ('2027-01-04', NULL, NULL, 'State', 'रामलाल', 'Cr. 1/2027', "
        "'District Court', 1, 'hearing', '2027-01-18', 'evidence')"));
    Database::close();
    QString out;
    QCOMPARE(
        run({QStringLiteral("export"), QStringLiteral("ics"), QStringLiteral("--from"),
             QStringLiteral("01/01/2027"), QStringLiteral("--to"), QStringLiteral("31/01/2027"),
             QStringLiteral("--file"), path(QStringLiteral("h.ics"))},
            &out),
        0);
    QCOMPARE(out, QStringLiteral("Wrote 2 hearings to %1.\n").arg(path(QStringLiteral("h.ics"))));
    QFile calendar(path(QStringLiteral("h.ics")));
    QVERIFY(calendar.open(QIODevice::ReadOnly));
    const QByteArray text = calendar.readAll();
    QCOMPARE(text.count("BEGIN:VEVENT"), 2);
    QVERIFY(text.contains("DTSTART;VALUE=DATE:20270118"));
}

void TestTransferCommands::wrongArguments()
{
    const QString file = path(QStringLiteral("x"));
    const QList<QStringList> wrong = {
        {QStringLiteral("export")},
        {QStringLiteral("export"), QStringLiteral("xml"), QStringLiteral("courts"),
         QStringLiteral("--file"), file},
        {QStringLiteral("export"), QStringLiteral("csv"), QStringLiteral("--file"), file},
        {QStringLiteral("export"), QStringLiteral("csv"), QStringLiteral("courts")},
        {QStringLiteral("export"), QStringLiteral("csv"), QStringLiteral("courts"),
         QStringLiteral("--file")},
        {QStringLiteral("export"), QStringLiteral("csv"), QStringLiteral("courts"),
         QStringLiteral("--from"), QStringLiteral("01/01/2027"), QStringLiteral("--file"), file},
        {QStringLiteral("export"), QStringLiteral("ics"), QStringLiteral("--from"),
         QStringLiteral("31/02/2027"), QStringLiteral("--to"), QStringLiteral("01/03/2027"),
         QStringLiteral("--file"), file},
        {QStringLiteral("export"), QStringLiteral("ics"), QStringLiteral("--from"),
         QStringLiteral("02/03/2027"), QStringLiteral("--to"), QStringLiteral("01/03/2027"),
         QStringLiteral("--file"), file},
        {QStringLiteral("import"), QStringLiteral("ics"), QStringLiteral("--file"), file},
        {QStringLiteral("import"), QStringLiteral("csv"), QStringLiteral("courts"),
         QStringLiteral("--file"), file, QStringLiteral("--file"), file},
        {QStringLiteral("export"), QStringLiteral("csv"), QStringLiteral("courts"),
         QStringLiteral("--replace"), QStringLiteral("--file"), file},
        {QStringLiteral("move-to-server")},
        {QStringLiteral("move-to-server"), QStringLiteral("--from")},
        {QStringLiteral("move-to-server"), QStringLiteral("--file"), file},
    };
    for (const QStringList &arguments : wrong) {
        QString err;
        QCOMPARE(run(arguments, nullptr, &err), 2);
        QVERIFY2(err.contains(QStringLiteral("--help tells how to use it")),
                 qPrintable(arguments.join(u' ')));
    }
    QVERIFY(!QFile::exists(file));

    QString out;
    QCOMPARE(run({QStringLiteral("import"), QStringLiteral("--help")}, &out), 0);
    QVERIFY(out.contains(QStringLiteral("lexordo import csv TABLE --file FILE")));
    QCOMPARE(run({QStringLiteral("--help")}, &out), 0);
    QVERIFY(out.contains(QStringLiteral("export")) && out.contains(QStringLiteral("import")));
}

void TestTransferCommands::theDiaryIsNeverWritten_data()
{
    QTest::addColumn<QStringList>("command");
    QTest::addColumn<QString>("target");
    const QStringList csv = {QStringLiteral("export"), QStringLiteral("csv"),
                             QStringLiteral("courts")};
    const QStringList ics = {QStringLiteral("export"), QStringLiteral("ics"),
                             QStringLiteral("--from"), QStringLiteral("01/01/2027"),
                             QStringLiteral("--to"),   QStringLiteral("31/01/2027")};
    for (const auto &[kind, command] : {std::pair{"csv", csv}, std::pair{"ics", ics}}) {
        QTest::addRow("%s: the diary", kind) << command << "office.mdb";
        QTest::addRow("%s: a symbolic link", kind) << command << "link.mdb";
        QTest::addRow("%s: a path through ../", kind) << command << "sub/../office.mdb";
        QTest::addRow("%s: a hard link", kind) << command << "hard.mdb";
        QTest::addRow("%s: the write-ahead journal", kind) << command << "office.mdb-wal";
    }
}

void TestTransferCommands::theDiaryIsNeverWritten()
{
    QFETCH(QStringList, command);
    QFETCH(QString, target);
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("sub")));
    QVERIFY(QFile::link(m_database, path(QStringLiteral("link.mdb"))));
    QCOMPARE(::link(QFile::encodeName(m_database).constData(),
                    QFile::encodeName(path(QStringLiteral("hard.mdb"))).constData()),
             0);

    // Another program has committed a hearing that is still in the journal.
    Database::open(m_database);
    Database::exec(QStringLiteral(
        "INSERT INTO advocate (cdate, Party1, caseno) VALUES ('2027-01-04', 'Kept', 'C 1')"));
    QVERIFY(QFileInfo(m_database + QStringLiteral("-wal")).size() > 0);
    const QStringList files = filesBesideTheDiary();

    QString out;
    QString err;
    const QString file = path(target);
    QCOMPARE(run(command + QStringList{QStringLiteral("--file"), file}, &out, &err), 1);
    QCOMPARE(err, QStringLiteral("%1 is the open diary or one of the files kept beside it; "
                                 "nothing was written.\n")
                      .arg(file));
    QVERIFY(out.isEmpty());
    // Nothing was written: no file beside the diary, none of its files
    // replaced (SQLite itself may have moved the journal into the diary).
    QCOMPARE(filesBesideTheDiary(), files);
    for (const QString &name : {m_database, m_database + QStringLiteral("-wal")}) {
        QFile written(name);
        if (written.open(QIODevice::ReadOnly)) {
            const QByteArray start = written.read(16);
            QVERIFY(!start.startsWith("court") && !start.startsWith("BEGIN:VCALENDAR"));
        }
    }
    Database::close();
    QCOMPARE(count(QStringLiteral("advocate")), 1);
    Database::open(m_database);
    QSqlQuery check(QStringLiteral("PRAGMA integrity_check"),
                    QSqlDatabase::database(QStringLiteral("advocate")));
    QVERIFY(check.next());
    QCOMPARE(check.value(0).toString(), QStringLiteral("ok"));
    check.finish();
    Database::close();
}

void TestTransferCommands::aFailedExportLeavesTheOldFile()
{
    Database::open(m_database);
    Database::exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM "
                                  "n WHERE i < 3000) INSERT INTO courts (court, indexx) SELECT "
                                  "'Court number ' || i, i FROM n"));
    Database::close();
    writeFile(QStringLiteral("courts.csv"), "yesterday's rows");
    const QStringList files = filesBesideTheDiary();

    // The disk fills up after 40 KB (more than SQLite's shared memory file
    // takes); the CSV of 3000 courts is longer.
    const QString file = path(QStringLiteral("courts.csv"));
    const test::CommandRunner::Result result =
        m_runner->run({QStringLiteral("export"), QStringLiteral("csv"), QStringLiteral("courts"),
                       QStringLiteral("--file"), file},
                      [] {
                          ::signal(SIGXFSZ, SIG_IGN);
                          const struct rlimit limit = {40960, 40960};
                          ::setrlimit(RLIMIT_FSIZE, &limit);
                      });
    QCOMPARE(result.status, 1);
    QVERIFY2(result.err.startsWith(file + QStringLiteral(" could not be written: ")),
             qPrintable(result.err));
    QFile old(file);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("yesterday's rows"));
    QCOMPARE(filesBesideTheDiary(), files);
}

void TestTransferCommands::moveToServer()
{
    LEXORDO_REQUIRE_TEST_SERVER();
    if constexpr (!readsServerEntries<DataSource>())
        QSKIP("The data source does not read server entries yet.");
    Database::open(m_database);
    Database::exec(QStringLiteral("INSERT INTO advocate (caseno, Party1) VALUES ('OS 1', 'Ram')"));
    Database::close();
    const ServerAddress address = test::TestServer::shared().newDatabase();
    const QString catalogue = path(QStringLiteral("odbc.ini"));
    test::writeServerEntry(catalogue, address);
    const QStringList arguments = {QStringLiteral("move-to-server"), QStringLiteral("--from"),
                                   m_database};

    test::CommandRunner::Result result = m_runner->run(arguments, catalogue);
    QVERIFY2(result.status == 0, qPrintable(result.err));
    QVERIFY2(result.err.contains(QStringLiteral("Copied 2 of 2 rows.")), qPrintable(result.err));
    QVERIFY2(result.out.contains(address.describe()), qPrintable(result.out));
    PgConnection connection(address);
    QCOMPARE(connection.exec("SELECT party1 FROM advocate").text(0, 0), QStringLiteral("Ram"));

    // Once there, the diary is not moved again over itself.
    result = m_runner->run(arguments, catalogue);
    QCOMPARE(result.status, 1);
    QVERIFY2(result.err.contains(QStringLiteral("advocate")), qPrintable(result.err));
    QCOMPARE(connection.exec("SELECT count(*) FROM advocate").text(0, 0), QStringLiteral("1"));
}

QTEST_GUILESS_MAIN(TestTransferCommands)
#include "tst_transfercommands.moc"
