#include "diaryfixture.h"
#include "support/testdatabase.h"

#include <data/datasource.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace lexordo;
using namespace lexordo::test;

// `lexordo print ...` run as cron would run it: a separate process with no
// display, on the database of the data source "advocate".
class TestPrintCommand : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void diaryOfOneDayIsTheDaysCauseList();
    void diaryOfARangeIsByDate();
    void causeListByNextDate();
    void blankNextDates();
    void caseAndPartyHistory();
    void badDatesAndEmptyRangesAreRefused_data();
    void badDatesAndEmptyRangesAreRefused();
    void wrongArgumentsAreExplained_data();
    void wrongArgumentsAreExplained();
    void helpExplainsTheReports();
    void missingDatabaseIsReported();

private:
    struct Result
    {
        int status = -1;
        QString out;
        QString err;
    };
    Result print(const QStringList &arguments, const QString &catalogue = {}) const;
    static QString pdfText(const QString &path);
    QString pdf(const QString &name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    QString m_catalogue;
    std::unique_ptr<TestDatabase> m_db;
};

void TestPrintCommand::initTestCase()
{
    m_catalogue = m_dir.filePath(QStringLiteral("odbc.ini"));
    qputenv("ODBCINI", m_catalogue.toLocal8Bit());
    m_db = std::make_unique<TestDatabase>();
    QVERIFY(DataSource::writeEntry(m_db->path()));

    addHearing({.cdate = "07/12/2026", .party1 = "D'Souza", .court = "High Court", .index = 1,
                .caseno = "Crl. A. 5/2026", .fixedfor = "Arguments"});
    addHearing({.cdate = "07/12/2026", .party1 = "Anand", .court = "Civil Court", .index = 3});
    addHearing({.cdate = "08/12/2026", .party1 = "Bose", .ndate = "15/12/2026"});
    addHearing({.cdate = "08/12/2026", .party1 = "Decided one", .remarks = "decided"});
    addHearing({.cdate = "01/12/2026", .party1 = "Chopra", .ndate = "07/12/2026",
                .fixedforN = "Final Arguments"});
    addHearing({.cdate = "09/12/2026", .party1 = "D'Souza", .court = "High Court", .index = 1,
                .caseno = "Crl. A. 5/2026", .fixedfor = "Orders"});
    addHoliday("25/12/2026", "Christmas");
}

void TestPrintCommand::cleanupTestCase()
{
    m_db.reset();
    qunsetenv("ODBCINI");
}

TestPrintCommand::Result TestPrintCommand::print(const QStringList &arguments,
                                                 const QString &catalogue) const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // No display of any kind, as under cron.
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.insert(QStringLiteral("ODBCINI"), catalogue.isEmpty() ? m_catalogue : catalogue);
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(LEXORDO_BINARY), QStringList{QStringLiteral("print")} + arguments);
    Result result;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return result;
    result.status = process.exitCode();
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

QString TestPrintCommand::pdfText(const QString &path)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

void TestPrintCommand::diaryOfOneDayIsTheDaysCauseList()
{
    m_db->exec("DELETE FROM tmpAdvocate");
    const Result result = print({"diary", "--from", "07/12/2026", "--to", "07/12/2026", "--pdf",
                                 pdf("day.pdf")});
    QCOMPARE(result.status, 0);
    QCOMPARE(result.err, QString());
    QCOMPARE(result.out, QString());
    const QString text = pdfText(pdf("day.pdf"));
    QVERIFY2(text.contains(QStringLiteral("[MONDAY]")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Court Name")));
    // Courts in running order.
    QVERIFY(text.indexOf(QStringLiteral("High Court")) < text.indexOf(QStringLiteral("Civil Court")));
    QVERIFY(text.contains(QStringLiteral("D'Souza")));
    QVERIFY(text.contains(QStringLiteral("25/12/2026-Christmas,")));
    // The work table was refilled, as the screen does.
    QCOMPARE(m_db->count("tmpAdvocate"), 2);
}

void TestPrintCommand::diaryOfARangeIsByDate()
{
    const Result result = print({"diary", "--from=7/12/2026", "--to=09/12/2026", "--pdf",
                                 pdf("range.pdf")});
    QCOMPARE(result.status, 0);
    const QString text = pdfText(pdf("range.pdf"));
    QVERIFY(text.contains(QStringLiteral("Case Dates between")));
    QVERIFY(text.contains(QStringLiteral("7/12/2026")));
    const qsizetype seventh = text.indexOf(QStringLiteral("07/12/2026"));
    const qsizetype eighth = text.indexOf(QStringLiteral("08/12/2026"));
    QVERIFY(seventh >= 0 && eighth > seventh);
    QVERIFY(text.contains(QStringLiteral("Decided one")));
    QCOMPARE(m_db->count("tmpAdvocate"), 5);
}

void TestPrintCommand::causeListByNextDate()
{
    // Without --date the list is today's.
    const Result result = print({"cause-list", "--today", "07/12/2026", "--pdf", pdf("next.pdf")});
    QCOMPARE(result.status, 0);
    const QString text = pdfText(pdf("next.pdf"));
    QVERIFY(text.contains(QStringLiteral("Date :")));
    QVERIFY(text.contains(QStringLiteral("Chopra")));
    QVERIFY(text.contains(QStringLiteral("Final Arguments")));
    QVERIFY(!text.contains(QStringLiteral("Anand")));
    QVERIFY(text.contains(QStringLiteral("25/12/2026-Christmas")));
    QVERIFY(!text.contains(QStringLiteral("Christmas,")));

    // A day without hearings still prints its headings.
    QCOMPARE(print({"cause-list", "--date", "01/01/2027", "--pdf", pdf("empty.pdf")}).status, 0);
    QVERIFY(pdfText(pdf("empty.pdf")).contains(QStringLiteral("01/01/2027")));
}

void TestPrintCommand::blankNextDates()
{
    const Result result = print({"blank-next-dates", "--from", "07/12/2026", "--to", "09/12/2026",
                                 "--pdf", pdf("blank.pdf")});
    QCOMPARE(result.status, 0);
    const QString text = pdfText(pdf("blank.pdf"));
    QVERIFY(text.contains(QStringLiteral("Anand")));
    QVERIFY(!text.contains(QStringLiteral("Bose")));        // has a next date
    QVERIFY(!text.contains(QStringLiteral("Decided one"))); // decided
}

void TestPrintCommand::caseAndPartyHistory()
{
    QCOMPARE(print({"case", "--party", "d'souza", "--pdf", pdf("party.pdf")}).status, 0);
    QString text = pdfText(pdf("party.pdf"));
    QVERIFY2(text.contains(QStringLiteral("Parties :")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("d'souza")));
    QVERIFY(text.indexOf(QStringLiteral("Arguments")) < text.indexOf(QStringLiteral("Orders")));

    QCOMPARE(print({"case", "--case-no", "Crl. A. 5/2026", "--pdf", pdf("case.pdf")}).status, 0);
    text = pdfText(pdf("case.pdf"));
    QVERIFY(text.contains(QStringLiteral("Case No :")));
    QCOMPARE(text.count(QStringLiteral("Crl. A. 5/2026")), 3); // heading and two hearings
}

void TestPrintCommand::badDatesAndEmptyRangesAreRefused_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    const QString enterDate = QStringLiteral("Enter The Date in DD/MM/YYYY Format ");
    const QString noRecord = QStringLiteral("No Record in These Date Range Found, Try Again!!");
    QTest::newRow("diary without a first date") << QStringList{"diary", "--to", "07/12/2026"}
                                                << enterDate;
    QTest::newRow("diary, first date not a day") << QStringList{"diary", "--from", "31/02/2026"}
                                                 << enterDate;
    QTest::newRow("diary, empty range")
        << QStringList{"diary", "--from", "10/12/2026", "--to", "20/12/2026"} << noRecord;
    QTest::newRow("diary, last date not a day")
        << QStringList{"diary", "--from", "07/12/2026", "--to", "7 Dec"}
        << "\"7 Dec\" is not a valid date for Date.";
    QTest::newRow("blank next dates, empty range")
        << QStringList{"blank-next-dates", "--from", "02/12/2026", "--to", "06/12/2026"}
        << noRecord;
    QTest::newRow("cause list, not a day") << QStringList{"cause-list", "--date", "2026-12-07"}
                                           << enterDate;
}

void TestPrintCommand::badDatesAndEmptyRangesAreRefused()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    const QString path = pdf(QStringLiteral("refused.pdf"));
    QFile::remove(path);
    m_db->exec("DELETE FROM tmpAdvocate; INSERT INTO tmpAdvocate (Party1) VALUES ('kept')");
    const Result result = print(arguments + QStringList{"--today", "07/12/2026", "--pdf", path});
    QCOMPARE(result.status, 1);
    QCOMPARE(result.err, message + u'\n');
    QVERIFY(!QFile::exists(path));
    QCOMPARE(m_db->count("tmpAdvocate"), 1);
}

void TestPrintCommand::wrongArgumentsAreExplained_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("problem");
    QTest::newRow("no report") << QStringList{} << "Which report?";
    QTest::newRow("unknown report") << QStringList{"clients", "--pdf", "x.pdf"}
                                    << "There is no report called clients.";
    QTest::newRow("no pdf") << QStringList{"cause-list"} << "--pdf FILE";
    QTest::newRow("option of another report")
        << QStringList{"cause-list", "--from", "07/12/2026", "--pdf", "x.pdf"}
        << "--from is not an option of cause-list.";
    QTest::newRow("value missing") << QStringList{"diary", "--pdf"} << "--pdf needs a value.";
    QTest::newRow("both criteria")
        << QStringList{"case", "--party", "A", "--case-no", "B", "--pdf", "x.pdf"}
        << "either --case-no or --party";
    QTest::newRow("no criterion") << QStringList{"case", "--pdf", "x.pdf"}
                                  << "either --case-no or --party";
    QTest::newRow("bad today") << QStringList{"cause-list", "--today", "tomorrow", "--pdf", "x.pdf"}
                               << "--today needs a date written DD/MM/YYYY.";
}

void TestPrintCommand::wrongArgumentsAreExplained()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, problem);
    const Result result = print(arguments);
    QCOMPARE(result.status, 2);
    QVERIFY2(result.err.contains(problem), qPrintable(result.err));
    QVERIFY(result.err.contains(QStringLiteral("lexordo print --help")));
}

void TestPrintCommand::helpExplainsTheReports()
{
    const Result result = print({"--help"});
    QCOMPARE(result.status, 0);
    for (const char *words : {"cause-list", "diary", "blank-next-dates", "--case-no", "--party",
                              "--pdf FILE", "Exit status"})
        QVERIFY2(result.out.contains(QLatin1String(words)), words);
    QCOMPARE(result.err, QString());
}

void TestPrintCommand::missingDatabaseIsReported()
{
    const QString catalogue = m_dir.filePath(QStringLiteral("elsewhere.ini"));
    QFile file(catalogue);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[advocate]\nDriver=SQLite3\nDatabase=" +
               m_dir.filePath(QStringLiteral("gone.mdb")).toLocal8Bit() + "\n");
    file.close();
    const Result result =
        print({"diary", "--from", "07/12/2026", "--pdf", pdf("gone.pdf")}, catalogue);
    QCOMPARE(result.status, 1);
    QVERIFY2(result.err.contains(QStringLiteral("gone.mdb does not exist")), qPrintable(result.err));
    QVERIFY(!QFile::exists(pdf("gone.pdf")));
}

QTEST_MAIN(TestPrintCommand)
#include "tst_printcommand.moc"
