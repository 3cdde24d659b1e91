#include "support/testserver.h"

#include <data/database.h>
#include <data/dataerror.h>
#include <data/pgconnection.h>
#include <data/serverbackup.h>
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

using namespace lexordo;
using namespace lexordo::test;

namespace {

// A new server database holding an empty diary.
ServerAddress newDiary()
{
    const ServerAddress server = TestServer::shared().newDatabase();
    Database::createOnServer(server);
    return server;
}

void addCase(const ServerAddress &server, const QString &caseNo)
{
    PgConnection(server).exec("INSERT INTO advocate (caseno, party1) VALUES ($1, 'Ravi')",
                              {caseNo.toUtf8()});
}

// The case numbers in the diary, in order.
QStringList cases(const ServerAddress &server)
{
    PgConnection connection(server);
    const PgResult result = connection.exec("SELECT caseno FROM advocate ORDER BY caseno");
    QStringList list;
    for (int row = 0; row < result.rows(); ++row)
        list << result.text(row, 0);
    return list;
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

const QDate day(2026, 12, 7);

} // namespace

class TestServerBackup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { LEXORDO_REQUIRE_TEST_SERVER(); }
    void aDatedDumpIsRestoredAndTheReplacedDiaryKept();
    void keepRemovesOnlyOlderDatedDumps();
    void aDumpThatFailsSaysWhyAndKeepsEarlierCopies_data();
    void aDumpThatFailsSaysWhyAndKeepsEarlierCopies();
    void aDumpThatIsNoDiaryChangesNothing_data();
    void aDumpThatIsNoDiaryChangesNothing();
    void aDumpThatDoesNotReadBackIsNotKept();
};

void TestServerBackup::aDatedDumpIsRestoredAndTheReplacedDiaryKept()
{
    const ServerAddress server = newDiary();
    addCase(server, QStringLiteral("OS 1/2026"));
    QTemporaryDir folder;
    // Read back as it is written: a sound dump passes and restores.
    QVERIFY(ServerBackup::backUpInto(server, folder.path(), 3, day, true).isEmpty());
    QCOMPARE(
        QDir(folder.path()).entryList(QDir::Files),
        (QStringList{QStringLiteral("advocate-2026-12-07.dump"), QStringLiteral("advocate.dump")}));
    addCase(server, QStringLiteral("OS 9/2026"));
    PgConnection(server).exec("DELETE FROM advocate WHERE caseno = 'OS 1/2026'");

    const QString kept = folder.filePath(QStringLiteral("kept.dump"));
    ServerBackup::restoreFrom(server, ServerBackup::datedDumpPathIn(folder.path(), day), kept);
    QCOMPARE(cases(server), QStringList{QStringLiteral("OS 1/2026")});
    // The kept copy is the diary as the restore found it.
    ServerBackup::restoreFrom(server, kept, folder.filePath(QStringLiteral("kept2.dump")));
    QCOMPARE(cases(server), QStringList{QStringLiteral("OS 9/2026")});
}

void TestServerBackup::keepRemovesOnlyOlderDatedDumps()
{
    const ServerAddress server = newDiary();
    QTemporaryDir folder;
    const QDir dir(folder.path());
    const QStringList others{
        QStringLiteral("advocate-2026-12-06.mdb"), QStringLiteral("notes.dump"),
        QStringLiteral("advocate-2026-13-01.dump"), QStringLiteral("advocate-2026-12-05.dump.bak")};
    for (const QString &name : others + QStringList{QStringLiteral("advocate-2026-12-04.dump"),
                                                    QStringLiteral("advocate-2026-12-06.dump"),
                                                    QStringLiteral("advocate-2026-11-30.dump")})
        writeFile(dir.filePath(name), "earlier");

    const QStringList removed = ServerBackup::backUpInto(server, folder.path(), 2, day);

    QCOMPARE(removed.size(), 2);
    QStringList left = dir.entryList(QDir::Files);
    for (const QString &name : others)
        QVERIFY2(left.removeOne(name), qPrintable(name));
    QCOMPARE(left, (QStringList{QStringLiteral("advocate-2026-12-06.dump"),
                                QStringLiteral("advocate-2026-12-07.dump"),
                                QStringLiteral("advocate.dump")}));
}

void TestServerBackup::aDumpThatFailsSaysWhyAndKeepsEarlierCopies_data()
{
    QTest::addColumn<bool>("wrongDatabase");
    QTest::addColumn<QString>("reason");
    QTest::newRow("no such database") << true << QStringLiteral("does not exist");
    QTest::newRow("no such folder") << false << QStringLiteral("folder");
}

void TestServerBackup::aDumpThatFailsSaysWhyAndKeepsEarlierCopies()
{
    QFETCH(bool, wrongDatabase);
    QFETCH(QString, reason);
    ServerAddress server = newDiary();
    QTemporaryDir parent;
    const QString folder = wrongDatabase ? parent.path() : parent.filePath(QStringLiteral("gone"));
    const QString earlier = QDir(parent.path()).filePath(QStringLiteral("advocate.dump"));
    writeFile(earlier, "the earlier dump");
    if (wrongDatabase)
        server.database += QStringLiteral("_missing");
    server.password = QStringLiteral("s3cret-word");

    try {
        ServerBackup::backUpInto(server, folder, 3, day);
        QFAIL("the backup did not fail");
    } catch (const DataError &e) {
        QVERIFY2(e.description().contains(reason), qPrintable(e.description()));
        QVERIFY(!e.description().contains(server.password));
    }
    QCOMPARE(contentOf(earlier), QByteArray("the earlier dump"));
    QCOMPARE(QDir(parent.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("advocate.dump")});
}

void TestServerBackup::aDumpThatDoesNotReadBackIsNotKept()
{
    const ServerAddress server = newDiary();
    QTemporaryDir folder;
    const QString earlier = folder.filePath(QStringLiteral("advocate.dump"));
    writeFile(earlier, "the earlier dump");
    // A pg_dump that ends well but writes a torn archive: its header, no more.
    QTemporaryDir tools;
    const QString fakeDump = QDir(tools.path()).filePath(QStringLiteral("pg_dump"));
    writeFile(fakeDump, "#!/bin/sh\nprintf 'PGDMP\\001\\016\\000'\n");
    QVERIFY(QFile::setPermissions(fakeDump, QFile::ReadOwner | QFile::ExeOwner));
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", tools.path().toLocal8Bit() + ':' + path);
    const auto restorePath = qScopeGuard([&path] { qputenv("PATH", path); });

    try {
        ServerBackup::backUpInto(server, folder.path(), 3, day, true);
        QFAIL("a dump that does not read back was kept");
    } catch (const DataError &e) {
        QVERIFY2(e.description().contains(QStringLiteral("does not read back")),
                 qPrintable(e.description()));
    }
    QCOMPARE(contentOf(earlier), QByteArray("the earlier dump"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("advocate.dump")});
}

void TestServerBackup::aDumpThatIsNoDiaryChangesNothing_data()
{
    QTest::addColumn<QString>("damage");
    QTest::newRow("cut short") << QStringLiteral("cut");
    QTest::newRow("not a dump") << QStringLiteral("text");
    QTest::newRow("dump of another database") << QStringLiteral("other");
    QTest::newRow("diary without a column") << QStringLiteral("column");
}

void TestServerBackup::aDumpThatIsNoDiaryChangesNothing()
{
    QFETCH(QString, damage);
    const ServerAddress server = newDiary();
    PgConnection(server).exec("INSERT INTO advocate (caseno, party1) SELECT 'OS ' || "
                              "lpad(n::text, 4, '0'), 'Ravi' FROM generate_series(0, 1999) n");
    QTemporaryDir folder;
    const QString dump = folder.filePath(QStringLiteral("backup.dump"));
    if (damage == QLatin1String("text")) {
        writeFile(dump, "CREATE TABLE advocate (caseno text);\n");
    } else if (damage == QLatin1String("other")) {
        ServerBackup::writeDump(TestServer::shared().newDatabase(), dump);
    } else if (damage == QLatin1String("column")) {
        const ServerAddress other = newDiary();
        PgConnection(other).exec("ALTER TABLE courts DROP COLUMN indexx");
        ServerBackup::writeDump(other, dump);
    } else {
        ServerBackup::writeDump(server, dump);
        const QByteArray whole = contentOf(dump);
        writeFile(dump, whole.left(whole.size() * 3 / 4));
    }
    PgConnection(server).exec("DELETE FROM advocate WHERE caseno < 'OS 1000'");
    const QStringList before = cases(server);

    const QString kept = folder.filePath(QStringLiteral("kept.dump"));
    QVERIFY_THROWS_EXCEPTION(DataError, ServerBackup::restoreFrom(server, dump, kept));
    QCOMPARE(cases(server), before);
    QVERIFY(!QFileInfo::exists(kept));
}

QTEST_GUILESS_MAIN(TestServerBackup)
#include "tst_serverbackup.moc"
