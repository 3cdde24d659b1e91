// The carry-forward survives the program being killed at any moment: a child
// process carries thousands of hearings forward and is killed with SIGKILL
// at a random moment; the file must then pass the database's integrity check
// and hold all of today's carried rows or none.

#include <cstdio>
#include <data/database.h>
#include <data/dataerror.h>
#include <diary/diarystore.h>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <sqlite3.h>

using namespace lexordo;

namespace {

const QDate today(2026, 12, 7);
constexpr int dueToday = 4000;
constexpr int otherHearings = 20000;
constexpr int trials = 20;
const char *childVariable = "LEXORDO_CARRY_FORWARD_CHILD";

// The child: opens the diary as the program does and carries today forward.
int runChild(const QString &path)
{
    try {
        Database::open(path);
        std::fputs("ready\n", stdout);
        std::fflush(stdout);
        QElapsedTimer timer;
        timer.start();
        const DiaryStore::CarryResult result = DiaryStore::carryForward(today);
        std::printf("done %d %lld\n", result.added, qint64(timer.nsecsElapsed() / 1000));
        std::fflush(stdout);
        Database::close();
        return 0;
    } catch (const DataError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.description()));
        return 1;
    }
}

struct Inspection
{
    QString integrity;
    int listedToday = -1;
};

Inspection inspect(const QString &path)
{
    Inspection found;
    sqlite3 *db = nullptr;
    if (sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK) {
        found.integrity = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close(db);
        return found;
    }
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW)
        found.integrity =
            QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)));
    sqlite3_finalize(stmt);
    if (sqlite3_prepare_v2(db, "SELECT count(*) FROM advocate WHERE cdate = '2026-12-07'", -1,
                           &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW)
        found.listedToday = sqlite3_column_int(stmt, 0);
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return found;
}

} // namespace

class TestCrashConsistency : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void killedCarryForwardKeepsAllOrNothing();

private:
    bool startChild(QProcess &child, const QString &path);
    QString copyOfTemplate(int trial);

    QTemporaryDir m_dir;
    QString m_template;
};

void TestCrashConsistency::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_template = m_dir.filePath(QStringLiteral("template.mdb"));
    Database::createFile(m_template);
    sqlite3 *db = nullptr;
    QCOMPARE(sqlite3_open(m_template.toUtf8().constData(), &db), SQLITE_OK);
    const QByteArray fill =
        QStringLiteral(
            "BEGIN;"
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
            "INSERT INTO advocate (cdate, pdate, Party1, Party2, caseno, courtname, CourtIndex, "
            "fixedfor, ndate, fixedforN) SELECT date('2026-11-01', '+' || (i % 30) || ' days'), "
            "'2026-10-01', 'Party ' || i, 'State', 'CS ' || i || '/2026', 'Court ' || (i % 9), "
            "i % 9, 'evidence', CASE WHEN i <= %2 THEN '2026-12-07' ELSE '2027-01-15' END, "
            "'arguments' FROM n;"
            "COMMIT;"
            "PRAGMA wal_checkpoint(TRUNCATE);")
            .arg(otherHearings + dueToday)
            .arg(dueToday)
            .toUtf8();
    QCOMPARE(sqlite3_exec(db, fill.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    QFile::remove(m_template + QStringLiteral("-wal"));
    QFile::remove(m_template + QStringLiteral("-shm"));
}

QString TestCrashConsistency::copyOfTemplate(int trial)
{
    const QString path = m_dir.filePath(QStringLiteral("trial%1.mdb").arg(trial));
    QFile::copy(m_template, path);
    return path;
}

bool TestCrashConsistency::startChild(QProcess &child, const QString &path)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(childVariable), path);
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {});
    if (!child.waitForStarted(10000))
        return false;
    while (!child.canReadLine()) {
        if (!child.waitForReadyRead(10000))
            return false;
    }
    return child.readLine().trimmed() == "ready";
}

void TestCrashConsistency::killedCarryForwardKeepsAllOrNothing()
{
    // How long the carry-forward takes when left alone.
    qint64 workMicros = 0;
    {
        const QString path = copyOfTemplate(0);
        QProcess child;
        QVERIFY(startChild(child, path));
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.exitCode(), 0);
        const QList<QByteArray> done = child.readAll().trimmed().split(' ');
        QCOMPARE(done.size(), 3);
        QCOMPARE(done[1].toInt(), dueToday);
        workMicros = done[2].toLongLong();
        const Inspection whole = inspect(path);
        QCOMPARE(whole.integrity, QStringLiteral("ok"));
        QCOMPARE(whole.listedToday, dueToday);
    }
    QVERIFY(workMicros > 0);

    QRandomGenerator random(20261207);
    int killedMidway = 0;
    for (int trial = 1; trial <= trials; ++trial) {
        const QString path = copyOfTemplate(trial);
        QProcess child;
        QVERIFY(startChild(child, path));
        const qint64 delay = qint64(random.bounded(double(workMicros) * 1.2));
        QThread::usleep(static_cast<unsigned long>(delay));
        const bool finishedFirst = child.state() == QProcess::NotRunning;
        child.kill(); // SIGKILL
        QVERIFY(child.waitForFinished(10000));
        if (!finishedFirst && child.exitStatus() == QProcess::CrashExit)
            ++killedMidway;

        const Inspection after = inspect(path);
        QVERIFY2(after.integrity == QStringLiteral("ok"),
                 qPrintable(QStringLiteral("trial %1: %2").arg(trial).arg(after.integrity)));
        QVERIFY2(after.listedToday == 0 || after.listedToday == dueToday,
                 qPrintable(QStringLiteral("trial %1: %2 of %3 rows of today after a kill at %4 us")
                                .arg(trial)
                                .arg(after.listedToday)
                                .arg(dueToday)
                                .arg(delay)));
        for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
            QFile::remove(path + suffix);
    }
    qInfo("%d of %d children killed before they finished; the carry-forward alone takes %lld us",
          killedMidway, trials, workMicros);
    // The kills must have met the carry-forward at work, or nothing was tried.
    QVERIFY2(killedMidway > 0, "no child was killed before it finished");
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString childPath = qEnvironmentVariable(childVariable);
    if (!childPath.isEmpty())
        return runChild(childPath);
    TestCrashConsistency test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_crashconsistency.moc"
