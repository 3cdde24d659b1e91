#include "support/commandrunner.h"
#include "support/testdatabase.h"
#include "support/testserver.h"

#include <data/backup.h>
#include <data/database.h>
#include <data/pgconnection.h>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace lexordo;
using namespace lexordo::test;

// `lexordo backup --to FOLDER` run as cron would run it: a separate process
// with no display, on the database of the data source "advocate", while the
// test holds that database open as the program would.
class TestBackupCommand : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void writesACheckedCopyAndSaysSo();
    void backingUpTwiceReplaces();
    void aFolderThatCannotTakeTheCopyFails();
    void wrongArgumentsAreExplained_data();
    void wrongArgumentsAreExplained();
    void missingDatabaseIsReported();
    void anEntryThatNamesNoDiaryIsReported_data();
    void anEntryThatNamesNoDiaryIsReported();

    // Kept backups.
    void keepLeavesTheLatestDatedCopies();

    // Restore from the command line.
    void restorePutsTheBackupInPlaceAndSaysWhereTheOldDiaryIs();
    void restoreRefusesWhatIsNotABackupOfTheDiary_data();
    void restoreRefusesWhatIsNotABackupOfTheDiary();
    void restoreWrongArgumentsAreExplained_data();
    void restoreWrongArgumentsAreExplained();
    void verifyComparesEveryIndexWithItsTable();

    // A diary on a server.
    void aServerDiaryIsDumpedAndRestoredThroughTheEntry();

private:
    using Result = CommandRunner::Result;
    Result backup(const QStringList &arguments, const QString &catalogue = {}) const
    {
        return run(QStringList{QStringLiteral("backup")} + arguments, catalogue);
    }
    // Without a catalogue, on the test's diary.
    Result run(const QStringList &arguments, const QString &catalogue = {}) const
    {
        return catalogue.isEmpty() ? m_runner->run(arguments) : m_runner->run(arguments, catalogue);
    }
    QStringList keptDiaries() const
    {
        return QDir(m_db->folder()).entryList({QStringLiteral("*-replaced-*")}, QDir::Files);
    }
    int courtsIn(const QString &path) const;

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<CommandRunner> m_runner;
};

void TestBackupCommand::initTestCase()
{
    m_db = std::make_unique<TestDatabase>();
    m_runner = std::make_unique<CommandRunner>(QStringLiteral(LEXORDO_BINARY), m_db->path());
    m_db->exec(QStringLiteral("INSERT INTO courts (court, indexx) VALUES ('D''Souza Court', 1)"));
}

void TestBackupCommand::cleanupTestCase()
{
    m_runner.reset();
    m_db.reset();
}

int TestBackupCommand::courtsIn(const QString &path) const
{
    int count = -1;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("copy"));
        db.setDatabaseName(path);
        QSqlQuery query(db);
        if (db.open() && query.exec(QStringLiteral("SELECT count(*) FROM courts")) && query.next())
            count = query.value(0).toInt();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("copy"));
    return count;
}

void TestBackupCommand::writesACheckedCopyAndSaysSo()
{
    QTemporaryDir folder;
    const Result result = backup({QStringLiteral("--to"), folder.path()});
    QCOMPARE(result.status, 0);
    QCOMPARE(result.err, QStringLiteral("Backing up completed\n"));
    QCOMPARE(result.out, QString());
    const QString copy = folder.filePath(QStringLiteral("advocate.mdb"));
    DatabaseBackup::checkFile(copy);
    QCOMPARE(courtsIn(copy), 1);
}

void TestBackupCommand::backingUpTwiceReplaces()
{
    QTemporaryDir folder;
    QCOMPARE(backup({QStringLiteral("--to=") + folder.path()}).status, 0);
    m_db->exec(QStringLiteral("INSERT INTO courts (court, indexx) VALUES ('High Court', 2)"));
    QCOMPARE(backup({QStringLiteral("--to"), folder.path()}).status, 0);
    QCOMPARE(courtsIn(folder.filePath(QStringLiteral("advocate.mdb"))), 2);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files),
             QStringList{QStringLiteral("advocate.mdb")});
    m_db->exec(QStringLiteral("DELETE FROM courts WHERE indexx = 2"));
}

void TestBackupCommand::aFolderThatCannotTakeTheCopyFails()
{
    QTemporaryDir folder;
    const QString missing = folder.filePath(QStringLiteral("usb"));
    Result result = backup({QStringLiteral("--to"), missing});
    QCOMPARE(result.status, 1);
    QCOMPARE(result.err, QStringLiteral("The folder %1 does not exist.\n").arg(missing));

    // An earlier copy that is in the way stays as it is.
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("advocate.mdb")));
    result = backup({QStringLiteral("--to"), folder.path()});
    QCOMPARE(result.status, 1);
    QVERIFY2(result.err.contains(QStringLiteral("is a folder; it has been left as it is.")),
             qPrintable(result.err));
    QVERIFY(!result.err.contains(QStringLiteral("Backing up completed")));
    QVERIFY(QFileInfo(folder.filePath(QStringLiteral("advocate.mdb"))).isDir());
}

void TestBackupCommand::wrongArgumentsAreExplained_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("problem");
    QTest::newRow("no folder") << QStringList{}
                               << "Name the folder to back up to with --to FOLDER.";
    QTest::newRow("no value") << QStringList{"--to"} << "--to needs a value.";
    QTest::newRow("unknown option")
        << QStringList{"--from", "/tmp"} << "--from is not an option of backup.";
    QTest::newRow("twice") << QStringList{"--to", "/tmp", "--to", "/srv"}
                           << "--to is given more than once.";
    QTest::newRow("keep none") << QStringList{"--to", "/tmp", "--keep", "0"}
                               << "--keep needs a number of dated copies, 1 or more.";
    QTest::newRow("keep a word") << QStringList{"--to", "/tmp", "--keep=week"}
                                 << "--keep needs a number of dated copies, 1 or more.";
    QTest::newRow("verify twice") << QStringList{"--verify", "--to", "/tmp", "--verify"}
                                  << "--verify is given more than once.";
}

void TestBackupCommand::wrongArgumentsAreExplained()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, problem);
    const Result result = backup(arguments);
    QCOMPARE(result.status, 2);
    QCOMPARE(result.err, problem + QStringLiteral(" lexordo backup --help tells how to use it.\n"));

    const Result help = backup({QStringLiteral("--help")});
    QCOMPARE(help.status, 0);
    QVERIFY(help.out.contains(QStringLiteral("backup --to FOLDER [--keep N]")));
    for (const char *status : {"  0  ", "  1  ", "  2  "})
        QVERIFY(help.out.contains(QLatin1String(status)));
}

void TestBackupCommand::missingDatabaseIsReported()
{
    QTemporaryDir elsewhere;
    const QString catalogue = elsewhere.filePath(QStringLiteral("odbc.ini"));
    QFile file(catalogue);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[advocate]\nDriver=SQLite3\nDatabase=" +
               QFile::encodeName(elsewhere.filePath(QStringLiteral("gone.mdb"))) + "\n");
    file.close();
    const Result result = backup({QStringLiteral("--to"), elsewhere.path()}, catalogue);
    QCOMPARE(result.status, 1);
    QVERIFY2(result.err.contains(QStringLiteral("gone.mdb does not exist")),
             qPrintable(result.err));
    QVERIFY(!QFile::exists(elsewhere.filePath(QStringLiteral("advocate.mdb"))));
}

// An entry "advocate" that names no usable database stops backup and print
// with the entry and the fault named; no other diary stands in for it.
void TestBackupCommand::anEntryThatNamesNoDiaryIsReported_data()
{
    QTest::addColumn<QByteArray>("entry");
    QTest::addColumn<QString>("fault");
    QTest::newRow("empty Database=")
        << QByteArray("Driver=SQLite3\nDatabase=\n") << "has an empty Database=";
    QTest::newRow("no Database key")
        << QByteArray("Driver=SQLite3\nDescription=diary\n") << "has no Database= line";
    QTest::newRow("garbage") << QByteArray("Driver=SQLite3\nDatabase=@#!~ diary\n")
                             << "names \"@#!~ diary\" as its database, which is not the full "
                                "path of a file";
}

void TestBackupCommand::anEntryThatNamesNoDiaryIsReported()
{
    QFETCH(QByteArray, entry);
    QFETCH(QString, fault);
    QTemporaryDir elsewhere;
    const QString catalogue = elsewhere.filePath(QStringLiteral("odbc.ini"));
    QFile file(catalogue);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[advocate]\n" + entry);
    file.close();
    const QString problem =
        QStringLiteral("The data source \"advocate\" in %1 %2").arg(catalogue, fault);
    const QString pdf = elsewhere.filePath(QStringLiteral("diary.pdf"));

    const Result backedUp = backup({QStringLiteral("--to"), elsewhere.path()}, catalogue);
    const Result printed =
        run({QStringLiteral("print"), QStringLiteral("diary"), QStringLiteral("--from"),
             QStringLiteral("07/12/2026"), QStringLiteral("--to"), QStringLiteral("07/12/2026"),
             QStringLiteral("--pdf"), pdf},
            catalogue);
    for (const Result &result : {backedUp, printed}) {
        QCOMPARE(result.status, 1);
        QVERIFY2(result.err.startsWith(problem), qPrintable(result.err));
        QVERIFY2(!result.err.contains(QStringLiteral("Backing up completed")) &&
                     !result.err.contains(QStringLiteral("No Record")),
                 qPrintable(result.err));
    }
    QVERIFY(!QFile::exists(elsewhere.filePath(QStringLiteral("advocate.mdb"))));
    QVERIFY(!QFile::exists(pdf));
    // The entry is left for the office to correct, not pointed elsewhere.
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), "[advocate]\n" + entry);
}

void TestBackupCommand::keepLeavesTheLatestDatedCopies()
{
    QTemporaryDir folder;
    const QDir dir(folder.path());
    for (const char *day : {"04", "05", "06"}) {
        QFile earlier(
            dir.filePath(QStringLiteral("advocate-2026-12-%1.mdb").arg(QLatin1String(day))));
        QVERIFY(earlier.open(QIODevice::WriteOnly));
    }
    const Result result =
        run({QStringLiteral("--today"), QStringLiteral("07/12/2026"), QStringLiteral("backup"),
             QStringLiteral("--to"), folder.path(), QStringLiteral("--keep"), QStringLiteral("2")});
    QCOMPARE(result.status, 0);
    QCOMPARE(result.err, QStringLiteral("Backing up completed\n"));
    QCOMPARE(
        dir.entryList(QDir::Files, QDir::Name),
        (QStringList{QStringLiteral("advocate-2026-12-06.mdb"),
                     QStringLiteral("advocate-2026-12-07.mdb"), QStringLiteral("advocate.mdb")}));
    QCOMPARE(courtsIn(dir.filePath(QStringLiteral("advocate-2026-12-07.mdb"))), 1);
}

void TestBackupCommand::restorePutsTheBackupInPlaceAndSaysWhereTheOldDiaryIs()
{
    QTemporaryDir folder;
    QCOMPARE(backup({QStringLiteral("--to"), folder.path()}).status, 0);
    m_db->exec(QStringLiteral("INSERT INTO courts (court, indexx) VALUES ('Typed later', 2)"));

    const QString copy = folder.filePath(QStringLiteral("advocate.mdb"));
    const Result result = run({QStringLiteral("restore"), QStringLiteral("--from"), copy});
    QCOMPARE(result.status, 0);
    QCOMPARE(keptDiaries().size(), 1);
    const QString kept = QDir(m_db->folder()).filePath(keptDiaries().constFirst());
    QCOMPARE(result.out, QStringLiteral("The diary has been restored from %1.\n"
                                        "The replaced diary is kept as %2.\n")
                             .arg(copy, kept));
    QCOMPARE(result.err, QString());
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT group_concat(court) FROM courts")).toString(),
             QStringLiteral("D'Souza Court"));
    QCOMPARE(m_db->scalar(QStringLiteral("PRAGMA integrity_check")).toString(),
             QStringLiteral("ok"));
    QCOMPARE(courtsIn(kept), 2);
    QVERIFY(QFile::remove(kept));
}

void TestBackupCommand::restoreRefusesWhatIsNotABackupOfTheDiary_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("a letter") << "letter"
                              << " is not a backup of the diary: ";
    QTest::newRow("missing") << "missing"
                             << " does not exist.";
    QTest::newRow("the diary") << "diary"
                               << " is the diary itself, not a backup of it.";
    QTest::newRow("a link to the diary") << "link"
                                         << " is the diary itself, not a backup of it.";
}

void TestBackupCommand::restoreRefusesWhatIsNotABackupOfTheDiary()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QTemporaryDir folder;
    QString file = folder.filePath(QStringLiteral("advocate.mdb"));
    if (kind == QStringLiteral("letter")) {
        QFile letter(file);
        QVERIFY(letter.open(QIODevice::WriteOnly));
        letter.write(QByteArray("To the Registrar, High Court.\n").repeated(200));
    } else if (kind == QStringLiteral("diary")) {
        file = m_db->path();
    } else if (kind == QStringLiteral("link")) {
        QVERIFY(QFile::link(m_db->path(), file));
    }

    const Result result = run({QStringLiteral("restore"), QStringLiteral("--from=") + file});
    QCOMPARE(result.status, 1);
    QVERIFY2(result.err.startsWith(file + reason), qPrintable(result.err));
    QVERIFY(result.err.endsWith(QStringLiteral("Nothing has been changed.\n")));
    QCOMPARE(result.out, QString());
    QCOMPARE(keptDiaries(), QStringList());
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT group_concat(court) FROM courts")).toString(),
             QStringLiteral("D'Souza Court"));
}

void TestBackupCommand::restoreWrongArgumentsAreExplained_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("problem");
    QTest::newRow("no file") << QStringList{} << "Name the backup file with --from FILE.";
    QTest::newRow("no value") << QStringList{"--from"} << "--from needs a value.";
    QTest::newRow("a file alone") << QStringList{"advocate.mdb"}
                                  << "advocate.mdb is not an option of restore.";
    QTest::newRow("twice") << QStringList{"--from", "a.mdb", "--from", "b.mdb"}
                           << "--from is given more than once.";
}

void TestBackupCommand::restoreWrongArgumentsAreExplained()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, problem);
    const Result result = run(QStringList{QStringLiteral("restore")} + arguments);
    QCOMPARE(result.status, 2);
    QCOMPARE(result.err,
             problem + QStringLiteral(" lexordo restore --help tells how to use it.\n"));
    QCOMPARE(keptDiaries(), QStringList());

    const Result help = run({QStringLiteral("restore"), QStringLiteral("--help")});
    QCOMPARE(help.status, 0);
    QVERIFY(help.out.contains(QStringLiteral("lexordo restore --from FILE")));
    for (const char *status : {"  0  ", "  1  ", "  2  "})
        QVERIFY(help.out.contains(QLatin1String(status)));
}

// A diary whose pages are sound but whose index on case numbers has lost
// its rows: the evening's backup copies it, --verify refuses it as a restore would.
void TestBackupCommand::verifyComparesEveryIndexWithItsTable()
{
    QTemporaryDir elsewhere;
    const QString diary = elsewhere.filePath(QStringLiteral("advocate_v2.mdb"));
    DatabaseBackup::writeSnapshot(diary);
    damageAnIndex(diary);
    const QString catalogue = elsewhere.filePath(QStringLiteral("odbc.ini"));
    QFile file(catalogue);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[advocate]\nDriver=SQLite3\nDatabase=" + QFile::encodeName(diary) + "\n");
    file.close();

    QTemporaryDir evening;
    Result result = backup({QStringLiteral("--to"), evening.path()}, catalogue);
    QCOMPARE(result.status, 0);
    QCOMPARE(result.err, QStringLiteral("Backing up completed\n"));

    QTemporaryDir weekly;
    result = backup({QStringLiteral("--to"), weekly.path(), QStringLiteral("--verify")}, catalogue);
    QCOMPARE(result.status, 1);
    QVERIFY2(result.err.contains(QStringLiteral("it fails the integrity check")),
             qPrintable(result.err));
    QVERIFY2(result.err.contains(QStringLiteral("advocate_caseno")), qPrintable(result.err));
    QCOMPARE(QDir(weekly.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void TestBackupCommand::aServerDiaryIsDumpedAndRestoredThroughTheEntry()
{
    LEXORDO_REQUIRE_TEST_SERVER();
    const ServerAddress server = TestServer::shared().newDatabase();
    Database::createOnServer(server);
    const auto courts = [&server] {
        return PgConnection(server).exec("SELECT count(*) FROM courts").text(0, 0);
    };
    PgConnection(server).exec("INSERT INTO courts (court, indexx) VALUES ('High Court', 1)");
    QTemporaryDir folder;
    const QString catalogue = folder.filePath(QStringLiteral("odbc.ini"));
    writeServerEntry(catalogue, server);

    Result result = backup(
        {QStringLiteral("--to"), folder.path(), QStringLiteral("--keep"), QStringLiteral("1")},
        catalogue);
    QCOMPARE(result.status, 0);
    const QString dump = folder.filePath(QStringLiteral("advocate.dump"));
    QCOMPARE(QDir(folder.path()).entryList({QStringLiteral("advocate*")}, QDir::Files).size(), 2);

    PgConnection(server).exec("INSERT INTO courts (court, indexx) VALUES ('Typed later', 2)");
    result = run({QStringLiteral("restore"), QStringLiteral("--from"), dump}, catalogue);
    QCOMPARE(result.status, 0);
    QCOMPARE(courts(), QStringLiteral("1"));
    const QString keptPrefix = QStringLiteral("The replaced diary is kept as ");
    QVERIFY2(result.out.contains(keptPrefix), qPrintable(result.out + result.err));
    const QString kept = result.out.mid(result.out.indexOf(keptPrefix) + keptPrefix.size())
                             .section(QStringLiteral(".\n"), 0, 0);
    QVERIFY2(QFile::remove(kept), qPrintable(kept));
}

QTEST_GUILESS_MAIN(TestBackupCommand)
#include "tst_backupcommand.moc"
