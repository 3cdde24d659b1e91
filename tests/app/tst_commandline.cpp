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
    void sameFaultSameStatus_data();
    void sameFaultSameStatus();

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
    QVERIFY(query.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'")));
    int tables = 0;
    while (query.next())
        tables += Database::isTextList(query.value(0).toString()) ? 0 : 1;
    QCOMPARE(tables, 13);
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
    // The program names itself as it is typed.
    QVERIFY2(output.startsWith(QStringLiteral("Usage: lexordo ")), qPrintable(output));
    QVERIFY(run({QStringLiteral("--create-database")}) != 0);
    QVERIFY(run({QStringLiteral("--today"), QStringLiteral("31/02/2026"),
                 QStringLiteral("--help-not")}) != 0);
}

void TestCommandLine::sameFaultSameStatus_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("problem");
    QTest::newRow("today not a date")
        << QStringList{"--today", "31/02/2026", "print", "cause-list", "--pdf", "x.pdf"}
        << "--today needs a date written DD/MM/YYYY.";
    QTest::newRow("report date not a date")
        << QStringList{"print", "cause-list", "--date", "31/02/2026", "--pdf", "x.pdf"}
        << "--date needs a date written DD/MM/YYYY";
    QTest::newRow("today twice") << QStringList{"--today", "07/12/2026", "--today", "08/12/2026"}
                                 << "--today is given more than once.";
    QTest::newRow("unknown command") << QStringList{"prnt"} << "There is no command called prnt.";
    QTest::newRow("unknown option") << QStringList{"--todya", "07/12/2026"} << "Unknown option";
}

void TestCommandLine::sameFaultSameStatus()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, problem);
    QString output;
    QCOMPARE(run(arguments, &output), 2);
    QVERIFY2(output.contains(problem), qPrintable(output));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
