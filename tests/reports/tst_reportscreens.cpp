#include "diaryfixture.h"
#include "support/scriptedmessenger.h"
#include "support/testdatabase.h"

#include <data/clock.h>
#include <data/messenger.h>
#include <data/officesettings.h>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTest>
#include <reports/blanknextdatereport.h>
#include <reports/casereport.h>
#include <reports/casesummary.h>
#include <reports/currentdatereport.h>
#include <reports/diarylayouts.h>
#include <reports/nextdatereport.h>
#include <reports/runtime/reportwindow.h>

using namespace lexordo;
using namespace lexordo::test;
using report::ReportWindow;

// The diary report screens as the user meets them: what they show when they
// open, the keys and buttons that run them, their messages, the report
// windows they open and when they close.
class TestReportScreens : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void screensOpenWithTheirCaptionsAndDates();
    void fieldsAreNamedForAssistiveTechnology();
    void diaryRunsOnEnterInEitherDate();
    void diaryOfOneDayOrOfARange();
    void diaryScreenClosesWhenItsReportIsLeft();
    void diaryMessages();
    void causeListDateIsLockedUntilChangeDate();
    void causeListRunClosesTheScreen();
    void blankNextDatesRunOnEnterInTheFirstDateOnly();
    void partyAndCaseReport();
    void caseSummaryAndTheRegistersShowReport();
    void dataErrorsAreShownWithTheirDescription();
    void exitClosesEveryScreen();
    void causeListIsHeadedByTheOffice();

private:
    template <typename T> T *child(QWidget *screen, const char *name)
    {
        T *found = screen->findChild<T *>(QString::fromLatin1(name));
        if (!found)
            qFatal("no %s", name);
        return found;
    }
    static ReportWindow *reportWindow(const QString &layoutName);
    static QString heading(ReportWindow *window, const QString &label);
    static void settle();

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<ScriptedMessenger> m_messages;
};

void TestReportScreens::init()
{
    QStandardPaths::setTestModeEnabled(true);
    office::setAdvocateName(QStringLiteral("Adv. S. K. Menon"));
    Clock::setToday(QDate(2026, 12, 7));
    m_db = std::make_unique<TestDatabase>();
    m_messages = std::make_unique<ScriptedMessenger>();
    addHearing({.cdate = "07/12/2026",
                .party1 = "D'Souza",
                .court = "High Court",
                .index = 1,
                .caseno = "Crl. A. 5/2026"});
    addHearing({.cdate = "07/12/2026", .party1 = "Anand", .court = "Civil Court", .index = 3});
    addHearing({.cdate = "08/12/2026", .party1 = "Bose", .ndate = "15/12/2026"});
    addHearing({.cdate = "01/12/2026",
                .party1 = "Chopra",
                .ndate = "07/12/2026",
                .fixedforN = "Arguments"});
    addHoliday("25/12/2026", "Christmas");
}

void TestReportScreens::cleanup()
{
    // Deleting a report may close its screen: hold the windows by guarded pointers.
    QList<QPointer<QWidget>> windows;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (!w->parentWidget())
            windows << w;
    }
    for (const QPointer<QWidget> &w : windows)
        delete w.data();
    m_messages.reset();
    m_db.reset();
    Clock::reset();
}

ReportWindow *TestReportScreens::reportWindow(const QString &layoutName)
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        auto *window = qobject_cast<ReportWindow *>(w);
        if (window && window->objectName() == layoutName && window->isVisible())
            return window;
    }
    return nullptr;
}

QString TestReportScreens::heading(ReportWindow *window, const QString &label)
{
    const report::PlacedItem *item =
        window->document().pages.first().find(QStringLiteral("Section1"), label);
    return item ? item->text : QStringLiteral("<none>");
}

void TestReportScreens::settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

void TestReportScreens::screensOpenWithTheirCaptionsAndDates()
{
    auto *diary = new CurrentDateReport;
    QCOMPARE(diary->objectName(), QStringLiteral("frmReportManyDates"));
    QCOMPARE(diary->windowTitle(), QStringLiteral("Printing Report of Cases"));
    QCOMPARE(child<QLabel>(diary, "Label4")->text(), QStringLiteral("Show Report From"));
    QCOMPARE(child<QLabel>(diary, "Label1")->text(), QStringLiteral("To"));
    QCOMPARE(child<QLineEdit>(diary, "txtDate1")->text(), QString());
    QCOMPARE(child<QLineEdit>(diary, "txtDate2")->text(), QStringLiteral("07/12/2026"));
    QCOMPARE(child<QPushButton>(diary, "cmdshowrepo")->text(), QStringLiteral("&Show Report"));
    QCOMPARE(child<QPushButton>(diary, "cmdexit")->text(), QStringLiteral("E&xit"));
    QVERIFY(child<QLineEdit>(diary, "txtHdays")->text().isEmpty());

    auto *blank = new BlankNextDateReport;
    QCOMPARE(blank->objectName(), QStringLiteral("frmRepoNextBlank"));
    QCOMPARE(blank->windowTitle(),
             QStringLiteral("Printing Report of cases which have next date left blank"));
    QCOMPARE(child<QLabel>(blank, "Label4")->text(), QStringLiteral("Show Report From"));
    QCOMPARE(child<QLineEdit>(blank, "txtDate2")->text(), QStringLiteral("07/12/2026"));
    QVERIFY(!child<QLineEdit>(blank, "txtDate1")->isReadOnly());

    auto *next = new NextDateReport;
    QCOMPARE(next->objectName(), QStringLiteral("frmReportsDate"));
    QCOMPARE(next->windowTitle(), QStringLiteral("Printing Report Acoording to the next date"));
    QCOMPARE(child<QLabel>(next, "Label4")->text(), QStringLiteral("Next Date: "));
    QCOMPARE(child<QLineEdit>(next, "txtdate1")->text(), QStringLiteral("07/12/2026"));
    QCOMPARE(child<QPushButton>(next, "cmdChangedate")->text(), QStringLiteral("Change Date"));

    auto *parties = new CaseReport;
    QCOMPARE(parties->objectName(), QStringLiteral("frmReportParties"));
    QCOMPARE(parties->windowTitle(), QStringLiteral("Printing Particular Case Deatails"));
    QVERIFY(child<QWidget>(parties, "Frame1"));
    QCOMPARE(child<QRadioButton>(parties, "Option1_0")->text(), QStringLiteral("Parties"));
    QVERIFY(child<QRadioButton>(parties, "Option1_0")->isChecked());
    QCOMPARE(child<QRadioButton>(parties, "Option1_1")->text(), QStringLiteral("Case No"));
    QCOMPARE(child<QLabel>(parties, "Label1")->text(), QStringLiteral("Acording to"));

    auto *summary = new CaseSummary;
    QCOMPARE(summary->objectName(), QStringLiteral("frmRepoClients"));
    QCOMPARE(summary->windowTitle(), QStringLiteral("Summary Printing"));
    QCOMPARE(child<QLabel>(summary, "Label4")->text(), QStringLiteral("Case No."));
    QVERIFY(child<QLineEdit>(summary, "txtName"));

    for (QWidget *screen : {static_cast<QWidget *>(diary), static_cast<QWidget *>(blank),
                            static_cast<QWidget *>(next), static_cast<QWidget *>(parties),
                            static_cast<QWidget *>(summary)})
        QVERIFY(screen->testAttribute(Qt::WA_DeleteOnClose));
    QVERIFY(m_messages->texts().isEmpty());
}

void TestReportScreens::fieldsAreNamedForAssistiveTechnology()
{
    const QList<QWidget *> screens = {new CurrentDateReport, new BlankNextDateReport,
                                      new NextDateReport, new CaseReport, new CaseSummary};
    for (QWidget *screen : screens) {
        for (QLineEdit *field : screen->findChildren<QLineEdit *>()) {
            QVERIFY2(!field->accessibleName().isEmpty(), qPrintable(field->objectName()));
            if (field->isHidden())
                continue;
            // The visible label that names the field is its buddy.
            bool labelled = false;
            for (QLabel *label : screen->findChildren<QLabel *>()) {
                if (label->buddy() == field) {
                    labelled = true;
                    QCOMPARE(field->accessibleName(), label->text());
                }
            }
            QVERIFY2(labelled, qPrintable(field->objectName()));
        }
    }
}

void TestReportScreens::diaryRunsOnEnterInEitherDate()
{
    auto *screen = new CurrentDateReport;
    screen->show();
    auto *date1 = child<QLineEdit>(screen, "txtDate1");
    auto *date2 = child<QLineEdit>(screen, "txtDate2");
    QTest::keyClick(date1, Qt::Key_Return);
    QCOMPARE(m_messages->texts(), QStringList{"Enter The Date in DD/MM/YYYY Format "});
    QTest::keyClick(date2, Qt::Key_Enter);
    QCOMPARE(m_messages->texts().size(), 2);
    // Other keys are typed as they come: no key filter on the date boxes.
    QTest::keyClicks(date1, "07/12/2026x");
    QCOMPARE(date1->text(), QStringLiteral("07/12/2026x"));
    date1->setText(QStringLiteral("07/12/2026"));
    QTest::keyClick(date2, Qt::Key_Return);
    QCOMPARE(m_messages->texts().size(), 2);
    QVERIFY(screen->reportWindow());
    QCOMPARE(screen->reportWindow()->objectName(), QStringLiteral("drSingleDate"));
}

void TestReportScreens::diaryOfOneDayOrOfARange()
{
    auto *screen = new CurrentDateReport;
    screen->show();
    child<QLineEdit>(screen, "txtDate1")->setText(QStringLiteral("07/12/2026"));
    QTest::mouseClick(child<QPushButton>(screen, "cmdshowrepo"), Qt::LeftButton);
    ReportWindow *single = screen->reportWindow();
    QVERIFY(single);
    QCOMPARE(single->windowTitle(), QStringLiteral("Printing The Cases Report"));
    QCOMPARE(heading(single, "lblDate1"), QStringLiteral("07/12/2026"));
    QCOMPARE(heading(single, "lblDay"), QStringLiteral("[MONDAY]"));
    QCOMPARE(child<QLineEdit>(screen, "txtHdays")->text(),
             QStringLiteral("  25/12/2026-Christmas, "));
    QVERIFY(screen->isVisible()); // stays open behind its report
    QCOMPARE(m_db->count("tmpAdvocate"), 2);

    child<QLineEdit>(screen, "txtDate1")->setText(QStringLiteral("1/12/2026"));
    child<QLineEdit>(screen, "txtDate2")->setText(QStringLiteral("08/12/2026"));
    screen->showReport();
    ReportWindow *range = screen->reportWindow();
    QVERIFY(range && range != single);
    QCOMPARE(range->objectName(), QStringLiteral("drManyDates"));
    QCOMPARE(range->windowTitle(), QStringLiteral("Printing The Cases Report"));
    QCOMPARE(heading(range, "lblDate1"), QStringLiteral("1/12/2026"));
    QCOMPARE(heading(range, "lblDate2"), QStringLiteral("08/12/2026"));
    QCOMPARE(m_db->count("tmpAdvocate"), 4);
}

void TestReportScreens::diaryScreenClosesWhenItsReportIsLeft()
{
    QPointer<CurrentDateReport> screen = new CurrentDateReport;
    screen->show();
    child<QLineEdit>(screen, "txtDate1")->setText(QStringLiteral("07/12/2026"));
    screen->showReport();
    QPointer<ReportWindow> window = screen->reportWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    screen->activateWindow();
    QTRY_VERIFY(!screen);
    QVERIFY(window && window->isVisible() && !window->holdsData());

    // The blank next dates screen likewise, here when its report is closed.
    QPointer<BlankNextDateReport> blank = new BlankNextDateReport;
    blank->show();
    child<QLineEdit>(blank, "txtDate1")->setText(QStringLiteral("01/12/2026"));
    blank->showReport();
    QPointer<ReportWindow> blankWindow = blank->reportWindow();
    QVERIFY(blankWindow);
    QCOMPARE(blankWindow->windowTitle(), QStringLiteral("Next Dates Left Blank"));
    blankWindow->close();
    QTRY_VERIFY(!blank);
    QTRY_VERIFY(!blankWindow);
}

void TestReportScreens::diaryMessages()
{
    auto *screen = new CurrentDateReport;
    screen->show();
    auto *date1 = child<QLineEdit>(screen, "txtDate1");
    auto *date2 = child<QLineEdit>(screen, "txtDate2");
    auto *run = child<QPushButton>(screen, "cmdshowrepo");
    m_db->exec("INSERT INTO tmpAdvocate (Party1) VALUES ('kept')");

    date1->setText(QStringLiteral("31/13/2026"));
    QTest::mouseClick(run, Qt::LeftButton);
    QCOMPARE(m_messages->lastText(), QStringLiteral("Enter The Date in DD/MM/YYYY Format "));
    // The holiday note was rebuilt before the first date was looked at.
    QCOMPARE(child<QLineEdit>(screen, "txtHdays")->text(),
             QStringLiteral("  25/12/2026-Christmas, "));

    date1->setText(QStringLiteral("09/12/2026"));
    date2->setText(QStringLiteral("20/12/2026"));
    QTest::mouseClick(run, Qt::LeftButton);
    QCOMPARE(m_messages->lastText(),
             QStringLiteral("No Record in These Date Range Found, Try Again!!"));

    date2->setText(QStringLiteral("20-12"));
    QTest::mouseClick(run, Qt::LeftButton);
    QCOMPARE(m_messages->lastText(), QStringLiteral("\"20-12\" is not a valid date for Date."));
    QVERIFY(child<QLineEdit>(screen, "txtHdays")->text().isEmpty());

    QCOMPARE(m_messages->texts().size(), 3);
    QVERIFY(!screen->reportWindow());
    QCOMPARE(m_db->count("tmpAdvocate"), 1);
}

void TestReportScreens::causeListDateIsLockedUntilChangeDate()
{
    auto *screen = new NextDateReport;
    screen->show();
    auto *date = child<QLineEdit>(screen, "txtdate1");
    QVERIFY(date->isReadOnly());
    QTest::keyClicks(date, "08/12/2026");
    QCOMPARE(date->text(), QStringLiteral("07/12/2026"));

    QTest::mouseClick(child<QPushButton>(screen, "cmdChangedate"), Qt::LeftButton);
    QVERIFY(!date->isReadOnly());
    QVERIFY(date->hasSelectedText());
    QTest::keyClicks(date, "30/02/2026");
    QCOMPARE(date->text(), QStringLiteral("30/02/2026"));
    QTest::keyClick(date, Qt::Key_Return);
    QCOMPARE(m_messages->texts(), QStringList{"Enter The Date in DD/MM/YYYY Format "});
    QVERIFY(screen->isVisible());
    QVERIFY(!reportWindow("drTodayRepo"));
}

void TestReportScreens::causeListRunClosesTheScreen()
{
    // Opening the screen and pressing Enter prints today's list at once.
    QPointer<NextDateReport> screen = new NextDateReport;
    screen->show();
    QTest::keyClick(child<QLineEdit>(screen, "txtdate1"), Qt::Key_Return);
    settle();
    QVERIFY(!screen);
    ReportWindow *window = reportWindow("drTodayRepo");
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), QStringLiteral("Next Dates Reports"));
    QCOMPARE(heading(window, "lbldate"), QStringLiteral("07/12/2026"));
    const report::ReportPage &page = window->document().pages.first();
    QCOMPARE(page.texts("cmAdvocate_Detail"),
             (QStringList{"1", "01/12/2026", "District Court", "CS 1/2026", "Chopra vs. State",
                          "Arguments"}));
    QCOMPARE(page.find("Section2", "lblHdays")->text, QStringLiteral("  25/12/2026-Christmas"));
    QVERIFY(m_messages->texts().isEmpty());
}

void TestReportScreens::blankNextDatesRunOnEnterInTheFirstDateOnly()
{
    auto *screen = new BlankNextDateReport;
    screen->show();
    QTest::keyClick(child<QLineEdit>(screen, "txtDate2"), Qt::Key_Return);
    QVERIFY(m_messages->texts().isEmpty());
    QVERIFY(!screen->reportWindow());
    auto *date1 = child<QLineEdit>(screen, "txtDate1");
    QTest::keyClick(date1, Qt::Key_Return);
    QCOMPARE(m_messages->texts(), QStringList{"Enter The Date in DD/MM/YYYY Format "});
    date1->setText(QStringLiteral("08/12/2026"));
    QTest::keyClick(date1, Qt::Key_Return);
    QCOMPARE(m_messages->lastText(),
             QStringLiteral("No Record in These Date Range Found, Try Again!!"));
    date1->setText(QStringLiteral("07/12/2026"));
    QTest::keyClick(date1, Qt::Key_Return);
    QVERIFY(screen->reportWindow());
    QCOMPARE(screen->reportWindow()->objectName(), QStringLiteral("drNextBlank"));
    QCOMPARE(child<QLineEdit>(screen, "txtHdays")->text(),
             QStringLiteral("  25/12/2026-Christmas"));
    QVERIFY(screen->isVisible());
}

void TestReportScreens::partyAndCaseReport()
{
    QPointer<CaseReport> screen = new CaseReport;
    screen->show();
    QTest::keyClicks(child<QLineEdit>(screen, "txtValue"), "D'Souza");
    QTest::keyClick(child<QLineEdit>(screen, "txtValue"), Qt::Key_Return);
    settle();
    QVERIFY(!screen);
    ReportWindow *window = reportWindow("drCases");
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), QStringLiteral("Case Report"));
    QCOMPARE(heading(window, "lblHEAD"), QStringLiteral("Parties : "));
    QCOMPARE(heading(window, "lblParties"), QStringLiteral("D'Souza"));
    QCOMPARE(window->document().pages.first().texts("cmAdvocate_Detail").at(2),
             QStringLiteral("Crl. A. 5/2026"));
    window->close();
    settle();

    screen = new CaseReport;
    screen->show();
    QTest::mouseClick(child<QRadioButton>(screen, "Option1_1"), Qt::LeftButton);
    child<QLineEdit>(screen, "txtValue")->setText(QStringLiteral("CS 1/2026"));
    QTest::mouseClick(child<QPushButton>(screen, "cmdshowrepo"), Qt::LeftButton);
    settle();
    QVERIFY(!screen);
    window = reportWindow("drCases");
    QVERIFY(window);
    QCOMPARE(heading(window, "lblHEAD"), QStringLiteral("Case No : "));
    QCOMPARE(heading(window, "lblParties"), QStringLiteral("CS 1/2026"));
    QCOMPARE(window->document().pages.first().textItems("cmAdvocate_Detail").size(), 3 * 7);
    QVERIFY(m_messages->texts().isEmpty());
}

void TestReportScreens::caseSummaryAndTheRegistersShowReport()
{
    QPointer<CaseSummary> screen = new CaseSummary;
    screen->show();
    QTest::keyClicks(child<QLineEdit>(screen, "txtName"), "crl. a. 5/2026");
    QTest::keyClick(child<QLineEdit>(screen, "txtName"), Qt::Key_Return);
    settle();
    QVERIFY(!screen);
    ReportWindow *window = reportWindow("drCases");
    QVERIFY(window);
    QCOMPARE(heading(window, "lblHEAD"), QStringLiteral("Case No : "));
    QCOMPARE(heading(window, "lblParties"), QStringLiteral("crl. a. 5/2026"));
    QCOMPARE(window->document().pages.first().textItems("cmAdvocate_Detail").size(), 7);
    window->close();
    settle();

    QWidget mainWindow;
    ReportWindow *fromRegister = showCaseReport(CaseCriterion::Party, "Anand", &mainWindow);
    QVERIFY(fromRegister);
    QVERIFY(fromRegister->isWindow());
    QCOMPARE(heading(fromRegister, "lblHEAD"), QStringLiteral("Parties : "));
    QCOMPARE(heading(fromRegister, "lblParties"), QStringLiteral("Anand"));
    QCOMPARE(fromRegister->document().pages.first().texts("cmAdvocate_Detail").at(0),
             QStringLiteral("07/12/2026"));
}

void TestReportScreens::dataErrorsAreShownWithTheirDescription()
{
    m_db->exec("ALTER TABLE advocate RENAME TO advocate_old");
    auto *parties = new CaseReport;
    parties->show();
    child<QLineEdit>(parties, "txtValue")->setText(QStringLiteral("Anand"));
    parties->showReport();
    QCOMPARE(m_messages->texts().size(), 1);
    QVERIFY2(m_messages->lastText().contains(QStringLiteral("no such table: advocate")),
             qPrintable(m_messages->lastText()));
    QVERIFY(parties->isVisible());
    QVERIFY(!reportWindow("drCases"));
    QVERIFY(!showCaseReport(CaseCriterion::CaseNo, "CS 1/2026"));
    QCOMPARE(m_messages->texts().size(), 2);

    auto *diary = new CurrentDateReport;
    diary->show();
    child<QLineEdit>(diary, "txtDate1")->setText(QStringLiteral("07/12/2026"));
    diary->showReport();
    QCOMPARE(m_messages->texts().size(), 3);
    QVERIFY2(m_messages->lastText().contains(QStringLiteral("advocate")),
             qPrintable(m_messages->lastText()));
    QVERIFY(!diary->reportWindow());
}

void TestReportScreens::exitClosesEveryScreen()
{
    const QList<QPointer<QWidget>> screens = {new CurrentDateReport, new BlankNextDateReport,
                                              new NextDateReport, new CaseReport, new CaseSummary};
    for (const QPointer<QWidget> &screen : screens) {
        screen->show();
        QTest::mouseClick(child<QPushButton>(screen, "cmdexit"), Qt::LeftButton);
    }
    settle();
    for (const QPointer<QWidget> &screen : screens)
        QVERIFY(!screen);
}

void TestReportScreens::causeListIsHeadedByTheOffice()
{
    // Where the name is missing, the first cause list printed asks for it.
    office::setAdvocateName(QString());
    m_messages->answerInput(QStringLiteral("Adv. Priya Nair"));
    QPointer<NextDateReport> screen = new NextDateReport;
    screen->show();
    QTest::keyClick(child<QLineEdit>(screen, "txtdate1"), Qt::Key_Return);
    settle();
    QCOMPARE(m_messages->texts(),
             QStringList{"The advocate's name, printed at the head of the cause lists:"});
    QCOMPARE(office::advocateName(), QStringLiteral("Adv. Priya Nair"));
    ReportWindow *window = reportWindow("drTodayRepo");
    QVERIFY(window);
    QCOMPARE(heading(window, "lblOffice"), QStringLiteral("Adv. Priya Nair"));
    QCOMPARE(window->fileName(), QStringLiteral("cause-list-by-next-date-2026-12-07.pdf"));

    // Asked once: left empty again, the next list is printed without asking.
    office::setAdvocateName(QString());
    m_messages->clear();
    askAdvocateNameOnce();
    QVERIFY(m_messages->shown().isEmpty());
}

QTEST_MAIN(TestReportScreens)
#include "tst_reportscreens.moc"
