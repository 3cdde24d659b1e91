#include "support/scriptedmessenger.h"
#include "support/testdatabase.h"

#include <app/mainwindow.h>
#include <data/clock.h>
#include <data/dataerror.h>
#include <data/messenger.h>
#include <data/officesettings.h>
#include <data/recordset.h>
#include <diary/casediary.h>
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <reports/runtime/reportwindow.h>
#include <widgets/recordscreen.h>

using namespace lexordo;
using Answer = Messenger::Answer;

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void menuTreeAsListed_data();
    void menuTreeAsListed();
    void entriesWaitForTheirScreens();
    void choosingAnOpenScreenBringsItForward();
    void accountsEntriesOpenTheirScreens();
    void casesEntryOpensTheRegister();
    void laterScreensJoinThroughTheirEntries();
    void screensOpenEachOtherByName();
    void screensOpenOnWhatAnotherHandsThem();
    void screenThatCannotOpenIsReported();
    void shortcutsReachTheirEntriesFromATextBox_data();
    void shortcutsReachTheirEntriesFromATextBox();
    void printEntriesOpenTheirScreensAndReportsInside();
    void referenceRegistersOpenWithTheirSearchScreensApart();
    void exitClosesEveryScreen();
    void exitWaitsForAScreenWithUnsavedWork();
    void backupOpensItsOwnWindowOnce();
    void windowOpensWithinTheScreenAndRemembersItsPlace();
    void screensRememberTheirPlace();
    void smallDialogsAreNeverMaximised();
    void maximisedScreenDoesNotMaximiseTheNext();
    void advocatesNameIsAskedAndKept();

private:
    QStringList openScreens() const;
    QString activeScreen() const;
    void trigger(const char *entry);

    std::unique_ptr<test::TestDatabase> m_db;
    std::unique_ptr<ScriptedMessenger> m_messages;
    QPointer<MainWindow> m_window;
};

void TestMainWindow::init()
{
    QStandardPaths::setTestModeEnabled(true);
    QSettings(QStringLiteral("Lexordo"), QStringLiteral("Lexordo")).clear();
    office::setAdvocateName(QStringLiteral("Adv. S. K. Menon")); // cause lists print without asking
    m_db = std::make_unique<test::TestDatabase>();
    m_messages = std::make_unique<ScriptedMessenger>();
    m_window = new MainWindow;
    m_window->setAttribute(Qt::WA_DeleteOnClose);
    m_window->show();
    QApplication::setActiveWindow(m_window);
    QVERIFY(QTest::qWaitForWindowActive(m_window));
}

void TestMainWindow::cleanup()
{
    delete m_window;
    QCOMPARE(m_messages->unansweredCount(), 0);
    QCOMPARE(m_messages->pendingAnswers(), 0);
    m_messages.reset();
    m_db.reset();
}

QStringList TestMainWindow::openScreens() const
{
    QStringList names;
    for (QMdiSubWindow *frame : m_window->mdiArea()->subWindowList()) {
        if (frame->isVisible())
            names << frame->widget()->objectName();
    }
    return names;
}

QString TestMainWindow::activeScreen() const
{
    QMdiSubWindow *frame = m_window->mdiArea()->activeSubWindow();
    return frame ? frame->widget()->objectName() : QString();
}

void TestMainWindow::trigger(const char *entry)
{
    m_window->menuEntry(QLatin1String(entry))->trigger();
}

void TestMainWindow::menuTreeAsListed_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("entries"); // name|caption|shortcut
    QTest::newRow("file") << "mnufile"
                          << "&File"
                          << QStringList{"mnubackup|&Backup|Ctrl+B",
                                         "mnuRestore|&Restore...|",
                                         "mnuChPass|Change &Password...|",
                                         "mnuAdvocateName|Advocate's &Name...|",
                                         "mnuExportCsv|Export &CSV...|",
                                         "mnuImportCsv|&Import CSV...|",
                                         "mnuexit|E&xit|"};
    QTest::newRow("case diary") << "mnuform"
                                << "&Case Diary"
                                << QStringList{"mnuCInfo|Clients Info|",
                                               "mnucentery|Cases &Entry|Ctrl+E",
                                               "mnuNextDate1|Convert Next to Current Date|Ctrl+N",
                                               "mnuCEntry|Court Entry|",
                                               "mnuHoli|Holidays|",
                                               "mnuRulings|Rulings Library|"};
    QTest::newRow("billing") << "mnuBilling"
                             << "&Billing/Fees"
                             << QStringList{"mnuFtrans|Fees Transaction|Ctrl+F",
                                            "mnuBill|BILLING|Ctrl+L", "mnuReceipt|Receipt Book|"};
    QTest::newRow("miscellaneous")
        << "mnuMisc"
        << "Misc&ellaneous"
        << QStringList{"mnuRemEnt|Enter Reminder|", "mnuSeeReminder|See Reminder|",
                       "mnuDirectory|Advocates Directory|", "mnuBrowser|Web Browser|"};
    QTest::newRow("print") << "mnureport"
                           << "&Print"
                           << QStringList{"mnuDDates|Cases According to Current Dates|Ctrl+P",
                                          "mnuPostDated|Cases According to Next Date|",
                                          "mnuBalnk|Next Dates Left Blank Cases|",
                                          "mnuINfo|Accounts Info|",
                                          "mnuDetailsPart|Details of Particular Case|",
                                          "mnuSummary|Case Summary|",
                                          "mnuCalendar|Hearings to Calendar...|",
                                          "mnuCheckCourtList|Check the Court's List...|"};
}

void TestMainWindow::menuTreeAsListed()
{
    QFETCH(QString, menu);
    QFETCH(QString, title);
    QFETCH(QStringList, entries);

    QCOMPARE(m_window->objectName(), QStringLiteral("MDImain"));
    QStringList menuOrder;
    for (QAction *a : m_window->menuBar()->actions())
        menuOrder << a->menu()->objectName();
    QCOMPARE(menuOrder, (QStringList{"mnufile", "mnuform", "mnuBilling", "mnuMisc", "mnureport"}));

    auto *m = m_window->findChild<QMenu *>(menu);
    QVERIFY(m);
    QCOMPARE(m->title(), title);
    QStringList shown;
    for (QAction *a : m->actions()) {
        if (!a->isSeparator())
            shown << a->objectName() + u'|' + a->text() + u'|' +
                         a->shortcut().toString(QKeySequence::PortableText);
    }
    QCOMPARE(shown, entries);
}

void TestMainWindow::entriesWaitForTheirScreens()
{
    QStringList enabled;
    for (QAction *a : m_window->findChildren<QAction *>()) {
        if (!a->menu() && !a->isSeparator() && !a->objectName().isEmpty() && a->isEnabled())
            enabled << a->objectName();
    }
    enabled.sort();
    QCOMPARE(enabled,
             (QStringList{"mnuAdvocateName",   "mnuBalnk",     "mnuBill",        "mnuBrowser",
                          "mnuCEntry",         "mnuCInfo",     "mnuCalendar",    "mnuChPass",
                          "mnuCheckCourtList", "mnuDDates",    "mnuDetailsPart", "mnuDirectory",
                          "mnuExportCsv",      "mnuFtrans",    "mnuHoli",        "mnuINfo",
                          "mnuImportCsv",      "mnuNextDate1", "mnuPostDated",   "mnuReceipt",
                          "mnuRemEnt",         "mnuRestore",   "mnuRulings",     "mnuSeeReminder",
                          "mnuSummary",        "mnubackup",    "mnucentery",     "mnuexit"}));
}

void TestMainWindow::choosingAnOpenScreenBringsItForward()
{
    trigger("mnuCEntry");
    QCOMPARE(openScreens(), QStringList{"frmCourts"});
    QCOMPARE(activeScreen(), QStringLiteral("frmCourts"));
    trigger("mnuHoli");
    QCOMPARE(activeScreen(), QStringLiteral("frmHdays"));

    auto *courts = m_window->findScreen(QStringLiteral("frmCourts"));
    courts->findChild<QPushButton *>(QStringLiteral("cmdNext"))->click();
    trigger("mnuCEntry");
    QCOMPARE(openScreens(), (QStringList{"frmCourts", "frmHdays"}));
    QCOMPARE(activeScreen(), QStringLiteral("frmCourts"));
    QCOMPARE(m_window->findScreen(QStringLiteral("frmCourts")), courts); // the same, not reloaded

    // Closed by its own Exit, the screen opens afresh next time.
    courts->findChild<QPushButton *>(QStringLiteral("cmdExit"))->click();
    QCOMPARE(openScreens(), QStringList{"frmHdays"});
    QVERIFY(!m_window->findScreen(QStringLiteral("frmCourts")));
    trigger("mnuCEntry");
    QCOMPARE(openScreens(), (QStringList{"frmHdays", "frmCourts"}));
    QVERIFY(m_messages->shown().isEmpty());
}

void TestMainWindow::accountsEntriesOpenTheirScreens()
{
    trigger("mnuFtrans");
    trigger("mnuBill");
    trigger("mnuReceipt");
    trigger("mnuINfo");
    QCOMPARE(openScreens(), (QStringList{"frmAC", "frmBill", "frmReceipt", "frmReportsFees"}));
    QCOMPARE(activeScreen(), QStringLiteral("frmReportsFees"));
    trigger("mnuBill");
    QCOMPARE(activeScreen(), QStringLiteral("frmBill"));
    QCOMPARE(openScreens().size(), 4);
    QVERIFY(m_messages->shown().isEmpty());
}

void TestMainWindow::casesEntryOpensTheRegister()
{
    m_db->exec(QStringLiteral("INSERT INTO advocate (cdate, caseno, ndate) VALUES "
                              "('2026-11-20', 'CS 1', '2026-12-07')"));
    Clock::setToday(QDate(2026, 12, 7));
    trigger("mnucentery");
    Clock::reset();
    QCOMPARE(openScreens(), QStringList{"frmCases"});
    QCOMPARE(activeScreen(), QStringLiteral("frmCases"));
    CaseDiary *diary = CaseDiary::find();
    QVERIFY(diary);
    QCOMPARE(diary->diary()->rowCount(), 2); // carried forward as it opened
    QCOMPARE(m_db->count(QStringLiteral("advocate")), 2);

    trigger("mnuCEntry");
    trigger("mnucentery"); // brought forward, not opened again
    QCOMPARE(activeScreen(), QStringLiteral("frmCases"));
    QCOMPARE(CaseDiary::find(), diary);
    QCOMPARE(m_db->count(QStringLiteral("advocate")), 2);
    QVERIFY(m_messages->shown().isEmpty());

    // Minimised, its moving band stands still.
    QWidget *screen = m_window->findScreen(QStringLiteral("frmCases"));
    auto *band = screen->findChild<QTimer *>(QStringLiteral("Timer1"));
    QVERIFY(band->isActive());
    m_window->mdiArea()->activeSubWindow()->showMinimized();
    QVERIFY(!band->isActive());
    m_window->mdiArea()->activeSubWindow()->showNormal();
    QVERIFY(band->isActive());
}

void TestMainWindow::laterScreensJoinThroughTheirEntries()
{
    int made = 0;
    auto factory = [&made](const QString &name) {
        return [&made, name] {
            ++made;
            auto *w = new QWidget;
            w->setObjectName(name);
            return static_cast<QWidget *>(w);
        };
    };
    m_window->setScreenFactory(QStringLiteral("mnuCInfo"), QStringLiteral("frmClients"),
                               factory(QStringLiteral("frmClients")),
                               MainWindow::OpenMode::LoadAndShow);
    m_window->setScreenFactory(QStringLiteral("mnubackup"), QStringLiteral("frmBackup"),
                               factory(QStringLiteral("frmBackup")), MainWindow::OpenMode::ShowOnly,
                               MainWindow::Placement::SeparateWindow);
    QVERIFY(m_window->menuEntry(QStringLiteral("mnuCInfo"))->isEnabled());
    QVERIFY(m_window->menuEntry(QStringLiteral("mnubackup"))->isEnabled());

    trigger("mnuCInfo");
    trigger("mnuCInfo");
    QCOMPARE(made, 1);
    QCOMPARE(activeScreen(), QStringLiteral("frmClients"));

    trigger("mnubackup");
    trigger("mnubackup");
    QCOMPARE(made, 2);
    QWidget *backup = m_window->findScreen(QStringLiteral("frmBackup"));
    QVERIFY(backup && backup->isWindow() && backup->isVisible());
    QCOMPARE(openScreens(), QStringList{"frmClients"}); // not a child window

    int runs = 0;
    m_window->setMenuCommand(QStringLiteral("mnuNextDate1"), [&runs] { ++runs; });
    trigger("mnuNextDate1");
    QCOMPARE(runs, 1);
}

void TestMainWindow::screensOpenEachOtherByName()
{
    QCOMPARE(ScreenHost::current(), static_cast<ScreenHost *>(m_window.data()));
    QWidget *holidays = ScreenHost::current()->openScreen(QStringLiteral("frmHdays"));
    QVERIFY(qobject_cast<RecordScreen *>(holidays));
    QCOMPARE(openScreens(), QStringList{"frmHdays"});
    QCOMPARE(ScreenHost::current()->openScreen(QStringLiteral("frmHdays")), holidays);
    QVERIFY(!ScreenHost::current()->openScreen(QStringLiteral("frmNoSuchScreen")));
}

void TestMainWindow::screensOpenOnWhatAnotherHandsThem()
{
    m_db->exec(QStringLiteral("INSERT INTO Clients (ACname, CaseNo, Parties) VALUES "
                              "('Sharma Traders', 'CS 12/2026', 'Sharma Vs. Bank'), "
                              "('Mehta & Co', 'CS 9/2026', 'Mehta Vs. State')"));
    m_db->exec(QStringLiteral("INSERT INTO advocate (cdate, caseno, Party1, courtname) VALUES "
                              "('2026-12-01', 'CS 12/2026', 'Sharma', 'District Court'), "
                              "('2026-12-02', 'CS 9/2026', 'Mehta', 'District Court')"));
    ScreenHost *host = ScreenHost::current();

    // The clients of a case; an open register is filtered where it stands.
    QWidget *clients =
        host->openScreen(QStringLiteral("frmClients"),
                         QVariantMap{{QStringLiteral("caseNo"), QStringLiteral("CS 12/2026")},
                                     {QStringLiteral("parties"), QString()}});
    QVERIFY(qobject_cast<RecordScreen *>(clients));
    const auto name = [clients] {
        return clients->findChild<QLineEdit *>(QStringLiteral("txtName"))->text();
    };
    QCOMPARE(name(), QStringLiteral("Sharma Traders"));
    trigger("mnuCEntry");
    QCOMPARE(host->openScreen(
                 QStringLiteral("frmClients"),
                 QVariantMap{{QStringLiteral("caseNo"), QString()},
                             {QStringLiteral("parties"), QStringLiteral("Mehta Vs. State")}}),
             clients);
    QCOMPARE(name(), QStringLiteral("Mehta & Co"));
    QCOMPARE(activeScreen(), QStringLiteral("frmCourts"));

    // The history of a party, as a report in the workspace.
    auto *history = qobject_cast<report::ReportWindow *>(
        host->openScreen(QStringLiteral("frmReportParties"),
                         QVariantMap{{QStringLiteral("party"), QStringLiteral("Mehta")}}));
    QVERIFY(history);
    QVERIFY(qobject_cast<QMdiSubWindow *>(history->parentWidget()));
    const QStringList texts = history->document().pages.first().texts();
    QCOMPARE(texts.filter(QStringLiteral("CS 9/2026")).size(), 1);
    QVERIFY(texts.filter(QStringLiteral("CS 12/2026")).isEmpty());

    QVERIFY(!host->openScreen(QStringLiteral("frmCourts"), QVariantMap()));
    QVERIFY(m_messages->shown().isEmpty());
}

void TestMainWindow::screenThatCannotOpenIsReported()
{
    m_window->setScreenFactory(
        QStringLiteral("mnuReceipt"), QStringLiteral("frmReceipt"),
        []() -> QWidget * { throw DataError(QStringLiteral("no such table: Receipt")); });
    trigger("mnuReceipt");
    QCOMPARE(m_messages->texts(), QStringList{"no such table: Receipt"});
    QVERIFY(openScreens().isEmpty());
    trigger("mnuCEntry"); // and the program goes on
    QCOMPARE(openScreens(), QStringList{"frmCourts"});
}

void TestMainWindow::shortcutsReachTheirEntriesFromATextBox_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("key");
    QTest::newRow("Ctrl+B") << "mnubackup" << int(Qt::Key_B);
    QTest::newRow("Ctrl+E") << "mnucentery" << int(Qt::Key_E);
    QTest::newRow("Ctrl+N") << "mnuNextDate1" << int(Qt::Key_N);
    QTest::newRow("Ctrl+F") << "mnuFtrans" << int(Qt::Key_F);
    QTest::newRow("Ctrl+L") << "mnuBill" << int(Qt::Key_L);
    QTest::newRow("Ctrl+P") << "mnuDDates" << int(Qt::Key_P);
}

void TestMainWindow::shortcutsReachTheirEntriesFromATextBox()
{
    QFETCH(QString, entry);
    QFETCH(int, key);

    // A text box that claims every key for itself, as line edits do with the
    // editing keys of some desktops (Ctrl+E, end of line).
    class GreedyBox : public QLineEdit
    {
    protected:
        bool event(QEvent *event) override
        {
            if (event->type() == QEvent::ShortcutOverride) {
                event->accept();
                return true;
            }
            return QLineEdit::event(event);
        }
    };
    int runs = 0;
    m_window->setMenuCommand(entry, [&runs] { ++runs; });
    m_window->setScreenFactory(QStringLiteral("mnuRulings"), QStringLiteral("frmCourtsOrders"), [] {
        auto *screen = new QWidget;
        screen->setObjectName(QStringLiteral("frmCourtsOrders"));
        (new GreedyBox)->setParent(screen);
        return screen;
    });
    trigger("mnuRulings");
    auto *field = m_window->findScreen(QStringLiteral("frmCourtsOrders"))->findChild<QLineEdit *>();
    field->setFocus();
    QCOMPARE(QApplication::focusWidget(), field);
    QTest::keyClick(field, Qt::Key(key), Qt::ControlModifier);
    QCOMPARE(runs, 1);
}

void TestMainWindow::printEntriesOpenTheirScreensAndReportsInside()
{
    trigger("mnuDDates");
    trigger("mnuSummary");
    trigger("mnuPostDated");
    QCOMPARE(openScreens(),
             (QStringList{"frmReportManyDates", "frmRepoClients", "frmReportsDate"}));
    QCOMPARE(activeScreen(), QStringLiteral("frmReportsDate"));

    // Today's cause list of an empty diary: the report opens in the workspace.
    QWidget *screen = m_window->findScreen(QStringLiteral("frmReportsDate"));
    QTest::mouseClick(screen->findChild<QPushButton *>(QStringLiteral("cmdshowrepo")),
                      Qt::LeftButton);
    QVERIFY(!m_window->findScreen(QStringLiteral("frmReportsDate")));
    bool reportInside = false;
    for (QMdiSubWindow *frame : m_window->mdiArea()->subWindowList())
        reportInside = reportInside || qobject_cast<report::ReportWindow *>(frame->widget());
    QVERIFY(reportInside);
}

void TestMainWindow::referenceRegistersOpenWithTheirSearchScreensApart()
{
    m_db->exec(QStringLiteral("INSERT INTO CourtOrders (Section, Citation) VALUES "
                              "('302', 'AIR 2020 SC 1'), ('420', '2019 Cri LJ 55')"));
    trigger("mnuCInfo");
    trigger("mnuDirectory");
    trigger("mnuRulings");
    QCOMPARE(openScreens(), (QStringList{"frmClients", "frmDirectory", "frmCourtsOrders"}));

    // The search screens stand apart from the workspace.
    auto *library =
        qobject_cast<RecordScreen *>(m_window->findScreen(QStringLiteral("frmCourtsOrders")));
    QVERIFY(library);
    QTest::mouseClick(library->findChild<QPushButton *>(QStringLiteral("cmdFind")), Qt::LeftButton);
    QWidget *search = m_window->findScreen(QStringLiteral("frmSearchRulings"));
    QVERIFY(search && search->isWindow() && search->isVisible());
    QCOMPARE(openScreens().size(), 3);

    // A search brings the library up maximised, showing what matched.
    trigger("mnuCInfo");
    m_messages->answerInput(QStringLiteral("42"));
    QTest::mouseClick(search->findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
    QVERIFY(!m_window->findScreen(QStringLiteral("frmSearchRulings")));
    QCOMPARE(activeScreen(), QStringLiteral("frmCourtsOrders"));
    QVERIFY(m_window->mdiArea()->activeSubWindow()->isMaximized());
    QCOMPARE(library->recordSet()->rowCount(), 1);

    auto *directory = m_window->findScreen(QStringLiteral("frmDirectory"));
    QTest::mouseClick(directory->findChild<QPushButton *>(QStringLiteral("cmdFind")),
                      Qt::LeftButton);
    QWidget *directorySearch = m_window->findScreen(QStringLiteral("frmSearchDirectory"));
    QVERIFY(directorySearch && directorySearch->isWindow() && directorySearch->isVisible());
    QTest::mouseClick(directorySearch->findChild<QPushButton *>(QStringLiteral("cmdCancel")),
                      Qt::LeftButton);
    QVERIFY(!m_window->findScreen(QStringLiteral("frmSearchDirectory")));
}

void TestMainWindow::exitClosesEveryScreen()
{
    trigger("mnuCEntry");
    trigger("mnuHoli");
    QPointer<QWidget> courts = m_window->findScreen(QStringLiteral("frmCourts"));
    QPointer<QWidget> holidays = m_window->findScreen(QStringLiteral("frmHdays"));
    trigger("mnuexit");
    QTRY_VERIFY(m_window.isNull());
    QVERIFY(courts.isNull() && holidays.isNull());
}

void TestMainWindow::exitWaitsForAScreenWithUnsavedWork()
{
    trigger("mnuCEntry");
    QWidget *courts = m_window->findScreen(QStringLiteral("frmCourts"));
    m_messages->answer(Answer::Yes);
    courts->findChild<QPushButton *>(QStringLiteral("cmdAdd"))->click();
    QTest::keyClicks(courts->findChild<QLineEdit *>(QStringLiteral("txtHdays")),
                     QStringLiteral("Lok Adalat"));

    m_messages->answer(Answer::Cancel);
    trigger("mnuexit");
    QCOMPARE(m_messages->lastText(),
             QStringLiteral("Save the changes to this record before closing?"));
    QVERIFY(m_window && m_window->isVisible());
    QCOMPARE(openScreens(), QStringList{"frmCourts"});

    m_messages->answer(Answer::Yes);
    trigger("mnuexit");
    QTRY_VERIFY(m_window.isNull());
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT court FROM courts")).toString(),
             QStringLiteral("Lok Adalat"));
}

void TestMainWindow::backupOpensItsOwnWindowOnce()
{
    QTest::keyClick(m_window, Qt::Key_B, Qt::ControlModifier);
    QPointer<QWidget> backup = m_window->findScreen(QStringLiteral("frmBackup"));
    QVERIFY(backup);
    QVERIFY(backup->isWindow() && backup->isVisible());
    QCOMPARE(backup->windowTitle(), QStringLiteral("Select Destination to  Backup :"));
    trigger("mnubackup");
    QCOMPARE(m_window->findScreen(QStringLiteral("frmBackup")), backup.data());
    QCOMPARE(openScreens(), QStringList()); // not a child window
    QVERIFY(m_window->close());
    QVERIFY(!backup || !backup->isVisible());
}

void TestMainWindow::windowOpensWithinTheScreenAndRemembersItsPlace()
{
    const QRect room = m_window->screen()->availableGeometry();
    QVERIFY2(room.contains(m_window->frameGeometry()),
             qPrintable(QStringLiteral("%1 %2 %3 %4 in %5 %6 %7 %8")
                            .arg(m_window->geometry().x())
                            .arg(m_window->geometry().y())
                            .arg(m_window->geometry().width())
                            .arg(m_window->geometry().height())
                            .arg(room.x())
                            .arg(room.y())
                            .arg(room.width())
                            .arg(room.height())));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Case Diary"));

    // A place kept from a larger screen is brought within this one.
    QSettings settings(QStringLiteral("Lexordo"), QStringLiteral("Lexordo"));
    settings.setValue(QStringLiteral("window/geometry"), QRect(-400, -300, 3000, 2000));
    settings.sync();
    delete m_window;
    m_window = new MainWindow;
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    QVERIFY(room.contains(m_window->frameGeometry()));

    // A place chosen is there again at the next start.
    const QRect chosen(room.left() + 20, room.top() + 40, room.width() / 2, room.height() / 2);
    m_window->setGeometry(chosen);
    QVERIFY(m_window->close());
    m_window = new MainWindow;
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    QCOMPARE(m_window->geometry(), chosen);
}

void TestMainWindow::screensRememberTheirPlace()
{
    trigger("mnuCEntry");
    QMdiSubWindow *frame = m_window->mdiArea()->activeSubWindow();
    QVERIFY(frame);
    const QRect place(15, 25, 420, 330);
    frame->setGeometry(place);
    frame->close();
    QTRY_VERIFY(openScreens().isEmpty());
    trigger("mnuCEntry");
    frame = m_window->mdiArea()->activeSubWindow();
    QCOMPARE(frame->geometry(), place);

    frame->showMaximized();
    frame->close();
    QTRY_VERIFY(openScreens().isEmpty());
    trigger("mnuCEntry");
    QVERIFY(m_window->mdiArea()->activeSubWindow()->isMaximized());
}

void TestMainWindow::smallDialogsAreNeverMaximised()
{
    trigger("mnuCEntry");
    m_window->mdiArea()->activeSubWindow()->showMaximized();
    QWidget *search = m_window->openScreen(QStringLiteral("frmSearchcase"));
    QVERIFY(search);
    auto *frame = qobject_cast<QMdiSubWindow *>(search->parentWidget());
    QCOMPARE(m_window->mdiArea()->activeSubWindow(), frame);
    QVERIFY(!frame->isMaximized());
    QVERIFY(!frame->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(m_window->mdiArea()->viewport()->rect().contains(frame->geometry()));
    // Going back to the register and then to the search keeps it small.
    m_window->openScreen(QStringLiteral("frmCourts"));
    m_window->openScreen(QStringLiteral("frmSearchcase"));
    QVERIFY(!frame->isMaximized());
}

void TestMainWindow::maximisedScreenDoesNotMaximiseTheNext()
{
    trigger("mnuCEntry");
    QMdiSubWindow *courts = m_window->mdiArea()->activeSubWindow();
    courts->showMaximized();

    // The next screen opens at its own size, framed, over the maximised one.
    trigger("mnuHoli");
    QMdiSubWindow *holidays = m_window->mdiArea()->activeSubWindow();
    QCOMPARE(holidays->widget()->objectName(), QStringLiteral("frmHdays"));
    QVERIFY(!holidays->isMaximized());
    QVERIFY(m_window->mdiArea()->viewport()->rect().contains(holidays->geometry()));

    // The small screen of the cause list by next date keeps its natural size.
    trigger("mnuPostDated");
    QMdiSubWindow *nextDate = m_window->mdiArea()->activeSubWindow();
    QCOMPARE(nextDate->widget()->objectName(), QStringLiteral("frmReportsDate"));
    QVERIFY(!nextDate->isMaximized());
    QCOMPARE(nextDate->size(), nextDate->sizeHint());

    // Going back and forth keeps each as it was.
    m_window->mdiArea()->setActiveSubWindow(courts);
    m_window->mdiArea()->setActiveSubWindow(holidays);
    QVERIFY(!holidays->isMaximized());
    QVERIFY(courts->isMaximized());
}

void TestMainWindow::advocatesNameIsAskedAndKept()
{
    office::setAdvocateName(QString());
    m_messages->answerInput(QStringLiteral("  Adv. Meera Deshpande "));
    trigger("mnuAdvocateName");
    QCOMPARE(office::advocateName(), QStringLiteral("Adv. Meera Deshpande"));
    m_messages->cancelInput();
    trigger("mnuAdvocateName");
    QCOMPARE(office::advocateName(), QStringLiteral("Adv. Meera Deshpande"));
    QCOMPARE(m_messages->shown().size(), 2);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
