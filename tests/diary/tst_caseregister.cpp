#include "support/scriptedmessenger.h"
#include "support/showscreen.h"
#include "support/testdatabase.h"

#include <data/changewatch.h>
#include <data/clock.h>
#include <data/messenger.h>
#include <data/recordset.h>
#include <diary/caseregister.h>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <widgets/screenhost.h>
#include <widgets/screennames.h>

using namespace lexordo;
using Answer = Messenger::Answer;

namespace {

const QDate today(2026, 12, 7); // a Monday
const QString notADate = QStringLiteral("Enter The Date in DD/MM/YYYY Format ");
const QString sundayQuestion = QStringLiteral("Today is sunday. Do you want to continue?");
constexpr int nextDateColumn = 7;

// Stands in for the main window: knows which screens were asked for, and
// holds a conversion screen that the register's opening must close.
class FakeHost : public ScreenHost
{
public:
    QWidget *openScreen(const QString &screenName) override
    {
        opened << screenName;
        return findScreen(screenName);
    }
    QWidget *openScreen(const QString &screenName, const QVariant &argument) override
    {
        handed << qMakePair(screenName, argument.toMap());
        return nullptr;
    }
    QWidget *findScreen(const QString &screenName) const override
    {
        if (screenName == screens::conversion && conversion.isVisible())
            return const_cast<QWidget *>(&conversion);
        if (screenName == screens::caseRegister)
            return screen;
        return nullptr;
    }

    QStringList opened;
    QList<QPair<QString, QVariantMap>> handed;
    QWidget conversion;
    QWidget *screen = nullptr;
};

} // namespace

class TestCaseRegister : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void screenAsTheOfficeKnowsIt();
    void openingCarriesTodaysHearingsForward();
    void everyHearingDueIsCarriedForward();
    void rowsDatedTodayStopTheCarryForward_data();
    void rowsDatedTodayStopTheCarryForward();
    void nextDateQuestionedInTheField_data();
    void nextDateQuestionedInTheField();
    void nextDateThatIsNotADateStaysForCorrection();
    void nextDateQuestionedInTheGrid();
    void gridKeepsATextThatIsNotADate();
    void courtLookupCopiesTheIndex();
    void changeCourtIndexStoresAtOnce();
    void decidedCasesUntilRefresh();
    void partyHistoryOnDoubleClick();
    void addAndSave();
    void addThatFailsStaysBrowsingAndSaysSoOnce();
    void browseTypingIsStoredWhenTheRowChanges();
    void listOfAllCases();
    void reachesOtherScreensThroughTheHost();
    void bandMovesOnlyWhileSeen();
    void gridColumnsShowWhatTheyHold();
    void gridKeepsTheWidthsTheUserSets();
    void gridTypingLandsInTheCellTyped_data();
    void gridTypingLandsInTheCellTyped();
    void nextDateBeforeTheHearingIsQuestioned();
    void refusedNextDateOffersTheNextWorkingDay();
    void emptyCourtBoxIsNotLookedUp();
    void addStartsInTheDateAndEnterMovesOn();
    void registerTellsWhatItHolds();
    void hearingsMissedWhileClosedAreOffered_data();
    void hearingsMissedWhileClosedAreOffered();
    void fitsASmallScreen();
    void missedHearingsAreListedAllOrNone();
    void longAbsenceNamesItsFirstDays();

    // Several desks on one diary.
    void hearingsEnteredElsewhereShowWhileBrowsing();
    void changesElsewhereWaitForTheRowBeingAdded();

private:
    void addHearing(const QString &caseno, const QString &party1, const QString &cdate,
                    const QString &ndate, int court, const QString &remarks = QString());
    CaseRegister &openRegister();
    template <typename T = QLineEdit> T *field(const char *name) const
    {
        return m_screen->findChild<T *>(QLatin1String(name));
    }
    QTableView *grid() const { return field<QTableView>("DataGrid1"); }
    void click(const char *name) const { field<QPushButton>(name)->click(); }
    QStringList rowsShown() const; // "cdate caseno" per grid row
    QString stored(const QString &column, const QString &caseno, const QString &cdate) const;

    std::unique_ptr<test::TestDatabase> m_db;
    std::unique_ptr<ScriptedMessenger> m_messages;
    std::unique_ptr<CaseRegister> m_screen;
};

void TestCaseRegister::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true); // widths the user sets are user settings
}

void TestCaseRegister::init()
{
    QSettings(QStringLiteral("Lexordo"), QStringLiteral("Lexordo")).remove(QStringLiteral("grids"));
    m_db = std::make_unique<test::TestDatabase>();
    m_messages = std::make_unique<ScriptedMessenger>();
    Clock::setToday(today);
    m_db->exec(QStringLiteral("INSERT INTO courts VALUES ('District Judge', 1), "
                              "('Family Court', 2), ('Sessions Court', 3)"));
    m_db->exec(QStringLiteral("INSERT INTO Holidays VALUES ('2026-12-25', 'Christmas'), "
                              "('2026-12-27', 'Guru Gobind Singh Jayanti')"));
}

void TestCaseRegister::cleanup()
{
    m_screen.reset();
    ScreenHost::setCurrent(nullptr);
    QCOMPARE(m_messages->unansweredCount(), 0);
    QCOMPARE(m_messages->pendingAnswers(), 0);
    m_messages.reset();
    m_db.reset();
    Clock::reset();
}

void TestCaseRegister::addHearing(const QString &caseno, const QString &party1,
                                  const QString &cdate, const QString &ndate, int court,
                                  const QString &remarks)
{
    auto quoted = [](const QString &text) {
        return text.isEmpty() ? QStringLiteral("NULL")
                              : u'\'' + QString(text).replace(u'\'', QStringLiteral("''")) + u'\'';
    };
    static const QStringList courts{QString(), QStringLiteral("District Judge"),
                                    QStringLiteral("Family Court"),
                                    QStringLiteral("Sessions Court")};
    m_db->exec(
        QStringLiteral("INSERT INTO advocate (cdate, remarks, pdate, Party1, Party2, caseno, "
                       "courtname, CourtIndex, fixedfor, ndate, fixedforN) VALUES "
                       "(%1, %2, '2026-10-01', %3, 'State', %4, %5, %6, 'evidence', %7, "
                       "'arguments')")
            .arg(quoted(cdate), quoted(remarks), quoted(party1), quoted(caseno),
                 quoted(courts.value(court)), QString::number(court), quoted(ndate)));
}

CaseRegister &TestCaseRegister::openRegister()
{
    m_screen.reset();
    m_screen = std::make_unique<CaseRegister>();
    test::showScreen(m_screen.get());
    return *m_screen;
}

QStringList TestCaseRegister::rowsShown() const
{
    const QAbstractItemModel *model = grid()->model();
    QStringList rows;
    for (int row = 0; row < model->rowCount(); ++row)
        rows << model->index(row, 0).data().toString() + u' ' +
                    model->index(row, 3).data().toString();
    return rows;
}

QString TestCaseRegister::stored(const QString &column, const QString &caseno,
                                 const QString &cdate) const
{
    return m_db
        ->scalar(QStringLiteral("SELECT coalesce(%1, '<null>') FROM advocate WHERE caseno = '%2' "
                                "AND cdate = '%3'")
                     .arg(column, caseno, cdate))
        .toString();
}

// --- the screen -----------------------------------------------------------------------

void TestCaseRegister::screenAsTheOfficeKnowsIt()
{
    // Stored out of order: the register lists them by date, and within a day by
    // the court's place in the day's list.
    addHearing(QStringLiteral("CS 9"), QStringLiteral("Ravi"), QStringLiteral("2026-11-23"),
               QString(), 1);
    addHearing(QStringLiteral("CS 8"), QStringLiteral("Uma"), QStringLiteral("2026-11-20"),
               QString(), 3);
    addHearing(QStringLiteral("CS 7"), QStringLiteral("Anil"), QStringLiteral("2026-11-20"),
               QString(), 2);
    CaseRegister &screen = openRegister();
    QCOMPARE(screen.objectName(), QStringLiteral("frmCases"));
    QCOMPARE(field<QLabel>("lblTitle")->text(), QStringLiteral("Cases Entry Form"));
    const RecordSet *diary = screen.recordSet();
    const int caseno = diary->fieldIndex(QStringLiteral("caseno"));
    QCOMPARE(diary->rowCount(), 3);
    QCOMPARE(
        (QStringList{diary->textAt(0, caseno), diary->textAt(1, caseno), diary->textAt(2, caseno)}),
        (QStringList{QStringLiteral("CS 7"), QStringLiteral("CS 8"), QStringLiteral("CS 9")}));

    // Each field by its label; the locked ones at opening, and the three left open.
    const QList<std::tuple<QString, QString, bool>> fields{
        {"Date", "txtCdate", true},
        {"Previous date", "txtPdate", true},
        {"index", "txtCourtNo", false},
        {"case no.", "txtCaseNo", true},
        {"Name of the parties", "txtParties", true},
        {"Vs.", "txtParty2", true},
        {"Fixed for", "txtFixed4", true},
        {"Next Date", "txtNdate", true},
        {"Next Fixed for Next Date", "txtFixedForN", false},
        {"Remarks", "txtRemarks", false},
        {"Total No. of cases", "txtTotal", true},
    };
    for (const auto &[label, name, locked] : fields) {
        bool labelled = false;
        for (QLabel *l : screen.findChildren<QLabel *>())
            labelled = labelled || (l->text() == label && l->buddy() == field(qPrintable(name)));
        QVERIFY2(labelled, qPrintable(name));
        QCOMPARE(field(qPrintable(name))->isReadOnly(), locked);
    }
    QVERIFY(field<QComboBox>("txtCourt")->isEnabled());
    QCOMPARE(field<QComboBox>("txtCourt")->toolTip(),
             QStringLiteral("If some court not found then make entery in the court form"));
    QCOMPARE(field("txtNdate")->toolTip(),
             QStringLiteral("it takes input of of next date in dd/mm/yyyy"));
    QCOMPARE(field<QComboBox>("txtCourt")->count(), 3); // the court list, in index order
    QCOMPARE(field<QComboBox>("txtCourt")->itemText(0), QStringLiteral("District Judge"));

    const QList<std::tuple<QString, QString, bool>> buttons{
        {"cmdAdd", "&Add", true},
        {"cmdSave", "&Save", false},
        {"cmdDelete", "&Delete", true},
        {"cmdFirst", "F&irst", true},
        {"cmdprev", "&Previous", true},
        {"cmdNext", "&Next", true},
        {"cmdLast", "&Last", true},
        {"cmdFind", "&Search ", true},
        {"cmdexit", "E&xit", true},
        {"cmdModify", "Change Court Index", true},
        {"cmdDecided", "Decided Cases", true},
        {"Command1", "Refresh Data Base", true},
        {"cmdSeeDetails", "See Clients Details", true},
        {"cmdshowlist", "list of all Cases", true},
        {"cmdhidelist", "Hide List", true},
    };
    for (const auto &[name, caption, enabled] : buttons) {
        auto *b = field<QPushButton>(qPrintable(name));
        QVERIFY2(b && b->isVisible(), qPrintable(name));
        QCOMPARE(b->text(), caption);
        QCOMPARE(b->isEnabled(), enabled);
    }
    QVERIFY(!field<QPushButton>("cmdshowrepo")->isVisible());
    QVERIFY(grid()->isVisible());
    QVERIFY(!field<QTableView>("DataGrid2")->isVisible());

    QStringList captions;
    for (int c = 0; c < grid()->model()->columnCount(); ++c)
        captions << grid()->model()->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(captions, (QStringList{"Current date", "PrevDate", "courtname", "Caseno", "Party1",
                                    "Party2", "Fixedfor", "NextDate", "NextFixedfor", "Remarks"}));
    QVERIFY(m_messages->shown().isEmpty());
}

// --- the carry-forward in the opening ---------------------------------------------------

void TestCaseRegister::openingCarriesTodaysHearingsForward()
{
    addHearing(QStringLiteral("CS 3"), QStringLiteral("Ram Kumar"), QStringLiteral("2026-11-20"),
               QStringLiteral("2026-12-07"), 3, QStringLiteral("adjourned"));
    addHearing(QStringLiteral("CS 1"), QStringLiteral("O'Neil"), QString(),
               QStringLiteral("2026-12-07"), 1);
    addHearing(QStringLiteral("CS 2"), QStringLiteral("Ram Kumar"), QStringLiteral("2026-11-23"),
               QStringLiteral("2026-12-08"), 2);

    CaseRegister &screen = openRegister();
    QVERIFY(m_messages->shown().isEmpty());
    QCOMPARE(m_db->count(QStringLiteral("advocate")), 5);
    // The whole diary in date and running order, at today's last row.
    QCOMPARE(rowsShown(), (QStringList{" CS 1", "20/11/2026 CS 3", "23/11/2026 CS 2",
                                       "07/12/2026 CS 1", "07/12/2026 CS 3"}));
    QCOMPARE(screen.recordSet()->position(), 4);
    QCOMPARE(grid()->currentIndex().row(), 4);
    QCOMPARE(field("txtCaseNo")->text(), QStringLiteral("CS 3"));
    QCOMPARE(field("txtCdate")->text(), QStringLiteral("07/12/2026"));
    QCOMPARE(field("txtPdate")->text(), QStringLiteral("20/11/2026"));
    QCOMPARE(field("txtFixed4")->text(), QStringLiteral("arguments"));
    QCOMPARE(field("txtNdate")->text(), QString());
    QCOMPARE(field("txtRemarks")->text(), QString());
    QCOMPARE(field("txtTotal")->text(), QStringLiteral("3"));
    // Without a current date, the new row has no previous date.
    QCOMPARE(stored(QStringLiteral("pdate"), QStringLiteral("CS 1"), QStringLiteral("2026-12-07")),
             QStringLiteral("<null>"));
    QVERIFY(!screen.hasUnsavedChanges());
}

void TestCaseRegister::everyHearingDueIsCarriedForward()
{
    for (int i = 1; i <= 130; ++i)
        addHearing(QStringLiteral("CS %1").arg(i), QStringLiteral("Party %1").arg(i),
                   QStringLiteral("2026-11-%1").arg(1 + i % 28, 2, 10, QLatin1Char('0')),
                   QStringLiteral("2026-12-07"), 1 + i % 3);
    CaseRegister &screen = openRegister();
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT count(*) FROM advocate WHERE cdate = '2026-12-07' "
                                         "AND caseno IS NOT NULL AND pdate IS NOT NULL"))
                 .toInt(),
             130);
    QCOMPARE(m_db->count(QStringLiteral("advocate")), 260); // and not one empty row
    QCOMPARE(screen.recordSet()->rowCount(), 260);
    QCOMPARE(screen.recordSet()->position(), 259);
    QCOMPARE(field("txtCdate")->text(), QStringLiteral("07/12/2026"));
    QCOMPARE(field("txtCourtNo")->text(), QStringLiteral("3")); // today's rows in running order
}

void TestCaseRegister::rowsDatedTodayStopTheCarryForward_data()
{
    QTest::addColumn<bool>("handMade");
    QTest::newRow("second opening the same day") << false;
    QTest::newRow("a row dated today made by hand first") << true;
}

void TestCaseRegister::rowsDatedTodayStopTheCarryForward()
{
    QFETCH(bool, handMade);
    addHearing(QStringLiteral("CS 1"), QStringLiteral("Ram Kumar"), QStringLiteral("2026-11-20"),
               QStringLiteral("2026-12-07"), 1);
    addHearing(QStringLiteral("CS 2"), QStringLiteral("Sita Devi"), QStringLiteral("2026-11-20"),
               QStringLiteral("2026-12-07"), 2);
    addHearing(QStringLiteral("CS 9"), QStringLiteral("Old Matter"), QStringLiteral("2026-10-02"),
               QStringLiteral("2026-11-20"), 3);
    if (handMade)
        addHearing(QStringLiteral("CS 7"), QStringLiteral("Walk In"), QStringLiteral("2026-12-07"),
                   QString(), 3);
    else {
        m_messages->answer(Answer::Cancel); // the old matter, missed, is left as it is
        openRegister();                     // carries the two forward
        m_messages->clear();
    }

    const int rowsBefore = m_db->count(QStringLiteral("advocate"));
    CaseRegister &screen = openRegister();
    QCOMPARE(m_db->count(QStringLiteral("advocate")), rowsBefore);
    QVERIFY(m_messages->shown().isEmpty());
    // Only today's hearings are shown, at the last of them.
    const QStringList today = handMade ? QStringList{"07/12/2026 CS 7"}
                                       : QStringList{"07/12/2026 CS 1", "07/12/2026 CS 2"};
    QCOMPARE(rowsShown(), today);
    QCOMPARE(screen.recordSet()->position(), today.size() - 1);
    QCOMPARE(field("txtCaseNo")->text(), today.last().section(u' ', 1));
}

// --- the next-date check -----------------------------------------------------------------

void TestCaseRegister::nextDateQuestionedInTheField_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("question"); // empty: none
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("kept");
    QTest::newRow("Sunday, yes") << "13/12/2026" << sundayQuestion << true << "13/12/2026";
    QTest::newRow("Sunday, no") << "13/12/2026" << sundayQuestion << false << "";
    QTest::newRow("holiday, no") << "25/12/2026"
                                 << "Today is Christmas. Do you want to continue?" << false << "";
    QTest::newRow("holiday, yes") << "25/12/2026"
                                  << "Today is Christmas. Do you want to continue?" << true
                                  << "25/12/2026";
    QTest::newRow("Sunday that is a holiday")
        << "27/12/2026" << sundayQuestion << true << "27/12/2026";
    QTest::newRow("working day") << "9/12/2026"
                                 << "" << false << "9/12/2026";
    QTest::newRow("blank") << "   "
                           << "" << false << "   ";
}

void TestCaseRegister::nextDateQuestionedInTheField()
{
    QFETCH(QString, typed);
    QFETCH(QString, question);
    QFETCH(bool, yes);
    QFETCH(QString, kept);
    addHearing(QStringLiteral("CS 1"), QStringLiteral("Ram Kumar"), QStringLiteral("2026-12-07"),
               QString(), 1);
    openRegister();

    m_messages->answer(Answer::Yes);
    click("cmdAdd");
    m_messages->clear();
    QTest::keyClicks(field("txtCaseNo"), QStringLiteral("CS 5"));
    field("txtNdate")->setFocus();
    QTest::keyClicks(field("txtNdate"), typed);
    if (!question.isEmpty())
        m_messages->answer(yes ? Answer::Yes : Answer::No);
    field("txtFixedForN")->setFocus();
    QCOMPARE(m_messages->texts(), question.isEmpty() ? QStringList() : QStringList{question});
    QCOMPARE(field("txtNdate")->text(), kept);

    click("cmdSave");
    const QString expected =
        kept.trimmed().isEmpty()
            ? QStringLiteral("<null>")
            : QDate::fromString(kept, QStringLiteral("d/M/yyyy")).toString(Qt::ISODate);
    QCOMPARE(stored(QStringLiteral("ndate"), QStringLiteral("CS 5"), QStringLiteral("2026-12-07")),
             expected);
}

void TestCaseRegister::nextDateThatIsNotADateStaysForCorrection()
{
    addHearing(QStringLiteral("CS 1"), QStringLiteral("Ram Kumar"), QStringLiteral("2026-12-07"),
               QString(), 1);
    openRegister();
    m_messages->answer(Answer::Yes);
    click("cmdAdd");
    m_messages->clear();
    QTest::keyClicks(field("txtCaseNo"), QStringLiteral("CS 5"));
    field("txtNdate")->setFocus();
    QTest::keyClicks(field("txtNdate"), QStringLiteral("31/02/2026"));
    field("txtFixedForN")->setFocus();
    QCOMPARE(m_messages->texts(), QStringList{notADate});
    QCOMPARE(field("txtNdate")->text(), QStringLiteral("31/02/2026"));
    QCOMPARE(QApplication::focusWidget(), field("txtNdate")); // back for correction

    // Save neither stores nor drops it.
    const int rows = m_db->count(QStringLiteral("advocate"));
    click("cmdSave");
    QCOMPARE(m_messages->lastText(),
             QStringLiteral("Next Date: \"31/02/2026\" is not a valid date. Please correct it."));
    QCOMPARE(m_db->count(QStringLiteral("advocate")), rows);
    QCOMPARE(field("txtNdate")->text(), QStringLiteral("31/02/2026"));
    QVERIFY(field<QPushButton>("cmdSave")->isEnabled());

    field("txtNdate")->clear();
    QTest::keyClicks(field("txtNdate"), QStringLiteral("28/02/2027"));
    click("cmdSave");
    QCOMPARE(stored(QStringLiteral("ndate"), QStringLiteral("CS 5"), QStringLiteral("2026-12-07")),
             QStringLiteral("2027-02-28"));
    QVERIFY(!field<QPushButton>("cmdSave")->isEnabled());
}

void TestCaseRegister::nextDateQuestionedInTheGrid()
{
    addHearing(QStringLiteral("CS 1"), QStringLiteral("Ram Kumar"), QStringLiteral("2026-12-07"),
               QString(), 1);
    addHearing(QStringLiteral("CS 2"), QStringLiteral("Sita Devi"), QStringLiteral("2026-12-07"),
               QString(), 2);
    CaseRegister &screen = openRegister();

    // Typing on the grid opens the cell of the current row.
    auto typeIntoCell = [&](int row, const QString &text) {
        const QModelIndex cell = grid()->model()->index(row, nextDateColumn);
        grid()->setFocus();
        grid()->setCurrentIndex(cell);
        QTest::keyClick(grid(), text.at(0).toLatin1());
        auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY(editor && editor->parentWidget() == grid()->viewport());
        QTest::keyClicks(editor, text.mid(1));
        QTest::keyClick(editor, Qt::Key_Return);
    };

    m_messages->answer(Answer::No);
    typeIntoCell(0, QStringLiteral("27/12/2026")); // a Sunday and a holiday
    QTRY_COMPARE(m_messages->texts(), QStringList{sundayQuestion});
    QCOMPARE(grid()->model()->index(0, nextDateColumn).data().toString(), QString());

    m_messages->clear();
    m_messages->answer(Answer::Yes);
    typeIntoCell(0, QStringLiteral("25/12/2026"));
    QTRY_COMPARE(m_messages->texts(), QStringList{"Today is Christmas. Do you want to continue?"});
    QCOMPARE(grid()->model()->index(0, nextDateColumn).data().toString(),
             QStringLiteral("25/12/2026"));

    // A working day asks nothing; changing the row stores both.
    m_messages->clear();
    typeIntoCell(1, QStringLiteral("09/12/2026"));
    QTRY_COMPARE(grid()->model()->index(1, nextDateColumn).data().toString(),
                 QStringLiteral("09/12/2026"));
    QCOMPARE(screen.recordSet()->position(), 1);
    click("cmdprev");
    QVERIFY(m_messages->shown().isEmpty());
    QCOMPARE(stored(QStringLiteral("ndate"), QStringLiteral("CS 1"), QStringLiteral("2026-12-07")),
             QStringLiteral("2026-12-25"));
    QCOMPARE(stored(QStringLiteral("ndate"), QStringLiteral("CS 2"), QStringLiteral("2026-12-07")),
             QStringLiteral("2026-12-09"));
}

void TestCaseRegister::gridKeepsATextThatIsNotADate()
{
    addHearing(QStringLiteral("CS 1"), QStringLiteral("Ram Kumar"), QStringLiteral("2026-12-07"),
               QStringLiteral("2026-12-09"), 1);
    CaseRegister &screen = openRegister();
    const QModelIndex cell = grid()->model()->index(0, nextDateColumn);
    grid()->setCurrentIndex(cell);
    grid()->edit(cell);
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("next week"));
    QTest::keyClick(editor, Qt::Key_Return);

    QTRY_COMPARE(m_messages->texts(), QStringList{notADate});
    // The cell opens again with the text, ready to be corrected.
    QTRY_VERIFY(qobject_cast<QLineEdit *>(QApplication::focusWidget()));
    editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QCOMPARE(editor->text(), QStringLiteral("next week"));
    QCOMPARE(grid()->currentIndex(), cell);
    QCOMPARE(screen.recordSet()->text(QStringLiteral("ndate")), QStringLiteral("09/12/2026"));

    editor->setText(QStringLiteral("10/12/2026"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(screen.recordSet()->text(QStringLiteral("ndate")), QStringLiteral("10/12/2026"));
    QCOMPARE(m_messages->texts(), QStringList{notADate});

    // The register closes safely with a cell still open.
    grid()->edit(cell);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("11/12/2026"));
    m_screen.reset();
}

// --- the court ------------------------------------------------------------------------

void TestCaseRegister::courtLookupCopiesTheIndex()
{
    addHearing(QStringLiteral("CS 1"), QStringLiteral("Ram Kumar"), QStringLiteral("2026-12-01"),
               QString(), 1);
    addHearing(QStringLiteral("CS 2"), QStringLiteral("Sita Devi"), QStringLiteral("2026-12-02"),
               QString(), 1);
    openRegister();
    auto *court = field<QComboBox>("txtCourt");

    court->setFocus();
    court->setEditText(QStringLiteral("Lok Adalat"));
    field("txtRemarks")->setFocus();
    QCOMPARE(m_messages->texts(), QStringList{"This court does not exist"});
    QCOMPARE(field("txtCourtNo")->text(), QStringLiteral("1"));
    QCOMPARE(court->currentText(), QStringLiteral("Lok Adalat"));

    m_messages->clear();
    court->setFocus();
    court->setEditText(QStringLiteral("sessions court"));
    field("txtRemarks")->setFocus();
    QVERIFY(m_messages->shown().isEmpty());
    QCOMPARE(field("txtCourtNo")->text(), QStringLiteral("3"));
    // Stored with the row when the position moves.
    QCOMPARE(
        stored(QStringLiteral("CourtIndex"), QStringLiteral("CS 2"), QStringLiteral("2026-12-02")),
        QStringLiteral("1"));
    click("cmdFirst");
    QCOMPARE(
        stored(QStringLiteral("CourtIndex"), QStringLiteral("CS 2"), QStringLiteral("2026-12-02")),
        QStringLiteral("3"));
    QCOMPARE(
        stored(QStringLiteral("courtname"), QStringLiteral("CS 2"), QStringLiteral("2026-12-02")),
        QStringLiteral("Sessions Court")); // as the court list spells it
}

void TestCaseRegister::changeCourtIndexStoresAtOnce()
{
    addHearing(QStringLiteral("CS 1"), QStringLiteral("Ram Kumar"), QStringLiteral("2026-12-01"),
               QString(), 1);
    openRegister();
    auto *court = field<QComboBox>("txtCourt");
    click("cmdModify");
    QCOMPARE(QApplication::focusWidget(), court);
    court->setCurrentIndex(court->findText(QStringLiteral("Family Court")));
    field("txtRemarks")->setFocus();

    QCOMPARE(
        stored(QStringLiteral("courtname"), QStringLiteral("CS 1"), QStringLiteral("2026-12-01")),
        QStringLiteral("Family Court"));
    QCOMPARE(
        stored(QStringLiteral("CourtIndex"), QStringLiteral("CS 1"), QStringLiteral("2026-12-01")),
        QStringLiteral("2"));
    QVERIFY(!court->isEnabled());                       // until Change Court Index or Add again
    QVERIFY(field<QPushButton>("cmdAdd")->isEnabled()); // still browsing
    click("cmdModify");
    QVERIFY(court->isEnabled());
}

// --- filters of the register -----------------------------------------------------------------

void TestCaseRegister::decidedCasesUntilRefresh()
{
    addHearing(QStringLiteral("CS 1"), QStringLiteral("Ram Kumar"), QStringLiteral("2026-11-01"),
               QString(), 1, QStringLiteral("decided"));
    addHearing(QStringLiteral("CS 2"), QStringLiteral("Sita Devi"), QStringLiteral("2026-11-02"),
               QString(), 1, QStringLiteral("Decision reserved"));
    addHearing(QStringLiteral("CS 3"), QStringLiteral("Sita Devi"), QStringLiteral("2026-11-03"),
               QString(), 1, QStringLiteral("undecided"));
    addHearing(QStringLiteral("CS 4"), QStringLiteral("Mohan Lal"), QStringLiteral("2026-11-04"),
               QString(), 1);
    openRegister();
    QCOMPARE(field("txtTotal")->text(), QStringLiteral("4"));

    click("cmdDecided");
    QCOMPARE(rowsShown(), (QStringList{"01/11/2026 CS 1", "02/11/2026 CS 2"}));
    QCOMPARE(field("txtTotal")->text(), QStringLiteral("2"));

    // A case entered meanwhile is counted after Refresh Data Base.
    addHearing(QStringLiteral("CS 5"), QStringLiteral("New Client"), QStringLiteral("2026-11-05"),
               QString(), 1);
    click("Command1");
    QCOMPARE(rowsShown().size(), 5);
    QCOMPARE(field("txtCaseNo")->text(), QStringLiteral("CS 5"));
    QCOMPARE(field("txtTotal")->text(), QStringLiteral("5"));
    QVERIFY(!field<QPushButton>("cmdshowrepo")->isVisible());
}

void TestCaseRegister::partyHistoryOnDoubleClick()
{
    addHearing(QStringLiteral("CS 1"), QStringLiteral("D'Souza"), QStringLiteral("2026-11-01"),
               QString(), 1);
    addHearing(QStringLiteral("CS 2"), QStringLiteral("Sita Devi"), QStringLiteral("2026-11-02"),
               QString(), 1);
    addHearing(QStringLiteral("CS 1"), QStringLiteral("d'souza"), QStringLiteral("2026-11-20"),
               QString(), 2);
    addHearing(QStringLiteral("CS 8"), QStringLiteral("D'Souza Traders"),
               QStringLiteral("2026-11-21"), QString(), 2);
    openRegister();

    const QRect rowRect = grid()->visualRect(grid()->model()->index(0, 4));
    // A double click: press and release, then the second press.
    QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, rowRect.center());
    QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, rowRect.center());
    QCOMPARE(rowsShown(), (QStringList{"01/11/2026 CS 1", "20/11/2026 CS 1"}));
    QCOMPARE(field("txtTotal")->text(), QStringLiteral("2"));
    QVERIFY(m_messages->shown().isEmpty());

    // Show Report asks for the history of the party shown.
    FakeHost host;
    ScreenHost::setCurrent(&host);
    QVERIFY(field<QPushButton>("cmdshowrepo")->isVisible());
    click("cmdshowrepo");
    QCOMPARE(host.handed.size(), 1);
    QCOMPARE(host.handed.first().first, screens::partyHistory);
    QCOMPARE(host.handed.first().second,
             (QVariantMap{{QStringLiteral("party"), QStringLiteral("D'Souza")}}));
    ScreenHost::setCurrent(nullptr);
}

// --- Add, Save, and typing in browse state ----------------------------------------------------

void TestCaseRegister::addAndSave()
{
    addHearing(QStringLiteral("CS 1"), QStringLiteral("Ram Kumar"), QStringLiteral("2026-12-01"),
               QString(), 1);
    CaseRegister &screen = openRegister();

    m_messages->answer(Answer::No);
    click("cmdAdd");
    QCOMPARE(m_messages->texts(), QStringList{"Do you really want to add record"});
    QCOMPARE(screen.state(), RecordScreen::State::Browse);
    QCOMPARE(screen.recordSet()->rowCount(), 1);

    m_messages->answer(Answer::Yes);
    click("cmdAdd");
    QCOMPARE(screen.state(), RecordScreen::State::Edit);
    QCOMPARE(field("txtCdate")->text(), QStringLiteral("07/12/2026"));
    QCOMPARE(QApplication::focusWidget(), field("txtCdate"));
    for (const char *name : {"txtCdate", "txtPdate", "txtCaseNo", "txtParties", "txtParty2",
                             "txtFixed4", "txtNdate", "txtRemarks"})
        QVERIFY2(!field(name)->isReadOnly(), name);
    for (const char *name : {"cmdAdd", "cmdprev", "cmdNext", "cmdLast", "cmdFirst", "cmdFind",
                             "cmdDelete", "cmdModify", "cmdDecided", "Command1"})
        QVERIFY2(!field<QPushButton>(name)->isEnabled(), name);
    QVERIFY(field<QPushButton>("cmdSave")->isEnabled());
    QCOMPARE(grid()->editTriggers(), QAbstractItemView::NoEditTriggers);

    QTest::keyClicks(field("txtCaseNo"), QStringLiteral("CS 9"));
    QTest::keyClicks(field("txtParties"), QStringLiteral("Hari Om"));
    QTest::keyClicks(field("txtRemarks"), QStringLiteral("first listing"));
    click("cmdSave");
    QCOMPARE(stored(QStringLiteral("Party1"), QStringLiteral("CS 9"), QStringLiteral("2026-12-07")),
             QStringLiteral("Hari Om"));
    QCOMPARE(screen.state(), RecordScreen::State::Browse);
    QVERIFY(field("txtRemarks")->isReadOnly()); // Save locks the remarks too
    QVERIFY(!field("txtFixedForN")->isReadOnly());
    QVERIFY(field<QComboBox>("txtCourt")->isEnabled());
    QVERIFY(grid()->editTriggers() != QAbstractItemView::NoEditTriggers);
    QCOMPARE(screen.recordSet()->position(), 1);
    QCOMPARE(field("txtCaseNo")->text(), QStringLiteral("CS 9"));

    // A row left as Add made it is stored as it stands.
    m_messages->answer(Answer::Yes);
    click("cmdAdd");
    click("cmdSave");
    QCOMPARE(m_db->count(QStringLiteral("advocate")), 3);
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT count(*) FROM advocate WHERE caseno IS NULL AND "
                                         "cdate = '2026-12-07'"))
                 .toInt(),
             1);
}

// Add first stores what was typed in the row shown; when the database
// refuses it, Add stops there: one message, still browsing, no new row.
void TestCaseRegister::addThatFailsStaysBrowsingAndSaysSoOnce()
{
    addHearing(QStringLiteral("CS 1"), QStringLiteral("Ram Kumar"), QStringLiteral("2026-12-01"),
               QString(), 1);
    CaseRegister &screen = openRegister();
    m_db->exec(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON advocate "
                              "BEGIN SELECT RAISE(ABORT, 'diary is closed'); END"));
    QTest::keyClicks(field("txtRemarks"), QStringLiteral("adjourned"));
    m_messages->answer(Answer::Yes);
    click("cmdAdd");
    QCOMPARE(m_messages->texts().size(), 2);
    QCOMPARE(m_messages->texts().first(), QStringLiteral("Do you really want to add record"));
    QVERIFY2(m_messages->texts().last().contains(QStringLiteral("diary is closed")),
             qPrintable(m_messages->texts().last()));
    QCOMPARE(screen.state(), RecordScreen::State::Browse);
    QVERIFY(!field<QPushButton>("cmdSave")->isEnabled());
    QVERIFY(field<QPushButton>("cmdAdd")->isEnabled());
    QVERIFY(field("txtCaseNo")->isReadOnly());
    QCOMPARE(screen.recordSet()->rowCount(), 1);
    QCOMPARE(m_db->count(QStringLiteral("advocate")), 1);
}

void TestCaseRegister::browseTypingIsStoredWhenTheRowChanges()
{
    addHearing(QStringLiteral("CS 1"), QStringLiteral("Ram Kumar"), QStringLiteral("2026-12-01"),
               QString(), 1);
    addHearing(QStringLiteral("CS 2"), QStringLiteral("Sita Devi"), QStringLiteral("2026-12-02"),
               QString(), 1);
    CaseRegister &screen = openRegister();
    field("txtFixedForN")->selectAll();
    QTest::keyClicks(field("txtFixedForN"), QStringLiteral("final arguments"));
    QTest::keyClicks(field("txtRemarks"), QStringLiteral("adjourned"));
    QCOMPARE(
        stored(QStringLiteral("remarks"), QStringLiteral("CS 2"), QStringLiteral("2026-12-02")),
        QStringLiteral("<null>"));
    click("cmdprev");
    QCOMPARE(
        stored(QStringLiteral("fixedforN"), QStringLiteral("CS 2"), QStringLiteral("2026-12-02")),
        QStringLiteral("final arguments"));
    QCOMPARE(
        stored(QStringLiteral("remarks"), QStringLiteral("CS 2"), QStringLiteral("2026-12-02")),
        QStringLiteral("adjourned"));

    // And when the diary is re-read.
    QTest::keyClicks(field("txtRemarks"), QStringLiteral("decided"));
    click("Command1");
    QCOMPARE(
        stored(QStringLiteral("remarks"), QStringLiteral("CS 1"), QStringLiteral("2026-12-01")),
        QStringLiteral("decided"));
    QCOMPARE(screen.recordSet()->position(), 1);
    QVERIFY(!screen.hasUnsavedChanges());
}

void TestCaseRegister::listOfAllCases()
{
    addHearing(QStringLiteral("CS 1"), QStringLiteral("Ram Kumar"), QStringLiteral("2026-11-01"),
               QString(), 1);
    addHearing(QStringLiteral("CS 1"), QStringLiteral("Ram Kumar"), QStringLiteral("2026-11-20"),
               QString(), 1);
    addHearing(QStringLiteral("CS 2"), QStringLiteral("Sita Devi"), QStringLiteral("2026-11-02"),
               QString(), 1);
    openRegister();
    auto *list = field<QTableView>("DataGrid2");
    click("cmdshowlist");
    QVERIFY(list->isVisible() && !grid()->isVisible());
    QCOMPARE(list->model()->rowCount(), 2);
    QCOMPARE(list->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("parties"));
    click("cmdhidelist");
    QVERIFY(!list->isVisible() && grid()->isVisible());
}

// --- around the register ---------------------------------------------------------------------

void TestCaseRegister::reachesOtherScreensThroughTheHost()
{
    addHearing(QStringLiteral("CS 1"), QStringLiteral("Ram Kumar"), QStringLiteral("2026-11-01"),
               QString(), 1, QStringLiteral("decided"));
    addHearing(QStringLiteral("CS 2"), QStringLiteral("Sita Devi"), QStringLiteral("2026-11-02"),
               QString(), 1);
    FakeHost host;
    ScreenHost::setCurrent(&host);
    host.conversion.show();

    CaseRegister &screen = openRegister();
    host.screen = &screen;
    QVERIFY(!host.conversion.isVisible()); // the conversion screen closes as the register opens

    click("cmdFind");
    QCOMPARE(host.opened, QStringList{"frmSearchcase"});

    // What the search and conversion screens use.
    CaseDiary *diary = CaseDiary::find();
    QCOMPARE(diary, static_cast<CaseDiary *>(&screen));
    field("txtFixedForN")->selectAll();
    QTest::keyClicks(field("txtFixedForN"), QStringLiteral("orders"));
    diary->diary()->setFilter(
        Filter(QStringLiteral("remarks"), Filter::Op::BeginsWith, QStringLiteral("deci")));
    QCOMPARE(rowsShown(), QStringList{"01/11/2026 CS 1"});
    QCOMPARE(
        stored(QStringLiteral("fixedforN"), QStringLiteral("CS 2"), QStringLiteral("2026-11-02")),
        QStringLiteral("orders"));
    addHearing(QStringLiteral("CS 3"), QStringLiteral("Converted"), QStringLiteral("2026-12-09"),
               QString(), 1);
    diary->refreshAtLastRow();
    QCOMPARE(rowsShown().size(), 3);
    QCOMPARE(field("txtCaseNo")->text(), QStringLiteral("CS 3"));
}

void TestCaseRegister::bandMovesOnlyWhileSeen()
{
    CaseRegister &screen = openRegister();
    auto *timer = screen.findChild<QTimer *>(QStringLiteral("Timer1"));
    auto *band = field<QLabel>("Label9");
    auto *block = field<QLabel>("lblcomfort");
    QVERIFY(timer->isActive());
    // A few wake-ups a second at most, not a hundred.
    QVERIFY(timer->interval() >= 100);
    QCOMPARE(band->width(), screen.width());
    screen.resize(screen.width() + 120, screen.height());
    QCOMPARE(band->width(), screen.width());
    const int startX = block->x();
    QTRY_VERIFY(block->x() < startX); // runs to the left

    screen.hide();
    QVERIFY(!timer->isActive());
    screen.show();
    QApplication::setActiveWindow(&screen);
    QTRY_VERIFY(timer->isActive());

    screen.showMinimized();
    QTRY_VERIFY(!timer->isActive());
    screen.showNormal();
    QApplication::setActiveWindow(&screen);
    QTRY_VERIFY(timer->isActive());

    // Another window in front: the register waits, untouched.
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QTRY_VERIFY(!timer->isActive());
    const int standing = block->x();
    QApplication::setActiveWindow(&screen);
    QTRY_VERIFY(timer->isActive());
    QTRY_VERIFY(block->x() != standing);
    other.hide();

    // In the main window's workspace, only while it is the screen in front.
    m_screen.reset();
    QMdiArea area;
    auto *inArea = new CaseRegister;
    timer = inArea->findChild<QTimer *>(QStringLiteral("Timer1"));
    QMdiSubWindow *frame = area.addSubWindow(inArea);
    QMdiSubWindow *front = area.addSubWindow(new QWidget);
    area.show();
    QApplication::setActiveWindow(&area);
    QVERIFY(QTest::qWaitForWindowActive(&area));
    area.setActiveSubWindow(frame);
    QTRY_VERIFY(timer->isActive());
    area.setActiveSubWindow(front);
    QTRY_VERIFY(!timer->isActive());
    frame->showMinimized();
    QTRY_VERIFY(!timer->isActive());
    frame->showNormal();
    area.setActiveSubWindow(frame);
    QTRY_VERIFY(timer->isActive());
}

// The first day's hearings, typed after the register opened, show whole:
// court, case number, party and date.
void TestCaseRegister::gridColumnsShowWhatTheyHold()
{
    const QString court = QStringLiteral("Civil Judge (Senior Division) Court No. 4");
    const QString caseno = QStringLiteral("S.C. 1174/2026 (Sessions Trial)");
    const QString party = QStringLiteral("Mahendra Pratap Singh Chauhan");
    CaseRegister &screen = openRegister();
    screen.resize(1000, 700);
    addHearing(caseno, party, QStringLiteral("2026-12-07"), QStringLiteral("2026-12-14"), 1);
    m_db->exec(QStringLiteral("UPDATE advocate SET courtname = '%1'").arg(court));
    m_db->exec(QStringLiteral("INSERT INTO advocate (cdate, Party1, Party2) VALUES "
                              "('2026-12-07', 'A', '%1')")
                   .arg(QString(200, u'W')));
    click("Command1"); // Refresh Data Base

    const QFontMetrics metrics(grid()->font());
    auto fits = [&](int column, const QString &text) {
        return grid()->columnWidth(column) > metrics.horizontalAdvance(text);
    };
    QTRY_VERIFY(fits(2, court));
    QVERIFY(fits(3, caseno));
    QVERIFY(fits(4, party));
    QVERIFY(fits(0, QStringLiteral("07/12/2026")));
    QVERIFY(fits(7, QStringLiteral("14/12/2026")));
    // A very long name is cut, not the grid made wider than the screen.
    QVERIFY(!fits(5, QString(200, u'W')));
    QVERIFY(grid()->columnWidth(5) < screen.width() / 2);
    QVERIFY(grid()->columnWidth(5) >= metrics.horizontalAdvance(QStringLiteral("Party2")));
}

void TestCaseRegister::gridKeepsTheWidthsTheUserSets()
{
    addHearing(QStringLiteral("CS 1"), QStringLiteral("Anand"), QStringLiteral("2026-12-07"),
               QString(), 1);
    openRegister();
    QHeaderView *header = grid()->horizontalHeader();
    const int column = 3;
    const int before = header->sectionSize(column);
    // The user drags the right edge of the case number's header.
    const int edge = header->sectionViewportPosition(column) + before - 1;
    const int middle = header->height() / 2;
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, QPoint(edge, middle));
    QTest::mouseMove(header->viewport(), QPoint(edge + 90, middle));
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(edge + 90, middle));
    const int chosen = header->sectionSize(column);
    QVERIFY(chosen > before + 40);

    // Kept while rows come and go, and the next time the register opens.
    click("Command1");
    QCOMPARE(grid()->columnWidth(column), chosen);
    openRegister();
    QTRY_COMPARE(grid()->columnWidth(column), chosen);
}

// --- typing in the grid ------------------------------------------------------------

// The second day of the week: yesterday's hearings carried forward, the
// register at the last row, whose next date is blank.
void TestCaseRegister::gridTypingLandsInTheCellTyped_data()
{
    // Between the click and the first key, in ms; -1: until the wait has opened the cell.
    QTest::addColumn<int>("pause");
    QTest::newRow("typed at once") << 0;
    QTest::newRow("typed during the double-click wait") << QApplication::doubleClickInterval() / 2;
    QTest::newRow("typed after the wait") << -1;
}

void TestCaseRegister::gridTypingLandsInTheCellTyped()
{
    QFETCH(int, pause);
    Clock::setToday(QDate(2026, 12, 8));
    const QStringList nextDates{"2026-12-08", "2026-12-14", "2026-12-08", "2026-12-09",
                                "2026-12-08"};
    for (int i = 0; i < nextDates.size(); ++i)
        addHearing(QStringLiteral("CS %1").arg(i), QStringLiteral("Party %1").arg(i),
                   QStringLiteral("2026-12-07"), nextDates[i], 1);
    CaseRegister &screen = openRegister();
    QVERIFY(screen.findChild<QTimer *>(QStringLiteral("Timer1"))->isActive());
    const int last = grid()->model()->rowCount() - 1;
    QCOMPARE(screen.recordSet()->position(), last);
    const QString lastCase = field("txtCaseNo")->text();

    // The locked Next Date box first, then the highlighted row's blank cell.
    QTest::mouseClick(field("txtNdate"), Qt::LeftButton);
    const QModelIndex cell = grid()->model()->index(last, nextDateColumn);
    QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, grid()->visualRect(cell).center());
    if (pause < 0)
        QTRY_VERIFY(qobject_cast<QLineEdit *>(QApplication::focusWidget()) &&
                    QApplication::focusWidget()->parentWidget() == grid()->viewport());
    else
        QTest::qWait(pause); // typing at this moment is what is tried
    // Key by key to whatever holds the cursor, the band moving in between.
    for (const QChar c : QStringLiteral("15/12/2026"))
        QTest::keyClick(QApplication::focusWidget(), c.toLatin1(), {}, 15);

    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QVERIFY(editor && editor->parentWidget() == grid()->viewport());
    QCOMPARE(editor->text(), QStringLiteral("15/12/2026"));
    QCOMPARE(grid()->currentIndex(), cell);
    QCOMPARE(screen.recordSet()->position(), last);

    // Clicking another row stores the date on the hearing where it was typed.
    const QModelIndex other = grid()->model()->index(1, 0);
    QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, grid()->visualRect(other).center());
    QTRY_COMPARE(screen.recordSet()->position(), 1);
    QCOMPARE(stored(QStringLiteral("ndate"), lastCase, QStringLiteral("2026-12-08")),
             QStringLiteral("2026-12-15"));
    for (int i = 0; i < nextDates.size(); ++i)
        QCOMPARE(stored(QStringLiteral("ndate"), QStringLiteral("CS %1").arg(i),
                        QStringLiteral("2026-12-07")),
                 nextDates[i]);
    QVERIFY(m_messages->shown().isEmpty());
}

void TestCaseRegister::nextDateBeforeTheHearingIsQuestioned()
{
    const QString beforeHearing =
        QStringLiteral("The next date is before this hearing's date. Do you want to continue?");
    addHearing(QStringLiteral("CS 1"), QStringLiteral("Ram Kumar"), QStringLiteral("2026-12-07"),
               QString(), 1);
    CaseRegister &screen = openRegister();
    const QModelIndex cell = grid()->model()->index(0, nextDateColumn);
    auto typeIntoCell = [&](const QString &text) {
        grid()->setFocus();
        grid()->setCurrentIndex(cell);
        QTest::keyClicks(grid(), text.left(1));
        QTest::keyClicks(QApplication::focusWidget(), text.mid(1));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    };

    // No: cleared, and the cursor is back in the cell.
    m_messages->answer(Answer::No);
    typeIntoCell(QStringLiteral("05/12/2026")); // a past Saturday
    QTRY_COMPARE(m_messages->texts(), QStringList{beforeHearing});
    QCOMPARE(cell.data().toString(), QString());
    QTRY_VERIFY(qobject_cast<QLineEdit *>(QApplication::focusWidget()));
    QCOMPARE(grid()->currentIndex(), cell);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);

    // Yes keeps it, and a Sunday is then questioned as well.
    m_messages->clear();
    m_messages->answer(Answer::Yes);
    m_messages->answer(Answer::Yes);
    typeIntoCell(QStringLiteral("06/12/2026"));
    QTRY_COMPARE(m_messages->texts(), (QStringList{beforeHearing, sundayQuestion}));
    QCOMPARE(cell.data().toString(), QStringLiteral("06/12/2026"));

    // The same date on or after the hearing asks nothing.
    m_messages->clear();
    typeIntoCell(QStringLiteral("07/12/2026"));
    QTRY_COMPARE(cell.data().toString(), QStringLiteral("07/12/2026"));
    QVERIFY(m_messages->shown().isEmpty());

    // The Next Date box asks the same while a row is added.
    m_messages->answer(Answer::Yes);
    click("cmdAdd");
    m_messages->clear();
    m_messages->answer(Answer::No);
    auto *ndate = field("txtNdate");
    ndate->setFocus();
    QTest::keyClicks(ndate, QStringLiteral("01/12/2026"));
    QTest::keyClick(ndate, Qt::Key_Tab);
    QCOMPARE(m_messages->texts(), QStringList{beforeHearing});
    QCOMPARE(ndate->text(), QString());
    QCOMPARE(QApplication::focusWidget(), ndate);
    QCOMPARE(screen.state(), RecordScreen::State::Edit);
}

void TestCaseRegister::refusedNextDateOffersTheNextWorkingDay()
{
    // Sunday 27/12 is also a holiday; Monday 28/12 is one too.
    m_db->exec(QStringLiteral("INSERT INTO Holidays VALUES ('2026-12-28', 'Court vacation')"));
    addHearing(QStringLiteral("CS 1"), QStringLiteral("Ram Kumar"), QStringLiteral("2026-12-07"),
               QString(), 1);
    CaseRegister &screen = openRegister();

    // In the grid: the cleared cell opens again with the hint; F4 takes it.
    const QModelIndex cell = grid()->model()->index(0, nextDateColumn);
    m_messages->answer(Answer::No);
    grid()->setFocus();
    grid()->setCurrentIndex(cell);
    QTest::keyClicks(grid(), QStringLiteral("2"));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("7/12/2026"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_COMPARE(m_messages->texts(), QStringList{sundayQuestion});
    QTRY_VERIFY(qobject_cast<QLineEdit *>(QApplication::focusWidget()));
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QCOMPARE(editor->text(), QString());
    QCOMPARE(editor->placeholderText(), QStringLiteral("29/12/2026"));
    QTest::keyClick(editor, Qt::Key_F4);
    QCOMPARE(editor->text(), QStringLiteral("29/12/2026"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(cell.data().toString(), QStringLiteral("29/12/2026"));
    QCOMPARE(m_messages->texts(), QStringList{sundayQuestion}); // a working day: no question

    // In the Next Date box, while a row is added.
    m_messages->clear();
    m_messages->answer(Answer::Yes);
    click("cmdAdd");
    m_messages->answer(Answer::No);
    auto *ndate = field("txtNdate");
    ndate->setFocus();
    QTest::keyClicks(ndate, QStringLiteral("28/12/2026"));
    QTest::keyClick(ndate, Qt::Key_Tab);
    QCOMPARE(m_messages->texts(),
             (QStringList{"Do you really want to add record",
                          "Today is Court vacation. Do you want to continue?"}));
    QCOMPARE(QApplication::focusWidget(), ndate);
    QCOMPARE(ndate->text(), QString());
    QCOMPARE(ndate->placeholderText(), QStringLiteral("29/12/2026"));
    QTest::keyClick(ndate, Qt::Key_F4);
    QCOMPARE(ndate->text(), QStringLiteral("29/12/2026"));
    QCOMPARE(ndate->selectedText(), QStringLiteral("29/12/2026"));
    QCOMPARE(screen.state(), RecordScreen::State::Edit);
}

void TestCaseRegister::emptyCourtBoxIsNotLookedUp()
{
    addHearing(QStringLiteral("CS 1"), QStringLiteral("Ram Kumar"), QStringLiteral("2026-12-01"),
               QString(), 1);
    openRegister();
    auto *court = field<QComboBox>("txtCourt");
    court->setFocus();
    court->setEditText(QString());
    QTest::keyClick(court, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), field("txtCourtNo"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab); // back through the box
    QCOMPARE(QApplication::focusWidget(), court);
    QTest::keyClick(court, Qt::Key_Backtab);
    QVERIFY(m_messages->shown().isEmpty());
    QCOMPARE(field("txtCourtNo")->text(), QStringLiteral("1"));

    // Blanks alone name no court either; a court not in the register is still told.
    court->setFocus();
    court->setEditText(QStringLiteral("   "));
    QTest::keyClick(court, Qt::Key_Tab);
    QVERIFY(m_messages->shown().isEmpty());
    court->setFocus();
    court->setEditText(QStringLiteral("Lok Adalat"));
    QTest::keyClick(court, Qt::Key_Return); // Enter leaves the box as Tab does
    QCOMPARE(m_messages->texts(), QStringList{"This court does not exist"});
    QCOMPARE(QApplication::focusWidget(), field("txtCourtNo"));
}

void TestCaseRegister::addStartsInTheDateAndEnterMovesOn()
{
    addHearing(QStringLiteral("CS 1"), QStringLiteral("Ram Kumar"), QStringLiteral("2026-12-01"),
               QString(), 1);
    CaseRegister &screen = openRegister();
    m_messages->answer(Answer::Yes);
    click("cmdAdd");
    QCOMPARE(QApplication::focusWidget(), field("txtCdate"));
    QCOMPARE(field("txtCdate")->selectedText(), QStringLiteral("07/12/2026"));
    QTest::keyClicks(field("txtCdate"), QStringLiteral("08/12/2026"));
    QCOMPARE(field("txtCdate")->text(), QStringLiteral("08/12/2026"));

    // Enter walks the boxes in tab order.
    const QStringList order{"txtPdate",   "txtNdate",  "txtCourt",  "txtCourtNo",   "txtCaseNo",
                            "txtParties", "txtParty2", "txtFixed4", "txtFixedForN", "txtRemarks"};
    for (const QString &name : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget()->objectName(), name);
        if (name == QStringLiteral("txtCourt"))
            field<QComboBox>("txtCourt")->setEditText(QStringLiteral("Family Court"));
        else if (name == QStringLiteral("txtCaseNo"))
            QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("MJ 7"));
    }
    QCOMPARE(field("txtCourtNo")->text(), QStringLiteral("2"));
    QVERIFY(m_messages->texts() == QStringList{"Do you really want to add record"});
    click("cmdSave");
    QCOMPARE(
        stored(QStringLiteral("courtname"), QStringLiteral("MJ 7"), QStringLiteral("2026-12-08")),
        QStringLiteral("Family Court"));
    QCOMPARE(screen.state(), RecordScreen::State::Browse);
}

void TestCaseRegister::registerTellsWhatItHolds()
{
    addHearing(QStringLiteral("CS 2"), QStringLiteral("Ram Kumar"), QStringLiteral("2026-12-03"),
               QStringLiteral("2026-12-20"), 2);
    addHearing(QStringLiteral("CS 1"), QStringLiteral("Sita Devi"), QStringLiteral("2026-12-04"),
               QString(), 1);
    addHearing(QStringLiteral("CS 3"), QStringLiteral("Abdul Rahman"), QStringLiteral("2026-12-05"),
               QStringLiteral("2026-12-10"), 3);
    CaseRegister &screen = openRegister();
    QCOMPARE(field("txtTotal")->text(), QStringLiteral("3"));

    // Each header says in words what its column holds.
    QStringList tips;
    for (int c = 0; c < grid()->model()->columnCount(); ++c)
        tips << grid()->model()->headerData(c, Qt::Horizontal, Qt::ToolTipRole).toString();
    QCOMPARE(tips, (QStringList{"Current date", "Previous date", "Court", "Case number",
                                "First party", "Second party", "Fixed for", "Next date",
                                "Fixed for next date", "Remarks"}));
    // Wide enough for the caption and what the column holds.
    const QFontMetrics metrics(grid()->font());
    QVERIFY(grid()->columnWidth(4) >= metrics.horizontalAdvance(QStringLiteral("Abdul Rahman")));
    QVERIFY(grid()->columnWidth(8) >= metrics.horizontalAdvance(QStringLiteral("NextFixedfor")));

    // A header click sorts what is shown; a second click turns it round.
    QHeaderView *header = grid()->horizontalHeader();
    auto clickHeader = [&](int column) {
        QTest::mouseClick(
            header->viewport(), Qt::LeftButton, {},
            QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    };
    clickHeader(3);
    QCOMPARE(rowsShown(), (QStringList{"04/12/2026 CS 1", "03/12/2026 CS 2", "05/12/2026 CS 3"}));
    clickHeader(3);
    QCOMPARE(rowsShown(), (QStringList{"05/12/2026 CS 3", "03/12/2026 CS 2", "04/12/2026 CS 1"}));
    clickHeader(7); // next dates, the blank one first
    QCOMPARE(rowsShown(), (QStringList{"04/12/2026 CS 1", "05/12/2026 CS 3", "03/12/2026 CS 2"}));
    QCOMPARE(m_db->count(QStringLiteral("advocate")), 3);
    QCOMPARE(stored(QStringLiteral("ndate"), QStringLiteral("CS 2"), QStringLiteral("2026-12-03")),
             QStringLiteral("2026-12-20"));
    QCOMPARE(stored(QStringLiteral("ndate"), QStringLiteral("CS 1"), QStringLiteral("2026-12-04")),
             QStringLiteral("<null>"));

    // A new case counts at once; Save stays on the row saved, wherever it stands.
    m_messages->answer(Answer::Yes);
    click("cmdAdd");
    field("txtCdate")->setText(QStringLiteral("01/12/2026"));
    QTest::keyClicks(field("txtCaseNo"), QStringLiteral("CS 9"));
    QTest::keyClicks(field("txtParties"), QStringLiteral("D'Souza"));
    click("cmdSave");
    QCOMPARE(field("txtTotal")->text(), QStringLiteral("4"));
    QCOMPARE(field("txtCaseNo")->text(), QStringLiteral("CS 9"));
    QCOMPARE(screen.recordSet()->position(), 0);
    QCOMPARE(grid()->currentIndex().row(), 0);

    // Delete counts again.
    m_messages->answer(Answer::Yes);
    click("cmdDelete");
    QCOMPARE(m_db->count(QStringLiteral("advocate")), 3);
    QCOMPARE(field("txtTotal")->text(), QStringLiteral("3"));
}

void TestCaseRegister::hearingsMissedWhileClosedAreOffered_data()
{
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<int>("listedToday");
    QTest::newRow("listed on today")
        << Answer::Yes << QStringList{"07/12/2026 CS 9", "07/12/2026 CS 1", "07/12/2026 CS 2"} << 3;
    QTest::newRow("shown") << Answer::No << QStringList{"01/12/2026 CS 1", "01/12/2026 CS 2"} << 1;
    QTest::newRow("left") << Answer::Cancel << QStringList() << 1;
}

void TestCaseRegister::hearingsMissedWhileClosedAreOffered()
{
    QFETCH(Answer, answer);
    QFETCH(QStringList, shown);
    QFETCH(int, listedToday);
    // Friday and Saturday were missed; the hearing of Thursday was listed on its day.
    addHearing(QStringLiteral("CS 1"), QStringLiteral("Ram Kumar"), QStringLiteral("2026-12-01"),
               QStringLiteral("2026-12-04"), 2);
    addHearing(QStringLiteral("CS 2"), QStringLiteral("Sita Devi"), QStringLiteral("2026-12-01"),
               QStringLiteral("2026-12-05"), 3);
    addHearing(QStringLiteral("CS 3"), QStringLiteral("Abdul Rahman"), QStringLiteral("2026-12-01"),
               QStringLiteral("2026-12-03"), 2);
    addHearing(QStringLiteral("CS 3"), QStringLiteral("Abdul Rahman"), QStringLiteral("2026-12-03"),
               QStringLiteral("2026-12-15"), 2);
    addHearing(QStringLiteral("CS 9"), QStringLiteral("Mary D'Souza"), QStringLiteral("2026-11-30"),
               QStringLiteral("2026-12-07"), 1);
    m_messages->answer(answer);
    CaseRegister &screen = openRegister();

    QCOMPARE(m_messages->texts(),
             QStringList{"2 hearings fixed for 04/12/2026, 05/12/2026 were not listed on their "
                         "dates: the diary was not opened on those days.\nYes lists them on "
                         "today's date, No shows them, Cancel leaves them as they are."});
    QCOMPARE(
        m_db->scalar(QStringLiteral("SELECT count(*) FROM advocate WHERE cdate = '2026-12-07'"))
            .toInt(),
        listedToday);
    if (answer == Answer::Yes) {
        QCOMPARE(
            stored(QStringLiteral("pdate"), QStringLiteral("CS 2"), QStringLiteral("2026-12-07")),
            QStringLiteral("2026-12-01"));
        QCOMPARE(stored(QStringLiteral("fixedfor"), QStringLiteral("CS 1"),
                        QStringLiteral("2026-12-07")),
                 QStringLiteral("arguments"));
        QCOMPARE(rowsShown().mid(rowsShown().size() - 3), shown);
        QCOMPARE(field("txtTotal")->text(), QStringLiteral("4"));
    } else if (answer == Answer::No) {
        QCOMPARE(rowsShown(), shown);
    }
    QCOMPARE(screen.recordSet()->rowCount() > 0, true);

    // Asked once: the day's next opening says nothing more.
    m_messages->clear();
    openRegister();
    QVERIFY(m_messages->shown().isEmpty());
}

// At 1024x768 the workspace under the title bar and the menu keeps about
// 1010 by 680 pixels: every button and the grid's last column must be there.
void TestCaseRegister::fitsASmallScreen()
{
    addHearing(QStringLiteral("CS 1"), QStringLiteral("Ram Kumar"), QStringLiteral("2026-12-01"),
               QString(), 1);
    CaseRegister &screen = openRegister();
    // The next dates are all blank; the column still has room for one.
    QVERIFY(grid()->columnWidth(nextDateColumn) >
            QFontMetrics(grid()->font()).horizontalAdvance(QStringLiteral("29/12/2026")));
    const QSize least = screen.minimumSizeHint();
    QVERIFY2(least.width() <= 1000 && least.height() <= 660,
             qPrintable(QStringLiteral("%1x%2").arg(least.width()).arg(least.height())));
    screen.resize(1000, 660);
    QApplication::processEvents();
    for (QPushButton *b : screen.findChildren<QPushButton *>()) {
        if (!b->isVisible())
            continue;
        const QRect place(b->mapTo(&screen, QPoint(0, 0)), b->size());
        QVERIFY2(screen.rect().contains(place), qPrintable(b->objectName()));
    }
    // The last column can be scrolled to.
    grid()->scrollTo(grid()->model()->index(0, grid()->model()->columnCount() - 1));
    const int last = grid()->model()->columnCount() - 1;
    QVERIFY(grid()->columnViewportPosition(last) >= 0);
    QVERIFY(grid()->columnViewportPosition(last) < grid()->viewport()->width());
}

void TestCaseRegister::missedHearingsAreListedAllOrNone()
{
    addHearing(QStringLiteral("CS 1"), QStringLiteral("Ram Kumar"), QStringLiteral("2026-12-01"),
               QStringLiteral("2026-12-04"), 2);
    addHearing(QStringLiteral("CS 2"), QStringLiteral("Sita Devi"), QStringLiteral("2026-12-01"),
               QStringLiteral("2026-12-05"), 3);
    // The database refuses the second listing.
    m_db->exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON advocate "
                              "WHEN NEW.Party1 = 'Sita Devi' AND NEW.cdate = '2026-12-07' "
                              "BEGIN SELECT RAISE(ABORT, 'the disk is full'); END"));
    m_messages->answer(Answer::Yes);
    openRegister();
    QCOMPARE(m_messages->texts().size(), 2);
    QVERIFY2(m_messages->texts().at(1).contains(QStringLiteral("the disk is full")),
             qPrintable(m_messages->texts().at(1)));
    QCOMPARE(
        m_db->scalar(QStringLiteral("SELECT count(*) FROM advocate WHERE cdate = '2026-12-07'"))
            .toInt(),
        0);
    QCOMPARE(rowsShown().size(), 2);
}

void TestCaseRegister::longAbsenceNamesItsFirstDays()
{
    for (int i = 0; i < 12; ++i)
        addHearing(QStringLiteral("CS %1").arg(i), QStringLiteral("Party %1").arg(i),
                   QStringLiteral("2026-10-01"), QDate(2026, 11, 10 + i).toString(Qt::ISODate), 1);
    m_messages->answer(Answer::Cancel);
    openRegister();
    QCOMPARE(m_messages->texts().size(), 1);
    QVERIFY2(m_messages->texts().first().startsWith(
                 QStringLiteral("12 hearings fixed for 10/11/2026, 11/11/2026, ")),
             qPrintable(m_messages->texts().first()));
    QVERIFY(m_messages->texts().first().contains(
        QStringLiteral("19/11/2026, and 2 more days were not listed on their dates")));
    QCOMPARE(m_db->count(QStringLiteral("advocate")), 12); // Cancel lists nothing
}

// --- several desks ----------------------------------------------------------------------

void TestCaseRegister::hearingsEnteredElsewhereShowWhileBrowsing()
{
    m_db->exec(QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 200) "
        "INSERT INTO advocate (cdate, caseno, Party1, courtname, CourtIndex) "
        "SELECT date('2026-06-01', '+' || (i / 2) || ' days'), 'CS ' || i, 'Party ' || i, "
        "'District Judge', 1 FROM n"));
    CaseRegister &screen = openRegister();
    screen.recordSet()->moveTo(120);
    const QString caseno = field("txtCaseNo")->text();
    const int place = grid()->rowViewportPosition(120);
    QVERIFY(place >= 0);

    // Before the row shown, the row itself, and a new case.
    m_db->execElsewhere(
        QStringLiteral(
            "INSERT INTO advocate (cdate, caseno, Party1) VALUES ('2026-01-05', 'OS 1', 'Hari Om');"
            "UPDATE advocate SET remarks = 'adjourned' WHERE caseno = '%1'")
            .arg(caseno));
    QTRY_COMPARE_WITH_TIMEOUT(screen.recordSet()->rowCount(), 201, 2000);
    QCOMPARE(field("txtCaseNo")->text(), caseno);
    QCOMPARE(field("txtRemarks")->text(), QStringLiteral("adjourned"));
    QCOMPARE(grid()->currentIndex().row(), 121);
    QCOMPARE(grid()->rowViewportPosition(121), place);
    QCOMPARE(field("txtTotal")->text(), QStringLiteral("201"));
    QVERIFY(field<QLabel>("lblChangedElsewhere")->isHidden());
}

// Nothing is read under the clerk's typing; the screen says why the other
// desk's row is not there yet, and Save brings both.
void TestCaseRegister::changesElsewhereWaitForTheRowBeingAdded()
{
    addHearing(QStringLiteral("CS 1"), QStringLiteral("Ram Kumar"), QStringLiteral("2026-12-01"),
               QString(), 1);
    CaseRegister &screen = openRegister();
    auto *watch = screen.findChild<ChangeWatch *>();
    QVERIFY(watch);
    QSignalSpy heard(watch, &ChangeWatch::changedElsewhere);
    m_messages->answer(Answer::Yes);
    click("cmdAdd");
    QTest::keyClicks(field("txtCaseNo"), QStringLiteral("CS 9"));
    QSignalSpy reread(screen.recordSet(), &RecordSet::reset);
    m_db->execElsewhere(QStringLiteral(
        "INSERT INTO advocate (cdate, caseno, Party1) VALUES ('2026-12-02', 'OS 1', 'Hari Om')"));
    auto *note = field<QLabel>("lblChangedElsewhere");
    QTRY_VERIFY_WITH_TIMEOUT(note->isVisible(), 2000);
    QCOMPARE(note->text(), RecordScreen::changedElsewhereNote);
    QCOMPARE(reread.count(), 0);
    QCOMPARE(field("txtCaseNo")->text(), QStringLiteral("CS 9"));
    QCOMPARE(screen.state(), RecordScreen::State::Edit);

    click("cmdSave");
    QTRY_VERIFY(note->isHidden());
    QStringList cases;
    for (int row = 0; row < screen.recordSet()->rowCount(); ++row)
        cases << screen.recordSet()->textAt(row, screen.recordSet()->fieldIndex("caseno"));
    QCOMPARE(cases, (QStringList{"CS 1", "OS 1", "CS 9"}));
    QCOMPARE(field("txtCaseNo")->text(), QStringLiteral("CS 9"));
    QCOMPARE(field("txtTotal")->text(), QStringLiteral("3"));

    // The register's own writes and re-reads are not heard as another desk's.
    const int heardBefore = int(heard.count());
    const int readBefore = int(reread.count());
    watch->poll();
    QCOMPARE(heard.count(), heardBefore);
    QCOMPARE(reread.count(), readBefore);
}

QTEST_MAIN(TestCaseRegister)
#include "tst_caseregister.moc"
