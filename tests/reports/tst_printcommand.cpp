#include "diaryfixture.h"
#include "support/commandrunner.h"
#include "support/pdftext.h"
#include "support/testdatabase.h"

#include <csignal>
#include <data/database.h>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <sys/resource.h>
#include <unistd.h>

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
    void causeListShowsTheCourtsItems();
    void blankNextDates();
    void caseAndPartyHistory();
    void nothingFoundIsRefused_data();
    void nothingFoundIsRefused();
    void wrongArgumentsAreExplained_data();
    void wrongArgumentsAreExplained();
    void helpExplainsTheReports();
    void missingDatabaseIsReported();
    void causeListInIndianScripts();
    void longPartyPrintsItsHearing();
    void todayGivenTwiceIsRefused();
    void helpGivesTheExitStatuses();
    void pdfNeverGoesOverTheDatabase_data();
    void pdfNeverGoesOverTheDatabase();
    void pdfReplacesAFileOnlyWhenComplete();
    void writeErrorsAreReported_data();
    void writeErrorsAreReported();
    void fullDiskKeepsTheOldFile();
    void notADiaryIsRefused_data();
    void notADiaryIsRefused();
    void databasePathOfAnyLength_data();
    void databasePathOfAnyLength();

private:
    using Result = CommandRunner::Result;
    Result print(const QStringList &arguments, const QString &catalogue = {}) const
    {
        return run(QStringList{QStringLiteral("print")} + arguments, catalogue);
    }
    // Without a catalogue, on the test's diary.
    Result run(const QStringList &arguments, const QString &catalogue = {}) const
    {
        return catalogue.isEmpty() ? m_runner->run(arguments) : m_runner->run(arguments, catalogue);
    }
    QString catalogueFor(const QString &databasePath, const QString &name) const;
    static QByteArray hashOf(const QString &path);
    QString pdf(const QString &name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<CommandRunner> m_runner;
};

void TestPrintCommand::initTestCase()
{
    m_db = std::make_unique<TestDatabase>();
    m_runner = std::make_unique<CommandRunner>(QStringLiteral(LEXORDO_BINARY), m_db->path());

    addHearing({.cdate = "07/12/2026",
                .party1 = "D'Souza",
                .court = "High Court",
                .index = 1,
                .caseno = "Crl. A. 5/2026",
                .fixedfor = "Arguments"});
    addHearing({.cdate = "07/12/2026", .party1 = "Anand", .court = "Civil Court", .index = 3});
    addHearing({.cdate = "08/12/2026", .party1 = "Bose", .ndate = "15/12/2026"});
    addHearing({.cdate = "08/12/2026", .party1 = "Decided one", .remarks = "decided"});
    addHearing({.cdate = "01/12/2026",
                .party1 = "Chopra",
                .ndate = "07/12/2026",
                .fixedforN = "Final Arguments"});
    addHearing({.cdate = "09/12/2026",
                .party1 = "D'Souza",
                .court = "High Court",
                .index = 1,
                .caseno = "Crl. A. 5/2026",
                .fixedfor = "Orders"});
    addHoliday("25/12/2026", "Christmas");
}

void TestPrintCommand::cleanupTestCase()
{
    m_runner.reset();
    m_db.reset();
}

QString TestPrintCommand::catalogueFor(const QString &databasePath, const QString &name) const
{
    const QString catalogue = m_dir.filePath(name);
    QFile file(catalogue);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QString();
    file.write("[advocate]\nDriver=SQLite3\nDatabase=" + QFile::encodeName(databasePath) + "\n");
    return catalogue;
}

QByteArray TestPrintCommand::hashOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

void TestPrintCommand::diaryOfOneDayIsTheDaysCauseList()
{
    m_db->exec("DELETE FROM tmpAdvocate");
    const Result result =
        print({"diary", "--from", "07/12/2026", "--to", "07/12/2026", "--pdf", pdf("day.pdf")});
    QCOMPARE(result.status, 0);
    QCOMPARE(result.err, QString());
    QCOMPARE(result.out, QString());
    const QString text = pdfText(pdf("day.pdf"));
    QVERIFY2(text.contains(QStringLiteral("[MONDAY]")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Court Name")));
    // Courts in running order.
    QVERIFY(text.indexOf(QStringLiteral("High Court")) <
            text.indexOf(QStringLiteral("Civil Court")));
    QVERIFY(text.contains(QStringLiteral("D'Souza")));
    QVERIFY(text.contains(QStringLiteral("25/12/2026-Christmas,")));
    // The work table was refilled, as the screen does.
    QCOMPARE(m_db->count("tmpAdvocate"), 2);
}

void TestPrintCommand::diaryOfARangeIsByDate()
{
    const Result result =
        print({"diary", "--from=7/12/2026", "--to=09/12/2026", "--pdf", pdf("range.pdf")});
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
}

void TestPrintCommand::causeListShowsTheCourtsItems()
{
    addHearing({.cdate = "01/12/2026",
                .party1 = "Kumar",
                .caseno = "O.S. 12/2026",
                .ndate = "14/12/2026"});
    addHearing({.cdate = "01/12/2026",
                .party1 = "Mehta",
                .caseno = "O.S. 13/2026",
                .ndate = "14/12/2026"});
    const QString list = m_dir.filePath(QStringLiteral("court-list.txt"));
    QFile file(list);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("DAILY CAUSE LIST 14/12/2026\n40  OS 7/2026  Gupta vs State\n"
               "41  OS 0012/2026  Kumar vs Rao\n");
    file.close();

    Result result = print(
        {"cause-list", "--date", "14/12/2026", "--court-list", list, "--pdf", pdf("items.pdf")});
    QCOMPARE(result.status, 0);
    const QString text = pdfText(pdf("items.pdf"));
    QVERIFY2(text.contains(QStringLiteral("Item 41")), qPrintable(text));
    // Only the case the court lists has an item; not the one it lists for another.
    QCOMPARE(text.count(QStringLiteral("Item ")), 1);
    QVERIFY(!text.contains(QStringLiteral("Item 40")));

    const QString missing = m_dir.filePath(QStringLiteral("no-such-list.pdf"));
    result = print(
        {"cause-list", "--date", "14/12/2026", "--court-list", missing, "--pdf", pdf("none.pdf")});
    QCOMPARE(result.status, 1);
    QVERIFY2(result.err.contains(QStringLiteral("no-such-list.pdf")), qPrintable(result.err));
    QVERIFY(!QFile::exists(pdf("none.pdf")));

    result =
        print({"cause-list", "--court-list", list, "--court-list", list, "--pdf", pdf("none.pdf")});
    QCOMPARE(result.status, 2);
    QVERIFY(result.err.contains(QStringLiteral("--court-list is given more than once.")));
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

void TestPrintCommand::nothingFoundIsRefused_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    const QString noRecord = QStringLiteral("No Record in These Date Range Found, Try Again!!");
    QTest::newRow("diary, empty range")
        << QStringList{"diary", "--from", "10/12/2026", "--to", "20/12/2026"} << noRecord;
    // A day without hearings: the cause list and the diary of that day alike.
    QTest::newRow("diary, day without hearings")
        << QStringList{"diary", "--from", "01/01/2027", "--to", "01/01/2027"} << noRecord;
    QTest::newRow("cause list, day without hearings")
        << QStringList{"cause-list", "--date", "01/01/2027"}
        << "No hearing has its next date on 01/01/2027; no PDF was written.";
    QTest::newRow("blank next dates, empty range")
        << QStringList{"blank-next-dates", "--from", "02/12/2026", "--to", "06/12/2026"}
        << noRecord;
    QTest::newRow("party without hearings")
        << QStringList{"case", "--party", "Nobody"}
        << "No hearing is recorded for the first party \"Nobody\"; no PDF was written.";
    QTest::newRow("second party only")
        << QStringList{"case", "--party", "State"}
        << "No hearing is recorded for the first party \"State\"; no PDF was written.";
    QTest::newRow("case number without hearings")
        << QStringList{"case", "--case-no", "CS 99/2026"}
        << "No hearing is recorded for the case number \"CS 99/2026\"; no PDF was written.";
}

void TestPrintCommand::nothingFoundIsRefused()
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
    QTest::newRow("unknown report")
        << QStringList{"clients", "--pdf", "x.pdf"} << "There is no report called clients.";
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
    // Every date that is not a date is the same fault, with the same status.
    QTest::newRow("bad today")
        << QStringList{"cause-list", "--today", "tomorrow", "--pdf", "x.pdf"}
        << "--today needs a date written DD/MM/YYYY; \"tomorrow\" is not one.";
    QTest::newRow("bad date")
        << QStringList{"cause-list", "--date", "2026-12-07", "--pdf", "x.pdf"}
        << "--date needs a date written DD/MM/YYYY; \"2026-12-07\" is not one.";
    QTest::newRow("first date not a day")
        << QStringList{"diary", "--from", "31/02/2026", "--pdf", "x.pdf"}
        << "--from needs a date written DD/MM/YYYY; \"31/02/2026\" is not one.";
    QTest::newRow("last date not a day")
        << QStringList{"blank-next-dates",
                       "--from",
                       "07/12/2026",
                       "--to",
                       "7 Dec",
                       "--pdf",
                       "x.pdf"}
        << "--to needs a date written DD/MM/YYYY; \"7 Dec\" is not one.";
    QTest::newRow("diary without a first date")
        << QStringList{"diary", "--to", "07/12/2026", "--pdf", "x.pdf"} << "diary needs --from.";
    QTest::newRow("unknown option")
        << QStringList{"diary", "--form", "07/12/2026", "--pdf", "x.pdf"}
        << "Unknown option 'form'.";
    QTest::newRow("stray word") << QStringList{"case", "--party", "A", "B", "--pdf", "x.pdf"}
                                << "B is not an option of case";
    // An option given twice is refused, whichever way it is written.
    QTest::newRow("pdf twice") << QStringList{"cause-list", "--pdf", "a.pdf", "--pdf=b.pdf"}
                               << "--pdf is given more than once.";
    QTest::newRow("from twice") << QStringList{"diary",      "--from", "01/12/2026", "--from",
                                               "02/12/2026", "--pdf",  "x.pdf"}
                                << "--from is given more than once.";
    QTest::newRow("party twice") << QStringList{"case", "--party", "A",    "--party",
                                                "A",    "--pdf",   "x.pdf"}
                                 << "--party is given more than once.";
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
    QVERIFY2(result.err.contains(QStringLiteral("gone.mdb does not exist")),
             qPrintable(result.err));
    QVERIFY(!QFile::exists(pdf("gone.pdf")));
}

void TestPrintCommand::causeListInIndianScripts()
{
    const QStringList parties = {QStringLiteral("राम प्रसाद शर्मा"),
                                 QStringLiteral("முருகன் சுப்பிரமணியம்"),
                                 QStringLiteral("অমিত বন্দ্যোপাধ্যায়"), QStringLiteral("નરેન્દ્ર પટેલ")};
    for (int i = 0; i < parties.size(); ++i)
        addHearing({.cdate = "03/12/2026",
                    .party1 = parties[i],
                    .party2 = parties[(i + 1) % parties.size()],
                    .court = "उच्च न्यायालय",
                    .caseno = QStringLiteral("WP %1/2026").arg(i + 1),
                    .ndate = "11/12/2026",
                    .fixedforN = "सुनवाई"});
    const Result result = print({"cause-list", "--date", "11/12/2026", "--pdf", pdf("hindi.pdf")});
    QCOMPARE(result.status, 0);
    QCOMPARE(result.err, QString());
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {pdf("hindi.pdf"), QStringLiteral("-")});
    QVERIFY(process.waitForFinished(30000));
    const QString text = QString::fromUtf8(process.readAllStandardOutput());
    for (const QString &party : parties) {
        // Whole as the second party; as the first, in a narrower column, a
        // long name may go on to a second line.
        QVERIFY2(text.contains(party), qPrintable(party + u'\n' + text));
        for (const QString &word : party.split(u' '))
            QVERIFY2(text.count(word) >= 2, qPrintable(word + u'\n' + text));
    }
    QCOMPARE(text.count(QStringLiteral("उच्च न्यायालय")), 4);
    QCOMPARE(text.count(QStringLiteral("सुनवाई")), 4);
}

void TestPrintCommand::longPartyPrintsItsHearing()
{
    // A party of 4,000 characters, in the heading and in the row.
    QStringList words;
    for (int i = 0; i < 500; ++i)
        words << QStringLiteral("party%1").arg(i, 3, 10, QLatin1Char('0'));
    const QString party = words.join(u' ');
    addHearing({.cdate = "04/12/2026",
                .party1 = party,
                .party2 = "Second Party",
                .caseno = "OS 77/2026",
                .fixedfor = "Framing of issues"});
    const Result result = print({"case", "--party", party, "--pdf", pdf("long.pdf")});
    QCOMPARE(result.status, 0);
    const QString text = pdfText(pdf("long.pdf"));
    QVERIFY(text.contains(QStringLiteral("Parties :")));
    QVERIFY(text.contains(QStringLiteral("OS 77/2026")));
    QVERIFY(text.contains(QStringLiteral("Framing of issues")));
    QVERIFY(text.contains(QStringLiteral("04/12/2026")));
    // Every word of the heading is there, in order.
    qsizetype at = 0;
    for (const QString &word : words) {
        at = text.indexOf(word, at);
        QVERIFY2(at >= 0, qPrintable(word));
    }
}

void TestPrintCommand::todayGivenTwiceIsRefused()
{
    const Result result = run({"--today", "07/12/2026", "print", "cause-list", "--today",
                               "08/12/2026", "--pdf", pdf("twice.pdf")});
    QCOMPARE(result.status, 2);
    QVERIFY2(result.err.contains(QStringLiteral("--today is given more than once.")),
             qPrintable(result.err));
    QVERIFY(!QFile::exists(pdf("twice.pdf")));
    // Given once, before the command word, it holds for the report.
    QCOMPARE(run({"--today", "07/12/2026", "print", "cause-list", "--pdf", pdf("once.pdf")}).status,
             0);
    QVERIFY(pdfText(pdf("once.pdf")).contains(QStringLiteral("Chopra")));
}

void TestPrintCommand::helpGivesTheExitStatuses()
{
    const Result result = print({"--help"});
    QCOMPARE(result.status, 0);
    for (const char *line :
         {"  0  the PDF was written", "  1  the report could not be made", "  2  wrong arguments"})
        QVERIFY2(result.out.contains(QLatin1String(line)), line);
}

void TestPrintCommand::pdfNeverGoesOverTheDatabase_data()
{
    QTest::addColumn<QString>("target");
    const QString db = m_db->path();
    const QFileInfo info(db);
    QTest::newRow("the database") << db;
    QTest::newRow("its write-ahead journal") << db + "-wal";
    QTest::newRow("its shared memory") << db + "-shm";
    QTest::newRow("by a roundabout path")
        << info.absolutePath() + "/../" + info.absoluteDir().dirName() + "/./" + info.fileName();
    QTest::newRow("through a link") << m_dir.filePath(QStringLiteral("link.mdb"));
    QTest::newRow("through a hard link") << info.absolutePath() + "/hard.mdb";
}

void TestPrintCommand::pdfNeverGoesOverTheDatabase()
{
    QFETCH(QString, target);
    const QString link = m_dir.filePath(QStringLiteral("link.mdb"));
    QFile::remove(link);
    QVERIFY(QFile::link(m_db->path(), link));
    const QString hard = QFileInfo(m_db->path()).absolutePath() + "/hard.mdb";
    QFile::remove(hard);
    QCOMPARE(
        ::link(QFile::encodeName(m_db->path()).constData(), QFile::encodeName(hard).constData()),
        0);
    m_db->exec("INSERT INTO courts (court, indexx) VALUES ('Kept', 9)"); // the journal has content

    const Result result =
        print({"diary", "--from", "07/12/2026", "--to", "07/12/2026", "--pdf", target});
    QCOMPARE(result.status, 1);
    QCOMPARE(result.err, QStringLiteral("%1 is the open diary or one of the files kept beside it; "
                                        "nothing was written.\n")
                             .arg(target));
    // Nothing of a PDF went into the file or beside it.
    QFile written(target);
    if (written.open(QIODevice::ReadOnly))
        QVERIFY(!written.read(5).startsWith("%PDF"));
    QCOMPARE(QDir(QFileInfo(m_db->path()).absolutePath())
                 .entryList({QStringLiteral("*.pdf"), QStringLiteral("*.mdb.*")}, QDir::Files),
             QStringList());
    // Still the diary: a database file, whole, with what was stored.
    QFile file(m_db->path());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.read(16) == QByteArray("SQLite format 3", 16));
    QVERIFY(!file.readAll().contains("%PDF-"));
    QCOMPARE(m_db->scalar("PRAGMA integrity_check").toString(), QStringLiteral("ok"));
    QCOMPARE(m_db->scalar("SELECT count(*) FROM courts WHERE court = 'Kept'").toInt(), 1);
    m_db->exec("DELETE FROM courts WHERE court = 'Kept'");
}

void TestPrintCommand::pdfReplacesAFileOnlyWhenComplete()
{
    QTemporaryDir folder;
    const QString target = folder.filePath(QStringLiteral("cause-list.pdf"));
    QFile old(target);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("yesterday's list");
    old.close();
    QCOMPARE(print({"diary", "--from", "07/12/2026", "--to", "07/12/2026", "--pdf", target}).status,
             0);
    QVERIFY(old.open(QIODevice::ReadOnly));
    const QByteArray written = old.readAll();
    QVERIFY(written.startsWith("%PDF-"));
    QVERIFY(written.trimmed().endsWith("%%EOF"));
    // The temporary file it was written to is gone.
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("cause-list.pdf")});
}

void TestPrintCommand::writeErrorsAreReported_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("message");
    QTest::newRow("a full device") << "/dev/full"
                                   << "/dev/full could not be written: ";
    QTest::newRow("a folder that is not there")
        << pdf(QStringLiteral("no such folder/list.pdf")) << "list.pdf could not be written: ";
    QTest::newRow("a folder") << m_dir.path() << " could not be written: ";
}

void TestPrintCommand::writeErrorsAreReported()
{
    QFETCH(QString, target);
    QFETCH(QString, message);
    const Result result =
        print({"diary", "--from", "07/12/2026", "--to", "07/12/2026", "--pdf", target});
    QCOMPARE(result.status, 1);
    QVERIFY2(result.err.contains(message), qPrintable(result.err));
    QCOMPARE(result.err.count(u'\n'), 1);
}

void TestPrintCommand::fullDiskKeepsTheOldFile()
{
    QTemporaryDir folder;
    const QString target = folder.filePath(QStringLiteral("list.pdf"));
    QFile old(target);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("yesterday's list");
    old.close();

    // A cause list of some pages.
    for (int i = 0; i < 300; ++i)
        addHearing({.cdate = "05/12/2026",
                    .party1 = QStringLiteral("Party %1").arg(i),
                    .ndate = "12/12/2026"});
    m_db->exec("PRAGMA wal_checkpoint(TRUNCATE)");

    // The disk fills up after 40 KB: every file of the process is limited to
    // that size (more than SQLite's shared memory file takes), and a write
    // past it fails as on a full disk.
    const Result result =
        m_runner->run({"print", "cause-list", "--date", "12/12/2026", "--pdf", target}, [] {
            ::signal(SIGXFSZ, SIG_IGN);
            const struct rlimit limit = {40960, 40960};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        });
    QCOMPARE(result.status, 1);
    QVERIFY2(result.err.contains(target + QStringLiteral(" could not be written: ")),
             qPrintable(result.err));
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("yesterday's list"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("list.pdf")});
}

void TestPrintCommand::notADiaryIsRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason");
    QTest::newRow("empty file") << "empty.mdb"
                                << "is empty: it holds no diary.";
    QTest::newRow("random bytes")
        << "random.mdb"
        << "is not a database: its contents are not those of an SQLite database file.";
    QTest::newRow("text file") << "text.mdb"
                               << "is a text file, not a database.";
    QTest::newRow("truncated") << "truncated.mdb"
                               << "is cut short: it holds ";
    QTest::newRow("missing column")
        << "nondate.mdb"
        << "is not a diary of this program: the column advocate.ndate is missing.";
    QTest::newRow("missing table")
        << "noholidays.mdb"
        << "is not a diary of this program: the table Holidays is missing.";
}

void TestPrintCommand::notADiaryIsRefused()
{
    QFETCH(QString, name);
    QFETCH(QString, reason);
    QTemporaryDir folder;
    const QString path = folder.filePath(name);
    auto write = [&](const QByteArray &bytes) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    };
    auto alter = [&](const QString &sql) {
        Database::createFile(path);
        {
            QSqlDatabase db =
                QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bad"));
            db.setDatabaseName(path);
            QVERIFY(db.open());
            for (const QString &statement : sql.split(u';')) {
                QSqlQuery query(db);
                QVERIFY2(query.exec(statement), qPrintable(statement));
            }
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("bad"));
    };
    if (name == QStringLiteral("empty.mdb")) {
        write(QByteArray());
    } else if (name == QStringLiteral("random.mdb")) {
        QByteArray bytes;
        quint32 seed = 12345;
        for (int i = 0; i < 20000; ++i) {
            seed = seed * 1103515245u + 12345u;
            bytes.append(char(seed >> 24));
        }
        write(bytes);
    } else if (name == QStringLiteral("text.mdb")) {
        write("[advocate]\nThis is a letter to the court, not a diary.\n");
    } else if (name == QStringLiteral("truncated.mdb")) {
        Database::createFile(path);
        QFile file(path);
        QVERIFY(file.size() > 8192);
        QVERIFY(file.resize(8192 + 100));
    } else if (name == QStringLiteral("nondate.mdb")) {
        alter(QStringLiteral("DROP INDEX advocate_ndate;ALTER TABLE advocate DROP COLUMN ndate"));
    } else {
        alter(QStringLiteral("DROP TABLE Holidays"));
    }
    const QByteArray before = hashOf(path);
    const qint64 sizeBefore = QFileInfo(path).size();

    const Result result = print({"cause-list", "--date", "07/12/2026", "--pdf", pdf("bad.pdf")},
                                catalogueFor(path, QStringLiteral("bad.ini")));
    QCOMPARE(result.status, 1);
    QVERIFY2(result.err.startsWith(QStringLiteral("The database %1 %2").arg(path, reason)),
             qPrintable(result.err));
    QCOMPARE(result.err.count(u'\n'), 1); // one message
    QVERIFY(!QFile::exists(pdf("bad.pdf")));
    // The file is left as it was: an empty file is not made into a database.
    QCOMPARE(QFileInfo(path).size(), sizeBefore);
    QCOMPARE(hashOf(path), before);
}

void TestPrintCommand::databasePathOfAnyLength_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("works");
    QTest::newRow("300 bytes") << 300 << true;
    QTest::newRow("500 bytes") << 500 << true;
    QTest::newRow("501 bytes") << 501 << false;
    QTest::newRow("900 bytes") << 900 << false;
    QTest::newRow("1500 bytes, more than the catalogue holds") << 1500 << false;
}

void TestPrintCommand::databasePathOfAnyLength()
{
    QFETCH(int, length);
    QFETCH(bool, works);
    QTemporaryDir root;
    QString folder = root.path();
    const QString file = QStringLiteral("/advocate_v2.mdb");
    // Folders of at most 100 characters until the path has the length asked.
    while (folder.size() + file.size() < length) {
        const qsizetype left = length - file.size() - folder.size() - 1;
        folder += u'/' + QString(std::min<qsizetype>(std::max<qsizetype>(left, 1), 100), u'd');
    }
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + file;
    QCOMPARE(path.size(), length);
    m_db->exec("PRAGMA wal_checkpoint(TRUNCATE)");
    QVERIFY(QFile::copy(m_db->path(), path));

    const Result result = print({"cause-list", "--date", "07/12/2026", "--pdf", pdf("long.pdf")},
                                catalogueFor(path, QStringLiteral("long.ini")));
    if (works) {
        QCOMPARE(result.status, 0);
        QVERIFY(pdfText(pdf("long.pdf")).contains(QStringLiteral("Chopra")));
    } else {
        QCOMPARE(result.status, 1);
        QVERIFY2(result.err.contains(QStringLiteral("the database can be opened from a path of "
                                                    "at most 500 bytes")),
                 qPrintable(result.err));
    }
    QFile::remove(pdf("long.pdf"));
}

QTEST_MAIN(TestPrintCommand)
#include "tst_printcommand.moc"
