#include "support/scriptedmessenger.h"
#include "support/testdatabase.h"

#include <app/mainwindow.h>
#include <app/transferactions.h>
#include <data/clock.h>
#include <data/dates.h>
#include <data/recordset.h>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <widgets/recordscreen.h>

using namespace lexordo;
using Answer = Messenger::Answer;

// File -> Export CSV... and Import CSV... on the screen in front, and
// Print -> Hearings to Calendar..., with the file chosen by the test.
class TestTransferActions : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void exportWritesTheTableOfTheScreenInFront();
    void importAddsRowsAndShowsThem();
    void importWithABadRowStoresNothing();
    void withoutARegisterInFrontNothingIsAsked();
    void typingNotSavedIsNotImportedOver();
    void hearingsGoToACalendarFile();
    void theDiaryExportsFromCasesEntry();
    void theDiaryIsRefusedBeforeReplaceIsAsked();

private:
    void trigger(const char *entry) { m_window->menuEntry(QLatin1String(entry))->trigger(); }
    QString path(const QString &name) const { return m_dir->filePath(name); }
    void chooseFile(const QString &name);
    QByteArray read(const QString &name) const;

    std::unique_ptr<test::TestDatabase> m_db;
    std::unique_ptr<ScriptedMessenger> m_messages;
    std::unique_ptr<QTemporaryDir> m_dir;
    QPointer<MainWindow> m_window;
    QStringList m_captions;
};

void TestTransferActions::init()
{
    m_db = std::make_unique<test::TestDatabase>();
    m_dir = std::make_unique<QTemporaryDir>();
    m_db->exec(QStringLiteral("INSERT INTO courts VALUES ('High Court', 1), ('ज़िला न्यायालय', 2)"));
    m_messages = std::make_unique<ScriptedMessenger>();
    m_window = new MainWindow;
    m_window->setAttribute(Qt::WA_DeleteOnClose);
    m_window->show();
    QApplication::setActiveWindow(m_window);
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    m_captions.clear();
}

void TestTransferActions::cleanup()
{
    delete m_window;
    transfer::setFileChooser(nullptr);
    QCOMPARE(m_messages->unansweredCount(), 0);
    QCOMPARE(m_messages->pendingAnswers(), 0);
    m_messages.reset();
    m_db.reset();
    m_dir.reset();
    Clock::reset();
}

void TestTransferActions::chooseFile(const QString &name)
{
    const QString chosen = name.isEmpty() ? QString() : path(name);
    transfer::setFileChooser(
        [this, chosen](QWidget *, transfer::FileMode, const QString &caption, const QString &) {
            m_captions << caption;
            return chosen;
        });
}

QByteArray TestTransferActions::read(const QString &name) const
{
    QFile file(path(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestTransferActions::exportWritesTheTableOfTheScreenInFront()
{
    trigger("mnuHoli");
    trigger("mnuCEntry");
    chooseFile(QStringLiteral("courts.csv"));
    trigger("mnuExportCsv");
    QCOMPARE(m_captions, QStringList{QStringLiteral("Export courts to CSV")});
    QCOMPARE(m_messages->texts(), QStringList{QStringLiteral("2 rows of courts were written to %1.")
                                                  .arg(path(QStringLiteral("courts.csv")))});
    QCOMPARE(QString::fromUtf8(read(QStringLiteral("courts.csv"))),
             QStringLiteral("court,indexx\r\nHigh Court,1\r\nज़िला न्यायालय,2\r\n"));

    // The holidays register brought to the front exports its own table.
    m_messages->clear();
    m_db->exec(QStringLiteral("INSERT INTO Holidays VALUES ('2027-01-26', 'Republic Day')"));
    trigger("mnuHoli");
    chooseFile(QStringLiteral("holidays.csv"));
    trigger("mnuExportCsv");
    QCOMPARE(read(QStringLiteral("holidays.csv")),
             QByteArray("Date,Holiday\r\n26/01/2027,Republic Day\r\n"));
    QCOMPARE(m_messages->texts(), QStringList{QStringLiteral("1 row of Holidays was written to %1.")
                                                  .arg(path(QStringLiteral("holidays.csv")))});

    // A cancelled file dialog writes nothing and says nothing.
    m_messages->clear();
    chooseFile(QString());
    trigger("mnuExportCsv");
    QVERIFY(m_messages->shown().isEmpty());
}

void TestTransferActions::importAddsRowsAndShowsThem()
{
    trigger("mnuCEntry");
    auto *courts = qobject_cast<RecordScreen *>(m_window->findScreen(QStringLiteral("frmCourts")));
    QVERIFY(courts);
    QCOMPARE(transfer::tableOf(courts), QStringLiteral("courts"));
    QFile file(path(QStringLiteral("more.csv")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("court,indexx\n\"Sessions, Bhopal\",3\nकुटुंब न्यायालय,4\n").toUtf8());
    file.close();

    chooseFile(QStringLiteral("more.csv"));
    m_messages->answer(Answer::Yes);
    trigger("mnuImportCsv");
    QCOMPARE(
        m_messages->texts(),
        (QStringList{
            QStringLiteral("Add the rows of %1 to courts?").arg(path(QStringLiteral("more.csv"))),
            QStringLiteral("2 rows were imported into courts.")}));
    QCOMPARE(m_db->count(QStringLiteral("courts")), 4);
    // The register shows the new rows at once and stands on the last.
    QCOMPARE(courts->recordSet()->rowCount(), 4);
    QCOMPARE(courts->recordSet()->position(), 3);
    QCOMPARE(courts->recordSet()->text(QStringLiteral("court")), QStringLiteral("कुटुंब न्यायालय"));

    // No answers the question: nothing is stored.
    m_messages->clear();
    m_messages->answer(Answer::No);
    trigger("mnuImportCsv");
    QCOMPARE(m_db->count(QStringLiteral("courts")), 4);
    QCOMPARE(m_messages->shown().size(), 1);
}

void TestTransferActions::importWithABadRowStoresNothing()
{
    trigger("mnuHoli");
    QFile file(path(QStringLiteral("holidays.csv")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("Date,Holiday\n26/01/2027,Republic Day\n15/13/2027,Bad month\n");
    file.close();
    chooseFile(QStringLiteral("holidays.csv"));
    m_messages->answer(Answer::Yes);
    trigger("mnuImportCsv");
    QCOMPARE(m_messages->lastText(),
             QStringLiteral("Nothing was imported into Holidays: 1 row is wrong.\n"
                            "Line 3: \"15/13/2027\" is not a valid date for Dated (Date)."));
    QCOMPARE(m_messages->shown().last().icon, Messenger::Icon::Critical);
    QCOMPARE(m_db->count(QStringLiteral("Holidays")), 0);
}

void TestTransferActions::withoutARegisterInFrontNothingIsAsked()
{
    chooseFile(QStringLiteral("never.csv"));
    trigger("mnuExportCsv");
    trigger("mnuImportCsv");
    QCOMPARE(m_messages->shown().size(), 2);
    QVERIFY(
        m_messages->texts().first().startsWith(QStringLiteral("Bring the register or the diary")));
    QVERIFY(m_captions.isEmpty());
    QVERIFY(!QFile::exists(path(QStringLiteral("never.csv"))));

    // A report screen edits no table either.
    trigger("mnuDDates");
    trigger("mnuExportCsv");
    QCOMPARE(m_messages->shown().size(), 3);
    QVERIFY(m_captions.isEmpty());
}

void TestTransferActions::typingNotSavedIsNotImportedOver()
{
    trigger("mnuCEntry");
    auto *courts = m_window->findScreen(QStringLiteral("frmCourts"));
    m_messages->answer(Answer::Yes);
    courts->findChild<QPushButton *>(QStringLiteral("cmdAdd"))->click();
    auto *name = courts->findChild<QLineEdit *>(QStringLiteral("txtHdays")); // the court name
    QVERIFY(name);
    QTest::keyClicks(name, QStringLiteral("Family Court"));
    chooseFile(QStringLiteral("x.csv"));
    trigger("mnuImportCsv");
    trigger("mnuExportCsv");
    QCOMPARE(
        m_messages->texts().mid(1),
        (QStringList{QStringLiteral("Save what you typed on this screen first, then import."),
                     QStringLiteral("Save what you typed on this screen first, then export.")}));
    QVERIFY(m_captions.isEmpty());
    QCOMPARE(name->text(), QStringLiteral("Family Court"));
}

void TestTransferActions::hearingsGoToACalendarFile()
{
    Clock::setToday(QDate(2027, 1, 4));
    m_db->exec(QStringLiteral(
        "INSERT INTO advocate VALUES ('2027-01-04', NULL, NULL, 'State', 'रामलाल', 'Cr. 1/2027', "
        "'High Court', 1, 'hearing', '2027-01-18', 'evidence')"));
    chooseFile(QStringLiteral("hearings.ics"));
    m_messages->answerInput(QStringLiteral("01/01/2027"));
    m_messages->answerInput(QStringLiteral("31/01/2027"));
    trigger("mnuCalendar");
    QCOMPARE(m_messages->shown().size(), 3);
    QCOMPARE(m_messages->shown()[0].text, QStringLiteral("Hearings from (DD/MM/YYYY)"));
    QCOMPARE(m_messages->shown()[1].text, QStringLiteral("Hearings up to (DD/MM/YYYY)"));
    QCOMPARE(
        m_messages->lastText(),
        QStringLiteral("2 hearings were written to %1.").arg(path(QStringLiteral("hearings.ics"))));
    QCOMPARE(read(QStringLiteral("hearings.ics")).count("BEGIN:VEVENT"), 2);

    // A date that is not a date is answered as everywhere else, and nothing is written.
    m_messages->clear();
    chooseFile(QStringLiteral("other.ics"));
    m_messages->answerInput(QStringLiteral("31/02/2027"));
    trigger("mnuCalendar");
    QCOMPARE(m_messages->lastText(), dates::enterDateMessage);
    QVERIFY(!QFile::exists(path(QStringLiteral("other.ics"))));
}

void TestTransferActions::theDiaryExportsFromCasesEntry()
{
    Clock::setToday(QDate(2027, 1, 4));
    m_db->exec(QStringLiteral("INSERT INTO advocate VALUES ('2027-01-04', 'line one\nline two', "
                              "NULL, 'D''Souza', 'State', "
                              "'Cr. 1/2027', 'High Court', 1, 'hearing', NULL, NULL)"));
    trigger("mnucentery");
    QCOMPARE(transfer::tableOf(m_window->findScreen(QStringLiteral("frmCases"))),
             QStringLiteral("advocate"));
    chooseFile(QStringLiteral("diary.csv"));
    trigger("mnuExportCsv");
    QCOMPARE(m_captions, QStringList{QStringLiteral("Export advocate to CSV")});
    QCOMPARE(QString::fromUtf8(read(QStringLiteral("diary.csv"))),
             QStringLiteral(
                 "cdate,remarks,pdate,Party1,Party2,caseno,courtname,CourtIndex,fixedfor,ndate,"
                 "fixedforN\r\n04/01/2027,\"line one\nline two\",,D'Souza,State,Cr. 1/2027,"
                 "High Court,1,hearing,,\r\n"));
    QCOMPARE(m_messages->lastText(), QStringLiteral("1 row of advocate was written to %1.")
                                         .arg(path(QStringLiteral("diary.csv"))));
}

void TestTransferActions::theDiaryIsRefusedBeforeReplaceIsAsked()
{
    trigger("mnuCEntry");
    const QString link = path(QStringLiteral("diary-link.csv"));
    QVERIFY(QFile::link(m_db->path(), link));
    for (const QString &target : {m_db->path(), link, m_db->path() + QStringLiteral("-wal")}) {
        m_messages->clear();
        transfer::setFileChooser([target](QWidget *, transfer::FileMode, const QString &,
                                          const QString &) { return target; });
        trigger("mnuExportCsv");
        // One message, at once: no "replace?" before it.
        QCOMPARE(m_messages->texts(),
                 QStringList{QStringLiteral("%1 is the open diary or one of the files kept "
                                            "beside it; nothing was written.")
                                 .arg(target)});
        QCOMPARE(m_messages->shown().first().icon, Messenger::Icon::Critical);
    }
    QCOMPARE(m_db->count(QStringLiteral("courts")), 2);
    QCOMPARE(m_db->scalar(QStringLiteral("PRAGMA integrity_check")).toString(),
             QStringLiteral("ok"));

    // Another file that is there is replaced only after Yes.
    QFile old(path(QStringLiteral("courts.csv")));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("kept");
    old.close();
    chooseFile(QStringLiteral("courts.csv"));
    m_messages->clear();
    m_messages->answer(Answer::No);
    trigger("mnuExportCsv");
    QCOMPARE(m_messages->texts(), QStringList{QStringLiteral("%1 already exists.\nDo you want to "
                                                             "replace it?")
                                                  .arg(path(QStringLiteral("courts.csv")))});
    QCOMPARE(read(QStringLiteral("courts.csv")), QByteArray("kept"));
    m_messages->answer(Answer::Yes);
    trigger("mnuExportCsv");
    QVERIFY(read(QStringLiteral("courts.csv")).startsWith("court,indexx"));
}

QTEST_MAIN(TestTransferActions)
#include "tst_transferactions.moc"
