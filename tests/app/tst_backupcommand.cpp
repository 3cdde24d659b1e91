#include "support/testdatabase.h"

#include <data/backup.h>
#include <data/database.h>
#include <data/datasource.h>
#include <QDir>
#include <QFile>
#include <QProcess>
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
    void verifyComparesEveryIndexWithItsTable();

private:
    struct Result
    {
        int status = -1;
        QString out;
        QString err;
    };
    Result backup(const QStringList &arguments, const QString &catalogue = {}) const;
    int courtsIn(const QString &path) const;

    QTemporaryDir m_dir;
    QString m_catalogue;
    std::unique_ptr<TestDatabase> m_db;
};

void TestBackupCommand::initTestCase()
{
    m_catalogue = m_dir.filePath(QStringLiteral("odbc.ini"));
    qputenv("ODBCINI", m_catalogue.toLocal8Bit());
    m_db = std::make_unique<TestDatabase>();
    QVERIFY(DataSource::writeEntry(m_db->path()));
    m_db->exec(QStringLiteral("INSERT INTO courts (court, indexx) VALUES ('D''Souza Court', 1)"));
}

void TestBackupCommand::cleanupTestCase()
{
    m_db.reset();
}

TestBackupCommand::Result TestBackupCommand::backup(const QStringList &arguments,
                                                    const QString &catalogue) const
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ODBCINI"), catalogue.isEmpty() ? m_catalogue : catalogue);
    environment.remove(QStringLiteral("DISPLAY"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(LEXORDO_BINARY),
                  QStringList{QStringLiteral("backup")} + arguments);
    Result result;
    if (!process.waitForFinished(60000))
        return result;
    result.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    result.err = QString::fromLocal8Bit(process.readAllStandardError());
    result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return result;
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
    QTest::newRow("no value") << QStringList{"--to"} << "--to needs a folder.";
    QTest::newRow("unknown option")
        << QStringList{"--from", "/tmp"} << "--from is not an option of backup.";
    QTest::newRow("twice") << QStringList{"--to", "/tmp", "--to", "/srv"}
                           << "--to is given more than once.";
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
    QVERIFY(help.out.contains(QStringLiteral("lexordo backup --to FOLDER")));
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

QTEST_GUILESS_MAIN(TestBackupCommand)
#include "tst_backupcommand.moc"
