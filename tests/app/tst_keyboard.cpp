// The keyboard on a real desktop: an X server with a window manager, real
// message boxes, and every key sent where the focus is. Run with DESKTOP.

#include "support/desktop.h"
#include "support/testdatabase.h"

#include <app/mainwindow.h>
#include <app/qtmessenger.h>
#include <data/clock.h>
#include <data/dates.h>
#include <data/messenger.h>
#include <data/officesettings.h>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTableView>
#include <QTest>
#include <reports/runtime/reportwindow.h>

using namespace lexordo;
using namespace lexordo::test;

class TestKeyboard : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    // Enter finishes an entry.
    void casesEntryRemarksEnterEnterStoresTheRow();
    void courtEntryEnterAfterIndexSaves();
    void clientsLastFieldEnterLandsOnSave();
    void inputBoxEnterIsOkAndKeepsTheText();
    void searchDialogEnterSearchesAndTheGridHasTheKeyboard();

    // The keyboard is never lost.
    void ctrlFOpensTheLedgerWithTheKeyboard();
    void escapeClosesReportWindowsAndSearchDialogs();
    void keysTypedAsTheSearchDialogOpensGoToIt();
    void typingGoesOnWhileAnotherDeskWrites();

    // A date filled in on entry.
    void holidayDateIsFilledAfterAddYesAndKeptOverASwitch_data();
    void holidayDateIsFilledAfterAddYesAndKeptOverASwitch();

private:
    QWidget *open(const char *entry, const QString &screen);
    void answerYes()
    {
        answerNextBox([] { press(Qt::Key_Y); });
    }

    QtMessenger m_boxes;
    Messenger *m_previous = nullptr;
    std::unique_ptr<TestDatabase> m_db;
    QPointer<MainWindow> m_window;
};

void TestKeyboard::initTestCase()
{
    QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb"),
             "runs on an X server with a window manager (tests/support/desktop-run.sh)");
    QStandardPaths::setTestModeEnabled(true);
}

void TestKeyboard::init()
{
    QSettings(QStringLiteral("Lexordo"), QStringLiteral("Lexordo")).clear();
    office::setAdvocateName(QStringLiteral("Adv. S. K. Menon"));
    m_db = std::make_unique<TestDatabase>();
    m_previous = setMessenger(&m_boxes);
    m_window = new MainWindow;
    m_window->resize(1000, 700);
    QVERIFY(showActive(m_window));
}

void TestKeyboard::cleanup()
{
    delete m_window; // unsaved typing goes with it, unasked
    setMessenger(m_previous);
    m_db.reset();
}

// Opens a screen from its menu entry and waits until it has the keyboard.
QWidget *TestKeyboard::open(const char *entry, const QString &screen)
{
    m_window->menuEntry(QString::fromLatin1(entry))->trigger();
    QWidget *opened = m_window->findScreen(screen);
    if (!opened || !QTest::qWaitFor([&] { return opened->isAncestorOf(keyboardTarget()); }))
        return nullptr;
    return opened;
}

// --- Enter finishes an entry ----------------------------------------------------------------

void TestKeyboard::casesEntryRemarksEnterEnterStoresTheRow()
{
    press(QKeySequence(QStringLiteral("Ctrl+E")));
    QTRY_VERIFY(m_window->findScreen(QStringLiteral("frmCases")));
    answerYes();
    press(QKeySequence(QStringLiteral("Alt+A")));
    QTRY_COMPARE(focusName(), QStringLiteral("txtCdate"));
    while (focusName() != QLatin1String("txtRemarks")) {
        const QString field = focusName();
        if (field == QLatin1String("txtCaseNo"))
            type(QStringLiteral("OS 12/2026"));
        press(Qt::Key_Return);
        QVERIFY2(focusName() != field, qPrintable(field));
    }
    type(QStringLiteral("adjourned"));
    press(Qt::Key_Return);
    QCOMPARE(focusName(), QStringLiteral("cmdSave"));
    press(Qt::Key_Return);

    QCOMPARE(m_db->scalar(QStringLiteral("SELECT count(*) FROM advocate WHERE caseno = "
                                         "'OS 12/2026' AND remarks = 'adjourned'"))
                 .toInt(),
             1);
}

void TestKeyboard::courtEntryEnterAfterIndexSaves()
{
    QVERIFY(open("mnuCEntry", QStringLiteral("frmCourts")));
    answerYes();
    press(QKeySequence(QStringLiteral("Alt+A")));
    QTRY_COMPARE(focusName(), QStringLiteral("txtHdays"));
    type(QStringLiteral("Civil Judge"));
    press(Qt::Key_Return);
    type(QStringLiteral("4"));
    press(Qt::Key_Return);
    press(Qt::Key_Return);

    QCOMPARE(m_db->scalar(QStringLiteral("SELECT indexx FROM courts WHERE court = 'Civil Judge'"))
                 .toInt(),
             4);
}

void TestKeyboard::clientsLastFieldEnterLandsOnSave()
{
    QVERIFY(open("mnuCInfo", QStringLiteral("frmClients")));
    answerYes();
    press(QKeySequence(QStringLiteral("Alt+A")));
    QTRY_COMPARE(focusName(), QStringLiteral("txtName"));
    type(QStringLiteral("Sharma"));
    for (int field = 0; field < 20 && focusName() != QLatin1String("txtfolderpath"); ++field)
        press(Qt::Key_Return);
    QCOMPARE(focusName(), QStringLiteral("txtfolderpath"));
    press(Qt::Key_Return);
    QCOMPARE(focusName(), QStringLiteral("cmdSave"));
    press(Qt::Key_Return);
    QCOMPARE(m_db->count(QStringLiteral("Clients")), 1);
}

// The note of another desk's changes appears beside the row being typed; every
// key still lands in the field.
void TestKeyboard::typingGoesOnWhileAnotherDeskWrites()
{
    QWidget *cases = open("mnucentery", QStringLiteral("frmCases"));
    QVERIFY(cases);
    answerYes();
    press(QKeySequence(QStringLiteral("Alt+A")));
    QTRY_COMPARE(focusName(), QStringLiteral("txtCdate"));
    while (focusName() != QLatin1String("txtCaseNo"))
        press(Qt::Key_Return);
    type(QStringLiteral("OS 12"));
    m_db->execElsewhere(QStringLiteral(
        "INSERT INTO advocate (cdate, caseno, Party1) VALUES ('2026-03-02', 'OS 1', 'Verma')"));
    auto *note = cases->findChild<QLabel *>(QStringLiteral("lblChangedElsewhere"));
    QTRY_VERIFY_WITH_TIMEOUT(note->isVisible(), 2000);
    QCOMPARE(focusName(), QStringLiteral("txtCaseNo"));
    type(QStringLiteral("/2026"));
    QCOMPARE(cases->findChild<QLineEdit *>(QStringLiteral("txtCaseNo"))->text(),
             QStringLiteral("OS 12/2026"));
    cases->findChild<QPushButton *>(QStringLiteral("cmdSave"))->click();
    QTRY_VERIFY(note->isHidden());
    const auto *grid = cases->findChild<QTableView *>(QStringLiteral("DataGrid1"));
    QCOMPARE(grid->model()->rowCount(), 2);
}

void TestKeyboard::inputBoxEnterIsOkAndKeepsTheText()
{
    answerNextBox([] {
        type(QStringLiteral("Civil"));
        press(Qt::Key_Return);
    });
    QCOMPARE(askInput(QStringLiteral("Enter The Name to Be Searched ")), QStringLiteral("Civil"));
}

void TestKeyboard::searchDialogEnterSearchesAndTheGridHasTheKeyboard()
{
    m_db->exec(QStringLiteral("INSERT INTO advocate (cdate, caseno, Party1) VALUES "
                              "('2026-03-02', 'OS 1', 'Sharma'), ('2026-03-02', 'OS 2', 'Verma')"));
    QWidget *cases = open("mnucentery", QStringLiteral("frmCases"));
    QVERIFY(cases);
    cases->findChild<QPushButton *>(QStringLiteral("cmdFind"))->click();
    QTRY_VERIFY(m_window->findScreen(QStringLiteral("frmSearchcase")));
    QTRY_COMPARE(focusName(), QStringLiteral("Option1_0"));
    press(Qt::Key_Down); // current date
    press(Qt::Key_Down); // parties
    answerNextBox([] {
        type(QStringLiteral("Verm"));
        press(Qt::Key_Return);
    });
    press(Qt::Key_Return);

    auto *grid = cases->findChild<QTableView *>(QStringLiteral("DataGrid1"));
    QTRY_COMPARE(grid->model()->rowCount(), 1);
    QTRY_COMPARE(QApplication::focusWidget(), grid);
}

// --- the keyboard is never lost ---------------------------------------------------------------

void TestKeyboard::ctrlFOpensTheLedgerWithTheKeyboard()
{
    m_db->exec(QStringLiteral("INSERT INTO Clients (ACname) VALUES ('Ramesh')"));
    press(QKeySequence(QStringLiteral("Ctrl+F")));
    QTRY_VERIFY(m_window->findScreen(QStringLiteral("frmAC")));
    QWidget *ledger = m_window->findScreen(QStringLiteral("frmAC"));
    QTRY_VERIFY(ledger->isAncestorOf(QApplication::focusWidget()));

    answerYes();
    press(QKeySequence(QStringLiteral("Alt+A")));
    QTRY_COMPARE(focusName(), QStringLiteral("txtname"));
    type(QStringLiteral("Ramesh"));
    QCOMPARE(ledger->findChild<QComboBox *>(QStringLiteral("txtname"))->currentText(),
             QStringLiteral("Ramesh"));
}

void TestKeyboard::escapeClosesReportWindowsAndSearchDialogs()
{
    report::ReportLayout layout(QStringLiteral("drSample"));
    layout.addSection(report::SectionKind::Detail, QStringLiteral("Detail"), 10)
        .field(QStringLiteral("party"), QRectF(0, 1, 60, 4));
    ResultTable table;
    table.columns = {QStringLiteral("party")};
    table.rows << QVariantList{QStringLiteral("Sharma")};
    QPointer<QWidget> report = report::ReportWindow::open(layout, report::ReportData::flat(table));
    QTRY_VERIFY(report && report->isAncestorOf(QApplication::focusWidget()));
    press(Qt::Key_Escape);
    QTRY_VERIFY(!report || !report->isVisible());

    QPointer<QWidget> search = m_window->openScreen(QStringLiteral("frmSearchcase"));
    QTRY_VERIFY(search && search->isAncestorOf(QApplication::focusWidget()));
    press(Qt::Key_Escape);
    QTRY_VERIFY(!m_window->findScreen(QStringLiteral("frmSearchcase")));
}

void TestKeyboard::keysTypedAsTheSearchDialogOpensGoToIt()
{
    m_db->exec(QStringLiteral("INSERT INTO advocate (cdate, caseno, Party1, ndate) VALUES "
                              "('2026-03-02', 'OS 1', 'Sharma', NULL)"));
    QWidget *cases = open("mnucentery", QStringLiteral("frmCases"));
    QVERIFY(cases);
    auto *grid = cases->findChild<QTableView *>(QStringLiteral("DataGrid1"));
    QTRY_COMPARE(QApplication::focusWidget(), grid);
    // The search is chosen and the clerk types on at once.
    cases->findChild<QPushButton *>(QStringLiteral("cmdFind"))->click();
    type(QStringLiteral("15"));

    const auto editors = grid->viewport()->findChildren<QLineEdit *>();
    for (QLineEdit *editor : editors) // no cell opened for typing
        QVERIFY(!editor->isVisible());
    QWidget *search = m_window->findScreen(QStringLiteral("frmSearchcase"));
    QVERIFY(search);
    QTRY_VERIFY(search->isAncestorOf(QApplication::focusWidget()));
    QVERIFY(m_db->scalar(QStringLiteral("SELECT ndate FROM advocate")).isNull());
}

// --- a date filled in on entry ----------------------------------------------------------------

void TestKeyboard::holidayDateIsFilledAfterAddYesAndKeptOverASwitch_data()
{
    // However Yes is given: its key, Enter on it, or a click.
    QTest::addColumn<int>("answer");
    QTest::newRow("Y") << int(Qt::Key_Y);
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("click") << 0;
}

void TestKeyboard::holidayDateIsFilledAfterAddYesAndKeptOverASwitch()
{
    QFETCH(int, answer);
    QWidget *holidays = open("mnuHoli", QStringLiteral("frmHdays"));
    QVERIFY(holidays);
    auto *dated = holidays->findChild<QLineEdit *>(QStringLiteral("txtDate"));
    answerNextBox([answer] {
        if (answer)
            press(Qt::Key(answer));
        else
            QTest::mouseClick(
                QApplication::activeModalWidget()->findChildren<QPushButton *>().first(),
                Qt::LeftButton);
    });
    press(QKeySequence(QStringLiteral("Alt+A")));
    const QString today = dates::format(Clock::today());
    QTRY_COMPARE(focusName(), QStringLiteral("txtDate"));
    QTRY_COMPARE(dated->text(), today);
    QTRY_COMPARE(dated->selectedText(), today);

    // The clerk types the holiday's date, looks at another program and comes back.
    type(QStringLiteral("26/01/2027"));
    QWidget other;
    other.setWindowTitle(QStringLiteral("Another program"));
    other.resize(300, 200);
    QVERIFY(showActive(&other));
    QVERIFY(!m_window->isActiveWindow());
    QVERIFY(showActive(m_window));
    QTRY_COMPARE(focusName(), QStringLiteral("txtDate"));
    QCOMPARE(dated->text(), QStringLiteral("26/01/2027"));
}

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
