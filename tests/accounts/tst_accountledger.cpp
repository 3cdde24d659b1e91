#include "support/scriptedmessenger.h"
#include "support/showscreen.h"
#include "support/testdatabase.h"

#include <accounts/accountledger.h>
#include <accounts/accountsstore.h>
#include <data/clock.h>
#include <data/dataenvironment.h>
#include <data/recordset.h>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace lexordo;
using Answer = Messenger::Answer;

namespace {
const QString unknownClient =
    QStringLiteral("This Client does not exist!! MAke Entry in Clients Form");
}

class TestAccountLedger : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void screenAsTheOfficeKnowsIt();
    void balanceWhenTheBoxIsEntered_data();
    void balanceWhenTheBoxIsEntered();
    void balanceIsWorkedOutOnlyOnEntry();
    void enterMovesToTheNextBox();
    void dateOnFocusOnlyWhileEditing();
    void unknownClientIsToldButNotRefused();
    void addedRowIsStoredAndShownLast();
    void groupedAmountsAreStoredSummedAndTotalledAlike();
    void anAmountThatIsNoAmountIsRefusedAndNothingStored();
    void searchFindsNamesThatBeginWithTheText();
    void searchThatFindsNothingOrIsCancelled();
    void deleteOnAnEmptyLedgerDeletesNothing();
    void clientEnteredAtAnotherDeskIsOffered();

private:
    AccountLedger *showScreen();
    QLineEdit *edit(const char *name) const
    {
        return m_screen->findChild<QLineEdit *>(QLatin1String(name));
    }
    QComboBox *names() const { return m_screen->findChild<QComboBox *>(QStringLiteral("txtname")); }
    void click(const char *name)
    {
        m_screen->findChild<QPushButton *>(QLatin1String(name))->click();
    }
    void startAdding();

    std::unique_ptr<test::TestDatabase> m_db;
    std::unique_ptr<ScriptedMessenger> m_messages;
    std::unique_ptr<AccountLedger> m_screen;
};

void TestAccountLedger::init()
{
    m_db = std::make_unique<test::TestDatabase>();
    m_messages = std::make_unique<ScriptedMessenger>();
    Clock::setToday(QDate(2026, 12, 7));
    m_db->exec(QStringLiteral("INSERT INTO Clients (ACname) VALUES ('Ravi Kumar'), ('D''Souza'), "
                              "('Anand'), ('Ravi Kumar'), ('Rajesh')"));
    m_db->exec(QStringLiteral(
        "INSERT INTO AC_INFO VALUES ('Ravi Kumar', '2026-11-01', 'Retainer', 1000, 0, 0, 0, 1000), "
        "('Anand', '2026-11-02', 'Suit', 500, 100, 0, 600, 0), "
        "('Rajesh', '2026-11-03', 'Bail', 300, 0, 0, 100, 200)"));
}

void TestAccountLedger::cleanup()
{
    m_screen.reset();
    QCOMPARE(m_messages->unansweredCount(), 0);
    QCOMPARE(m_messages->pendingAnswers(), 0);
    m_messages.reset();
    m_db.reset();
    Clock::reset();
}

AccountLedger *TestAccountLedger::showScreen()
{
    m_screen = std::make_unique<AccountLedger>();
    test::showScreen(m_screen.get());
    return m_screen.get();
}

void TestAccountLedger::startAdding()
{
    m_messages->answer(Answer::Yes);
    click("cmdAdd");
    QCOMPARE(m_messages->lastText(), QStringLiteral("Do you really want to add record"));
}

void TestAccountLedger::screenAsTheOfficeKnowsIt()
{
    showScreen();
    QCOMPARE(m_screen->objectName(), QStringLiteral("frmAC"));
    QCOMPARE(m_screen->findChild<QLabel *>(QStringLiteral("Label1"))->text(),
             QStringLiteral("Fees/ Receipt Enrty Form"));
    const QList<QPair<QString, QString>> labels = {
        {"Name", "txtname"},        {"Dated:", "txtDate"},      {"Legal fees", "txtLFees"},
        {"Court Fees", "txtCfees"}, {"Misc. fees", "txtMisc"},  {"Received", "txtRec"},
        {"Balance", "txtBal"},      {"Particulars", "txtPart"},
    };
    QStringList found;
    for (QLabel *label : m_screen->findChildren<QLabel *>()) {
        if (label->buddy())
            found << label->text() + u'=' + label->buddy()->objectName();
    }
    for (const auto &[text, field] : labels)
        QVERIFY2(found.contains(text + u'=' + field), qPrintable(text));
    QCOMPARE(m_screen->recordSet()->source(), RecordSource::table(QStringLiteral("AC_INFO")));
    // The clients register's names, once each, in order.
    QStringList offered;
    for (int i = 0; i < names()->count(); ++i)
        offered << names()->itemText(i);
    QCOMPARE(offered, (QStringList{"Anand", "D'Souza", "Rajesh", "Ravi Kumar"}));
    // Opens on the first row, all buttons enabled, amounts locked, particulars open.
    QCOMPARE(names()->currentText(), QStringLiteral("Ravi Kumar"));
    QVERIFY(!names()->isEnabled());
    QVERIFY(edit("txtLFees")->isReadOnly());
    QVERIFY(!edit("txtPart")->isReadOnly());
    QVERIFY(m_screen->findChild<QPushButton *>(QStringLiteral("cmdSave"))->isEnabled());
    QCOMPARE(m_screen->findChild<QPushButton *>(QStringLiteral("cmdExit"))->text(),
             QStringLiteral("E&xit"));
}

void TestAccountLedger::balanceWhenTheBoxIsEntered_data()
{
    QTest::addColumn<QString>("legal");
    QTest::addColumn<QString>("court");
    QTest::addColumn<QString>("misc");
    QTest::addColumn<QString>("received");
    QTest::addColumn<QString>("balance");

    QTest::newRow("charges less receipt") << "1000"
                                          << "250"
                                          << "50"
                                          << "800"
                                          << "500";
    QTest::newRow("received more is negative") << "100"
                                               << ""
                                               << ""
                                               << "400"
                                               << "-300";
    QTest::newRow("empty boxes count 0") << ""
                                         << ""
                                         << ""
                                         << "300"
                                         << "-300";
    QTest::newRow("grouped, Western") << "15,000"
                                      << "1,500"
                                      << "0"
                                      << "10,000"
                                      << "6500";
    QTest::newRow("grouped, Indian") << "1,25,000.50"
                                     << ""
                                     << "125,000.50"
                                     << "2,50,000"
                                     << "1";
    QTest::newRow("blanks around") << " 1000 "
                                   << ""
                                   << ""
                                   << " -200"
                                   << "1200";
    QTest::newRow("decimals, trailing zeros dropped") << "1234.50"
                                                      << "0.25"
                                                      << ""
                                                      << "0.25"
                                                      << "1234.5";
    QTest::newRow("court fees alone") << ""
                                      << "250"
                                      << ""
                                      << ""
                                      << "250";
    QTest::newRow("misc alone") << ""
                                << ""
                                << "75.5"
                                << ""
                                << "75.5";
}

void TestAccountLedger::balanceWhenTheBoxIsEntered()
{
    QFETCH(QString, legal);
    QFETCH(QString, court);
    QFETCH(QString, misc);
    QFETCH(QString, received);
    QFETCH(QString, balance);

    showScreen();
    startAdding();
    const QList<QPair<const char *, QString>> typed = {
        {"txtLFees", legal}, {"txtCfees", court}, {"txtMisc", misc}, {"txtRec", received}};
    for (const auto &[name, text] : typed) {
        edit(name)->setFocus();
        QTest::keyClicks(edit(name), text);
    }
    edit("txtBal")->setFocus();
    QCOMPARE(edit("txtBal")->text(), balance);
}

void TestAccountLedger::balanceIsWorkedOutOnlyOnEntry()
{
    showScreen();
    startAdding();
    edit("txtLFees")->setFocus();
    QTest::keyClicks(edit("txtLFees"), QStringLiteral("1000"));
    edit("txtBal")->setFocus();
    QCOMPARE(edit("txtBal")->text(), QStringLiteral("1000"));
    edit("txtRec")->setFocus();
    QTest::keyClicks(edit("txtRec"), QStringLiteral("400"));
    QCOMPARE(edit("txtBal")->text(), QStringLiteral("1000")); // not yet
    edit("txtPart")->setFocus();
    click("cmdSave");
    QCOMPARE(
        m_db->scalar(QStringLiteral("SELECT Balance FROM AC_INFO WHERE Received = 400")).toDouble(),
        1000.0);
}

void TestAccountLedger::enterMovesToTheNextBox()
{
    showScreen();
    startAdding();
    QTest::keyClicks(names(), QStringLiteral("Anand"));
    QTest::keyClick(names(), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), edit("txtDate"));
    QCOMPARE(edit("txtDate")->text(), QStringLiteral("07/12/2026"));
    QCOMPARE(names()->count(), 4); // Enter adds nothing to the list of names
    QTest::keyClick(edit("txtDate"), Qt::Key_Return);
    QTest::keyClicks(edit("txtLFees"), QStringLiteral("900"));
    QTest::keyClick(edit("txtLFees"), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), edit("txtCfees"));
    QTest::keyClick(edit("txtCfees"), Qt::Key_Return);
    QTest::keyClick(edit("txtMisc"), Qt::Key_Return);
    QTest::keyClicks(edit("txtRec"), QStringLiteral("100"));
    QTest::keyClick(edit("txtRec"), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), edit("txtBal"));
    QCOMPARE(edit("txtBal")->text(), QStringLiteral("800"));
    QTest::keyClick(edit("txtBal"), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), edit("txtPart"));
    QVERIFY(m_messages->texts().size() == 1); // Anand is a client: no warning
}

void TestAccountLedger::dateOnFocusOnlyWhileEditing()
{
    showScreen();
    edit("txtDate")->setFocus();
    QCOMPARE(edit("txtDate")->text(), QStringLiteral("01/11/2026"));
    edit("txtPart")->setFocus();

    click("cmdModify");
    edit("txtDate")->setFocus();
    QCOMPARE(edit("txtDate")->text(), QStringLiteral("07/12/2026"));
    edit("txtPart")->setFocus();
    click("cmdSave");
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT TransDate FROM AC_INFO WHERE Part = 'Retainer'"))
                 .toString(),
             QStringLiteral("2026-12-07"));
}

void TestAccountLedger::unknownClientIsToldButNotRefused()
{
    showScreen();
    startAdding();
    names()->setFocus();
    QTest::keyClicks(names(), QStringLiteral("d'souza"));
    edit("txtDate")->setFocus(); // known, whatever the letter case, apostrophe and all
    QCOMPARE(m_messages->texts(), QStringList{QStringLiteral("Do you really want to add record")});

    names()->setFocus();
    names()->lineEdit()->selectAll();
    QTest::keyClicks(names(), QStringLiteral("O'Brien"));
    edit("txtDate")->setFocus();
    QCOMPARE(m_messages->lastText(), unknownClient);
    QCOMPARE(m_messages->shown().last().buttons, Messenger::Buttons::Ok);
    QCOMPARE(QApplication::focusWidget(), edit("txtDate"));
    edit("txtPart")->setFocus();
    click("cmdSave");
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT count(*) FROM AC_INFO WHERE Name = 'O''Brien'"))
                 .toInt(),
             1);
}

void TestAccountLedger::addedRowIsStoredAndShownLast()
{
    showScreen();
    startAdding();
    QCOMPARE(QApplication::focusWidget(), names());
    QTest::keyClicks(names(), QStringLiteral("Anand"));
    edit("txtDate")->setFocus();
    const QList<QPair<const char *, QString>> typed = {
        {"txtLFees", "2000"}, {"txtCfees", "150"}, {"txtMisc", "25.5"}, {"txtRec", "1000"}};
    for (const auto &[name, text] : typed) {
        edit(name)->setFocus();
        QTest::keyClicks(edit(name), text);
    }
    edit("txtBal")->setFocus();
    edit("txtPart")->setFocus();
    QTest::keyClicks(edit("txtPart"), QStringLiteral("Appeal fees"));
    click("cmdSave");

    QCOMPARE(m_db->count(QStringLiteral("AC_INFO")), 4);
    QCOMPARE(m_db->row(QStringLiteral("SELECT Name, TransDate, \"Legal Fees\", CourtFees, Misc, "
                                      "Received, Balance FROM AC_INFO WHERE Part = 'Appeal fees'")),
             QStringLiteral("Anand|2026-12-07|2000|150|25.5|1000|1175.5"));
    QVERIFY(!names()->isEnabled());
    QVERIFY(!m_screen->findChild<QPushButton *>(QStringLiteral("cmdSave"))->isEnabled());
    QCOMPARE(m_screen->recordSet()->position(), m_screen->recordSet()->rowCount() - 1);
    QCOMPARE(edit("txtBal")->text(), QStringLiteral("1175.5"));
}

void TestAccountLedger::groupedAmountsAreStoredSummedAndTotalledAlike()
{
    showScreen();
    startAdding();
    QTest::keyClicks(names(), QStringLiteral("Anand"));
    edit("txtDate")->setFocus();
    const QList<QPair<const char *, QString>> typed = {
        {"txtLFees", "15,000"}, {"txtCfees", "1,500"}, {"txtMisc", "0"}, {"txtRec", "10,000"}};
    for (const auto &[name, text] : typed) {
        edit(name)->setFocus();
        QTest::keyClicks(edit(name), text);
    }
    edit("txtBal")->setFocus();
    QCOMPARE(edit("txtBal")->text(), QStringLiteral("6500"));
    edit("txtPart")->setFocus();
    QTest::keyClicks(edit("txtPart"), QStringLiteral("Grouped"));
    click("cmdSave");
    QCOMPARE(m_messages->texts(), QStringList{"Do you really want to add record"});

    QCOMPARE(m_db->row(QStringLiteral("SELECT \"Legal Fees\", CourtFees, Misc, Received, Balance "
                                      "FROM AC_INFO WHERE Part = 'Grouped'")),
             QStringLiteral("15000|1500|0|10000|6500"));
    // The statement of the account totals what was stored: 0 + 6500.
    QCOMPARE(AccountsStore::refillStatementTable(QStringLiteral("anand"), QDate(2026, 11, 1),
                                                 QDate(2026, 12, 31)),
             2);
    const GroupedResult statement = DataEnvironment::run(DataEnvironment::Grouping::AC);
    QCOMPARE(statement.groups.size(), 1);
    QCOMPARE(statement.groups.first().sum(QStringLiteral("AgNLFees")), 15500.0);
    QCOMPARE(statement.groups.first().sum(QStringLiteral("AgBal")), 6500.0);
}

void TestAccountLedger::anAmountThatIsNoAmountIsRefusedAndNothingStored()
{
    const QString refusal = QStringLiteral("Legal fees: \"12a\" is not an amount.");
    showScreen();
    startAdding();
    QTest::keyClicks(names(), QStringLiteral("Anand"));
    edit("txtLFees")->setFocus();
    QTest::keyClicks(edit("txtLFees"), QStringLiteral("12a"));
    edit("txtRec")->setFocus();
    QTest::keyClicks(edit("txtRec"), QStringLiteral("100"));
    m_messages->answer(Answer::Ok);
    edit("txtBal")->setFocus();
    QCOMPARE(m_messages->lastText(), refusal);
    QCOMPARE(edit("txtBal")->text(), QString());
    QCOMPARE(QApplication::focusWidget(), edit("txtLFees"));

    m_messages->answer(Answer::Ok);
    click("cmdSave");
    QCOMPARE(m_messages->lastText(), refusal);
    QCOMPARE(edit("txtLFees")->text(), QStringLiteral("12a"));
    QCOMPARE(m_db->count(QStringLiteral("AC_INFO")), 3);
}

void TestAccountLedger::searchFindsNamesThatBeginWithTheText()
{
    showScreen();
    m_messages->answerInput(QStringLiteral("Ra"));
    click("cmdFind");
    QCOMPARE(m_messages->lastText(), QStringLiteral("Enter The Name to Be Searched "));
    QCOMPARE(m_screen->recordSet()->rowCount(), 2);
    QStringList shown;
    for (int i = 0; i < 2; ++i) {
        click(i == 0 ? "cmdFirst" : "cmdNext");
        shown << names()->currentText();
    }
    QCOMPARE(shown, (QStringList{"Ravi Kumar", "Rajesh"}));
    // Only the beginning of a name counts.
    m_messages->answerInput(QStringLiteral("nand"));
    m_messages->answer(Answer::Ok);
    click("cmdFind");
    QCOMPARE(m_messages->lastText(), QStringLiteral("Record Not Found "));
}

void TestAccountLedger::searchThatFindsNothingOrIsCancelled()
{
    showScreen();
    m_messages->cancelInput();
    click("cmdFind");
    QCOMPARE(m_screen->recordSet()->rowCount(), 3);
    QCOMPARE(names()->currentText(), QStringLiteral("Ravi Kumar"));

    m_messages->answerInput(QStringLiteral("O'B"));
    m_messages->answer(Answer::Ok);
    click("cmdFind");
    QCOMPARE(m_messages->lastText(), QStringLiteral("Record Not Found "));
    QCOMPARE(m_screen->recordSet()->rowCount(), 0);
}

void TestAccountLedger::deleteOnAnEmptyLedgerDeletesNothing()
{
    m_db->exec(QStringLiteral("DELETE FROM AC_INFO"));
    showScreen();
    m_messages->answer(Answer::Yes);
    click("cmdDelete");
    QCOMPARE(m_messages->lastText(), QStringLiteral("Really You want to delete this record "));
    QCOMPARE(m_db->count(QStringLiteral("AC_INFO")), 0);

    // On a ledger with rows, Yes deletes the current one.
    m_screen.reset();
    m_db->exec(
        QStringLiteral("INSERT INTO AC_INFO (Name, Balance) VALUES ('Anand', 5), ('Rajesh', 6)"));
    showScreen();
    m_messages->answer(Answer::Yes);
    click("cmdDelete");
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT group_concat(Name) FROM AC_INFO")).toString(),
             QStringLiteral("Rajesh"));
}

// Another desk's client is in the list while browsing, the row shown kept.
void TestAccountLedger::clientEnteredAtAnotherDeskIsOffered()
{
    showScreen();
    m_db->execElsewhere(QStringLiteral("INSERT INTO Clients (ACname) VALUES ('Bose')"));
    QTRY_COMPARE_WITH_TIMEOUT(names()->findText(QStringLiteral("Bose")), 1, 2000);
    QCOMPARE(names()->currentText(), QStringLiteral("Ravi Kumar"));
}

QTEST_MAIN(TestAccountLedger)
#include "tst_accountledger.moc"
