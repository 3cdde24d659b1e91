#include "support/scriptedmessenger.h"

#include <app/startup.h>
#include <data/database.h>
#include <data/datasource.h>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace lexordo;

// What start-up does with the database the data source names, before any
// screen opens. Each function runs in a process of its own, with its own
// catalogue and program folder.
class TestStartupCheck : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void aDiaryIsOpened();
    void anEntryThatNamesNoDiaryStopsStartUp();
    void aFileThatIsNoDiaryStopsStartUp();
    void aDiaryMissingAColumnStopsStartUp();
    void aMissingFileIsReportedAndStartUpGoesOn();
    void aRegisteredFileThatIsGoneIsReported();
    void aServerThatCannotBeReachedStopsStartUp();

private:
    QString database() const { return m_folder.filePath(DataSource::fileName); }

    QTemporaryDir m_folder;
    QTemporaryDir m_home;
};

void TestStartupCheck::init()
{
    qputenv("ODBCINI", m_home.filePath(QStringLiteral("odbc.ini")).toLocal8Bit());
}

void TestStartupCheck::cleanup()
{
    Database::close();
    qunsetenv("ODBCINI");
}

void TestStartupCheck::aDiaryIsOpened()
{
    Database::createFile(database());
    ScriptedMessenger messenger;
    QVERIFY(prepareDatabase(m_folder.path()));
    QVERIFY(Database::isOpen());
    // The new entry is announced with the file it names; the next start says nothing.
    QCOMPARE(messenger.texts(), QStringList{DataSource::registeredMessage(database())});
    Database::close();
    messenger.clear();
    QVERIFY(prepareDatabase(m_folder.path()));
    QVERIFY(Database::isOpen());
    QCOMPARE(messenger.texts(), QStringList());
}

void TestStartupCheck::anEntryThatNamesNoDiaryStopsStartUp()
{
    Database::createFile(database()); // must not stand in for the diary the entry should name
    QFile catalogue(m_home.filePath(QStringLiteral("odbc.ini")));
    QVERIFY(catalogue.open(QIODevice::WriteOnly));
    catalogue.write("[advocate]\nDriver=SQLite3\nDatabase=\n");
    catalogue.close();
    ScriptedMessenger messenger;
    QVERIFY(!prepareDatabase(m_folder.path()));
    QVERIFY(!Database::isOpen());
    QCOMPARE(messenger.texts(), QStringList{DataSource::entry().problem});
    QVERIFY(messenger.texts().first().contains(QStringLiteral("has an empty Database=")));
}

void TestStartupCheck::aFileThatIsNoDiaryStopsStartUp()
{
    QFile file(database());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    ScriptedMessenger messenger;
    QVERIFY(!prepareDatabase(m_folder.path()));
    QVERIFY(!Database::isOpen());
    QCOMPARE(messenger.texts(),
             QStringList{
                 QStringLiteral("The database %1 is empty: it holds no diary.").arg(database())});
    QCOMPARE(messenger.shown().first().icon, Messenger::Icon::Critical);
    QCOMPARE(QFile(database()).size(), 0); // not made into an empty database
}

void TestStartupCheck::aDiaryMissingAColumnStopsStartUp()
{
    Database::createFile(database());
    Database::open(database());
    Database::exec(QStringLiteral("DROP INDEX advocate_ndate"));
    Database::exec(QStringLiteral("ALTER TABLE advocate DROP COLUMN ndate"));
    Database::close();
    ScriptedMessenger messenger;
    QVERIFY(!prepareDatabase(m_folder.path()));
    QVERIFY(!Database::isOpen());
    QCOMPARE(messenger.texts(),
             QStringList{QStringLiteral("The database %1 is not a diary of this program: the "
                                        "column advocate.ndate is missing.")
                             .arg(database())});
}

void TestStartupCheck::aMissingFileIsReportedAndStartUpGoesOn()
{
    ScriptedMessenger messenger;
    QVERIFY(prepareDatabase(m_folder.path()));
    QVERIFY(!Database::isOpen());
    QCOMPARE(messenger.texts(), QStringList{DataSource::missingFileMessage});
}

void TestStartupCheck::aRegisteredFileThatIsGoneIsReported()
{
    const QString gone = m_home.filePath(QStringLiteral("moved.mdb"));
    QVERIFY(DataSource::writeEntry(gone));
    ScriptedMessenger messenger;
    QVERIFY(prepareDatabase(m_folder.path()));
    QVERIFY(!Database::isOpen());
    QCOMPARE(messenger.texts(),
             QStringList{QStringLiteral("The database %1 does not exist.").arg(gone)});
}

// The entry names a server database: no file stands in for it, and the
// message names the server and the database, never the password.
void TestStartupCheck::aServerThatCannotBeReachedStopsStartUp()
{
    Database::createFile(database());
    const ServerAddress address{QStringLiteral("127.0.0.1"), QStringLiteral("1"),
                                QStringLiteral("office_diary"), QStringLiteral("clerk"),
                                QStringLiteral("Wh1sp3r-s3cret")};
    QVERIFY(DataSource::writeServerEntry(address));
    ScriptedMessenger messenger;
    QVERIFY(!prepareDatabase(m_folder.path()));
    QVERIFY(!Database::isOpen());
    QCOMPARE(messenger.texts().size(), 1);
    const QString text = messenger.texts().first();
    QVERIFY2(text.contains(address.describe()) && !text.contains(address.password),
             qPrintable(text));
    QCOMPARE(messenger.shown().first().icon, Messenger::Icon::Critical);
}

QTEST_MAIN(TestStartupCheck)
#include "tst_startupcheck.moc"
