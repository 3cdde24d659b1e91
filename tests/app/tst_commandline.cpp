#include <data/database.h>

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
    QVERIFY(query.exec(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table'")));
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toInt(), 13);
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
    QVERIFY(run({QStringLiteral("--create-database")}) != 0);
    QVERIFY(run({QStringLiteral("--today"), QStringLiteral("31/02/2026"),
                 QStringLiteral("--help-not")}) != 0);
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
