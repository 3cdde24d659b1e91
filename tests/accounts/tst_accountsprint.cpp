#include "support/commandrunner.h"
#include "support/pdftext.h"
#include "support/testdatabase.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace lexordo;
using namespace lexordo::test;

// `lexordo print fees|bill|receipt` run as cron would run it: a process of
// its own with no display, on the database of the data source "advocate".
class TestAccountsPrint : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void feeStatementOfOneAccount();
    void annualStatementOfAllAccounts();
    void badInputIsRefused_data();
    void badInputIsRefused();
    void billIsReprintedAsStored();
    void receiptIsReprintedAsStored();

private:
    using Result = CommandRunner::Result;
    Result print(const QStringList &arguments) const
    {
        return m_runner->run(QStringList{QStringLiteral("print")} + arguments);
    }
    QString pdf(const QString &name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<CommandRunner> m_runner;
};

void TestAccountsPrint::initTestCase()
{
    m_db = std::make_unique<TestDatabase>();
    m_runner = std::make_unique<CommandRunner>(QStringLiteral(LEXORDO_BINARY), m_db->path());
    m_db->exec(QStringLiteral("INSERT INTO AC_INFO VALUES "
                              "('Ravi Kumar', '2006-04-01', 'Retainer', 1000, 250, 50, 800, 500), "
                              "('Ravi Kumar', '2007-03-31', 'Appeal', 2000, 0, 0, 500, 1500), "
                              "('D''Souza', '2007-04-01', 'Suit', 500, 100, 0, 0, 600)"));
    m_db->exec(QStringLiteral(
        "INSERT INTO bill (BillNo, BillDate, \"To\", Address, Ref, s1, P1, a1, s2, p2, a2, Total, "
        "STP, Stax, GTotal, Rupees) VALUES (41, '2026-12-07', 'O''Brien', '12 MG Road', "
        "'Suit 12/2026', '1', 'Drafting', 1000, '2', 'Appearance', 750, 1750, 12, 210, 1960, "
        "'One Nine Six Zero  only')"));
    m_db->exec(QStringLiteral(
        "INSERT INTO Receipt VALUES (5, '2026-12-07', 'D''Souza', 'Fees of appeal', 'By Cheque', "
        "'123456', '2026-12-06', 'State Bank', 1500, 'Rupees one thousand five hundred only')"));

    // The program's settings, with the advocate's name, in a folder of the test's own.
    const QString settings = m_dir.filePath(QStringLiteral("config/Lexordo"));
    QVERIFY(QDir().mkpath(settings));
    QFile conf(settings + QStringLiteral("/Lexordo.conf"));
    QVERIFY(conf.open(QIODevice::WriteOnly));
    conf.write("[office]\nadvocateName=Adv. Meera Iyer\n");
    m_runner->setVariable(QStringLiteral("XDG_CONFIG_HOME"),
                          m_dir.filePath(QStringLiteral("config")));
}

void TestAccountsPrint::cleanupTestCase()
{
    m_runner.reset();
    m_db.reset();
}

void TestAccountsPrint::feeStatementOfOneAccount()
{
    const Result result = print({"fees", "--from", "01/04/2006", "--to", "31/03/2007", "--name",
                                 "ravi kumar", "--pdf", pdf("fees.pdf")});
    QCOMPARE(result.err, QString());
    QCOMPARE(result.status, 0);
    const QString text = pdfText(pdf("fees.pdf"));
    QVERIFY2(text.contains(QStringLiteral("Accounts Deatails")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Retainer")));
    QVERIFY(text.contains(QStringLiteral("Appeal")));
    QVERIFY(!text.contains(QStringLiteral("Suit")));
    QVERIFY(text.contains(QStringLiteral("3000.00")));
    QCOMPARE(m_db->count(QStringLiteral("tmpac_info")), 2);
}

void TestAccountsPrint::annualStatementOfAllAccounts()
{
    const Result result =
        print({"fees", "--from=01/04/2006", "--to=30/04/2007", "--pdf", pdf("annual.pdf")});
    QCOMPARE(result.status, 0);
    const QString text = pdfText(pdf("annual.pdf"));
    QVERIFY(text.indexOf(QStringLiteral("2006-2007")) < text.indexOf(QStringLiteral("2007-2008")));
    QVERIFY(text.indexOf(QStringLiteral("2007-2008")) < text.indexOf(QStringLiteral("Suit")));
    QVERIFY(text.contains(QStringLiteral("30/04/2007")));
    QCOMPARE(m_db->count(QStringLiteral("tmpac_info")), 3);
}

void TestAccountsPrint::badInputIsRefused_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::newRow("fees without a date")
        << QStringList{"fees", "--pdf", "x.pdf"} << 2 << "fees needs --from.";
    QTest::newRow("fees with a bad date")
        << QStringList{"fees", "--from", "32/01/2006", "--pdf", "x.pdf"} << 2
        << "--from needs a date written DD/MM/YYYY; \"32/01/2006\" is not one.";
    QTest::newRow("fees of an empty period")
        << QStringList{"fees", "--from", "01/01/2020", "--to", "02/01/2020", "--pdf", "x.pdf"} << 1
        << "No Record in These Date Range Found, Try Again!!";
    QTest::newRow("no such bill") << QStringList{"bill", "--number", "99", "--pdf", "x.pdf"} << 1
                                  << "There is no bill number 99.";
    QTest::newRow("no such receipt") << QStringList{"receipt", "--number", "6", "--pdf", "x.pdf"}
                                     << 1 << "There is no receipt number 6.";
    QTest::newRow("number not a number")
        << QStringList{"bill", "--number", "4x", "--pdf", "x.pdf"} << 2
        << "--number needs a whole number above 0; \"4x\" is not one.";
    QTest::newRow("receipt without a number")
        << QStringList{"receipt", "--pdf", "x.pdf"} << 2 << "receipt needs --number.";
    QTest::newRow("option of another report")
        << QStringList{"bill", "--from", "1/1/2020", "--pdf", "x.pdf"} << 2
        << "--from is not an option of bill.";
}

void TestAccountsPrint::badInputIsRefused()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, message);
    arguments.replace(arguments.indexOf(QStringLiteral("x.pdf")), pdf(QStringLiteral("x.pdf")));
    const Result result = print(arguments);
    QCOMPARE(result.status, status);
    // A wrong argument is one line that also says where the usage is.
    const QString ending = status == 2
                               ? QStringLiteral(" lexordo print --help tells how to use it.\n")
                               : QStringLiteral("\n");
    QVERIFY2(result.err.startsWith(message + ending), qPrintable(result.err));
    QVERIFY(!QFile::exists(pdf(QStringLiteral("x.pdf"))));
}

void TestAccountsPrint::billIsReprintedAsStored()
{
    const Result result = print({"bill", "--number", "41", "--pdf", pdf("bill.pdf")});
    QCOMPARE(result.err, QString());
    QCOMPARE(result.status, 0);
    const QString text = pdfText(pdf("bill.pdf"));
    for (const char *expected :
         {"BILL", "O'Brien", "12 MG Road", "Suit 12/2026", "07/12/2026", "Drafting", "Appearance",
          "1750", "210", "1960", "One Nine Six Zero only", "Authorised Signatory"})
        QVERIFY2(text.simplified().contains(QLatin1String(expected)), expected);
}

void TestAccountsPrint::receiptIsReprintedAsStored()
{
    const Result result = print({"receipt", "--number", "5", "--pdf", pdf("receipt.pdf")});
    QCOMPARE(result.err, QString());
    QCOMPARE(result.status, 0);
    const QString text = pdfText(pdf("receipt.pdf"));
    for (const char *expected :
         {"Adv. Meera Iyer", "Receipt", "D'Souza", "Rs.1500/-", "By Cheque", "123456", "06/12/2026",
          "State Bank", "Fees of appeal", "Rupees one thousand five hundred only"})
        QVERIFY2(text.contains(QLatin1String(expected)), expected);
}

QTEST_GUILESS_MAIN(TestAccountsPrint)
#include "tst_accountsprint.moc"
