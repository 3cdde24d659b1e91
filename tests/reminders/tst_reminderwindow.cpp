#include "support/scriptedmessenger.h"
#include "support/testdatabase.h"

#include <data/clock.h>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <reminders/reminderreport.h>
#include <reminders/reminderwindow.h>
#include <reports/runtime/reportengine.h>
#include <reports/runtime/reportwindow.h>

using namespace lexordo;
using report::ReportWindow;

class TestReminderWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void showsTheFirstNineOfTodayAndCountsTheRest();
    void keepsTheTableOrderAndTheTwelveHourClock();
    void aDayWithoutRemindersShowsTheDateOnly();
    void enterEscapeOrAClickClosesAndBringsUpTheMainWindow();
    void openingAgainReadsAfreshInTheSameWindow();
    void printReminderClosesTheWindowAndPrintsTheDayAfresh();
    void printingNoReminderPrintsTitleDateAndEmptyRows();

private:
    void addReminder(const QString &date, const QString &time, const QString &work);
    static QStringList rowsShown(const ReminderWindow &window);
    static ReportWindow *reportWindow();
    static QString printed(ReportWindow *window, const QString &label);
    static void settle();

    std::unique_ptr<test::TestDatabase> m_db;
    std::unique_ptr<ScriptedMessenger> m_messages;
    int m_mainWindowCalls = 0;
};

void TestReminderWindow::init()
{
    m_db = std::make_unique<test::TestDatabase>();
    m_messages = std::make_unique<ScriptedMessenger>();
    Clock::setToday(QDate(2026, 12, 7));
    m_mainWindowCalls = 0;
    ReminderWindow::setOnClosed([this] { ++m_mainWindowCalls; });
}

void TestReminderWindow::cleanup()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        w->close();
    settle();
    ReminderWindow::setOnClosed(nullptr);
    const QStringList shown = m_messages->texts();
    m_messages.reset();
    m_db.reset();
    Clock::reset();
    QCOMPARE(shown, QStringList());
}

void TestReminderWindow::addReminder(const QString &date, const QString &time, const QString &work)
{
    QSqlQuery query(QSqlDatabase::database(QStringLiteral("advocate")));
    QVERIFY(query.prepare(
        QStringLiteral("INSERT INTO reminder (\"REMDate\", \"Time\", \"Work\") VALUES (?, ?, ?)")));
    query.addBindValue(date);
    query.addBindValue(time);
    query.addBindValue(work);
    QVERIFY(query.exec());
}

QStringList TestReminderWindow::rowsShown(const ReminderWindow &window)
{
    QStringList rows;
    for (int n = 1; n <= 9; ++n) {
        auto *time = window.findChild<QLabel *>(QStringLiteral("lblT%1").arg(n));
        auto *work = window.findChild<QLabel *>(QStringLiteral("lblW%1").arg(n));
        if (!time || !work)
            return {QStringLiteral("row %1 missing").arg(n)};
        if (time->isVisibleTo(&window) != work->isVisibleTo(&window))
            return {QStringLiteral("row %1 half shown").arg(n)};
        if (time->isVisibleTo(&window))
            rows << time->text() + QStringLiteral(" | ") + work->text();
    }
    return rows;
}

ReportWindow *TestReminderWindow::reportWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        auto *window = qobject_cast<ReportWindow *>(w);
        if (window && window->layoutName() == QStringLiteral("drReminder") && window->isVisible())
            return window;
    }
    return nullptr;
}

QString TestReminderWindow::printed(ReportWindow *window, const QString &label)
{
    const report::PlacedItem *item =
        window->document().pages.first().find(QStringLiteral("Section1"), label);
    return item ? item->text : QStringLiteral("<none>");
}

void TestReminderWindow::settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

void TestReminderWindow::showsTheFirstNineOfTodayAndCountsTheRest()
{
    addReminder(QStringLiteral("2026-12-06"), QStringLiteral("09:00:00"),
                QStringLiteral("yesterday"));
    for (int n = 1; n <= 10; ++n)
        addReminder(QStringLiteral("2026-12-07"),
                    QStringLiteral("10:%1:00").arg(n, 2, 10, QLatin1Char('0')),
                    QStringLiteral("work %1").arg(n));
    addReminder(QStringLiteral("2026-12-08"), QStringLiteral("09:00:00"),
                QStringLiteral("tomorrow"));

    ReminderWindow window;
    window.show();
    QCOMPARE(window.objectName(), QStringLiteral("frmReminder"));
    QVERIFY(window.isWindow());
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("lblDate"))->text(),
             QStringLiteral("07/12/2026"));
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("lblTitle"))->text(),
             QStringLiteral("Works to be done today"));
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("lblHint"))->text(),
             QStringLiteral("Press Enter or Mouse click to Continue....."));
    QCOMPARE(window.findChild<QPushButton *>(QStringLiteral("cmdshowrepo"))->text(),
             QStringLiteral("Print Reminder"));

    QStringList expected;
    for (int n = 1; n <= 9; ++n)
        expected << QStringLiteral("10:%1 AM | work %2").arg(n, 2, 10, QLatin1Char('0')).arg(n);
    QCOMPARE(rowsShown(window), expected);

    // The tenth is not hidden without a word.
    auto *more = window.findChild<QLabel *>(QStringLiteral("lblMore"));
    QVERIFY(more->isVisible());
    QVERIFY2(more->text().startsWith(QStringLiteral("1 more reminder for today")),
             qPrintable(more->text()));
    QVERIFY(QAccessible::queryAccessibleInterface(more)
                ->text(QAccessible::Name)
                .contains(QStringLiteral("1 more reminder for today")));

    addReminder(QStringLiteral("2026-12-07"), QStringLiteral("18:00:00"),
                QStringLiteral("work 11"));
    ReminderWindow again;
    QVERIFY(again.findChild<QLabel *>(QStringLiteral("lblMore"))
                ->text()
                .startsWith(QStringLiteral("2 more reminders for today")));
}

void TestReminderWindow::keepsTheTableOrderAndTheTwelveHourClock()
{
    addReminder(QStringLiteral("2026-12-07"), QStringLiteral("16:00:00"),
                QStringLiteral("file reply"));
    addReminder(QStringLiteral("2026-12-07"), QStringLiteral("09:30:00"),
                QStringLiteral("call client"));
    addReminder(QStringLiteral("2026-12-07"), QStringLiteral("11:00:00"),
                QStringLiteral("see judge"));
    ReminderWindow window;
    window.show();
    QCOMPARE(rowsShown(window), (QStringList{QStringLiteral("4:00 PM | file reply"),
                                             QStringLiteral("9:30 AM | call client"),
                                             QStringLiteral("11:00 AM | see judge")}));
    QVERIFY(!window.findChild<QLabel *>(QStringLiteral("lblMore"))->isVisible());
}

void TestReminderWindow::aDayWithoutRemindersShowsTheDateOnly()
{
    addReminder(QStringLiteral("2026-12-08"), QStringLiteral("09:00:00"),
                QStringLiteral("tomorrow"));
    ReminderWindow window;
    window.show();
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("lblDate"))->text(),
             QStringLiteral("07/12/2026"));
    QCOMPARE(rowsShown(window), QStringList());
    QVERIFY(!window.findChild<QLabel *>(QStringLiteral("lblMore"))->isVisible());
}

void TestReminderWindow::enterEscapeOrAClickClosesAndBringsUpTheMainWindow()
{
    QPointer<ReminderWindow> byEnter = ReminderWindow::open();
    QVERIFY(QTest::qWaitForWindowExposed(byEnter));
    QCOMPARE(m_mainWindowCalls, 0);
    QTest::keyClick(byEnter, Qt::Key_Return);
    QVERIFY(!byEnter->isVisible());
    QCOMPARE(m_mainWindowCalls, 1);
    settle();
    QVERIFY(byEnter.isNull());
    QVERIFY(!ReminderWindow::current());

    // Enter while the print button has the focus continues too; it does not print.
    QPointer<ReminderWindow> onButton = ReminderWindow::open();
    QVERIFY(QTest::qWaitForWindowExposed(onButton));
    onButton->findChild<QPushButton *>(QStringLiteral("cmdshowrepo"))->setFocus();
    QTest::keyClick(onButton->findChild<QPushButton *>(QStringLiteral("cmdshowrepo")),
                    Qt::Key_Enter);
    QVERIFY(!onButton->isVisible());
    QCOMPARE(m_mainWindowCalls, 2);
    QVERIFY(!reportWindow());
    settle();

    addReminder(QStringLiteral("2026-12-07"), QStringLiteral("09:00:00"), QStringLiteral("work"));
    QPointer<ReminderWindow> byClick = ReminderWindow::open();
    QVERIFY(QTest::qWaitForWindowExposed(byClick));
    // A click on a row is a click on the window.
    QTest::mouseClick(byClick->findChild<QLabel *>(QStringLiteral("lblW1")), Qt::LeftButton);
    QVERIFY(!byClick->isVisible());
    QCOMPARE(m_mainWindowCalls, 3);
    settle();

    QPointer<ReminderWindow> byEscape = ReminderWindow::open();
    QVERIFY(QTest::qWaitForWindowExposed(byEscape));
    QTest::keyClick(byEscape, Qt::Key_Escape);
    QVERIFY(!byEscape->isVisible());
    QCOMPARE(m_mainWindowCalls, 4);
}

void TestReminderWindow::openingAgainReadsAfreshInTheSameWindow()
{
    ReminderWindow *first = ReminderWindow::open();
    QCOMPARE(rowsShown(*first), QStringList());
    addReminder(QStringLiteral("2026-12-07"), QStringLiteral("15:00:00"),
                QStringLiteral("new one"));
    ReminderWindow *second = ReminderWindow::open();
    QCOMPARE(second, first);
    QCOMPARE(rowsShown(*second), QStringList{QStringLiteral("3:00 PM | new one")});
    QCOMPARE(ReminderWindow::current(), first);
}

void TestReminderWindow::printReminderClosesTheWindowAndPrintsTheDayAfresh()
{
    addReminder(QStringLiteral("2026-12-07"), QStringLiteral("16:00:00"),
                QStringLiteral("file reply"));
    QPointer<ReminderWindow> window = ReminderWindow::open();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    // Stored after the window opened: the report reads the day again.
    addReminder(QStringLiteral("2026-12-07"), QStringLiteral("09:30:00"),
                QStringLiteral("call D'Souza"));
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("cmdshowrepo")),
                      Qt::LeftButton);
    QVERIFY(window.isNull() || !window->isVisible());
    QCOMPARE(m_mainWindowCalls, 1);

    ReportWindow *report = reportWindow();
    QVERIFY(report);
    QCOMPARE(report->windowTitle(), QStringLiteral("Reminder Printing"));
    QCOMPARE(report->document().pageCount(), 1);
    QCOMPARE(printed(report, QStringLiteral("lbldate")), QStringLiteral("07/12/2026"));
    QCOMPARE(printed(report, QStringLiteral("lblSno1")), QStringLiteral("4:00 PM"));
    QCOMPARE(printed(report, QStringLiteral("lblp1")), QStringLiteral("file reply"));
    QCOMPARE(printed(report, QStringLiteral("lblSno2")), QStringLiteral("9:30 AM"));
    QCOMPARE(printed(report, QStringLiteral("lblp2")), QStringLiteral("call D'Souza"));
    const QStringList texts = report->document().pages.first().texts();
    QVERIFY(texts.contains(QStringLiteral("Reminder")));
    QVERIFY(texts.contains(QStringLiteral("Works to be done")));
}

void TestReminderWindow::printingNoReminderPrintsTitleDateAndEmptyRows()
{
    ReminderList list = ReminderList::forDay(Clock::today());
    QCOMPARE(list.date, QStringLiteral("07/12/2026"));
    const report::ReportDocument empty =
        report::layOut(reminderReportLayout(list), report::ReportData());
    QCOMPARE(empty.pageCount(), 1);
    const report::ReportPage &page = empty.pages.first();
    QVERIFY(page.texts().contains(QStringLiteral("Reminder")));
    QVERIFY(page.texts().contains(QStringLiteral("Date :")));
    QCOMPARE(page.find(QStringLiteral("Section1"), QStringLiteral("lbldate"))->text,
             QStringLiteral("07/12/2026"));
    for (int n = 1; n <= 10; ++n) {
        for (const QString &name : {QStringLiteral("lblSno%1"), QStringLiteral("lblp%1")}) {
            const report::PlacedItem *item = page.find(QStringLiteral("Section1"), name.arg(n));
            QVERIFY(!item || item->text.isEmpty());
        }
    }

    // Ten on the day: nine rows, row ten empty, and the rest counted in print too.
    for (int n = 1; n <= 10; ++n)
        addReminder(QStringLiteral("2026-12-07"), QStringLiteral("10:00:00"),
                    QStringLiteral("work %1").arg(n));
    list = ReminderList::forDay(Clock::today());
    const report::ReportPage full =
        report::layOut(reminderReportLayout(list), report::ReportData()).pages.first();
    QCOMPARE(full.find(QStringLiteral("Section1"), QStringLiteral("lblp9"))->text,
             QStringLiteral("work 9"));
    const report::PlacedItem *tenth =
        full.find(QStringLiteral("Section1"), QStringLiteral("lblp10"));
    QVERIFY(!tenth || tenth->text.isEmpty());
    QVERIFY(full.find(QStringLiteral("Section1"), QStringLiteral("lblMore"))
                ->text.startsWith(QStringLiteral("1 more reminder")));
}

QTEST_MAIN(TestReminderWindow)
#include "tst_reminderwindow.moc"
