#include "support/scriptedmessenger.h"
#include "support/testdatabase.h"

#include <data/database.h>
#include <data/dataerror.h>
#include <data/datasource.h>
#include <data/messenger.h>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace lexordo;

// Each case gets its own catalogue (ODBCINI) and its own program folder.
class TestDataSource : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void firstStartWithTheFileRegistersIt();
    void firstStartWithoutTheFileReportsIt();
    void existingEntryIsLeftAsItIs();
    void entryWrittenWithDbqCounts();
    void entryThatNamesNoDiaryIsReportedNotReplaced_data();
    void entryThatNamesNoDiaryIsReportedNotReplaced();
    void aCommandRegistersAMissingEntryAndSaysSo();
    void secondStartChangesNothing();
    void anyOdbcClientReachesTheDiary();
    void aServerEntryIsRead_data();
    void aServerEntryIsRead();
    void aServerEntryWithoutItsServerOrDatabaseIsUnusable_data();
    void aServerEntryWithoutItsServerOrDatabaseIsUnusable();
    void aServerEntryIsWrittenAndReadBack();

private:
    QString readCatalogue() const;
    void writeCatalogue(const QByteArray &text) const;

    std::unique_ptr<QTemporaryDir> m_catalogueDir;
    std::unique_ptr<QTemporaryDir> m_programDir;
    QString m_catalogue;
};

void TestDataSource::init()
{
    m_catalogueDir = std::make_unique<QTemporaryDir>();
    m_programDir = std::make_unique<QTemporaryDir>();
    m_catalogue = m_catalogueDir->filePath(QStringLiteral("odbc.ini"));
    qputenv("ODBCINI", m_catalogue.toLocal8Bit());
}

void TestDataSource::cleanup()
{
    qunsetenv("ODBCINI");
}

QString TestDataSource::readCatalogue() const
{
    QFile file(m_catalogue);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromLocal8Bit(file.readAll());
}

void TestDataSource::writeCatalogue(const QByteArray &text) const
{
    QFile file(m_catalogue);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

void TestDataSource::firstStartWithTheFileRegistersIt()
{
    const QString database = DataSource::defaultDatabase(m_programDir->path());
    QCOMPARE(database, m_programDir->path() + QStringLiteral("/advocate_v2.mdb"));
    Database::createFile(database);

    ScriptedMessenger messages;
    QCOMPARE(DataSource::ensureRegistered(m_programDir->path()), DataSource::Outcome::Registered);
    QVERIFY(messages.shown().isEmpty());
    QCOMPARE(DataSource::registeredDatabase().value_or(QString()), database);
    QCOMPARE(DataSource::databasePath(m_programDir->path()), database);
    const QString catalogue = readCatalogue();
    QVERIFY2(catalogue.contains(QStringLiteral("[advocate]")), qPrintable(catalogue));
    QVERIFY2(catalogue.contains(QStringLiteral("SQLite3")), qPrintable(catalogue));
}

void TestDataSource::firstStartWithoutTheFileReportsIt()
{
    ScriptedMessenger messages;
    QCOMPARE(DataSource::ensureRegistered(m_programDir->path()), DataSource::Outcome::FileMissing);
    QCOMPARE(messages.texts(), QStringList{"Database file doesn't exist!"});
    QCOMPARE(messages.shown().first().icon, Messenger::Icon::Critical);
    QCOMPARE(messages.shown().first().buttons, Messenger::Buttons::Ok);
    QVERIFY(!DataSource::registeredDatabase());
    QVERIFY(!readCatalogue().contains(QStringLiteral("advocate")));
}

void TestDataSource::existingEntryIsLeftAsItIs()
{
    const QString elsewhere = m_catalogueDir->filePath(QStringLiteral("office.mdb"));
    QVERIFY(DataSource::writeEntry(elsewhere)); // names a file that does not even exist
    Database::createFile(DataSource::defaultDatabase(m_programDir->path()));
    const QString before = readCatalogue();

    ScriptedMessenger messages;
    QCOMPARE(DataSource::ensureRegistered(m_programDir->path()),
             DataSource::Outcome::AlreadyRegistered);
    QVERIFY(messages.shown().isEmpty());
    QCOMPARE(readCatalogue(), before);
    QCOMPARE(DataSource::databasePath(m_programDir->path()), elsewhere);
}

void TestDataSource::entryWrittenWithDbqCounts()
{
    QFile file(m_catalogue);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[advocate]\nDriver=SQLite3\nDBQ=/srv/diary/advocate_v2.mdb\n");
    file.close();

    ScriptedMessenger messages;
    QCOMPARE(DataSource::ensureRegistered(m_programDir->path()),
             DataSource::Outcome::AlreadyRegistered);
    QVERIFY(messages.shown().isEmpty());
    QCOMPARE(DataSource::databasePath(m_programDir->path()),
             QStringLiteral("/srv/diary/advocate_v2.mdb"));
}

void TestDataSource::entryThatNamesNoDiaryIsReportedNotReplaced_data()
{
    QTest::addColumn<QByteArray>("catalogue");
    QTest::addColumn<QString>("fault");
    QTest::newRow("emptyDatabase")
        << QByteArray("[advocate]\nDriver=SQLite3\nDatabase=\n") << "has an empty Database=";
    QTest::newRow("noDatabaseKey")
        << QByteArray("[Advocate]\nDriver=SQLite3\n") << "has no Database= line";
    QTest::newRow("relativePath") << QByteArray("[advocate]\nDatabase=diary.mdb\n")
                                  << "names \"diary.mdb\" as its database, which is not";
    QTest::newRow("controlCharacters")
        << QByteArray("[advocate]\nDatabase=/srv/\x01\x02.mdb\n") << "which is not the full path";
    QTest::newRow("notACatalogue")
        << QByteArray("\x7f\x45LF garbage\n[advocate\nDatabase=/x\n") << "cannot be read";
}

void TestDataSource::entryThatNamesNoDiaryIsReportedNotReplaced()
{
    QFETCH(QByteArray, catalogue);
    QFETCH(QString, fault);
    writeCatalogue(catalogue);
    const QString beside = DataSource::defaultDatabase(m_programDir->path());
    Database::createFile(beside); // the diary that must not stand in for it

    QCOMPARE(DataSource::entry().state, DataSource::Entry::State::Unusable);
    const QString problem = DataSource::entry().problem;
    QVERIFY2(problem.contains(m_catalogue) && problem.contains(QStringLiteral("\"advocate\"")) &&
                 problem.contains(fault),
             qPrintable(problem));

    ScriptedMessenger messages;
    QCOMPARE(DataSource::ensureRegistered(m_programDir->path()), DataSource::Outcome::Unusable);
    QCOMPARE(messages.texts(), QStringList{problem});
    QCOMPARE(messages.shown().first().icon, Messenger::Icon::Critical);
    QVERIFY(!DataSource::registeredDatabase());
    QVERIFY_THROWS_EXCEPTION(DataError, DataSource::databasePath(m_programDir->path()));
    QVERIFY_THROWS_EXCEPTION(DataError, DataSource::commandDatabase(m_programDir->path()));
    QCOMPARE(readCatalogue().toLocal8Bit(), catalogue);
}

// With no entry at all a command registers the diary beside the program, as
// the first start does, and says so; with no diary there it stops.
void TestDataSource::aCommandRegistersAMissingEntryAndSaysSo()
{
    writeCatalogue("[other]\nDriver=SQLite3\nDatabase=/srv/other.mdb\n");
    const QString beside = DataSource::defaultDatabase(m_programDir->path());
    ScriptedMessenger messages;
    try {
        DataSource::commandDatabase(m_programDir->path());
        QFAIL("a missing entry and a missing file were taken");
    } catch (const DataError &e) {
        QVERIFY2(e.description().contains(m_catalogue) && e.description().contains(beside),
                 qPrintable(e.description()));
    }
    QCOMPARE(DataSource::entry().state, DataSource::Entry::State::Missing);

    Database::createFile(beside);
    QCOMPARE(DataSource::commandDatabase(m_programDir->path()), beside);
    QCOMPARE(messages.texts(), QStringList{DataSource::registeredMessage(beside)});
    QVERIFY(messages.texts().first().contains(beside));
    QCOMPARE(DataSource::registeredDatabase().value_or(QString()), beside);
    QVERIFY(readCatalogue().contains(QStringLiteral("/srv/other.mdb")));
}

void TestDataSource::secondStartChangesNothing()
{
    Database::createFile(DataSource::defaultDatabase(m_programDir->path()));
    QCOMPARE(DataSource::ensureRegistered(m_programDir->path()), DataSource::Outcome::Registered);
    const QString after = readCatalogue();
    // The file goes away later: the entry stays, and nothing is said at start-up.
    QVERIFY(QFile::remove(DataSource::defaultDatabase(m_programDir->path())));
    ScriptedMessenger messages;
    QCOMPARE(DataSource::ensureRegistered(m_programDir->path()),
             DataSource::Outcome::AlreadyRegistered);
    QVERIFY(messages.shown().isEmpty());
    QCOMPARE(readCatalogue(), after);
}

void TestDataSource::anyOdbcClientReachesTheDiary()
{
    const QString isql = QStandardPaths::findExecutable(QStringLiteral("isql"));
    if (isql.isEmpty())
        QSKIP("unixODBC's isql is not installed");

    const QString database = DataSource::defaultDatabase(m_programDir->path());
    Database::createFile(database);
    QCOMPARE(DataSource::ensureRegistered(m_programDir->path()), DataSource::Outcome::Registered);
    Database::open(DataSource::databasePath(m_programDir->path()));
    Database::exec(QStringLiteral("INSERT INTO courts VALUES ('Sessions Court No. 3', 7)"));
    Database::close();

    QProcess process;
    process.start(isql, {QStringLiteral("advocate"), QStringLiteral("-b")});
    QVERIFY(process.waitForStarted());
    process.write("select * from courts\n");
    process.closeWriteChannel();
    QVERIFY(process.waitForFinished(30000));
    const QString output = QString::fromLocal8Bit(process.readAllStandardOutput());
    QVERIFY2(output.contains(QStringLiteral("Sessions Court No. 3")),
             qPrintable(output + QString::fromLocal8Bit(process.readAllStandardError())));
}

namespace {

const QString password = QStringLiteral("Wh1sp3r-s3cret");

} // namespace

void TestDataSource::aServerEntryIsRead_data()
{
    QTest::addColumn<QByteArray>("catalogue");
    QTest::addColumn<ServerAddress>("address");
    const ServerAddress full{QStringLiteral("db.office.lan"), QStringLiteral("5433"),
                             QStringLiteral("diary"), QStringLiteral("clerk"), password};
    QTest::newRow("unicode") << QByteArray("[advocate]\nDriver=PostgreSQL Unicode\n"
                                           "Servername=db.office.lan\nPort=5433\nDatabase=diary\n"
                                           "Username=clerk\nPassword=Wh1sp3r-s3cret\n")
                             << full;
    QTest::newRow("ansi") << QByteArray("[advocate]\nDriver = PostgreSQL ANSI\n"
                                        "Servername = db.office.lan\nPort = 5433\n"
                                        "Database = diary\nUserName = clerk\n"
                                        "PWD = Wh1sp3r-s3cret\n")
                          << full;
    QTest::newRow("libraryPath")
        << QByteArray("[advocate]\nDriver=/usr/lib/x86_64-linux-gnu/odbc/psqlodbcw.so\n"
                      "Servername=/var/run/postgresql\nDatabase=diary\nUID=clerk\n")
        << ServerAddress{QStringLiteral("/var/run/postgresql"), QString(), QStringLiteral("diary"),
                         QStringLiteral("clerk"), QString()};
    QTest::newRow("ansiLibraryNoUser")
        << QByteArray("[advocate]\nDriver=psqlodbca.so\nServername=10.0.0.5\nDatabase=diary\n")
        << ServerAddress{QStringLiteral("10.0.0.5"), QString(), QStringLiteral("diary"), QString(),
                         QString()};
}

// An entry for PostgreSQL's driver names a server database, which start-up
// leaves as it is; the password is taken but shown nowhere.
void TestDataSource::aServerEntryIsRead()
{
    QFETCH(QByteArray, catalogue);
    QFETCH(ServerAddress, address);
    writeCatalogue(catalogue);
    Database::createFile(DataSource::defaultDatabase(m_programDir->path()));

    const DataSource::Entry found = DataSource::entry();
    QCOMPARE(found.state, DataSource::Entry::State::Usable);
    QVERIFY(found.database.isEmpty());
    QCOMPARE(found.server.value_or(ServerAddress{}), address);
    QVERIFY(!DataSource::registeredDatabase());

    ScriptedMessenger messages;
    QCOMPARE(DataSource::ensureRegistered(m_programDir->path()),
             DataSource::Outcome::AlreadyRegistered);
    QVERIFY(messages.shown().isEmpty());
    QCOMPARE(readCatalogue().toLocal8Bit(), catalogue);
    // What asks for a file hears that the diary is on the server.
    try {
        DataSource::databasePath(m_programDir->path());
        QFAIL("a server entry was taken for a file");
    } catch (const DataError &e) {
        QVERIFY2(e.description().contains(address.describe()) &&
                     !e.description().contains(password),
                 qPrintable(e.description()));
    }
}

void TestDataSource::aServerEntryWithoutItsServerOrDatabaseIsUnusable_data()
{
    QTest::addColumn<QByteArray>("catalogue");
    QTest::addColumn<QString>("fault");
    QTest::newRow("noServername") << QByteArray("[advocate]\nDriver=PostgreSQL Unicode\n"
                                                "Database=diary\nPassword=Wh1sp3r-s3cret\n")
                                  << "has no Servername= line";
    QTest::newRow("emptyDatabase")
        << QByteArray("[advocate]\nDriver=PostgreSQL ANSI\nServername=db\nDatabase=\n"
                      "PWD=Wh1sp3r-s3cret\n")
        << "has an empty Database=";
    QTest::newRow("portNotANumber")
        << QByteArray("[advocate]\nDriver=PostgreSQL Unicode\nServername=db\nPort=five\n"
                      "Database=diary\nPassword=Wh1sp3r-s3cret\n")
        << "names \"five\" as its Port, which is not a port number";
}

void TestDataSource::aServerEntryWithoutItsServerOrDatabaseIsUnusable()
{
    QFETCH(QByteArray, catalogue);
    QFETCH(QString, fault);
    writeCatalogue(catalogue);
    Database::createFile(DataSource::defaultDatabase(m_programDir->path()));

    const DataSource::Entry found = DataSource::entry();
    QCOMPARE(found.state, DataSource::Entry::State::Unusable);
    QVERIFY2(found.problem.contains(m_catalogue) &&
                 found.problem.contains(QStringLiteral("\"advocate\"")) &&
                 found.problem.contains(fault) && !found.problem.contains(password),
             qPrintable(found.problem));
    ScriptedMessenger messages;
    QCOMPARE(DataSource::ensureRegistered(m_programDir->path()), DataSource::Outcome::Unusable);
    QCOMPARE(messages.texts(), QStringList{found.problem});
    QVERIFY(!DataSource::registeredServer());
    QVERIFY_THROWS_EXCEPTION(DataError, DataSource::commandDiary(m_programDir->path()));
    QCOMPARE(readCatalogue().toLocal8Bit(), catalogue);
}

// Written for a server, the entry reads back as the same address; written
// again without a password, none of the earlier one stays in the file.
void TestDataSource::aServerEntryIsWrittenAndReadBack()
{
    QVERIFY(DataSource::writeEntry(QStringLiteral("/srv/diary/advocate_v2.mdb")));
    const ServerAddress address{QStringLiteral("db.office.lan"), QStringLiteral("5432"),
                                QStringLiteral("diary"), QStringLiteral("clerk"), password};
    QVERIFY(DataSource::writeServerEntry(address));
    QCOMPARE(DataSource::registeredServer().value_or(ServerAddress{}), address);

    ServerAddress withoutPassword = address;
    withoutPassword.password.clear();
    withoutPassword.port.clear();
    QVERIFY(DataSource::writeServerEntry(withoutPassword));
    QCOMPARE(DataSource::registeredServer().value_or(ServerAddress{}), withoutPassword);
    QVERIFY2(!readCatalogue().contains(password), qPrintable(readCatalogue()));
}

QTEST_GUILESS_MAIN(TestDataSource)
#include "tst_datasource.moc"
