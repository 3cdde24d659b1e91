#include "fakediaryhost.h"
#include "support/scriptedmessenger.h"
#include "support/testdatabase.h"

#include <data/clock.h>
#include <data/messenger.h>
#include <diary/casesearch.h>
#include <diary/searchnextblank.h>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <widgets/screennames.h>

using namespace lexordo;

class TestCaseSearch : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensWithNextDateSelected();
    void searchesByDate_data();
    void searchesByDate();
    void dateThatIsNotADateLeavesTheRegisterAsItWas();
    void emptyOrCancelledAnswerChangesNothing();
    void partySearchLooksInsideTheFirstPartyOnly();
    void caseNumberMatchesTheWholeNumber();
    void blankNextDatesOpensTheRangeSearch();

    void rangeSearchFindsHearingsWithoutNextDate();
    void rangeSearchWithNothingFoundLeavesAnEmptyRegister();
    void rangeSearchRefusesAFirstDateThatIsNotADate();
    void rangeSearchReportsALastDateThatIsNotADate();

private:
    CaseSearch *openSearch(int option);
    QStringList shownCases() const;

    std::unique_ptr<test::TestDatabase> m_db;
    std::unique_ptr<test::FakeHost> m_host;
};

void TestCaseSearch::init()
{
    Clock::setToday(QDate(2026, 12, 7));
    m_db = std::make_unique<test::TestDatabase>();
    m_db->exec(QStringLiteral(
        "INSERT INTO advocate (cdate, remarks, Party1, Party2, caseno, CourtIndex, ndate) VALUES "
        "('2026-12-01', NULL, 'O''Neil & Sons', 'State', 'CS 1/2026', 1, '2026-12-08'),"
        "('2026-12-01', NULL, 'State', 'O''Neil', 'CS 1/2026-A', 2, NULL),"
        "('2026-12-02', 'decided', 'Ram Lal', 'Mohan', 'CR 9''s/2025', 1, NULL),"
        "('2026-12-03', NULL, 'Sita', 'Gita', 'CS 4/2026', 3, '2026-12-08'),"
        "('2026-12-07', NULL, 'Bank', 'Gita', 'CS 5/2026', 3, NULL)"));
    m_host = std::make_unique<test::FakeHost>();
    m_host->add(screens::caseRegister, [] { return new test::FakeCaseRegister; });
    m_host->add(screens::caseSearch, [] { return new CaseSearch; });
    m_host->add(screens::searchNextBlank, [] { return new SearchNextBlank; });
}

void TestCaseSearch::cleanup()
{
    m_host.reset();
    m_db.reset();
    Clock::reset();
}

CaseSearch *TestCaseSearch::openSearch(int option)
{
    auto *search = qobject_cast<CaseSearch *>(m_host->openScreen(screens::caseSearch));
    search->findChild<QRadioButton *>(QStringLiteral("Option1_%1").arg(option))->setChecked(true);
    return search;
}

QStringList TestCaseSearch::shownCases() const
{
    QStringList cases;
    RecordSet *diary = m_host->caseRegister()->diary();
    for (int row = 0; row < diary->rowCount(); ++row)
        cases << diary->textAt(row, diary->fieldIndex(QStringLiteral("caseno")));
    return cases;
}

void TestCaseSearch::opensWithNextDateSelected()
{
    CaseSearch search;
    QCOMPARE(search.windowTitle(), QStringLiteral("Searching of cases According to"));
    QVERIFY(search.findChild<QRadioButton *>(QStringLiteral("Option1_0"))->isChecked());
    QCOMPARE(search.findChild<QRadioButton *>(QStringLiteral("Option1_1"))->text(),
             QStringLiteral("Current Date "));
}

void TestCaseSearch::searchesByDate_data()
{
    QTest::addColumn<int>("option");
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QStringList>("cases");

    QTest::newRow("next date") << 0 << "Enter the Next Date to be Searched"
                               << "Finding The Record"
                               << "8/12/2026" << QStringList{"CS 1/2026", "CS 4/2026"};
    QTest::newRow("current date") << 1 << "Enter the current Date to be Searched"
                                  << "Finding The Record by Cuurent Date"
                                  << "01/12/2026" << QStringList{"CS 1/2026", "CS 1/2026-A"};
}

void TestCaseSearch::searchesByDate()
{
    QFETCH(int, option);
    QFETCH(QString, prompt);
    QFETCH(QString, title);
    QFETCH(QString, answer);
    QFETCH(QStringList, cases);

    // An earlier filter is dropped by the new search.
    m_host->openScreen(screens::caseRegister);
    m_host->caseRegister()->diary()->setFilter(
        Filter(QStringLiteral("caseno"), Filter::Op::Equal, QStringLiteral("CS 5/2026")));

    ScriptedMessenger messages;
    messages.answerInput(answer);
    QTest::mouseClick(openSearch(option)->findChild<QPushButton *>(QStringLiteral("cmdOK")),
                      Qt::LeftButton);
    QCOMPARE(messages.shown().size(), 1);
    QCOMPARE(messages.shown().first().text, prompt);
    QCOMPARE(messages.shown().first().title, title);
    QCOMPARE(shownCases(), cases);
    QVERIFY(m_host->caseRegister()->timesMaximized() > 0);
    QVERIFY(!m_host->findScreen(screens::caseSearch));
}

void TestCaseSearch::dateThatIsNotADateLeavesTheRegisterAsItWas()
{
    m_host->openScreen(screens::caseRegister);
    const Filter earlier(QStringLiteral("caseno"), Filter::Op::Equal, QStringLiteral("CS 5/2026"));
    m_host->caseRegister()->diary()->setFilter(earlier);

    for (int option : {0, 1}) {
        ScriptedMessenger messages;
        messages.answerInput(QStringLiteral("31/02/2026"));
        QTest::mouseClick(openSearch(option)->findChild<QPushButton *>(QStringLiteral("cmdOK")),
                          Qt::LeftButton);
        QCOMPARE(messages.lastText(), QStringLiteral("Enter The Date in DD/MM/YYYY Format "));
        QCOMPARE(m_host->caseRegister()->diary()->filter(), earlier);
        QCOMPARE(shownCases(), QStringList{"CS 5/2026"});
    }
}

void TestCaseSearch::emptyOrCancelledAnswerChangesNothing()
{
    ScriptedMessenger messages;
    messages.answerInput(QString());
    QTest::mouseClick(openSearch(2)->findChild<QPushButton *>(QStringLiteral("cmdOK")),
                      Qt::LeftButton);
    messages.cancelInput();
    QTest::mouseClick(openSearch(3)->findChild<QPushButton *>(QStringLiteral("cmdOK")),
                      Qt::LeftButton);
    QCOMPARE(messages.shown().size(), 2);
    QCOMPARE(m_host->timesMade(screens::caseRegister), 0);
}

void TestCaseSearch::partySearchLooksInsideTheFirstPartyOnly()
{
    ScriptedMessenger messages;
    messages.answerInput(QStringLiteral("o'neil"));
    QTest::mouseClick(openSearch(2)->findChild<QPushButton *>(QStringLiteral("cmdOK")),
                      Qt::LeftButton);
    QCOMPARE(messages.shown().first().text,
             QStringLiteral("Enter the Name of the party to be Searched"));
    // Loaded by the search when it was not open.
    QCOMPARE(m_host->timesMade(screens::caseRegister), 1);
    QCOMPARE(shownCases(), QStringList{"CS 1/2026"});
}

void TestCaseSearch::caseNumberMatchesTheWholeNumber()
{
    ScriptedMessenger messages;
    messages.answerInput(QStringLiteral("cs 1/2026"));
    QTest::mouseClick(openSearch(3)->findChild<QPushButton *>(QStringLiteral("cmdOK")),
                      Qt::LeftButton);
    QCOMPARE(messages.shown().first().text, QStringLiteral("Enter the Case no. to be Searched"));
    QCOMPARE(shownCases(), QStringList{"CS 1/2026"});

    messages.answerInput(QStringLiteral("CR 9's/2025"));
    QTest::mouseClick(openSearch(3)->findChild<QPushButton *>(QStringLiteral("cmdOK")),
                      Qt::LeftButton);
    QCOMPARE(shownCases(), QStringList{"CR 9's/2025"});
}

void TestCaseSearch::blankNextDatesOpensTheRangeSearch()
{
    ScriptedMessenger messages;
    QTest::mouseClick(openSearch(4)->findChild<QPushButton *>(QStringLiteral("cmdOK")),
                      Qt::LeftButton);
    QVERIFY(messages.shown().isEmpty());
    QVERIFY(m_host->findScreen(screens::caseSearch));
    auto *range = m_host->findScreen(screens::searchNextBlank);
    QVERIFY(range);
    QCOMPARE(range->windowTitle(),
             QStringLiteral("Searching of cases which have next date left blank"));
    QCOMPARE(range->findChild<QLineEdit *>(QStringLiteral("txtDate2"))->text(),
             QStringLiteral("07/12/2026"));
    QVERIFY(range->findChild<QLineEdit *>(QStringLiteral("txtDate1"))->text().isEmpty());
}

void TestCaseSearch::rangeSearchFindsHearingsWithoutNextDate()
{
    openSearch(4);
    QTest::mouseClick(
        m_host->findScreen(screens::caseSearch)->findChild<QPushButton *>(QStringLiteral("cmdOK")),
        Qt::LeftButton);
    QWidget *range = m_host->findScreen(screens::searchNextBlank);
    ScriptedMessenger messages;
    auto *from = range->findChild<QLineEdit *>(QStringLiteral("txtDate1"));
    from->setText(QStringLiteral("01/12/2026"));
    range->findChild<QLineEdit *>(QStringLiteral("txtDate2"))
        ->setText(QStringLiteral("06/12/2026"));
    // Enter in the first date runs the search.
    QTest::keyClick(from, Qt::Key_Return);
    QVERIFY(messages.shown().isEmpty());
    QCOMPARE(shownCases(), (QStringList{"CS 1/2026-A", "CR 9's/2025"}));
    QVERIFY(!m_host->findScreen(screens::caseSearch));
    QVERIFY(!m_host->findScreen(screens::searchNextBlank));
    QVERIFY(m_host->caseRegister()->timesMaximized() > 0);
}

void TestCaseSearch::rangeSearchWithNothingFoundLeavesAnEmptyRegister()
{
    auto *range = qobject_cast<SearchNextBlank *>(m_host->openScreen(screens::searchNextBlank));
    ScriptedMessenger messages;
    range->findChild<QLineEdit *>(QStringLiteral("txtDate1"))
        ->setText(QStringLiteral("04/12/2026"));
    range->findChild<QLineEdit *>(QStringLiteral("txtDate2"))
        ->setText(QStringLiteral("06/12/2026"));
    QTest::mouseClick(range->findChild<QPushButton *>(QStringLiteral("cmdshowrepo")),
                      Qt::LeftButton);
    QCOMPARE(messages.texts(),
             QStringList{"No Record having blank dates in These Date Range Found, Try Again!!"});
    QVERIFY(shownCases().isEmpty());
}

void TestCaseSearch::rangeSearchRefusesAFirstDateThatIsNotADate()
{
    m_host->openScreen(screens::caseRegister);
    openSearch(4);
    auto *range = qobject_cast<SearchNextBlank *>(m_host->openScreen(screens::searchNextBlank));
    ScriptedMessenger messages;
    range->findChild<QLineEdit *>(QStringLiteral("txtDate1"))->setText(QStringLiteral("1/13/2026"));
    QTest::mouseClick(range->findChild<QPushButton *>(QStringLiteral("cmdshowrepo")),
                      Qt::LeftButton);
    QCOMPARE(messages.texts(), QStringList{"Enter The Date in DD/MM/YYYY Format "});
    QCOMPARE(shownCases().size(), 5);
    QVERIFY(!m_host->findScreen(screens::caseSearch));
    QVERIFY(!m_host->findScreen(screens::searchNextBlank));
}

void TestCaseSearch::rangeSearchReportsALastDateThatIsNotADate()
{
    auto *range = qobject_cast<SearchNextBlank *>(m_host->openScreen(screens::searchNextBlank));
    ScriptedMessenger messages;
    range->findChild<QLineEdit *>(QStringLiteral("txtDate1"))
        ->setText(QStringLiteral("01/12/2026"));
    range->findChild<QLineEdit *>(QStringLiteral("txtDate2"))->setText(QStringLiteral("yesterday"));
    QTest::mouseClick(range->findChild<QPushButton *>(QStringLiteral("cmdshowrepo")),
                      Qt::LeftButton);
    QCOMPARE(messages.shown().size(), 1);
    QVERIFY2(messages.lastText().contains(QStringLiteral("yesterday")),
             qPrintable(messages.lastText()));
    QVERIFY(!m_host->findScreen(screens::searchNextBlank));
    QCOMPARE(shownCases().size(), 5);
}

QTEST_MAIN(TestCaseSearch)
#include "tst_casesearch.moc"
