#include "support/testdatabase.h"

#include <atomic>
#include <data/backup.h>
#include <data/database.h>
#include <data/dataerror.h>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <sqlite3.h>
#include <sys/file.h>
#include <unistd.h>

using namespace lexordo;
using namespace lexordo::test;

namespace {

// Another program on the same diary: it stores hearings three to a
// transaction, numbering them 1, 2, 3 ... in CourtIndex, as fast as it can.
class Writer : public QThread
{
public:
    explicit Writer(const QString &path) : m_path(path) {}

    std::atomic<int> committed{0}; // transactions that reached the file
    std::atomic<bool> stopping{false};
    QString error;

protected:
    void run() override
    {
        sqlite3 *db = nullptr;
        if (sqlite3_open_v2(QFile::encodeName(m_path).constData(), &db, SQLITE_OPEN_READWRITE,
                            nullptr) != SQLITE_OK) {
            error = QString::fromUtf8(sqlite3_errmsg(db));
            sqlite3_close(db);
            return;
        }
        sqlite3_busy_timeout(db, 10000);
        sqlite3_stmt *insert = nullptr;
        sqlite3_prepare_v2(db,
                           "INSERT INTO advocate (caseno, Party1, CourtIndex) "
                           "VALUES ('W', 'Writer', ?)",
                           -1, &insert, nullptr);
        int number = 0;
        while (!stopping && error.isEmpty()) {
            bool ok = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
            for (int i = 0; ok && i < 3; ++i) {
                sqlite3_bind_int(insert, 1, number + i + 1);
                ok = sqlite3_step(insert) == SQLITE_DONE;
                sqlite3_reset(insert);
            }
            if (ok && sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK) {
                number += 3;
                ++committed;
            } else {
                error = QString::fromUtf8(sqlite3_errmsg(db));
            }
        }
        sqlite3_finalize(insert);
        sqlite3_close(db);
    }

private:
    QString m_path;
};

// Reads a file through a connection of the test's own.
class Reader
{
public:
    explicit Reader(const QString &path)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.open();
    }
    ~Reader() { QSqlDatabase::removeDatabase(name); }

    QVariant scalar(const QString &sql) const
    {
        QSqlQuery query(QSqlDatabase::database(name));
        if (!query.exec(sql) || !query.next())
            return QVariant();
        return query.value(0);
    }

private:
    static inline const QString name = QStringLiteral("reader");
};

QString errorOf(const std::function<void()> &work)
{
    try {
        work();
    } catch (const DataError &e) {
        return e.description();
    }
    return QString();
}

} // namespace

class TestBackup : public QObject
{
    Q_OBJECT

private slots:
    void snapshotWhileAnotherProgramWritesRestoresEveryCommittedRow();
    void backingUpTwiceReplacesTheCopy();
    void copyPathAtTheRootOfADrive();
    void folderThatCannotTakeTheCopyIsReported();
    void checkRefusesWhatIsNotABackup();
    void restoreRefusesANonBackupAndChangesNothing();
    void restoreNeverOverwritesTheKeptDiary();
    void aDiaryThatWillNotOpenIsRestoredInItsPlace();
    void aBackupWithOtherPagesRestores();

    // A backup never damages the diary it copies.
    void aBackupOntoTheDiaryIsRefused_data();
    void aBackupOntoTheDiaryIsRefused();
    void leftoversOfAKilledBackupAreRemoved();

    // Kept backups.
    void datedCopiesKeepTheLatestDays();
    void onlyTheFullCheckComparesIndexesWithTables();
    void aDamagedDiaryLeavesNoBackup();
    void anotherDesksLongWriteDoesNotStopTheBackup();
};

void TestBackup::snapshotWhileAnotherProgramWritesRestoresEveryCommittedRow()
{
    TestDatabase db;
    // Enough of a diary that the copy takes a while.
    db.exec(QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 20000) "
        "INSERT INTO advocate (caseno, Party1, remarks) "
        "SELECT 'S/' || i, 'Seed party ' || i, hex(randomblob(40)) FROM n"));

    Writer writer(db.path());
    writer.start();
    while (writer.committed < 20 && writer.isRunning())
        QThread::msleep(1);
    const int before = writer.committed;

    QTemporaryDir folder;
    const QString copy = DatabaseBackup::copyPathIn(folder.path());
    const QString error = errorOf([&] { DatabaseBackup::writeSnapshot(copy); });
    const int after = writer.committed;
    writer.stopping = true;
    writer.wait();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY2(writer.error.isEmpty(), qPrintable(writer.error));
    QVERIFY(before >= 20);

    // The copy is one moment of the diary: whole transactions, in order.
    QCOMPARE(errorOf([&] { DatabaseBackup::checkFile(copy); }), QString());
    int written = 0;
    {
        Reader reader(copy);
        QCOMPARE(reader.scalar(QStringLiteral("PRAGMA integrity_check")).toString(),
                 QStringLiteral("ok"));
        QCOMPARE(
            reader.scalar(QStringLiteral("SELECT count(*) FROM advocate WHERE caseno LIKE 'S/%'"))
                .toInt(),
            20000);
        written = reader.scalar(QStringLiteral("SELECT count(*) FROM advocate WHERE caseno = 'W'"))
                      .toInt();
        QCOMPARE(reader
                     .scalar(QStringLiteral(
                         "SELECT count(DISTINCT CourtIndex) FROM advocate WHERE caseno = 'W'"))
                     .toInt(),
                 written);
        QCOMPARE(reader
                     .scalar(QStringLiteral(
                         "SELECT coalesce(max(CourtIndex), 0) FROM advocate WHERE caseno = 'W'"))
                     .toInt(),
                 written);
        QCOMPARE(reader.scalar(QStringLiteral("PRAGMA journal_mode")).toString(),
                 QStringLiteral("delete"));
    }
    QCOMPARE(written % 3, 0);
    QVERIFY2(
        written >= before * 3 && written <= after * 3,
        qPrintable(
            QStringLiteral("%1 rows, %2 to %3 transactions").arg(written).arg(before).arg(after)));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files),
             QStringList{QStringLiteral("advocate.mdb")});

    // Restored, the diary is the copy again: what came after it is kept aside.
    const int live = db.count(QStringLiteral("advocate"));
    QVERIFY(live >= 20000 + written);
    db.exec(QStringLiteral("INSERT INTO courts (court, indexx) VALUES ('After the backup', 9)"));
    const QString kept =
        DatabaseBackup::keptName(db.path(), QDateTime(QDate(2026, 12, 7), QTime(11, 12, 13)));
    QCOMPARE(QFileInfo(kept).fileName(),
             QStringLiteral("advocate_v2-replaced-20261207-111213.mdb"));
    QCOMPARE(QFileInfo(kept).absolutePath(), QFileInfo(db.path()).absolutePath());
    const QString restoreError = errorOf([&] { DatabaseBackup::restoreFrom(copy, kept); });
    QVERIFY2(restoreError.isEmpty(), qPrintable(restoreError));
    QVERIFY(Database::isOpen());
    QCOMPARE(Database::path(), db.path());
    QCOMPARE(db.scalar(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
    QCOMPARE(db.count(QStringLiteral("advocate")), 20000 + written);
    QCOMPARE(db.count(QStringLiteral("courts")), 0);
    {
        Reader reader(kept);
        QCOMPARE(reader.scalar(QStringLiteral("SELECT count(*) FROM advocate")).toInt(), live);
        QCOMPARE(reader.scalar(QStringLiteral("SELECT court FROM courts")).toString(),
                 QStringLiteral("After the backup"));
    }
    // The reopened diary takes new rows as before.
    db.exec(QStringLiteral("INSERT INTO courts (court, indexx) VALUES ('High Court', 1)"));
    QCOMPARE(db.count(QStringLiteral("courts")), 1);
}

void TestBackup::backingUpTwiceReplacesTheCopy()
{
    TestDatabase db;
    QTemporaryDir folder;
    const QString copy = DatabaseBackup::copyPathIn(folder.path());
    db.exec(QStringLiteral("INSERT INTO courts (court, indexx) VALUES ('D''Souza Court', 1)"));
    DatabaseBackup::writeSnapshot(copy);
    db.exec(QStringLiteral("INSERT INTO courts (court, indexx) VALUES ('High Court', 2)"));
    DatabaseBackup::writeSnapshot(copy);

    Reader reader(copy);
    QCOMPARE(
        reader
            .scalar(QStringLiteral(
                "SELECT group_concat(court, '|') FROM (SELECT court FROM courts ORDER BY indexx)"))
            .toString(),
        QStringLiteral("D'Souza Court|High Court"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files),
             QStringList{QStringLiteral("advocate.mdb")});
}

void TestBackup::copyPathAtTheRootOfADrive()
{
    QCOMPARE(DatabaseBackup::copyPathIn(QStringLiteral("/")), QStringLiteral("/advocate.mdb"));
    QCOMPARE(DatabaseBackup::copyPathIn(QStringLiteral("/media/usb/")),
             QStringLiteral("/media/usb/advocate.mdb"));
    QCOMPARE(DatabaseBackup::copyPathIn(QStringLiteral("/media/usb")),
             QStringLiteral("/media/usb/advocate.mdb"));
}

void TestBackup::folderThatCannotTakeTheCopyIsReported()
{
    TestDatabase db;
    QTemporaryDir folder;
    const QString missing = folder.filePath(QStringLiteral("no such folder"));
    QCOMPARE(errorOf([&] { DatabaseBackup::writeSnapshot(DatabaseBackup::copyPathIn(missing)); }),
             QStringLiteral("The folder %1 does not exist.").arg(missing));

    // A file where the folder should be.
    const QString file = folder.filePath(QStringLiteral("notes.txt"));
    QFile notes(file);
    QVERIFY(notes.open(QIODevice::WriteOnly));
    notes.write("notes");
    notes.close();
    QVERIFY(!errorOf([&] {
                 DatabaseBackup::writeSnapshot(file + QStringLiteral("/advocate.mdb"));
             }).isEmpty());

    // A folder where the copy should be is left alone, and so is its content.
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("advocate.mdb")));
    const QString target = DatabaseBackup::copyPathIn(folder.path());
    QCOMPARE(errorOf([&] { DatabaseBackup::writeSnapshot(target); }),
             QStringLiteral("%1 is a folder; it has been left as it is.").arg(target));
    QVERIFY(QFileInfo(target).isDir());
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{QStringLiteral("notes.txt")});

    // A folder nobody may write in, not even the administrator.
    if (QFileInfo(QStringLiteral("/proc/self")).isDir()) {
        const QString error =
            errorOf([] { DatabaseBackup::writeSnapshot(QStringLiteral("/proc/advocate.mdb")); });
        QVERIFY2(error.startsWith(QStringLiteral("/proc/advocate.mdb could not be written: ")),
                 qPrintable(error));
        QVERIFY(error.length() >
                QStringLiteral("/proc/advocate.mdb could not be written: ").length());
    }

    // Without an open database there is nothing to copy.
    Database::close();
    QCOMPARE(
        errorOf([&] { DatabaseBackup::writeSnapshot(folder.filePath(QStringLiteral("x.mdb"))); }),
        QStringLiteral("The database is not open."));
}

void TestBackup::checkRefusesWhatIsNotABackup()
{
    TestDatabase db;
    QTemporaryDir folder;

    const QString text = folder.filePath(QStringLiteral("letter.mdb"));
    QFile letter(text);
    QVERIFY(letter.open(QIODevice::WriteOnly));
    letter.write(QByteArray("Dear Sir, this is not a database at all.\n").repeated(200));
    letter.close();
    QVERIFY(errorOf([&] {
                DatabaseBackup::checkFile(text);
            }).startsWith(text + QStringLiteral(" is not a backup of the diary: ")));

    // Some other program's database.
    const QString other = folder.filePath(QStringLiteral("other.mdb"));
    {
        sqlite3 *raw = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(other).constData(), &raw), SQLITE_OK);
        QCOMPARE(sqlite3_exec(raw,
                              "CREATE TABLE courts (court TEXT, indexx INTEGER); "
                              "CREATE TABLE recipes (name TEXT)",
                              nullptr, nullptr, nullptr),
                 SQLITE_OK);
        sqlite3_close(raw);
    }
    const QString otherError = errorOf([&] { DatabaseBackup::checkFile(other); });
    QVERIFY2(otherError.startsWith(
                 other + QStringLiteral(" is not a backup of the diary: it has no table ")),
             qPrintable(otherError));
    QVERIFY(otherError.contains(QStringLiteral("advocate")));
    QVERIFY(!otherError.contains(QStringLiteral("courts")));

    // A backup damaged on its way.
    db.exec(QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
        "INSERT INTO advocate (caseno, Party1) SELECT 'C/' || i, 'Party ' || i FROM n"));
    const QString damaged = folder.filePath(QStringLiteral("advocate.mdb"));
    DatabaseBackup::writeSnapshot(damaged);
    QCOMPARE(errorOf([&] { DatabaseBackup::checkFile(damaged); }), QString());
    QFile file(damaged);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.size() > 16 * 4096);
    file.seek(8 * 4096);
    file.write(QByteArray(4 * 4096, '\x5a'));
    file.close();
    QVERIFY(errorOf([&] {
                DatabaseBackup::checkFile(damaged);
            }).startsWith(damaged + QStringLiteral(" is not a backup of the diary: ")));

    QCOMPARE(
        errorOf([&] { DatabaseBackup::checkFile(folder.filePath(QStringLiteral("none.mdb"))); }),
        folder.filePath(QStringLiteral("none.mdb")) + QStringLiteral(" does not exist."));
    QCOMPARE(errorOf([&] { DatabaseBackup::checkFile(folder.path()); }),
             folder.path() + QStringLiteral(" is not a file."));
}

void TestBackup::restoreRefusesANonBackupAndChangesNothing()
{
    TestDatabase db;
    db.exec(QStringLiteral("INSERT INTO courts (court, indexx) VALUES ('High Court', 1)"));
    QTemporaryDir folder;
    const QString text = folder.filePath(QStringLiteral("advocate.mdb"));
    QFile letter(text);
    QVERIFY(letter.open(QIODevice::WriteOnly));
    letter.write("not a diary");
    letter.close();
    const QString kept = folder.filePath(QStringLiteral("kept.mdb"));

    QVERIFY(errorOf([&] {
                DatabaseBackup::restoreFrom(text, kept);
            }).startsWith(text + QStringLiteral(" is not a backup of the diary")));
    QVERIFY(!QFile::exists(kept));
    QCOMPARE(db.count(QStringLiteral("courts")), 1);

    // Nor is the diary its own backup.
    QCOMPARE(errorOf([&] { DatabaseBackup::restoreFrom(db.path(), kept); }),
             db.path() + QStringLiteral(" is the diary itself, not a backup of it."));
    QVERIFY(!QFile::exists(kept));
    QCOMPARE(db.count(QStringLiteral("courts")), 1);
}

void TestBackup::restoreNeverOverwritesTheKeptDiary()
{
    TestDatabase db;
    QTemporaryDir folder;
    const QString copy = DatabaseBackup::copyPathIn(folder.path());
    DatabaseBackup::writeSnapshot(copy);
    db.exec(QStringLiteral("INSERT INTO courts (court, indexx) VALUES ('High Court', 1)"));

    const QString kept = folder.filePath(QStringLiteral("kept.mdb"));
    QFile earlier(kept);
    QVERIFY(earlier.open(QIODevice::WriteOnly));
    earlier.write("an earlier file");
    earlier.close();
    QCOMPARE(errorOf([&] { DatabaseBackup::restoreFrom(copy, kept); }),
             kept + QStringLiteral(" already exists; it has been left as it is."));
    QCOMPARE(db.count(QStringLiteral("courts")), 1);
    QVERIFY(earlier.open(QIODevice::ReadOnly));
    QCOMPARE(earlier.readAll(), QByteArray("an earlier file"));
}

void TestBackup::aDiaryThatWillNotOpenIsRestoredInItsPlace()
{
    TestDatabase db;
    db.exec(QStringLiteral("INSERT INTO courts (court, indexx) VALUES ('D''Souza Court', 1)"));
    QTemporaryDir folder;
    const QString copy = DatabaseBackup::copyPathIn(folder.path());
    DatabaseBackup::writeSnapshot(copy);
    Database::close();

    // The diary's first page is overwritten: it no longer opens.
    QFile live(db.path());
    QVERIFY(live.open(QIODevice::ReadWrite));
    live.write(QByteArray(4096, '\0'));
    live.close();
    QVERIFY(!errorOf([&] { Database::open(db.path()); }).isEmpty());
    QVERIFY(!Database::isOpen());
    const QByteArray damaged = [&] {
        QFile f(db.path());
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();

    const QString kept = folder.filePath(QStringLiteral("kept.mdb"));
    QVERIFY(errorOf([&] { DatabaseBackup::restoreFrom(copy, kept); }) ==
            QStringLiteral("The database is not open."));
    const QString error = errorOf([&] { DatabaseBackup::restoreInto(copy, db.path(), kept); });
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY(Database::isOpen());
    QCOMPARE(db.scalar(QStringLiteral("SELECT court FROM courts")).toString(),
             QStringLiteral("D'Souza Court"));
    QFile keptFile(kept);
    QVERIFY(keptFile.open(QIODevice::ReadOnly));
    QCOMPARE(keptFile.readAll(), damaged);

    // With no file at all, the backup becomes the diary.
    Database::close();
    for (const char *suffix : {"", "-wal", "-shm"})
        QFile::remove(db.path() + QLatin1String(suffix));
    const QString none = folder.filePath(QStringLiteral("none.mdb"));
    QCOMPARE(errorOf([&] { DatabaseBackup::restoreInto(copy, db.path(), none); }), QString());
    QVERIFY(!QFile::exists(none));
    QCOMPARE(db.count(QStringLiteral("courts")), 1);

    // A file that is not a backup puts nothing in place: the old file stays.
    Database::close();
    const QByteArray before = [&] {
        QFile f(db.path());
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    QFile letter(folder.filePath(QStringLiteral("letter.mdb")));
    QVERIFY(letter.open(QIODevice::WriteOnly));
    letter.write("not a diary");
    letter.close();
    QVERIFY(!errorOf([&] {
                 DatabaseBackup::restoreInto(letter.fileName(), db.path(),
                                             folder.filePath("k2.mdb"));
             }).isEmpty());
    QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("k2.mdb"))));
    QFile after(db.path());
    QVERIFY(after.open(QIODevice::ReadOnly));
    QCOMPARE(after.readAll(), before);
}

void TestBackup::aBackupWithOtherPagesRestores()
{
    TestDatabase db;
    QTemporaryDir folder;
    // A diary written by another tool, with pages of another size.
    const QString other = folder.filePath(QStringLiteral("advocate.mdb"));
    {
        sqlite3 *raw = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(other).constData(), &raw), SQLITE_OK);
        QCOMPARE(sqlite3_exec(raw, "PRAGMA page_size = 1024", nullptr, nullptr, nullptr),
                 SQLITE_OK);
        QCOMPARE(sqlite3_exec(raw, Database::schemaText().toUtf8().constData(), nullptr, nullptr,
                              nullptr),
                 SQLITE_OK);
        QCOMPARE(sqlite3_exec(raw, "INSERT INTO courts (court, indexx) VALUES ('Family Court', 4)",
                              nullptr, nullptr, nullptr),
                 SQLITE_OK);
        sqlite3_close(raw);
    }
    {
        Reader reader(other);
        QCOMPARE(reader.scalar(QStringLiteral("PRAGMA page_size")).toInt(), 1024);
    }
    const int pageSize = db.scalar(QStringLiteral("PRAGMA page_size")).toInt();
    QVERIFY(pageSize != 1024);

    const QString kept = folder.filePath(QStringLiteral("kept.mdb"));
    const QString error = errorOf([&] { DatabaseBackup::restoreFrom(other, kept); });
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(db.scalar(QStringLiteral("SELECT court FROM courts")).toString(),
             QStringLiteral("Family Court"));
    QCOMPARE(db.scalar(QStringLiteral("PRAGMA page_size")).toInt(), pageSize);
    QCOMPARE(db.scalar(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
    QCOMPARE(QDir(db.folder()).entryList({QStringLiteral("*.part")}, QDir::Files), QStringList());
}

void TestBackup::aBackupOntoTheDiaryIsRefused_data()
{
    QTest::addColumn<QString>("reach"); // how the backup's folder reaches the diary
    QTest::newRow("its own folder") << "folder";
    QTest::newRow("a link to its folder") << "symlink";
    QTest::newRow("a hard link to the diary") << "hardlink";
}

void TestBackup::aBackupOntoTheDiaryIsRefused()
{
    QFETCH(QString, reach);
    QTemporaryDir home;
    const QString office = home.filePath(QStringLiteral("office"));
    QVERIFY(QDir().mkpath(office));
    const QString diary = QDir(office).filePath(QStringLiteral("advocate.mdb"));
    Database::createFile(diary);
    Database::open(diary);
    Database::exec(QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 5000) "
        "INSERT INTO advocate (caseno, Party1) SELECT 'S/' || i, 'Party ' || i FROM n"));

    QString folder = office;
    if (reach == QStringLiteral("symlink")) {
        folder = home.filePath(QStringLiteral("usb"));
        QVERIFY(QFile::link(office, folder));
    } else if (reach == QStringLiteral("hardlink")) {
        folder = home.filePath(QStringLiteral("usb"));
        QVERIFY(QDir().mkpath(folder));
        QCOMPARE(::link(QFile::encodeName(diary).constData(),
                        QFile::encodeName(DatabaseBackup::copyPathIn(folder)).constData()),
                 0);
    }

    // Another desk keeps storing hearings meanwhile.
    Writer writer(diary);
    writer.start();
    while (writer.committed < 10 && writer.isRunning())
        QThread::msleep(1);
    const QString error =
        errorOf([&] { DatabaseBackup::backUpInto(folder, 3, QDate(2026, 12, 7)); });
    writer.stopping = true;
    writer.wait();
    QVERIFY2(writer.error.isEmpty(), qPrintable(writer.error));
    QCOMPARE(error, DatabaseBackup::copyPathIn(folder) +
                        QStringLiteral(" is the open diary or one of the files kept beside it; "
                                       "nothing was written."));
    Database::close();

    Reader reader(diary);
    QCOMPARE(reader.scalar(QStringLiteral("PRAGMA integrity_check")).toString(),
             QStringLiteral("ok"));
    QCOMPARE(reader.scalar(QStringLiteral("SELECT count(*) FROM advocate")).toInt(),
             5000 + 3 * writer.committed);
    QCOMPARE(QDir(folder).entryList({QStringLiteral("*.part*"), QStringLiteral("advocate-*")},
                                    QDir::Files),
             QStringList());
}

void TestBackup::leftoversOfAKilledBackupAreRemoved()
{
    TestDatabase db;
    QTemporaryDir folder;
    const auto make = [&folder](const QString &name) {
        QFile file(folder.filePath(name));
        file.open(QIODevice::WriteOnly);
        file.write(QByteArray(4096, 'x'));
        return file.fileName();
    };
    // What killed runs left: copies and a journal under the temporary names.
    const QStringList leftovers = {make(QStringLiteral("advocate.mdb.Ab12Cd.part")),
                                   make(QStringLiteral("advocate.mdb.Zz9y8X.part-journal")),
                                   make(QStringLiteral("advocate-2026-12-06.mdb.q1W2e3.part"))};
    // Files of others that only look alike.
    const QStringList foreign = {make(QStringLiteral("advocate.mdb.notes.part")),
                                 make(QStringLiteral("advocate.mdb.Ab12Cd.partial")),
                                 make(QStringLiteral("advocate_v2.mdb.Ab12Cd.part")),
                                 make(QStringLiteral("notes.part"))};
    // A copy another run is writing right now.
    const QString running = make(QStringLiteral("advocate.mdb.Run123.part"));
    const int held = ::open(QFile::encodeName(running).constData(), O_RDONLY);
    QVERIFY(held >= 0);
    QCOMPARE(::flock(held, LOCK_EX | LOCK_NB), 0);

    DatabaseBackup::backUpInto(folder.path(), 1, QDate(2026, 12, 7));
    ::close(held);

    for (const QString &file : leftovers)
        QVERIFY2(!QFile::exists(file), qPrintable(file));
    for (const QString &file : foreign + QStringList{running})
        QVERIFY2(QFile::exists(file), qPrintable(file));
    QCOMPARE(errorOf([&] { DatabaseBackup::checkFile(DatabaseBackup::copyPathIn(folder.path())); }),
             QString());
}

void TestBackup::datedCopiesKeepTheLatestDays()
{
    TestDatabase db;
    db.exec(QStringLiteral("INSERT INTO courts (court, indexx) VALUES ('High Court', 1)"));
    QTemporaryDir folder;
    const QDir dir(folder.path());
    const auto make = [&dir](const QString &name) {
        QFile file(dir.filePath(name));
        file.open(QIODevice::WriteOnly);
        file.write("an earlier day");
    };
    // Earlier evenings, out of order, with a gap (no backup on a Sunday).
    for (const char *day : {"2026-12-03", "2026-12-05", "2026-12-01", "2026-12-04", "2026-12-02"})
        make(QStringLiteral("advocate-%1.mdb").arg(QLatin1String(day)));
    // Names that are not dated copies of ours stay whatever their age.
    const QStringList others = {QStringLiteral("advocate-2026-13-01.mdb"),
                                QStringLiteral("advocate-2020-01-01.mdb.bak"),
                                QStringLiteral("advocate-old.mdb"),
                                QStringLiteral("advocate_v2-replaced-20200101-101010.mdb")};
    for (const QString &name : others)
        make(name);

    const QStringList removed = DatabaseBackup::backUpInto(folder.path(), 3, QDate(2026, 12, 7));
    QCOMPARE(removed.size(), 3);
    QStringList expected = {
        QStringLiteral("advocate-2026-12-04.mdb"), QStringLiteral("advocate-2026-12-05.mdb"),
        QStringLiteral("advocate-2026-12-07.mdb"), QStringLiteral("advocate.mdb")};
    expected += others;
    expected.sort();
    QCOMPARE(dir.entryList(QDir::Files, QDir::Name), expected);

    // Today's copy is the backup itself; a second run the same day replaces it.
    const QString today = dir.filePath(QStringLiteral("advocate-2026-12-07.mdb"));
    QCOMPARE(errorOf([&] { DatabaseBackup::checkFile(today); }), QString());
    db.exec(QStringLiteral("INSERT INTO courts (court, indexx) VALUES ('Family Court', 2)"));
    QCOMPARE(DatabaseBackup::backUpInto(folder.path(), 3, QDate(2026, 12, 7)), QStringList());
    {
        Reader reader(today);
        QCOMPARE(reader.scalar(QStringLiteral("SELECT count(*) FROM courts")).toInt(), 2);
    }

    // Keeping one leaves only today's.
    QCOMPARE(DatabaseBackup::backUpInto(folder.path(), 1, QDate(2026, 12, 8)).size(), 3);
    QCOMPARE(dir.entryList({QStringLiteral("advocate-2026-12-0?.mdb")}, QDir::Files),
             QStringList{QStringLiteral("advocate-2026-12-08.mdb")});
}

// A backup is checked page by page; a restore, and a backup on request, also
// compare every index with its table.
void TestBackup::onlyTheFullCheckComparesIndexesWithTables()
{
    TestDatabase db;
    QTemporaryDir folder;
    const QString copy = DatabaseBackup::copyPathIn(folder.path());
    DatabaseBackup::writeSnapshot(copy);
    damageAnIndex(copy);

    QCOMPARE(errorOf([&] { DatabaseBackup::checkFile(copy, DatabaseBackup::Check::Quick); }),
             QString());
    const QString error = errorOf([&] { DatabaseBackup::checkFile(copy); });
    QVERIFY2(error.startsWith(copy + QStringLiteral(" is not a backup of the diary: it fails the "
                                                    "integrity check (")),
             qPrintable(error));
    QVERIFY2(error.contains(QStringLiteral("advocate_caseno")), qPrintable(error));

    const QString kept = folder.filePath(QStringLiteral("kept.mdb"));
    QCOMPARE(errorOf([&] { DatabaseBackup::restoreFrom(copy, kept); }), error);
    QVERIFY(!QFile::exists(kept));
}

// The pages a backup copies are checked as they are copied: a diary damaged
// in the file leaves no copy, dated or not, and the earlier copies stay.
void TestBackup::aDamagedDiaryLeavesNoBackup()
{
    QTemporaryDir elsewhere;
    const QString diary = elsewhere.filePath(QStringLiteral("advocate_v2.mdb"));
    {
        TestDatabase db;
        db.exec(QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
            "INSERT INTO advocate (caseno, Party1) SELECT 'C/' || i, 'Party ' || i FROM n"));
        DatabaseBackup::writeSnapshot(diary);
    }
    QTemporaryDir folder;
    Database::open(diary);
    QVERIFY(DatabaseBackup::backUpInto(folder.path(), 2, QDate(2026, 12, 7)).isEmpty());
    Database::close();

    QFile file(diary);
    QVERIFY(file.open(QIODevice::ReadWrite));
    file.seek(8 * 4096);
    file.write(QByteArray(4 * 4096, '\x5a'));
    file.close();
    Database::open(diary);
    const QString error =
        errorOf([&] { DatabaseBackup::backUpInto(folder.path(), 2, QDate(2026, 12, 8)); });
    Database::close();
    QVERIFY2(error.contains(QStringLiteral(" is not a backup of the diary: ")), qPrintable(error));
    QCOMPARE(
        QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
        (QStringList{QStringLiteral("advocate-2026-12-07.mdb"), QStringLiteral("advocate.mdb")}));
}

// The check beside the copy starts its reads while holding the write lock; a
// desk that holds it for long leaves the backup to copy first and check after.
void TestBackup::anotherDesksLongWriteDoesNotStopTheBackup()
{
    TestDatabase db;
    db.exec(QStringLiteral("INSERT INTO courts (court, indexx) VALUES ('Before', 1)"));
    sqlite3 *desk = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(db.path()).constData(), &desk), SQLITE_OK);
    QCOMPARE(sqlite3_exec(desk,
                          "BEGIN IMMEDIATE; INSERT INTO courts (court, indexx) VALUES ('Open', 2)",
                          nullptr, nullptr, nullptr),
             SQLITE_OK);
    const int wait = Database::lockWait();
    Database::setLockWait(50);
    QTemporaryDir folder;
    const QString error =
        errorOf([&] { DatabaseBackup::backUpInto(folder.path(), 0, QDate(2026, 12, 7)); });
    Database::setLockWait(wait);
    sqlite3_exec(desk, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(desk);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    Reader reader(DatabaseBackup::copyPathIn(folder.path()));
    QCOMPARE(reader.scalar(QStringLiteral("SELECT group_concat(court) FROM courts")).toString(),
             QStringLiteral("Before"));
}

QTEST_GUILESS_MAIN(TestBackup)
#include "tst_backup.moc"
