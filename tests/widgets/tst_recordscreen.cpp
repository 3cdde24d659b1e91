#include "support/scriptedmessenger.h"
#include "support/testdatabase.h"

#include <data/clock.h>
#include <data/dataerror.h>
#include <data/messenger.h>
#include <data/recordset.h>
#include <data/recordsetmodel.h>
#include <QApplication>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>
#include <widgets/recordgrid.h>
#include <widgets/recordscreen.h>

using namespace lexordo;
using Answer = Messenger::Answer;

namespace {

const QStringList tenButtons{
    QStringLiteral("cmdAdd"),    QStringLiteral("cmdModify"), QStringLiteral("cmdSave"),
    QStringLiteral("cmdDelete"), QStringLiteral("cmdFirst"),  QStringLiteral("cmdPrevious"),
    QStringLiteral("cmdNext"),   QStringLiteral("cmdLast"),   QStringLiteral("cmdFind"),
    QStringLiteral("cmdExit"),
};

// A register over the fee ledger, built the way every register is: fields
// with their labels, a grid, the ten buttons, and what it searches.
struct LedgerOptions
{
    RecordScreen::Start start = RecordScreen::Start::AllEnabled;
    QString findColumn = QStringLiteral("Name");
    QHash<RecordScreen::Role, QString> buttonNames;
    bool todayOnDateEntry = false; // the date box fills in today when entered in edit state
};

class LedgerScreen : public RecordScreen
{
public:
    explicit LedgerScreen(const LedgerOptions &options = LedgerOptions())
    {
        setObjectName(QStringLiteral("frmLedger"));
        auto *layout = new QGridLayout(this);
        int row = 0;
        auto field = [&](const QString &label, const QString &name) {
            auto *edit = new QLineEdit(this);
            edit->setObjectName(name);
            auto *caption = new QLabel(label, this);
            caption->setBuddy(edit);
            layout->addWidget(caption, row, 0);
            layout->addWidget(edit, row++, 1);
            return edit;
        };
        bind(field(QStringLiteral("&Name:"), QStringLiteral("txtName")), QStringLiteral("Name"));
        bind(field(QStringLiteral("Dated:"), QStringLiteral("txtDate")),
             QStringLiteral("TransDate"));
        bind(field(QStringLiteral("Legal fees"), QStringLiteral("txtFees")),
             QStringLiteral("Legal Fees"));
        auto *grid = new QTableView(this);
        grid->setObjectName(QStringLiteral("DataGrid1"));
        layout->addWidget(grid, row++, 0, 1, 2);
        for (Role role : {Role::Add, Role::Modify, Role::Save, Role::Delete, Role::First,
                          Role::Previous, Role::Next, Role::Last, Role::Find, Role::Exit}) {
            const QString name = options.buttonNames.value(role, buttonName(role));
            setButtonName(role, name);
            auto *b = new QPushButton(name, this);
            b->setObjectName(name);
            layout->addWidget(b, row++, 0);
        }
        openRecordSet(
            RecordSource::table(QStringLiteral("AC_INFO")).orderBy(QStringLiteral("TransDate")));
        setGrid(grid, {{QStringLiteral("Name"), QStringLiteral("Name")},
                       {QStringLiteral("Date"), QStringLiteral("TransDate")}});
        setFind(QStringLiteral("Enter The Name to Be Searched "), options.findColumn,
                Filter::Op::Contains);
        if (options.todayOnDateEntry)
            setDefaultDateOnFocus(findChild<QLineEdit *>(QStringLiteral("txtDate")));
        start(options.start);
    }
};

} // namespace

class TestRecordScreen : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensOnTheFirstRowWithFieldsLocked();
    void opensInBrowseStateWhenAsked();
    void addAnsweredNoChangesNothing();
    void addThenSaveAppendsTheRow();
    void modifyThenSaveStoresTheChange();
    void saveBeforeAnyEditOnlyGoesToTheLastRow();
    void movingPastEitherEndShowsNoRow();
    void gridAndRecordSetMoveTogether();
    void deleteAsksThenReloadsAndGoesToTheLastRow();
    void deleteOnAnEmptySetReloadsFirst();
    void failedDeleteIsReportedAndStopsThere();
    void findFiltersOrSaysNotFound();
    void emptyOrCancelledFindChangesNothing();
    void rejectedSaveKeepsEverythingTyped_data();
    void rejectedSaveKeepsEverythingTyped();
    void saveRefusedByTheDatabaseKeepsTheRow();
    void closingWithTypedChangesAsks_data();
    void closingWithTypedChangesAsks();
    void closingWithNothingTypedAsksNothing();
    void unhandledErrorIsShownAndTheScreenGoesOn();
    void screenWithoutItsTableStillOpens();
    void addThatCannotAddStaysBrowsing();
    void anActionShowsItsFirstFailureOnly();
    void gridThatCannotReadShowsNothingAndTellsOnce();
    void buttonNamesCanBeChanged();
    void keyboardFlowsThroughTheFields();
    void columnsAreFittedToTheRowsInViewBeforeLayout();

private:
    QLineEdit *edit(QWidget &screen, const char *name);
    void click(QWidget &screen, const QString &name);
    QStringList enabledButtons(const RecordScreen &screen);
    void seedThreeRows();
    int rows(const QString &condition) const;

    std::unique_ptr<test::TestDatabase> m_db;
    std::unique_ptr<ScriptedMessenger> m_messages;
};

void TestRecordScreen::init()
{
    m_db = std::make_unique<test::TestDatabase>();
    m_messages = std::make_unique<ScriptedMessenger>();
}

void TestRecordScreen::cleanup()
{
    QCOMPARE(m_messages->unansweredCount(), 0);
    QCOMPARE(m_messages->pendingAnswers(), 0);
    m_messages.reset();
    m_db.reset();
}

QLineEdit *TestRecordScreen::edit(QWidget &screen, const char *name)
{
    auto *e = screen.findChild<QLineEdit *>(QLatin1String(name));
    if (!e)
        qFatal("no field %s", name);
    return e;
}

void TestRecordScreen::click(QWidget &screen, const QString &name)
{
    auto *b = screen.findChild<QPushButton *>(name);
    if (!b)
        qFatal("no button %s", qPrintable(name));
    b->click(); // a disabled button does nothing, as for the user
}

QStringList TestRecordScreen::enabledButtons(const RecordScreen &screen)
{
    QStringList enabled;
    for (const QString &name : tenButtons) {
        if (auto *b = screen.findChild<QPushButton *>(name); b && b->isEnabled())
            enabled << name;
    }
    return enabled;
}

int TestRecordScreen::rows(const QString &condition) const
{
    return m_db->scalar(QStringLiteral("SELECT count(*) FROM AC_INFO WHERE ") + condition).toInt();
}

void TestRecordScreen::seedThreeRows()
{
    m_db->exec(QStringLiteral("INSERT INTO AC_INFO (Name, TransDate, \"Legal Fees\") VALUES "
                              "('Ramesh', '2026-01-05', 1500), ('Sunita', '2026-02-07', 250.5), "
                              "('Bank', '2026-03-09', NULL)"));
}

void TestRecordScreen::opensOnTheFirstRowWithFieldsLocked()
{
    seedThreeRows();
    LedgerScreen screen;
    QCOMPARE(screen.recordSet(), screen.findChild<RecordSet *>(QStringLiteral("Adodc1")));
    QCOMPARE(enabledButtons(screen), tenButtons);
    QCOMPARE(screen.state(), RecordScreen::State::Browse);
    QCOMPARE(edit(screen, "txtName")->text(), QStringLiteral("Ramesh"));
    QCOMPARE(edit(screen, "txtDate")->text(), QStringLiteral("05/01/2026"));
    QCOMPARE(edit(screen, "txtFees")->text(), QStringLiteral("1500"));
    for (const char *name : {"txtName", "txtDate", "txtFees"})
        QVERIFY(edit(screen, name)->isReadOnly());
    auto *grid = screen.findChild<QTableView *>(QStringLiteral("DataGrid1"));
    QCOMPARE(grid->model()->rowCount(), 3);
    QCOMPARE(grid->model()->index(1, 1).data().toString(), QStringLiteral("07/02/2026"));
    QCOMPARE(grid->currentIndex().row(), 0);

    // Locked fields take no typing.
    QTest::keyClicks(edit(screen, "txtName"), QStringLiteral("xyz"));
    QCOMPARE(edit(screen, "txtName")->text(), QStringLiteral("Ramesh"));
    QVERIFY(!screen.hasUnsavedChanges());
}

void TestRecordScreen::opensInBrowseStateWhenAsked()
{
    LedgerOptions options;
    options.start = RecordScreen::Start::Browse;
    LedgerScreen screen(options);
    QStringList expected = tenButtons;
    expected.removeAll(QStringLiteral("cmdSave"));
    QCOMPARE(enabledButtons(screen), expected);
    // An empty table: nothing to show, and no error.
    QCOMPARE(edit(screen, "txtName")->text(), QString());
    QVERIFY(m_messages->shown().isEmpty());
}

void TestRecordScreen::addAnsweredNoChangesNothing()
{
    seedThreeRows();
    LedgerScreen screen;
    click(screen, QStringLiteral("cmdNext"));
    m_messages->answer(Answer::No);
    click(screen, QStringLiteral("cmdAdd"));
    QCOMPARE(m_messages->texts(), QStringList{QStringLiteral("Do you really want to add record")});
    QCOMPARE(m_messages->shown().first().buttons, Messenger::Buttons::YesNo);
    QCOMPARE(screen.state(), RecordScreen::State::Browse);
    QCOMPARE(enabledButtons(screen), tenButtons);
    QCOMPARE(screen.recordSet()->rowCount(), 3);
    QCOMPARE(screen.recordSet()->position(), 1);
    QVERIFY(edit(screen, "txtName")->isReadOnly());
}

void TestRecordScreen::addThenSaveAppendsTheRow()
{
    seedThreeRows();
    LedgerScreen screen;
    m_messages->answer(Answer::Yes);
    click(screen, QStringLiteral("cmdAdd"));
    QCOMPARE(screen.state(), RecordScreen::State::Edit);
    QCOMPARE(enabledButtons(screen),
             (QStringList{QStringLiteral("cmdSave"), QStringLiteral("cmdExit")}));
    QCOMPARE(screen.recordSet()->rowCount(), 4);
    QVERIFY(screen.recordSet()->isNewRow());
    QCOMPARE(edit(screen, "txtName")->text(), QString());
    QVERIFY(!edit(screen, "txtDate")->isReadOnly());
    auto *grid = screen.findChild<QTableView *>(QStringLiteral("DataGrid1"));
    QCOMPARE(grid->currentIndex().row(), 3);

    QTest::keyClicks(edit(screen, "txtName"), QStringLiteral("O'Brien"));
    QTest::keyClicks(edit(screen, "txtDate"), QStringLiteral("1/4/2026"));
    QTest::keyClicks(edit(screen, "txtFees"), QStringLiteral("750.25"));
    click(screen, QStringLiteral("cmdSave"));

    QCOMPARE(m_db->count(QStringLiteral("AC_INFO")), 4);
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT TransDate || '|' || \"Legal Fees\" FROM AC_INFO "
                                         "WHERE Name = 'O''Brien'"))
                 .toString(),
             QStringLiteral("2026-04-01|750.25"));
    QCOMPARE(screen.state(), RecordScreen::State::Browse);
    QStringList browse = tenButtons;
    browse.removeAll(QStringLiteral("cmdSave"));
    QCOMPARE(enabledButtons(screen), browse);
    QVERIFY(edit(screen, "txtName")->isReadOnly());
    QCOMPARE(screen.recordSet()->position(), 3);
    QCOMPARE(edit(screen, "txtDate")->text(), QStringLiteral("01/04/2026"));
    QVERIFY(m_messages->texts().size() == 1);
}

void TestRecordScreen::modifyThenSaveStoresTheChange()
{
    seedThreeRows();
    LedgerScreen screen;
    click(screen, QStringLiteral("cmdModify"));
    QVERIFY(m_messages->shown().isEmpty());
    QCOMPARE(screen.state(), RecordScreen::State::Edit);
    QCOMPARE(screen.recordSet()->rowCount(), 3);
    edit(screen, "txtFees")->selectAll();
    QTest::keyClicks(edit(screen, "txtFees"), QStringLiteral("1600"));
    QVERIFY(screen.hasUnsavedChanges());
    click(screen, QStringLiteral("cmdSave"));
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT \"Legal Fees\" FROM AC_INFO WHERE Name = "
                                         "'Ramesh'"))
                 .toDouble(),
             1600.0);
    QCOMPARE(m_db->count(QStringLiteral("AC_INFO")), 3);
    // Save ends on the last row, whichever row was changed.
    QCOMPARE(edit(screen, "txtName")->text(), QStringLiteral("Bank"));
    QVERIFY(!screen.hasUnsavedChanges());
}

void TestRecordScreen::saveBeforeAnyEditOnlyGoesToTheLastRow()
{
    seedThreeRows();
    LedgerScreen screen;
    click(screen, QStringLiteral("cmdSave"));
    QCOMPARE(screen.recordSet()->position(), 2);
    QVERIFY(!screen.findChild<QPushButton *>(QStringLiteral("cmdSave"))->isEnabled());
    QCOMPARE(m_db->count(QStringLiteral("AC_INFO")), 3);
    QVERIFY(m_messages->shown().isEmpty());
}

void TestRecordScreen::movingPastEitherEndShowsNoRow()
{
    seedThreeRows();
    LedgerScreen screen;
    auto *name = edit(screen, "txtName");
    auto *grid = screen.findChild<QTableView *>(QStringLiteral("DataGrid1"));

    click(screen, QStringLiteral("cmdLast"));
    QCOMPARE(name->text(), QStringLiteral("Bank"));
    click(screen, QStringLiteral("cmdNext"));
    QVERIFY(screen.recordSet()->isEOF());
    QCOMPARE(name->text(), QString());
    QCOMPARE(edit(screen, "txtDate")->text(), QString());
    QVERIFY(!grid->currentIndex().isValid());
    click(screen, QStringLiteral("cmdNext"));
    click(screen, QStringLiteral("cmdLast")); // no move from after the last row
    QVERIFY(screen.recordSet()->isEOF());
    click(screen, QStringLiteral("cmdPrevious"));
    QCOMPARE(name->text(), QStringLiteral("Bank"));
    QCOMPARE(grid->currentIndex().row(), 2);

    click(screen, QStringLiteral("cmdFirst"));
    click(screen, QStringLiteral("cmdPrevious"));
    QVERIFY(screen.recordSet()->isBOF());
    QCOMPARE(name->text(), QString());
    click(screen, QStringLiteral("cmdPrevious"));
    click(screen, QStringLiteral("cmdFirst")); // no move from before the first row
    QVERIFY(screen.recordSet()->isBOF());
    click(screen, QStringLiteral("cmdNext"));
    QCOMPARE(name->text(), QStringLiteral("Ramesh"));
    QVERIFY(m_messages->shown().isEmpty());
}

void TestRecordScreen::gridAndRecordSetMoveTogether()
{
    seedThreeRows();
    LedgerScreen screen;
    auto *grid = screen.findChild<QTableView *>(QStringLiteral("DataGrid1"));
    click(screen, QStringLiteral("cmdNext"));
    QCOMPARE(grid->currentIndex().row(), 1);

    grid->setCurrentIndex(grid->model()->index(2, 0));
    QCOMPARE(screen.recordSet()->position(), 2);
    QCOMPARE(edit(screen, "txtName")->text(), QStringLiteral("Bank"));

    // While a row is edited the grid cannot leave it.
    click(screen, QStringLiteral("cmdModify"));
    QTest::keyClick(edit(screen, "txtName"), Qt::Key_End);
    QTest::keyClicks(edit(screen, "txtName"), QStringLiteral(" Ltd"));
    grid->setCurrentIndex(grid->model()->index(0, 0));
    QCOMPARE(screen.recordSet()->position(), 2);
    QCOMPARE(grid->currentIndex().row(), 2);
    QCOMPARE(edit(screen, "txtName")->text(), QStringLiteral("Bank Ltd"));

    // Every row one fixed height, tall enough for its text, so that a grid
    // of a great many rows never measures them.
    QHeaderView *rowsHeader = grid->verticalHeader();
    for (int row = 0; row < 3; ++row) {
        QCOMPARE(rowsHeader->sectionResizeMode(row), QHeaderView::Fixed);
        QCOMPARE(rowsHeader->sectionSize(row), grid->fontMetrics().height() + 8);
    }
}

void TestRecordScreen::deleteAsksThenReloadsAndGoesToTheLastRow()
{
    seedThreeRows();
    LedgerScreen screen;
    m_messages->answer(Answer::No);
    click(screen, QStringLiteral("cmdDelete"));
    QCOMPARE(m_db->count(QStringLiteral("AC_INFO")), 3);
    QCOMPARE(screen.recordSet()->position(), 0);

    m_messages->answer(Answer::Yes);
    click(screen, QStringLiteral("cmdDelete"));
    QCOMPARE(m_messages->texts(),
             QStringList(2, QStringLiteral("Really You want to delete this record ")));
    QCOMPARE(rows(QStringLiteral("Name = 'Ramesh'")), 0);
    QCOMPARE(screen.recordSet()->rowCount(), 2);
    QCOMPARE(edit(screen, "txtName")->text(), QStringLiteral("Bank"));
}

void TestRecordScreen::deleteOnAnEmptySetReloadsFirst()
{
    seedThreeRows();
    LedgerScreen screen;
    m_messages->answerInput(QStringLiteral("nobody"));
    click(screen, QStringLiteral("cmdFind"));
    QCOMPARE(screen.recordSet()->rowCount(), 0);

    // The search found nothing: Delete reloads every row before it asks.
    m_messages->answer(Answer::No);
    click(screen, QStringLiteral("cmdDelete"));
    QCOMPARE(screen.recordSet()->rowCount(), 3);
    QVERIFY(screen.recordSet()->filter().isEmpty());
    QCOMPARE(m_db->count(QStringLiteral("AC_INFO")), 3);

    // Still empty after the reload: Yes deletes nothing and says nothing more.
    m_db->exec(QStringLiteral("DELETE FROM AC_INFO"));
    LedgerScreen empty;
    m_messages->clear();
    m_messages->answer(Answer::Yes);
    click(empty, QStringLiteral("cmdDelete"));
    QCOMPARE(m_messages->texts(),
             QStringList{QStringLiteral("Really You want to delete this record ")});
    QCOMPARE(empty.recordSet()->rowCount(), 0);
    QCOMPARE(enabledButtons(empty), tenButtons);
}

void TestRecordScreen::failedDeleteIsReportedAndStopsThere()
{
    seedThreeRows();
    m_db->exec(QStringLiteral("CREATE TRIGGER keep BEFORE DELETE ON AC_INFO "
                              "BEGIN SELECT RAISE(ABORT, 'ledger is closed'); END"));
    LedgerScreen screen;
    m_messages->answer(Answer::Yes);
    click(screen, QStringLiteral("cmdDelete"));
    // The user is told why the row is still there.
    QCOMPARE(m_messages->texts(),
             (QStringList{QStringLiteral("Really You want to delete this record "),
                          QStringLiteral("ledger is closed")}));
    QCOMPARE(m_db->count(QStringLiteral("AC_INFO")), 3);
    // Nothing after the failure ran: still on the row that was to go.
    QCOMPARE(screen.recordSet()->rowCount(), 3);
    QCOMPARE(edit(screen, "txtName")->text(), QStringLiteral("Ramesh"));
}

void TestRecordScreen::findFiltersOrSaysNotFound()
{
    seedThreeRows();
    LedgerScreen screen;
    m_messages->answerInput(QStringLiteral("ANK"));
    click(screen, QStringLiteral("cmdFind"));
    QCOMPARE(m_messages->shown().first().kind, ScriptedMessenger::Shown::Kind::Input);
    QCOMPARE(m_messages->shown().first().text, QStringLiteral("Enter The Name to Be Searched "));
    QCOMPARE(m_messages->shown().first().title, QString());
    QCOMPARE(screen.recordSet()->rowCount(), 1);
    QCOMPARE(edit(screen, "txtName")->text(), QStringLiteral("Bank"));
    QCOMPARE(m_messages->texts().size(), 1);

    m_messages->answerInput(QStringLiteral("zz"));
    click(screen, QStringLiteral("cmdFind"));
    QCOMPARE(m_messages->lastText(), QStringLiteral("Record Not Found "));
    QCOMPARE(m_messages->shown().last().buttons, Messenger::Buttons::Ok);
    QCOMPARE(screen.recordSet()->rowCount(), 0);
    QCOMPARE(edit(screen, "txtName")->text(), QString());
    QCOMPARE(screen.findChild<QTableView *>(QStringLiteral("DataGrid1"))->model()->rowCount(), 0);
    // The moving buttons do nothing on the empty result.
    click(screen, QStringLiteral("cmdNext"));
    click(screen, QStringLiteral("cmdFirst"));
    QCOMPARE(m_messages->texts().size(), 3);
}

void TestRecordScreen::emptyOrCancelledFindChangesNothing()
{
    seedThreeRows();
    LedgerScreen screen;
    m_messages->answerInput(QStringLiteral("n"));
    click(screen, QStringLiteral("cmdFind"));
    QCOMPARE(screen.recordSet()->rowCount(), 2); // Sunita and Bank
    click(screen, QStringLiteral("cmdNext"));

    m_messages->answerInput(QString());
    click(screen, QStringLiteral("cmdFind"));
    m_messages->cancelInput();
    click(screen, QStringLiteral("cmdFind"));
    QCOMPARE(m_messages->texts().size(), 3);
    QCOMPARE(screen.recordSet()->filter(),
             Filter(QStringLiteral("Name"), Filter::Op::Contains, QStringLiteral("n")));
    QCOMPARE(screen.recordSet()->position(), 1);
}

void TestRecordScreen::rejectedSaveKeepsEverythingTyped_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("corrected");
    QTest::addColumn<QString>("message");
    QTest::newRow("date that does not exist")
        << "txtDate"
        << "31/02/2026"
        << "28/02/2026"
        << "Dated: \"31/02/2026\" is not a valid date. Please correct it.";
    QTest::newRow("letters for an amount") << "txtFees"
                                           << "fifteen hundred"
                                           << "1500"
                                           << "Legal fees: \"fifteen hundred\" is not an amount.";
}

void TestRecordScreen::rejectedSaveKeepsEverythingTyped()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, corrected);
    QFETCH(QString, message);

    LedgerScreen screen;
    m_messages->answer(Answer::Yes);
    click(screen, QStringLiteral("cmdAdd"));
    QTest::keyClicks(edit(screen, "txtName"), QStringLiteral("Meera"));
    QTest::keyClicks(edit(screen, "txtDate"), QStringLiteral("03/03/2026"));
    QTest::keyClicks(edit(screen, "txtFees"), QStringLiteral("200"));
    auto *bad = edit(screen, qPrintable(field));
    bad->clear();
    QTest::keyClicks(bad, typed);

    click(screen, QStringLiteral("cmdSave"));
    QCOMPARE(m_messages->lastText(), message);
    QCOMPARE(m_messages->shown().last().buttons, Messenger::Buttons::Ok);
    QCOMPARE(m_db->count(QStringLiteral("AC_INFO")), 0);
    QCOMPARE(screen.state(), RecordScreen::State::Edit);
    QCOMPARE(enabledButtons(screen),
             (QStringList{QStringLiteral("cmdSave"), QStringLiteral("cmdExit")}));
    QCOMPARE(bad->text(), typed);
    QCOMPARE(edit(screen, "txtName")->text(), QStringLiteral("Meera"));
    QVERIFY(!bad->isReadOnly());

    bad->clear();
    QTest::keyClicks(bad, corrected);
    click(screen, QStringLiteral("cmdSave"));
    QCOMPARE(m_messages->texts().size(), 2);
    QCOMPARE(rows(QStringLiteral("Name = 'Meera'")), 1);
    QCOMPARE(screen.state(), RecordScreen::State::Browse);
}

void TestRecordScreen::saveRefusedByTheDatabaseKeepsTheRow()
{
    m_db->exec(QStringLiteral("CREATE TRIGGER audit BEFORE INSERT ON AC_INFO "
                              "BEGIN SELECT RAISE(ABORT, 'ledger is closed for audit'); END"));
    LedgerScreen screen;
    m_messages->answer(Answer::Yes);
    click(screen, QStringLiteral("cmdAdd"));
    QTest::keyClicks(edit(screen, "txtName"), QStringLiteral("Meera"));
    click(screen, QStringLiteral("cmdSave"));
    QCOMPARE(m_messages->lastText(),
             QStringLiteral("The record could not be saved: ledger is closed for audit"));
    QCOMPARE(screen.state(), RecordScreen::State::Edit);
    QCOMPARE(edit(screen, "txtName")->text(), QStringLiteral("Meera"));

    m_db->exec(QStringLiteral("DROP TRIGGER audit"));
    click(screen, QStringLiteral("cmdSave"));
    QCOMPARE(rows(QStringLiteral("Name = 'Meera'")), 1);
    QCOMPARE(screen.state(), RecordScreen::State::Browse);
}

void TestRecordScreen::closingWithTypedChangesAsks_data()
{
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<int>("stored");
    QTest::newRow("Yes saves") << Answer::Yes << true << 1;
    QTest::newRow("No discards") << Answer::No << true << 0;
    QTest::newRow("Cancel keeps the screen") << Answer::Cancel << false << 0;
}

void TestRecordScreen::closingWithTypedChangesAsks()
{
    QFETCH(Answer, answer);
    QFETCH(bool, closed);
    QFETCH(int, stored);

    auto *screen = new LedgerScreen;
    screen->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<LedgerScreen> alive(screen);
    screen->show();
    m_messages->answer(Answer::Yes);
    click(*screen, QStringLiteral("cmdAdd"));
    QTest::keyClicks(edit(*screen, "txtName"), QStringLiteral("Anand"));

    m_messages->answer(answer);
    click(*screen, QStringLiteral("cmdExit"));
    QCOMPARE(m_messages->lastText(),
             QStringLiteral("Save the changes to this record before closing?"));
    QCOMPARE(m_messages->shown().last().buttons, Messenger::Buttons::YesNoCancel);
    QCOMPARE(rows(QStringLiteral("Name = 'Anand'")), stored);
    if (closed) {
        QTRY_VERIFY(alive.isNull());
    } else {
        QVERIFY(screen->isVisible());
        QCOMPARE(edit(*screen, "txtName")->text(), QStringLiteral("Anand"));
        QCOMPARE(screen->state(), RecordScreen::State::Edit);
        m_messages->answer(Answer::No);
        screen->close();
        QTRY_VERIFY(alive.isNull());
    }
}

void TestRecordScreen::closingWithNothingTypedAsksNothing()
{
    LedgerScreen screen;
    screen.show();
    m_messages->answer(Answer::Yes);
    click(screen, QStringLiteral("cmdAdd"));
    click(screen, QStringLiteral("cmdExit"));
    QVERIFY(!screen.isVisible());
    QCOMPARE(m_messages->texts().size(), 1);
    QCOMPARE(m_db->count(QStringLiteral("AC_INFO")), 0);
}

void TestRecordScreen::unhandledErrorIsShownAndTheScreenGoesOn()
{
    seedThreeRows();
    LedgerOptions options;
    options.findColumn = QStringLiteral("Client");
    LedgerScreen screen(options);
    m_messages->answerInput(QStringLiteral("Ram"));
    click(screen, QStringLiteral("cmdFind"));
    QCOMPARE(m_messages->lastText(),
             QStringLiteral("Item cannot be found in the collection corresponding to the "
                            "requested name or ordinal: Client"));
    QCOMPARE(screen.recordSet()->rowCount(), 3);
    click(screen, QStringLiteral("cmdNext"));
    QCOMPARE(edit(screen, "txtName")->text(), QStringLiteral("Sunita"));
}

void TestRecordScreen::screenWithoutItsTableStillOpens()
{
    m_db->exec(QStringLiteral("DROP TABLE AC_INFO"));
    LedgerScreen screen;
    QCOMPARE(m_messages->texts(), QStringList{QStringLiteral("no such table: AC_INFO")});
    QCOMPARE(edit(screen, "txtName")->text(), QString());

    // Every button still answers, and the screen stays usable. Add has no
    // table to add to: it says so once, and the screen stays browsing.
    m_messages->answer(Answer::Yes);
    click(screen, QStringLiteral("cmdAdd"));
    QCOMPARE(m_messages->texts().size(), 3);
    QCOMPARE(screen.state(), RecordScreen::State::Browse);
    click(screen, QStringLiteral("cmdSave"));
    QCOMPARE(screen.state(), RecordScreen::State::Browse);
    // Delete reads the table again first, and stops there.
    m_messages->clear();
    click(screen, QStringLiteral("cmdDelete"));
    QCOMPARE(m_messages->texts().size(), 1);
    for (const char *move : {"cmdFirst", "cmdPrevious", "cmdNext", "cmdLast"})
        click(screen, QLatin1String(move));
    m_messages->answerInput(QStringLiteral("Ram"));
    click(screen, QStringLiteral("cmdFind"));
    QCOMPARE(m_messages->lastText(), QStringLiteral("The record set is not open."));
}

void TestRecordScreen::addThatCannotAddStaysBrowsing()
{
    seedThreeRows();
    LedgerScreen screen;
    // a query, not the table
    const auto source = RecordSource::query(QStringLiteral("select Name from AC_INFO"));
    screen.recordSet()->open(source);
    m_messages->answer(Answer::Yes);
    click(screen, QStringLiteral("cmdAdd"));
    QCOMPARE(m_messages->texts(),
             (QStringList{
                 QStringLiteral("Do you really want to add record"),
                 QStringLiteral("The record set %1 cannot be changed.").arg(source.toString())}));
    QCOMPARE(screen.state(), RecordScreen::State::Browse);
    QVERIFY(edit(screen, "txtName")->isReadOnly());
    QCOMPARE(screen.recordSet()->rowCount(), 3);
}

// A failure inside a step the action set off (a focus hook run by its own
// setFocus) is the action's failure: one box, however many follow.
void TestRecordScreen::anActionShowsItsFirstFailureOnly()
{
    const auto fail = [](const char *text) { throw DataError(QString::fromLatin1(text)); };
    bool after = false;
    QVERIFY(!guardAction([&] {
        QVERIFY(!guardAction([&] { fail("disk is full"); }));
        fail("database is locked");
        after = true;
    }));
    QVERIFY(!after);
    QCOMPARE(m_messages->texts(), QStringList{QStringLiteral("disk is full")});
    // The next action is told its own failure.
    QVERIFY(!guardAction([&] { fail("database is locked"); }));
    QCOMPARE(m_messages->lastText(), QStringLiteral("database is locked"));
    QVERIFY(guardAction([] {}));
    QCOMPARE(m_messages->texts().size(), 2);
}

// Rows that cannot be read show as none in the grid: nothing reaches the
// view's painting, and the clerk is told once, not once a cell.
void TestRecordScreen::gridThatCannotReadShowsNothingAndTellsOnce()
{
    seedThreeRows();
    // Reading the third row overflows: the read fails when the rows are read.
    RecordSet unreadable(RecordSource::query(QStringLiteral(
        "select Name, abs(case when Name = 'Bank' then -9223372036854775807 - 1 else 0 end) "
        "as n from AC_INFO")));
    RecordSetModel model(&unreadable);
    model.setColumns({{QStringLiteral("Name"), QStringLiteral("Name")}});
    tellReadFailures(&model);
    QSignalSpy failures(&model, &RecordSetModel::readFailed);
    QTableView grid;
    grid.setModel(&model);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(model.data(model.index(0, 0), Qt::DisplayRole), QVariant());
    }
    grid.viewport()->repaint();
    QTRY_COMPARE(m_messages->texts().size(), 1);
    QVERIFY2(m_messages->lastText().contains(QStringLiteral("overflow")),
             qPrintable(m_messages->lastText()));
    QCOMPARE(failures.size(), 1);
}

void TestRecordScreen::buttonNamesCanBeChanged()
{
    seedThreeRows();
    LedgerOptions options;
    options.start = RecordScreen::Start::Browse;
    options.buttonNames = {{RecordScreen::Role::Previous, QStringLiteral("cmdprev")},
                           {RecordScreen::Role::Exit, QStringLiteral("cmdexit")}};
    auto *screen = new LedgerScreen(options);
    QPointer<LedgerScreen> alive(screen);
    screen->setAttribute(Qt::WA_DeleteOnClose);
    screen->show();
    QCOMPARE(screen->button(RecordScreen::Role::Previous)->objectName(), QStringLiteral("cmdprev"));
    click(*screen, QStringLiteral("cmdLast"));
    click(*screen, QStringLiteral("cmdprev"));
    QCOMPARE(edit(*screen, "txtName")->text(), QStringLiteral("Sunita"));
    click(*screen, QStringLiteral("cmdexit"));
    QTRY_VERIFY(alive.isNull());
}

void TestRecordScreen::keyboardFlowsThroughTheFields()
{
    Clock::setToday(QDate(2026, 12, 7));
    seedThreeRows();
    LedgerOptions options;
    options.todayOnDateEntry = true;
    LedgerScreen screen(options);
    screen.show();
    QApplication::setActiveWindow(&screen);
    QVERIFY(QTest::qWaitForWindowActive(&screen));

    // After Add and Yes the cursor is in the first field.
    m_messages->answer(Answer::Yes);
    click(screen, QStringLiteral("cmdAdd"));
    QCOMPARE(QApplication::focusWidget(), edit(screen, "txtName"));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Sharma"));

    // Enter moves on; the date filled in on entry is selected, so typing replaces it.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), edit(screen, "txtDate"));
    QCOMPARE(edit(screen, "txtDate")->selectedText(), QStringLiteral("07/12/2026"));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("1/4/2026"));
    QCOMPARE(edit(screen, "txtDate")->text(), QStringLiteral("1/4/2026"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(QApplication::focusWidget(), edit(screen, "txtFees"));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("500.5"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(QApplication::focusWidget() != edit(screen, "txtFees"));

    // A click into the date box selects the date filled in as well.
    QTest::mouseClick(edit(screen, "txtDate"), Qt::LeftButton);
    QTRY_COMPARE(edit(screen, "txtDate")->selectedText(), QStringLiteral("07/12/2026"));
    QTest::keyClicks(edit(screen, "txtDate"), QStringLiteral("2/4/2026"));
    click(screen, QStringLiteral("cmdSave"));
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT TransDate || '|' || \"Legal Fees\" FROM AC_INFO "
                                         "WHERE Name = 'Sharma'"))
                 .toString(),
             QStringLiteral("2026-04-02|500.5"));
    Clock::reset();
}

namespace {

// Counts the rows whose cells are read for display.
class CountingModel : public QStandardItemModel
{
public:
    using QStandardItemModel::QStandardItemModel;
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role == Qt::DisplayRole)
            rowsRead.insert(index.row());
        return QStandardItemModel::data(index, role);
    }
    mutable QSet<int> rowsRead;
};

} // namespace

// A grid fitted while its screen is still being made, its rows not yet of
// their height, reads no more rows than its viewport shows rows a letter
// high, however many the model holds.
void TestRecordScreen::columnsAreFittedToTheRowsInViewBeforeLayout()
{
    QTableView grid;
    grid.resize(400, 300);
    grid.verticalHeader()->setMinimumSectionSize(1);
    grid.verticalHeader()->setDefaultSectionSize(1);
    CountingModel model(5000, 2);
    for (int row = 0; row < model.rowCount(); ++row)
        model.setItem(row, 0, new QStandardItem(QStringLiteral("row %1").arg(row)));
    grid.setModel(&model);
    GridColumns::attach(&grid, QStringLiteral("test/grid"))->fit();
    QVERIFY(!model.rowsRead.isEmpty());
    QVERIFY2(model.rowsRead.size() <= grid.viewport()->height() / grid.fontMetrics().height() + 1,
             qPrintable(QString::number(model.rowsRead.size())));
}

QTEST_MAIN(TestRecordScreen)
#include "tst_recordscreen.moc"
