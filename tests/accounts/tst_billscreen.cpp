#include "support/scriptedmessenger.h"
#include "support/showscreen.h"
#include "support/testdatabase.h"

#include <accounts/accountsstore.h>
#include <accounts/billscreen.h>
#include <data/clock.h>
#include <data/recordset.h>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <reports/runtime/reportengine.h>
#include <reports/runtime/reportwindow.h>

using namespace lexordo;
using Answer = Messenger::Answer;

class TestBillScreen : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void screenAsTheOfficeKnowsIt();
    void lineNumberOnEveryEntry();
    void totalWhenTheBoxIsEntered_data();
    void totalWhenTheBoxIsEntered();
    void taxAndGrandTotalWhenThePercentageIsLeft_data();
    void taxAndGrandTotalWhenThePercentageIsLeft();
    void grandTotalWhenTheBoxIsEntered();
    void wordsWhenTheGrandTotalIsLeft_data();
    void wordsWhenTheGrandTotalIsLeft();
    void aGrandTotalTooLargeForWordsIsTold();
    void nextNumberOnDoubleClickWhileEditing();
    void nothingIsFilledInWithNoBillOnShow();
    void billIsStoredAndReadBackWithBothTotals();
    void groupedAmountsAreStoredSummedSpelledAndPrintedAlike();
    void aLineThatIsNoAmountIsRefusedAndNothingStored();
    void searchFindsAddresseesThatBeginWithTheText();
    void printShowsTheScreenAsItStands();

private:
    BillScreen *showScreen();
    QLineEdit *edit(const QString &name) const { return m_screen->findChild<QLineEdit *>(name); }
    void click(const char *name)
    {
        m_screen->findChild<QPushButton *>(QLatin1String(name))->click();
    }
    void type(const QString &field, const QString &text);
    void startAdding();

    std::unique_ptr<test::TestDatabase> m_db;
    std::unique_ptr<ScriptedMessenger> m_messages;
    std::unique_ptr<BillScreen> m_screen;
};

void TestBillScreen::init()
{
    m_db = std::make_unique<test::TestDatabase>();
    m_messages = std::make_unique<ScriptedMessenger>();
    Clock::setToday(QDate(2026, 12, 7));
    m_db->exec(
        QStringLiteral("INSERT INTO bill (BillNo, BillDate, \"To\", Total, GTotal, Rupees) VALUES "
                       "(40, '2026-11-30', 'Ravi Kumar', 100, 112, 'One One Two  only'), "
                       "(41, '2026-12-01', 'D''Souza', 200, 200, 'Two Zero Zero  only'), "
                       "(39, '2026-11-20', 'Rajesh', 50, 50, 'Five Zero  only')"));
}

void TestBillScreen::cleanup()
{
    // Deleting one window may take another with it.
    QList<QPointer<report::ReportWindow>> reports;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (auto *report = qobject_cast<report::ReportWindow *>(window))
            reports << report;
    }
    for (const QPointer<report::ReportWindow> &report : reports)
        delete report.data();
    m_screen.reset();
    QCOMPARE(m_messages->unansweredCount(), 0);
    QCOMPARE(m_messages->pendingAnswers(), 0);
    m_messages.reset();
    m_db.reset();
    Clock::reset();
}

BillScreen *TestBillScreen::showScreen()
{
    m_screen = std::make_unique<BillScreen>();
    test::showScreen(m_screen.get());
    return m_screen.get();
}

void TestBillScreen::type(const QString &field, const QString &text)
{
    QLineEdit *box = edit(field);
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
}

void TestBillScreen::startAdding()
{
    m_messages->answer(Answer::Yes);
    click("cmdAdd");
    QCOMPARE(m_messages->lastText(), QStringLiteral("Do you really want to add record"));
}

void TestBillScreen::screenAsTheOfficeKnowsIt()
{
    showScreen();
    QCOMPARE(m_screen->objectName(), QStringLiteral("frmBill"));
    QCOMPARE(m_screen->windowTitle(), QStringLiteral("Bill"));
    QStringList found;
    for (QLabel *label : m_screen->findChildren<QLabel *>()) {
        if (label->buddy())
            found << label->text() + u'=' + label->buddy()->objectName();
    }
    for (const char *pair :
         {"No.=txtNo", "Dated:=txtDate", "To=txtName", "Ref. :=txtRef", "Total=txtTotal",
          "S.Tax=txtSTP", "G.Total=txtGtotal", "(Rupees =txtRupees"})
        QVERIFY2(found.contains(QLatin1String(pair)), pair);
    QCOMPARE(edit("txtAdd")->accessibleName(), QStringLiteral("Address"));
    QVERIFY(!edit("txtA3")->accessibleName().isEmpty());
    const QStringList captions = {"&Add",     "&Save", "Modify", "Delete", "Search", "First",
                                  "Previous", "Next",  "Last",   "Print",  "E&xit"};
    const QStringList buttons = {"cmdAdd",  "cmdSave",  "cmdModify",   "cmdDelete",
                                 "cmdFind", "cmdFirst", "cmdPrevious", "cmdNext",
                                 "cmdLast", "cmdPrint", "cmdExit"};
    for (int i = 0; i < buttons.size(); ++i)
        QCOMPARE(m_screen->findChild<QPushButton *>(buttons[i])->text(), captions[i]);
    QCOMPARE(m_screen->recordSet()->source(), RecordSource::table(QStringLiteral("bill")));
    // Locked on load, except the tax and grand-total boxes.
    for (const char *name : {"txtNo", "txtDate", "txtName", "txtAdd", "txtRef", "txtSno1", "txtP6",
                             "txtA4", "txtTotal", "txtRupees"})
        QVERIFY2(edit(QLatin1String(name))->isReadOnly(), name);
    for (const char *name : {"txtSTP", "txtSTax", "txtGtotal"})
        QVERIFY2(!edit(QLatin1String(name))->isReadOnly(), name);
    QVERIFY(!edit("txtNoTemp")->isVisible());
}

void TestBillScreen::lineNumberOnEveryEntry()
{
    showScreen();
    startAdding();
    QCOMPARE(QApplication::focusWidget(), edit("txtNo"));
    for (int line = 6; line >= 1; --line) {
        const QString name = QStringLiteral("txtSno%1").arg(line);
        edit(name)->setFocus();
        QCOMPARE(edit(name)->text(), QString::number(line));
        QTest::keyClicks(edit(name), QStringLiteral("9"));
    }
    edit("txtSno4")->setFocus();
    QCOMPARE(edit("txtSno4")->text(), QStringLiteral("4"));
}

void TestBillScreen::totalWhenTheBoxIsEntered_data()
{
    QTest::addColumn<QStringList>("amounts");
    QTest::addColumn<QString>("total");
    QTest::newRow("three lines") << QStringList{"1000", "500", "250"} << "1750";
    QTest::newRow("all six") << QStringList{"1", "2", "3", "4", "5", "6"} << "21";
    QTest::newRow("grouped") << QStringList{"1,000", "500", "1,25,000"} << "126500";
    QTest::newRow("blanks around, empty line") << QStringList{" 200 ", "", "12.5"} << "212.5";
    QTest::newRow("negative line") << QStringList{"100", "-40"} << "60";
    QTest::newRow("nothing") << QStringList{} << "0";
}

void TestBillScreen::totalWhenTheBoxIsEntered()
{
    QFETCH(QStringList, amounts);
    QFETCH(QString, total);
    showScreen();
    startAdding();
    for (int i = 0; i < amounts.size(); ++i)
        type(QStringLiteral("txtA%1").arg(i + 1), amounts[i]);
    edit("txtTotal")->setFocus();
    QCOMPARE(edit("txtTotal")->text(), total);
}

void TestBillScreen::taxAndGrandTotalWhenThePercentageIsLeft_data()
{
    QTest::addColumn<QString>("total");
    QTest::addColumn<QString>("percent");
    QTest::addColumn<QString>("tax");
    QTest::addColumn<QString>("grandTotal");
    QTest::newRow("12 of 1750") << "1750"
                                << "12"
                                << "210"
                                << "1960";
    QTest::newRow("12.24 of 1000") << "1000"
                                   << "12.24"
                                   << "122.4"
                                   << "1122.4";
    QTest::newRow("no percentage") << "1000"
                                   << ""
                                   << "0"
                                   << "1000";
    QTest::newRow("blanks around the percentage") << "1,000"
                                                  << " 12 "
                                                  << "120"
                                                  << "1120";
    QTest::newRow("no total") << ""
                              << "12"
                              << "0"
                              << "0";
    QTest::newRow("10.3 of 333") << "333"
                                 << "10.3"
                                 << "34.299"
                                 << "367.299";
}

void TestBillScreen::taxAndGrandTotalWhenThePercentageIsLeft()
{
    QFETCH(QString, total);
    QFETCH(QString, percent);
    QFETCH(QString, tax);
    QFETCH(QString, grandTotal);
    showScreen();
    startAdding();
    type(QStringLiteral("txtA1"), total);
    edit("txtTotal")->setFocus();
    type(QStringLiteral("txtSTP"), percent);
    edit("txtRef")->setFocus();
    QCOMPARE(edit("txtSTax")->text(), tax);
    QCOMPARE(edit("txtGtotal")->text(), grandTotal);
}

void TestBillScreen::grandTotalWhenTheBoxIsEntered()
{
    showScreen();
    startAdding();
    type(QStringLiteral("txtA1"), QStringLiteral("1000"));
    edit("txtTotal")->setFocus();
    type(QStringLiteral("txtSTax"), QStringLiteral("99.5")); // typed over by hand
    edit("txtGtotal")->setFocus();
    QCOMPARE(edit("txtGtotal")->text(), QStringLiteral("1099.5"));
    edit("txtRef")->setFocus();
    QCOMPARE(edit("txtRupees")->text(), QStringLiteral("One Zero Nine Zero  only"));
}

void TestBillScreen::wordsWhenTheGrandTotalIsLeft_data()
{
    QTest::addColumn<QString>("grandTotal");
    QTest::addColumn<QString>("words");
    QTest::newRow("1960") << "1960"
                          << "One Nine Six Zero  only";
    QTest::newRow("1122.4") << "1122.4"
                            << "One One Two Two  only";
    QTest::newRow("empty") << ""
                           << " only";
    QTest::newRow("negative") << "-5"
                              << " only";
    QTest::newRow("0.4") << "0.4"
                         << "Zero  only";
    QTest::newRow("2147483648") << "2147483648"
                                << "Two One Four Seven Four Eight Three Six Four Eight  only";
}

void TestBillScreen::wordsWhenTheGrandTotalIsLeft()
{
    QFETCH(QString, grandTotal);
    QFETCH(QString, words);
    showScreen();
    startAdding();
    // The box is entered with nothing to add up, then typed over and left.
    edit("txtGtotal")->setFocus();
    QCOMPARE(edit("txtGtotal")->text(), QStringLiteral("0"));
    edit("txtGtotal")->selectAll();
    QTest::keyClicks(edit("txtGtotal"), grandTotal);
    edit("txtRef")->setFocus();
    QCOMPARE(edit("txtRupees")->text(), words);
}

void TestBillScreen::aGrandTotalTooLargeForWordsIsTold()
{
    showScreen();
    startAdding();
    type(QStringLiteral("txtRupees"), QStringLiteral("stale words"));
    edit("txtGtotal")->setFocus();
    edit("txtGtotal")->selectAll();
    QTest::keyClicks(edit("txtGtotal"), QStringLiteral("1000000000000000"));
    m_messages->answer(Answer::Ok);
    edit("txtRef")->setFocus();
    QCOMPARE(
        m_messages->lastText(),
        QStringLiteral("The grand total 1000000000000000 is too large to be written in words."));
    QCOMPARE(edit("txtRupees")->text(), QString());
}

void TestBillScreen::nextNumberOnDoubleClickWhileEditing()
{
    showScreen();
    const QString shown = edit("txtNo")->text();
    QTest::mouseDClick(edit("txtNo"), Qt::LeftButton);
    QCOMPARE(edit("txtNo")->text(), shown); // locked: nothing

    startAdding();
    QTest::mouseDClick(edit("txtNo"), Qt::LeftButton);
    QCOMPARE(edit("txtNo")->text(), QStringLiteral("42"));
    QCOMPARE(edit("txtNoTemp")->text(), QStringLiteral("41"));
    m_screen.reset();

    m_db->exec(QStringLiteral("DELETE FROM bill"));
    showScreen();
    startAdding();
    QTest::mouseDClick(edit("txtNo"), Qt::LeftButton);
    QCOMPARE(edit("txtNo")->text(), QStringLiteral("1"));
}

void TestBillScreen::nothingIsFilledInWithNoBillOnShow()
{
    showScreen();
    click("cmdLast");
    click("cmdNext"); // past the last bill: empty boxes
    QVERIFY(m_screen->recordSet()->isEOF());
    for (const char *name : {"txtSno2", "txtTotal", "txtSTP", "txtGtotal", "txtRef"})
        edit(QLatin1String(name))->setFocus();
    QCOMPARE(edit("txtSno2")->text(), QString());
    QCOMPARE(edit("txtTotal")->text(), QString());
    QCOMPARE(edit("txtGtotal")->text(), QString());
    QCOMPARE(edit("txtRupees")->text(), QString());
    click("cmdPrevious"); // back on the last bill, nothing changed and nothing to tell
    QCOMPARE(edit("txtNo")->text(), QStringLiteral("39"));
    QVERIFY(!m_screen->hasUnsavedChanges());
    QVERIFY(m_messages->shown().isEmpty());
}

void TestBillScreen::billIsStoredAndReadBackWithBothTotals()
{
    showScreen();
    startAdding();
    QTest::mouseDClick(edit("txtNo"), Qt::LeftButton);
    edit("txtDate")->setFocus();
    QCOMPARE(edit("txtDate")->text(), QStringLiteral("07/12/2026"));
    QCOMPARE(edit("txtDate")->selectedText(), QStringLiteral("07/12/2026"));
    type(QStringLiteral("txtName"), QStringLiteral("O'Brien & Sons"));
    type(QStringLiteral("txtAdd"), QStringLiteral("12 MG Road, Pune"));
    type(QStringLiteral("txtRef"), QStringLiteral("Suit 12/2026"));
    edit("txtSno1")->setFocus();
    type(QStringLiteral("txtP1"), QStringLiteral("Drafting"));
    type(QStringLiteral("txtA1"), QStringLiteral("1000"));
    edit("txtSno2")->setFocus();
    type(QStringLiteral("txtP2"), QStringLiteral("Appearance"));
    type(QStringLiteral("txtA2"), QStringLiteral("750"));
    edit("txtTotal")->setFocus();
    type(QStringLiteral("txtSTP"), QStringLiteral("12"));
    edit("txtSTax")->setFocus();
    edit("txtGtotal")->setFocus();
    edit("txtRupees")->setFocus();
    click("cmdSave");

    QCOMPARE(m_db->count(QStringLiteral("bill")), 4);
    QCOMPARE(
        m_db->scalar(QStringLiteral(
                         "SELECT BillNo || '|' || BillDate || '|' || \"To\" || '|' || s2 || '|' "
                         "|| p2 || '|' || a2 || '|' || Total || '|' || STP || '|' || Stax || "
                         "'|' || GTotal || '|' || Rupees FROM bill WHERE BillNo = 42"))
            .toString(),
        QStringLiteral("42|2026-12-07|O'Brien & Sons|2|Appearance|750.0|1750.0|12.0|210.0|"
                       "1960.0|One Nine Six Zero  only"));

    // Read back on a fresh screen: the total and the grand total as they were.
    m_screen.reset();
    showScreen();
    while (edit("txtNo")->text() != QStringLiteral("42") && !m_screen->recordSet()->isEOF())
        click("cmdNext");
    QCOMPARE(edit("txtNo")->text(), QStringLiteral("42"));
    QCOMPARE(edit("txtTotal")->text(), QStringLiteral("1750"));
    QCOMPARE(edit("txtSTax")->text(), QStringLiteral("210"));
    QCOMPARE(edit("txtGtotal")->text(), QStringLiteral("1960"));
    QCOMPARE(edit("txtRupees")->text(), QStringLiteral("One Nine Six Zero  only"));
}

void TestBillScreen::groupedAmountsAreStoredSummedSpelledAndPrintedAlike()
{
    showScreen();
    startAdding();
    type(QStringLiteral("txtNo"), QStringLiteral("2"));
    type(QStringLiteral("txtName"), QStringLiteral("Anand"));
    type(QStringLiteral("txtA1"), QStringLiteral("12,500"));
    type(QStringLiteral("txtA2"), QStringLiteral(" 1,25,000.50 "));
    edit("txtTotal")->setFocus();
    QCOMPARE(edit("txtTotal")->text(), QStringLiteral("137500.5"));
    type(QStringLiteral("txtSTP"), QStringLiteral("10"));
    edit("txtGtotal")->setFocus();
    QCOMPARE(edit("txtSTax")->text(), QStringLiteral("13750.05"));
    QCOMPARE(edit("txtGtotal")->text(), QStringLiteral("151250.55"));
    edit("txtRupees")->setFocus();
    QCOMPARE(edit("txtRupees")->text(), QStringLiteral("One Five One Two Five One  only"));
    click("cmdSave");
    QVERIFY(m_messages->texts().filter(QStringLiteral("not an amount")).isEmpty());

    QCOMPARE(m_db->scalar(QStringLiteral("SELECT a1 || '|' || a2 || '|' || Total || '|' || "
                                         "GTotal FROM bill WHERE BillNo = 2"))
                 .toString(),
             QStringLiteral("12500.0|125000.5|137500.5|151250.55"));
    // The bill printed from the diary carries what the screen stored.
    const std::optional<BillSheet> printed = AccountsStore::bill(2);
    QVERIFY(printed.has_value());
    QCOMPARE(printed->amounts[0], QStringLiteral("12500"));
    QCOMPARE(printed->total, QStringLiteral("137500.5"));
    QCOMPARE(printed->grandTotal, QStringLiteral("151250.55"));
    QCOMPARE(printed->inWords, QStringLiteral("One Five One Two Five One  only"));
}

void TestBillScreen::aLineThatIsNoAmountIsRefusedAndNothingStored()
{
    const QString refusal = QStringLiteral("Amount of line 2: \"15,00,0\" is not an amount.");
    showScreen();
    startAdding();
    type(QStringLiteral("txtNo"), QStringLiteral("3"));
    type(QStringLiteral("txtA1"), QStringLiteral("500"));
    type(QStringLiteral("txtA2"), QStringLiteral("15,00,0"));
    m_messages->answer(Answer::Ok);
    edit("txtTotal")->setFocus();
    QCOMPARE(m_messages->lastText(), refusal);
    QCOMPARE(edit("txtTotal")->text(), QString());
    QCOMPARE(QApplication::focusWidget(), edit("txtA2"));

    m_messages->answer(Answer::Ok);
    click("cmdSave");
    QCOMPARE(m_messages->lastText(), refusal);
    QCOMPARE(edit("txtA2")->text(), QStringLiteral("15,00,0")); // kept to be corrected
    QCOMPARE(m_db->count(QStringLiteral("bill")), 3);
}

void TestBillScreen::searchFindsAddresseesThatBeginWithTheText()
{
    showScreen();
    m_messages->answerInput(QStringLiteral("d'so"));
    click("cmdFind");
    QCOMPARE(m_messages->lastText(), QStringLiteral("Enter The Name to Be Searched "));
    QCOMPARE(m_screen->recordSet()->rowCount(), 1);
    QCOMPARE(edit("txtName")->text(), QStringLiteral("D'Souza"));

    m_messages->answerInput(QStringLiteral("Kumar")); // not at the beginning
    m_messages->answer(Answer::Ok);
    click("cmdFind");
    QCOMPARE(m_messages->lastText(), QStringLiteral("Record Not Found "));
    QCOMPARE(m_screen->recordSet()->rowCount(), 0);

    m_messages->answerInput(QString());
    click("cmdFind");
    QCOMPARE(m_screen->recordSet()->rowCount(), 0); // an empty answer changes nothing
}

void TestBillScreen::printShowsTheScreenAsItStands()
{
    showScreen();
    startAdding();
    type(QStringLiteral("txtNo"), QStringLiteral("77"));
    type(QStringLiteral("txtDate"), QStringLiteral("07/12/2026"));
    type(QStringLiteral("txtName"), QStringLiteral("Ravi Kumar"));
    type(QStringLiteral("txtAdd"), QStringLiteral("Pune"));
    type(QStringLiteral("txtRef"), QStringLiteral("Bail"));
    for (int i = 1; i <= 6; ++i) {
        edit(QStringLiteral("txtSno%1").arg(i))->setFocus();
        type(QStringLiteral("txtP%1").arg(i), QStringLiteral("Item %1").arg(i));
        type(QStringLiteral("txtA%1").arg(i), QString::number(i * 100));
    }
    edit("txtTotal")->setFocus();
    type(QStringLiteral("txtSTP"), QStringLiteral("10"));
    edit("txtGtotal")->setFocus();
    edit("txtRupees")->setFocus();
    click("cmdPrint"); // not saved: what is printed is what the screen shows

    report::ReportWindow *window = nullptr;
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (auto *w = qobject_cast<report::ReportWindow *>(top))
            window = w;
    }
    QVERIFY(window);
    QCOMPARE(window->layoutName(), QStringLiteral("drBill"));
    const report::ReportPage &page = window->document().pages.first();
    auto text = [&](const char *name) {
        const report::PlacedItem *item = page.find(QStringLiteral("Section1"), QLatin1String(name));
        return item ? item->text : QStringLiteral("<missing>");
    };
    QCOMPARE(text("Label8"), QStringLiteral("BILL"));
    QCOMPARE(text("lblNo"), QStringLiteral("77"));
    QCOMPARE(text("lblDate"), QStringLiteral("07/12/2026"));
    QCOMPARE(text("lblTo1"), QStringLiteral("Ravi Kumar"));
    QCOMPARE(text("lblTo2"), QStringLiteral("Pune"));
    QCOMPARE(text("lblRef"), QStringLiteral("Bail"));
    const char *particulars[] = {"lblp1", "lblp2", "lblp3", "lblP4", "lblp5", "lblp6"};
    for (int i = 1; i <= 6; ++i) {
        QCOMPARE(text(qPrintable(QStringLiteral("lblSno%1").arg(i))), QString::number(i));
        QCOMPARE(text(particulars[i - 1]), QStringLiteral("Item %1").arg(i));
        QCOMPARE(text(qPrintable(QStringLiteral("lblAmt%1").arg(i))), QString::number(i * 100));
    }
    QCOMPARE(text("lblTotal"), QStringLiteral("2100"));
    QCOMPARE(text("lblSTP"), QStringLiteral("10"));
    QCOMPARE(text("lblSTax"), QStringLiteral("210"));
    QCOMPARE(text("lblGtotal"), QStringLiteral("2310"));
    QCOMPARE(text("lblInWords"), QStringLiteral("Two Three One Zero  only"));
    for (const char *fixed : {"Label3", "Label18", "Label7", "Label20", "Label22", "Label46"})
        QVERIFY2(text(fixed) != QStringLiteral("<missing>"), fixed);
    QCOMPARE(m_db->count(QStringLiteral("bill")), 3);
}

QTEST_MAIN(TestBillScreen)
#include "tst_billscreen.moc"
