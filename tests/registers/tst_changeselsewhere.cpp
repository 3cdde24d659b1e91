#include "support/anotherdesk.h"
#include "support/scriptedmessenger.h"
#include "support/showscreen.h"
#include "support/testdatabase.h"

#include <accounts/accountledger.h>
#include <accounts/billscreen.h>
#include <accounts/receiptscreen.h>
#include <data/clock.h>
#include <QTest>
#include <registers/clientsregister.h>
#include <registers/courtsregister.h>
#include <registers/directoryregister.h>
#include <registers/holidaysregister.h>
#include <registers/rulingslibrary.h>
#include <reminders/reminderentry.h>

using namespace lexordo;

using MakeScreen = RecordScreen *(*)();
Q_DECLARE_METATYPE(MakeScreen)

// Every register follows what other desks write, whatever its own steps.
class TestChangesElsewhere : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void rowsWrittenElsewhereShowWhileBrowsing_data();
    void rowsWrittenElsewhereShowWhileBrowsing();
    void rowsWrittenElsewhereWaitForSave_data();
    void rowsWrittenElsewhereWaitForSave();

private:
    RecordScreen &open();

    std::unique_ptr<test::TestDatabase> m_db;
    std::unique_ptr<ScriptedMessenger> m_messages;
    std::unique_ptr<RecordScreen> m_screen;
};

template <typename Screen> static RecordScreen *make()
{
    return new Screen;
}

void TestChangesElsewhere::init()
{
    m_db = std::make_unique<test::TestDatabase>();
    m_messages = std::make_unique<ScriptedMessenger>();
    Clock::setToday(QDate(2026, 12, 7));
}

void TestChangesElsewhere::cleanup()
{
    m_screen.reset();
    QCOMPARE(m_messages->unansweredCount(), 0);
    m_messages.reset();
    m_db.reset();
}

// Each row: the register, its rows before, another desk's row, and a box to type in.
static void registers()
{
    QTest::addColumn<MakeScreen>("make");
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QString>("insert");
    QTest::addColumn<QString>("box");
    QTest::newRow("courts")
        << &make<CourtsRegister> << "INSERT INTO courts VALUES ('Munsiff', 2), ('Sessions', 3)"
        << "INSERT INTO courts VALUES ('District Judge', 1)"
        << "txtHdays";
    QTest::newRow("holidays")
        << &make<HolidaysRegister> << "INSERT INTO Holidays VALUES ('2026-01-26', 'Republic Day')"
        << "INSERT INTO Holidays VALUES ('2026-08-15', 'Independence Day')"
        << "txtHdays";
    QTest::newRow("clients")
        << &make<
               ClientsRegister> << "INSERT INTO Clients (ACname, Adresss) VALUES ('Anand', 'Pune')"
        << "INSERT INTO Clients (ACname) VALUES ('Rajesh')"
        << "txtAdd";
    QTest::newRow("directory")
        << &make<
               DirectoryRegister> << "INSERT INTO directory (Name, Address) VALUES ('Verma', 'Agra')"
        << "INSERT INTO directory (Name) VALUES ('Bose')"
        << "Text1";
    QTest::newRow("rulings")
        << &make<
               RulingsLibrary> << "INSERT INTO CourtOrders (Section, Citation) VALUES ('302', 'AIR')"
        << "INSERT INTO CourtOrders (Section) VALUES ('420')"
        << "txtCitation";
    QTest::newRow("reminders")
        << &make<ReminderEntry> << "INSERT INTO reminder VALUES ('2026-12-08', '10:30:00', 'Call')"
        << "INSERT INTO reminder VALUES ('2026-12-09', '11:00:00', 'File')"
        << "txtReminder";
    QTest::newRow("bills")
        << &make<BillScreen> << "INSERT INTO bill (BillNo, \"To\", Ref) VALUES (1, 'Anand', 'Suit')"
        << "INSERT INTO bill (BillNo, \"To\") VALUES (2, 'Rajesh')"
        << "txtRef";
    QTest::newRow("fee account")
        << &make<AccountLedger>
        << "INSERT INTO Clients (ACname) VALUES ('Anand');"
           "INSERT INTO AC_INFO (Name, Part, \"Legal Fees\") VALUES ('Anand', 'Suit', 500)"
        << "INSERT INTO AC_INFO (Name, \"Legal Fees\") VALUES ('Anand', 300)" << "txtPart";
    QTest::newRow("receipts")
        << &make<
               ReceiptScreen> << "INSERT INTO Receipt (ReceiptNo, Name, \"Drawn On\") VALUES (1, 'Anand', 'SBI')"
        << "INSERT INTO Receipt (ReceiptNo, Name) VALUES (2, 'Rajesh')"
        << "txtDrawnOn";
}

RecordScreen &TestChangesElsewhere::open()
{
    QFETCH(MakeScreen, make);
    QFETCH(QString, rows);
    for (const QString &statement : rows.split(u';'))
        m_db->exec(statement);
    m_screen.reset(make());
    test::showScreen(m_screen.get());
    return *m_screen;
}

void TestChangesElsewhere::rowsWrittenElsewhereShowWhileBrowsing_data()
{
    registers();
}

void TestChangesElsewhere::rowsWrittenElsewhereShowWhileBrowsing()
{
    QFETCH(QString, insert);
    test::anotherdesk::showsWhileBrowsing(open(), *m_db, insert);
}

void TestChangesElsewhere::rowsWrittenElsewhereWaitForSave_data()
{
    registers();
}

void TestChangesElsewhere::rowsWrittenElsewhereWaitForSave()
{
    QFETCH(QString, insert);
    QFETCH(QString, box);
    RecordScreen &screen = open();
    test::anotherdesk::waitsForSave(screen, screen.findChild<QWidget *>(box), *m_db, insert);
}

QTEST_MAIN(TestChangesElsewhere)
#include "tst_changeselsewhere.moc"
