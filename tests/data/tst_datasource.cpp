#include "support/scriptedmessenger.h"
#include "support/testdatabase.h"

#include <data/database.h>
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
    void entryWithoutAPathIsRegisteredAgain();
    void secondStartChangesNothing();
    void anyOdbcClientReachesTheDiary();

private:
    QString readCatalogue() const;

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

void TestDataSource::entryWithoutAPathIsRegisteredAgain()
{
    QFile file(m_catalogue);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[advocate]\nDriver=SQLite3\nDatabase=\n");
    file.close();
    const QString database = DataSource::defaultDatabase(m_programDir->path());
    Database::createFile(database);

    ScriptedMessenger messages;
    QCOMPARE(DataSource::ensureRegistered(m_programDir->path()), DataSource::Outcome::Registered);
    QCOMPARE(DataSource::registeredDatabase().value_or(QString()), database);
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

QTEST_GUILESS_MAIN(TestDataSource)
#include "tst_datasource.moc"
