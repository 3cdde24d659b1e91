#include "support/scriptedmessenger.h"
#include "support/testdatabase.h"

#include <accounts/accountsreports.h>
#include <accounts/accountsstore.h>
#include <accounts/feestatementscreen.h>
#include <data/clock.h>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <reports/runtime/reportengine.h>

using namespace lexordo;
using Answer = Messenger::Answer;

// The fee statements: the work table tmpac_info refilled from the ledger,
// one account's statement and the annual statement of all accounts.
class TestFeeStatements : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void financialYear_data();
    void financialYear();
    void bothEndDatesAreIncluded();
    void oneAccountHasOneGroupWithItsTotals();
    void bankAccountHeadings_data();
    void bankAccountHeadings();
    void allAccountsByFinancialYearInDateOrder();
    void secondStatementHoldsOnlyItsOwnRows();
    void refusalsLeaveTheWorkTableAlone_data();
    void refusalsLeaveTheWorkTableAlone();
    void aFailedRefillKeepsTheOldRows();
    void manyRowsHaveNoLimit();
    void numbersForNewBillsAndReceipts();
    void screenMakesTheStatement();

private:
    QStringList workTable() const;
    static QStringList column(const AccountsReport &report, const QString &name);

    std::unique_ptr<test::TestDatabase> m_db;
    std::unique_ptr<ScriptedMessenger> m_messages;
};

void TestFeeStatements::init()
{
    m_db = std::make_unique<test::TestDatabase>();
    m_messages = std::make_unique<ScriptedMessenger>();
    Clock::setToday(QDate(2026, 12, 7));
    m_db->exec(QStringLiteral(
        "INSERT INTO Clients (ACname) VALUES ('Ravi Kumar'), ('D''Souza'), ('Bank')"));
    m_db->exec(QStringLiteral("INSERT INTO AC_INFO VALUES "
                              "('Ravi Kumar', '2007-03-31', 'Appeal', 2000, 0, 0, 500, 1500), "
                              "('Ravi Kumar', '2006-04-01', 'Retainer', 1000, 250, 50, 800, 500), "
                              "('Ravi Kumar', '2006-03-31', 'Before', 1, 1, 1, 1, 2), "
                              "('Ravi Kumar', '2007-04-01', 'After', 3, 3, 3, 3, 6), "
                              "('D''Souza', '2006-06-15', 'Suit', 500, 100, 0, 0, 600), "
                              "('Bank', '2006-05-01', 'Deposit', 0, 5000, 0, 200, 4800)"));
}

void TestFeeStatements::cleanup()
{
    QList<QPointer<QWidget>> windows;
    for (QWidget *top : QApplication::topLevelWidgets())
        windows << top;
    for (const QPointer<QWidget> &w : windows)
        delete w.data();
    QCOMPARE(m_messages->unansweredCount(), 0);
    QCOMPARE(m_messages->pendingAnswers(), 0);
    m_messages.reset();
    m_db.reset();
    Clock::reset();
}

QStringList TestFeeStatements::workTable() const
{
    return m_db
        ->scalar(QStringLiteral("SELECT group_concat(Name || '/' || transdate || '/' || Gr, ';') "
                                "FROM (SELECT * FROM tmpac_info ORDER BY rowid) AS work"))
        .toString()
        .split(u';', Qt::SkipEmptyParts);
}

QStringList TestFeeStatements::column(const AccountsReport &report, const QString &name)
{
    QStringList values;
    const ResultTable &table = report.data.table();
    for (const ResultGroup &group : report.data.groups()) {
        for (int row : group.rows)
            values << table.value(row, name).toString();
    }
    return values;
}

void TestFeeStatements::financialYear_data()
{
    QTest::addColumn<QDate>("day");
    QTest::addColumn<QString>("year");
    QTest::newRow("1 April starts it") << QDate(2006, 4, 1) << "2006-2007";
    QTest::newRow("31 March ends it") << QDate(2007, 3, 31) << "2006-2007";
    QTest::newRow("31 March before") << QDate(2006, 3, 31) << "2005-2006";
    QTest::newRow("December") << QDate(2026, 12, 7) << "2026-2027";
    QTest::newRow("January") << QDate(2027, 1, 1) << "2026-2027";
}

void TestFeeStatements::financialYear()
{
    QFETCH(QDate, day);
    QFETCH(QString, year);
    QCOMPARE(AccountsStore::financialYear(day), year);
}

void TestFeeStatements::bothEndDatesAreIncluded()
{
    QCOMPARE(AccountsStore::refillStatementTable(QStringLiteral("Ravi Kumar"), QDate(2006, 4, 1),
                                                 QDate(2007, 3, 31)),
             2);
    QCOMPARE(workTable(),
             (QStringList{"Ravi Kumar/2006-04-01/2006-2007", "Ravi Kumar/2007-03-31/2006-2007"}));
}

void TestFeeStatements::oneAccountHasOneGroupWithItsTotals()
{
    const std::optional<AccountsReport> statement = feeStatement(
        QStringLiteral(" ravi kumar "), QStringLiteral("01/04/2006"), QStringLiteral("31/03/2007"));
    QVERIFY(statement);
    QCOMPARE(statement->layout.name(), QStringLiteral("drTransFees"));
    QCOMPARE(statement->data.groups().size(), 1);
    const ResultGroup &group = statement->data.groups().first();
    QCOMPARE(group.sum(QStringLiteral("AgNLFees")), 3000.0);
    QCOMPARE(group.sum(QStringLiteral("AgCFees")), 250.0);
    QCOMPARE(group.sum(QStringLiteral("AgMisc")), 50.0);
    QCOMPARE(group.sum(QStringLiteral("AgRec")), 1300.0);
    QCOMPARE(group.sum(QStringLiteral("AgBal")), 2000.0);
    QCOMPARE(column(*statement, QStringLiteral("Part")), (QStringList{"Retainer", "Appeal"}));

    // The printed page: the name, the rows by date and the totals.
    const report::ReportDocument document = report::layOut(statement->layout, statement->data);
    const QStringList texts = document.pages.first().texts();
    QVERIFY(texts.contains(QStringLiteral("Accounts Deatails")));
    QVERIFY(texts.contains(QStringLiteral("Name :")));
    QVERIFY(texts.contains(QStringLiteral("Ravi Kumar")));
    QVERIFY(texts.contains(QStringLiteral("Cout Fees")));
    QVERIFY(texts.contains(QStringLiteral("Received")));
    QVERIFY(texts.indexOf(QStringLiteral("01/04/2006")) <
            texts.indexOf(QStringLiteral("31/03/2007")));
    QVERIFY2(texts.contains(QStringLiteral("3000.00")), qPrintable(texts.join(u'|')));
    QVERIFY(texts.contains(QStringLiteral("1300.00")));
    QVERIFY(texts.contains(QStringLiteral("2000.00")));
}

void TestFeeStatements::bankAccountHeadings_data()
{
    QTest::addColumn<QString>("account");
    QTest::addColumn<bool>("bank");
    QTest::newRow("Bank") << "Bank" << true;
    QTest::newRow("blanks and capitals") << "  BANK " << true;
    QTest::newRow("a client") << "Ravi Kumar" << false;
    QTest::newRow("a bank's name") << "State Bank" << false;
}

void TestFeeStatements::bankAccountHeadings()
{
    QFETCH(QString, account);
    QFETCH(bool, bank);
    m_db->exec(QStringLiteral(
        "INSERT INTO AC_INFO VALUES ('State Bank', '2006-05-02', 'x', 0, 0, 0, 0, 0)"));
    const std::optional<AccountsReport> statement =
        feeStatement(account, QStringLiteral("01/04/2006"), QStringLiteral("31/03/2007"));
    QVERIFY(statement);
    const QStringList texts =
        report::layOut(statement->layout, statement->data).pages.first().texts();
    QCOMPARE(texts.contains(QStringLiteral("Deposited")), bank);
    QCOMPARE(texts.contains(QStringLiteral("Withdrawn")), bank);
    QCOMPARE(texts.contains(QStringLiteral("Cout Fees")), !bank);
    QCOMPARE(texts.contains(QStringLiteral("Received")), !bank);
}

void TestFeeStatements::allAccountsByFinancialYearInDateOrder()
{
    const std::optional<AccountsReport> statement = feeStatement(
        QStringLiteral("  "), QStringLiteral("1/3/2006"), QStringLiteral("30/04/2007"));
    QVERIFY(statement);
    QCOMPARE(statement->layout.name(), QStringLiteral("drTransAnnual"));
    const QList<ResultGroup> &groups = statement->data.groups();
    QCOMPARE(groups.size(), 3);
    QCOMPARE(groups[0].key.first().toString(), QStringLiteral("2005-2006"));
    QCOMPARE(groups[1].key.first().toString(), QStringLiteral("2006-2007"));
    QCOMPARE(groups[2].key.first().toString(), QStringLiteral("2007-2008"));
    QCOMPARE(groups[1].rows.size(), 4);
    QCOMPARE(groups[1].sum(QStringLiteral("AgNLFees")), 3500.0);
    QCOMPARE(groups[1].sum(QStringLiteral("AgCFees")), 5350.0);
    QCOMPARE(groups[1].sum(QStringLiteral("AgBal")), 7400.0);
    QCOMPARE(column(*statement, QStringLiteral("Part")),
             (QStringList{"Before", "Retainer", "Deposit", "Suit", "Appeal", "After"}));

    const QStringList texts =
        report::layOut(statement->layout, statement->data).pages.first().texts();
    // The period as typed heads the page.
    QVERIFY(texts.contains(QStringLiteral("1/3/2006")));
    QVERIFY(texts.contains(QStringLiteral("30/04/2007")));
    QVERIFY(texts.contains(QStringLiteral("2006-2007")));
    QVERIFY(texts.contains(QStringLiteral("7400.00")));
    QVERIFY(!texts.contains(QStringLiteral("Name :")));

    // Each line says whose account it is.
    QStringList names;
    const report::ReportDocument document = report::layOut(statement->layout, statement->data);
    for (const report::ReportPage &page : document.pages) {
        for (const report::PlacedItem &item : page.textItems(QStringLiteral("Detail"))) {
            if (item.name.compare(QStringLiteral("Name"), Qt::CaseInsensitive) == 0)
                names << item.text;
        }
    }
    QCOMPARE(names, column(*statement, QStringLiteral("Name")));
    QVERIFY(names.contains(QStringLiteral("Ravi Kumar")));
    QVERIFY(names.count() == 6 && !names.contains(QString()));
}

void TestFeeStatements::secondStatementHoldsOnlyItsOwnRows()
{
    QVERIFY(feeStatement(QString(), QStringLiteral("01/04/2006"), QStringLiteral("31/03/2007")));
    QCOMPARE(workTable().size(), 4);
    const std::optional<AccountsReport> second = feeStatement(
        QStringLiteral("D'Souza"), QStringLiteral("01/04/2006"), QStringLiteral("31/03/2007"));
    QVERIFY(second);
    QCOMPARE(workTable(), QStringList{QStringLiteral("D'Souza/2006-06-15/2006-2007")});
    QCOMPARE(column(*second, QStringLiteral("Name")), QStringList{QStringLiteral("D'Souza")});
}

void TestFeeStatements::refusalsLeaveTheWorkTableAlone_data()
{
    QTest::addColumn<QString>("account");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("message");
    const QString badDate = QStringLiteral("Enter The Date in DD/MM/YYYY Format ");
    const QString nothing = QStringLiteral("No Record in These Date Range Found, Try Again!!");
    QTest::newRow("empty first date") << ""
                                      << ""
                                      << "31/03/2007" << badDate;
    QTest::newRow("first date not a date") << ""
                                           << "31/02/2007"
                                           << "31/03/2007" << badDate;
    QTest::newRow("second date not a date") << ""
                                            << "01/04/2006"
                                            << "soon" << badDate;
    QTest::newRow("no rows in the period") << ""
                                           << "01/01/2020"
                                           << "31/12/2020" << nothing;
    QTest::newRow("no rows of the account") << "O'Brien"
                                            << "01/04/2006"
                                            << "31/03/2007" << nothing;
    QTest::newRow("period backwards") << ""
                                      << "31/03/2007"
                                      << "01/04/2006" << nothing;
}

void TestFeeStatements::refusalsLeaveTheWorkTableAlone()
{
    QFETCH(QString, account);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, message);
    QVERIFY(feeStatement(QStringLiteral("Bank"), QStringLiteral("01/04/2006"),
                         QStringLiteral("31/03/2007")));
    const QStringList before = workTable();
    QCOMPARE(before.size(), 1);
    m_messages->answer(Answer::Ok);
    QVERIFY(!feeStatement(account, from, to));
    QCOMPARE(m_messages->texts(), QStringList{message});
    QCOMPARE(m_messages->shown().last().buttons, Messenger::Buttons::Ok);
    QCOMPARE(workTable(), before);
}

void TestFeeStatements::aFailedRefillKeepsTheOldRows()
{
    QVERIFY(feeStatement(QStringLiteral("Bank"), QStringLiteral("01/04/2006"),
                         QStringLiteral("31/03/2007")));
    m_db->refuseInserts(QStringLiteral("tmpac_info"), QStringLiteral("NEW.Part = 'Suit'"),
                        QStringLiteral("the work table is full"));
    m_messages->answer(Answer::Ok);
    QVERIFY(!feeStatement(QString(), QStringLiteral("01/04/2006"), QStringLiteral("31/03/2007")));
    QVERIFY2(m_messages->lastText().contains(QStringLiteral("the work table is full")),
             qPrintable(m_messages->lastText()));
    QCOMPARE(workTable(), QStringList{QStringLiteral("Bank/2006-05-01/2006-2007")});
}

void TestFeeStatements::manyRowsHaveNoLimit()
{
    m_db->exec(QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 33000) "
        "INSERT INTO AC_INFO (Name, TransDate, \"Legal Fees\") "
        "SELECT 'Bulk', date('2010-04-01', '+' || (i % 365) || ' days'), 1 FROM n"));
    const std::optional<AccountsReport> statement = feeStatement(
        QStringLiteral("Bulk"), QStringLiteral("01/04/2010"), QStringLiteral("31/03/2011"));
    QVERIFY(statement);
    QCOMPARE(m_db->count(QStringLiteral("tmpac_info")), 33000);
    QCOMPARE(statement->data.groups().first().sum(QStringLiteral("AgNLFees")), 33000.0);
}

void TestFeeStatements::numbersForNewBillsAndReceipts()
{
    QCOMPARE(AccountsStore::nextBillNumber(), 1);
    QCOMPARE(AccountsStore::nextReceiptNumber(), 1);
    m_db->exec(QStringLiteral("INSERT INTO bill (BillNo) VALUES (41), (7), (NULL)"));
    m_db->exec(QStringLiteral("INSERT INTO Receipt (ReceiptNo) VALUES (3)"));
    QCOMPARE(AccountsStore::nextBillNumber(), 42);
    QCOMPARE(AccountsStore::nextReceiptNumber(), 4);
    QVERIFY(AccountsStore::clientExists(QStringLiteral("d'souza")));
    QVERIFY(!AccountsStore::clientExists(QStringLiteral("D'Souz")));
    QCOMPARE(AccountsStore::clientNames(), (QStringList{"Bank", "D'Souza", "Ravi Kumar"}));
}

void TestFeeStatements::screenMakesTheStatement()
{
    auto *screen = new FeeStatementScreen;
    QPointer<FeeStatementScreen> guard(screen);
    screen->show();
    QCOMPARE(screen->objectName(), QStringLiteral("frmReportsFees"));
    QCOMPARE(screen->windowTitle(), QStringLiteral("Printing Report of Clients ACCOUNTS"));
    auto *name = screen->findChild<QComboBox *>(QStringLiteral("txtname"));
    auto *from = screen->findChild<QLineEdit *>(QStringLiteral("txtDate1"));
    auto *to = screen->findChild<QLineEdit *>(QStringLiteral("txtDate2"));
    QCOMPARE(to->text(), QStringLiteral("07/12/2026"));
    QCOMPARE(name->currentText(), QString());
    QCOMPARE(name->count(), 3);

    m_messages->answer(Answer::Ok);
    screen->findChild<QPushButton *>(QStringLiteral("cmdshowrepo"))->click();
    QCOMPARE(m_messages->lastText(), QStringLiteral("Enter The Date in DD/MM/YYYY Format "));
    QVERIFY(!screen->reportWindow());

    name->setEditText(QStringLiteral("Ravi Kumar"));
    QTest::keyClicks(from, QStringLiteral("01/04/2006"));
    to->setText(QStringLiteral("31/03/2007"));
    QTest::keyClick(from, Qt::Key_Return); // Enter in the first date shows the report
    QVERIFY(screen->reportWindow());
    QCOMPARE(screen->reportWindow()->layoutName(), QStringLiteral("drTransFees"));
    QCOMPARE(workTable().size(), 2);

    // Closing the report closes the screen with it.
    screen->reportWindow()->close();
    QTRY_VERIFY(guard.isNull() || !guard->isVisible());
}

QTEST_MAIN(TestFeeStatements)
#include "tst_feestatements.moc"
