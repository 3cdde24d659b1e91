#include "support/scriptedmessenger.h"
#include "support/showscreen.h"
#include "support/testdatabase.h"

#include <accounts/receiptscreen.h>
#include <data/amounts.h>
#include <data/clock.h>
#include <data/officesettings.h>
#include <data/recordset.h>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <reports/runtime/reportengine.h>
#include <reports/runtime/reportwindow.h>

using namespace lexordo;
using Answer = Messenger::Answer;

namespace {
// Whether the number box's answer leads on to the name prompt.
bool readsZero(const QString &answer)
{
    return qRound(amounts::parse(answer).value_or(0.0)) == 0;
}
} // namespace

class TestReceiptScreen : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void opensAtTheNewestReceiptInTheBrowseState();
    void numbersFollowOnByDoubleClick();
    void dateIsFilledOnlyWhenEmpty();
    void searchByNumberOrElseByName_data();
    void searchByNumberOrElseByName();
    void modifyStoresTheChangedReceipt();
    void enterMovesOn();
    void deleteAndMovesKeepToTheRows();
    void printShowsTheScreenWithTheAdvocatesName();
    void advocatesNameIsAskedOnceAndKept();

private:
    ReceiptScreen *showScreen();
    QLineEdit *edit(const char *name) const
    {
        return m_screen->findChild<QLineEdit *>(QLatin1String(name));
    }
    QPushButton *button(const char *name) const
    {
        return m_screen->findChild<QPushButton *>(QLatin1String(name));
    }
    void click(const char *name) { button(name)->click(); }
    void type(const char *field, const QString &text);
    void startAdding();
    report::ReportWindow *reportWindow() const;
    void closeReports();

    std::unique_ptr<test::TestDatabase> m_db;
    std::unique_ptr<ScriptedMessenger> m_messages;
    std::unique_ptr<ReceiptScreen> m_screen;
};

void TestReceiptScreen::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestReceiptScreen::init()
{
    m_db = std::make_unique<test::TestDatabase>();
    m_messages = std::make_unique<ScriptedMessenger>();
    Clock::setToday(QDate(2026, 12, 7));
    office::setAdvocateName(QStringLiteral("Adv. Meera Iyer"));
    m_db->exec(
        QStringLiteral("INSERT INTO Receipt (ReceiptNo, RDate, Name, \"Rs in fig\") VALUES "
                       "(1, '2026-11-01', 'Ravi Kumar', 100), (2, '2026-11-02', 'Sriram', 200), "
                       "(3, '2026-11-03', 'D''Souza', 300), (4, '2026-11-04', 'Ramesh', 400), "
                       "(5, '2026-11-05', 'Anand', 500)"));
}

void TestReceiptScreen::cleanup()
{
    closeReports();
    m_screen.reset();
    QCOMPARE(m_messages->unansweredCount(), 0);
    QCOMPARE(m_messages->pendingAnswers(), 0);
    m_messages.reset();
    m_db.reset();
    Clock::reset();
}

ReceiptScreen *TestReceiptScreen::showScreen()
{
    m_screen = std::make_unique<ReceiptScreen>();
    test::showScreen(m_screen.get());
    return m_screen.get();
}

void TestReceiptScreen::type(const char *field, const QString &text)
{
    edit(field)->setFocus();
    edit(field)->selectAll();
    QTest::keyClicks(edit(field), text);
}

void TestReceiptScreen::startAdding()
{
    m_messages->answer(Answer::Yes);
    click("cmdAdd");
    QCOMPARE(m_messages->lastText(), QStringLiteral("Do you really want to add record"));
}

report::ReportWindow *TestReceiptScreen::reportWindow() const
{
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (auto *w = qobject_cast<report::ReportWindow *>(top))
            return w;
    }
    return nullptr;
}

void TestReceiptScreen::closeReports()
{
    QList<QPointer<report::ReportWindow>> reports;
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (auto *w = qobject_cast<report::ReportWindow *>(top))
            reports << w;
    }
    for (const QPointer<report::ReportWindow> &w : reports)
        delete w.data();
}

void TestReceiptScreen::opensAtTheNewestReceiptInTheBrowseState()
{
    showScreen();
    QCOMPARE(m_screen->objectName(), QStringLiteral("frmReceipt"));
    QCOMPARE(m_screen->windowTitle(), QStringLiteral("Receipt Entry"));
    QCOMPARE(m_screen->findChild<QLabel *>(QStringLiteral("lblHeading"))->text(),
             QStringLiteral("Receipt Book"));
    QCOMPARE(edit("txtRno")->text(), QStringLiteral("5"));
    QCOMPARE(edit("txtName")->text(), QStringLiteral("Anand"));
    QVERIFY(!button("cmdSave")->isEnabled());
    for (const char *name : {"cmdAdd", "cmdModify", "cmdDelete", "cmdFind", "cmdFirst",
                             "cmdPrevious", "cmdNext", "cmdLast", "cmdPrint", "cmdExit"})
        QVERIFY2(button(name)->isEnabled(), name);
    for (const char *name : {"txtRno", "txtDate", "txtName", "txtRsinWords", "txtRsinFig",
                             "txtDated", "txtChqNo", "txtDrawnOn"})
        QVERIFY2(edit(name)->isReadOnly(), name);
    QVERIFY(!m_screen->findChild<QComboBox *>(QStringLiteral("cmbMode"))->isEnabled());
    QVERIFY(!edit("txtAccounts")->isReadOnly());
    const QStringList modes = {QStringLiteral("By Cash"), QStringLiteral("By Cheque")};
    auto *mode = m_screen->findChild<QComboBox *>(QStringLiteral("cmbMode"));
    QCOMPARE(mode->count(), 2);
    QCOMPARE(mode->itemText(0) + u'|' + mode->itemText(1), modes.join(u'|'));
    QCOMPARE(button("cmdFind")->text(), QStringLiteral("&Search "));
    QCOMPARE(button("cmdFirst")->text(), QStringLiteral("|<"));
}

void TestReceiptScreen::numbersFollowOnByDoubleClick()
{
    showScreen();
    QTest::mouseDClick(edit("txtRno"), Qt::LeftButton);
    QCOMPARE(edit("txtRno")->text(), QStringLiteral("5")); // locked: nothing

    for (const QString &expected : {QStringLiteral("6"), QStringLiteral("7")}) {
        startAdding();
        QCOMPARE(QApplication::focusWidget(), edit("txtRno"));
        QTest::mouseDClick(edit("txtRno"), Qt::LeftButton);
        QCOMPARE(edit("txtRno")->text(), expected);
        type("txtName", QStringLiteral("Client ") + expected);
        click("cmdSave");
        QVERIFY(!button("cmdSave")->isEnabled());
    }
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT group_concat(ReceiptNo) FROM Receipt")).toString(),
             QStringLiteral("1,2,3,4,5,6,7"));
    QCOMPARE(edit("txtRno")->text(), QStringLiteral("7"));

    m_screen.reset();
    m_db->exec(QStringLiteral("DELETE FROM Receipt"));
    showScreen();
    startAdding();
    QTest::mouseDClick(edit("txtRno"), Qt::LeftButton);
    QCOMPARE(edit("txtRno")->text(), QStringLiteral("1"));
}

void TestReceiptScreen::dateIsFilledOnlyWhenEmpty()
{
    showScreen();
    click("cmdModify");
    edit("txtDate")->setFocus();
    QCOMPARE(edit("txtDate")->text(), QStringLiteral("05/11/2026")); // a date stays
    click("cmdSave");

    startAdding();
    edit("txtDate")->setFocus();
    QCOMPARE(edit("txtDate")->text(), QStringLiteral("07/12/2026"));
    type("txtDate", QStringLiteral("   "));
    edit("txtName")->setFocus();
    edit("txtDate")->setFocus(); // blanks only count as empty
    QCOMPARE(edit("txtDate")->text(), QStringLiteral("07/12/2026"));
}

void TestReceiptScreen::searchByNumberOrElseByName_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("name"); // asked only when the number reads 0
    QTest::addColumn<QStringList>("found");

    QTest::newRow("number 3") << "3" << QString() << QStringList{"D'Souza"};
    QTest::newRow("number with text after asks the name")
        << "2nd"
        << "ram" << QStringList{"Sriram", "Ramesh"};
    QTest::newRow("2.6 rounds to 3") << "2.6" << QString() << QStringList{"D'Souza"};
    QTest::newRow("0 asks the name") << "0"
                                     << "ram" << QStringList{"Sriram", "Ramesh"};
    QTest::newRow("a word asks the name") << "Ram"
                                          << " ram " << QStringList{"Sriram", "Ramesh"};
    QTest::newRow("apostrophe") << ""
                                << "d'so" << QStringList{"D'Souza"};
    QTest::newRow("empty name keeps all")
        << ""
        << "" << QStringList{"Ravi Kumar", "Sriram", "D'Souza", "Ramesh", "Anand"};
    QTest::newRow("no such number") << "9" << QString() << QStringList{};
    QTest::newRow("no such name") << "x"
                                  << "Zubin" << QStringList{};
}

void TestReceiptScreen::searchByNumberOrElseByName()
{
    QFETCH(QString, number);
    QFETCH(QString, name);
    QFETCH(QStringList, found);
    showScreen();
    m_messages->answerInput(number);
    if (readsZero(number))
        m_messages->answerInput(name);
    if (found.isEmpty())
        m_messages->answer(Answer::Ok);
    click("cmdFind");
    QCOMPARE(m_messages->shown().first().text, QStringLiteral("Enter the Receipt No. "));
    if (readsZero(number))
        QCOMPARE(m_messages->shown().at(1).text, QStringLiteral("Enter the Name "));
    if (found.isEmpty())
        QCOMPARE(m_messages->lastText(), QStringLiteral("Record nont found "));
    RecordSet *receipts = m_screen->recordSet();
    QStringList names;
    for (int i = 0; i < receipts->rowCount(); ++i)
        names << receipts->textAt(i, receipts->fieldIndex(QStringLiteral("Name")));
    QCOMPARE(names, found);
}

void TestReceiptScreen::modifyStoresTheChangedReceipt()
{
    showScreen();
    click("cmdModify");
    QVERIFY(m_screen->isModifying());
    QCOMPARE(QApplication::focusWidget(), edit("txtRno"));
    type("txtRsinFig", QStringLiteral("1500"));
    type("txtRsinWords", QStringLiteral("One thousand five hundred"));
    auto *mode = m_screen->findChild<QComboBox *>(QStringLiteral("cmbMode"));
    mode->setCurrentIndex(1);
    type("txtChqNo", QStringLiteral("123456"));
    type("txtDated", QStringLiteral("6/12/2026"));
    type("txtDrawnOn", QStringLiteral("State Bank"));
    click("cmdSave");
    QVERIFY(!m_screen->isModifying());
    QCOMPARE(
        m_db->scalar(
                QStringLiteral("SELECT \"Rs in fig\" || '|' || \"Sum of Rupees\" || '|' || "
                               "\"payment mode\" || '|' || \"Cheque No\" || '|' || Dated || '|' "
                               "|| \"Drawn On\" FROM Receipt WHERE ReceiptNo = 5"))
            .toString(),
        QStringLiteral("1500.0|One thousand five hundred|By Cheque|123456|2026-12-06|State Bank"));
    QCOMPARE(m_db->count(QStringLiteral("Receipt")), 5);

    // Add after a modification starts afresh.
    startAdding();
    QVERIFY(!m_screen->isModifying());
}

void TestReceiptScreen::enterMovesOn()
{
    showScreen();
    startAdding();
    edit("txtDate")->setFocus();
    QTest::keyClick(edit("txtDate"), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), edit("txtName"));
    QTest::keyClick(edit("txtName"), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), edit("txtRsinFig"));
    type("txtName", QStringLiteral("Kiran"));
    click("cmdSave");
    button("cmdSave")->setEnabled(true); // Enter on Save goes to Add
    button("cmdSave")->setFocus();
    QTest::keyClick(button("cmdSave"), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), button("cmdAdd"));
}

void TestReceiptScreen::deleteAndMovesKeepToTheRows()
{
    showScreen();
    click("cmdFirst");
    QCOMPARE(edit("txtRno")->text(), QStringLiteral("1"));
    m_messages->answer(Answer::No);
    click("cmdDelete");
    QCOMPARE(m_messages->lastText(), QStringLiteral("Really You want to delete this record "));
    QCOMPARE(m_db->count(QStringLiteral("Receipt")), 5);
    m_messages->answer(Answer::Yes);
    click("cmdDelete");
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT group_concat(ReceiptNo) FROM Receipt")).toString(),
             QStringLiteral("2,3,4,5"));
    QCOMPARE(edit("txtRno")->text(), QStringLiteral("5")); // then the last one

    // A search that finds nothing leaves First and Last with nowhere to go.
    m_messages->answerInput(QStringLiteral("99"));
    m_messages->answer(Answer::Ok);
    click("cmdFind");
    click("cmdFirst");
    click("cmdLast");
    QCOMPARE(edit("txtRno")->text(), QString());
    QCOMPARE(m_messages->texts().size(), 4);
}

void TestReceiptScreen::printShowsTheScreenWithTheAdvocatesName()
{
    showScreen();
    click("cmdModify");
    type("txtRsinFig", QStringLiteral("1500"));
    type("txtRsinWords", QStringLiteral("Rupees one thousand five hundred only"));
    m_screen->findChild<QComboBox *>(QStringLiteral("cmbMode"))->setCurrentIndex(1);
    type("txtChqNo", QStringLiteral("123456"));
    type("txtDated", QStringLiteral("06/12/2026"));
    type("txtDrawnOn", QStringLiteral("State Bank"));
    edit("txtAccounts")->setFocus();
    QTest::keyClicks(edit("txtAccounts"), QStringLiteral("Fees of appeal"));
    click("cmdPrint"); // not saved yet: the screen's texts are printed

    report::ReportWindow *window = reportWindow();
    QVERIFY(window);
    QCOMPARE(window->layoutName(), QStringLiteral("drReceipt"));
    const report::ReportPage &page = window->document().pages.first();
    auto text = [&](const char *name) {
        const report::PlacedItem *item =
            page.find(QStringLiteral("PageHeader"), QLatin1String(name));
        return item ? item->text : QStringLiteral("<missing>");
    };
    QCOMPARE(text("Label1"), QStringLiteral("Adv. Meera Iyer"));
    QCOMPARE(text("Label2"), QStringLiteral("Receipt"));
    QCOMPARE(text("LblNo"), QStringLiteral("5"));
    QCOMPARE(text("lblDate"), QStringLiteral("05/11/2026"));
    QCOMPARE(text("lblFrom"), QStringLiteral("Anand"));
    QCOMPARE(text("LblRupees"), QStringLiteral("Rupees one thousand five hundred only"));
    QCOMPARE(text("lblDDNo"), QStringLiteral("123456"));
    QCOMPARE(text("LblDDDate"), QStringLiteral("06/12/2026"));
    QCOMPARE(text("LblDrawnon"), QStringLiteral("State Bank"));
    QCOMPARE(text("lblOnAccount"), QStringLiteral("Fees of appeal"));
    QCOMPARE(text("lblMode"), QStringLiteral("By Cheque"));
    QCOMPARE(text("lblRSFig"), QStringLiteral("Rs.1500/-"));
    QCOMPARE(text("Label4"), QStringLiteral("Received with thanks from Mr./Mrs."));
    QVERIFY(m_messages->shown().isEmpty());
    click("cmdSave");
}

void TestReceiptScreen::advocatesNameIsAskedOnceAndKept()
{
    office::setAdvocateName(QString());
    showScreen();
    m_messages->answerInput(QStringLiteral("  Adv. R. K. Shah "));
    click("cmdPrint");
    QCOMPARE(m_messages->shown().size(), 1);
    QCOMPARE(m_messages->shown().first().kind, ScriptedMessenger::Shown::Kind::Input);
    QCOMPARE(office::advocateName(), QStringLiteral("Adv. R. K. Shah"));
    const report::PlacedItem *name = reportWindow()->document().pages.first().find(
        QStringLiteral("PageHeader"), QStringLiteral("Label1"));
    QVERIFY(name);
    QCOMPARE(name->text, QStringLiteral("Adv. R. K. Shah"));
    closeReports();

    click("cmdPrint"); // known now: not asked again
    QCOMPARE(m_messages->shown().size(), 1);
}

QTEST_MAIN(TestReceiptScreen)
#include "tst_receiptscreen.moc"
