#include "support/testdatabase.h"

#include <data/database.h>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <reminders/remindersstore.h>

using namespace lexordo;

class TestRemindersStore : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void formatsTimesOnTheTwelveHourClock_data();
    void formatsTimesOnTheTwelveHourClock();
    void listsOneDayInTableOrderAndCountsTheRest();
    void readsOddTimesAndEmptyValues();
    void aQuoteInTheWorkIsKeptAsTyped();

private:
    void addReminder(const QVariant &date, const QVariant &time, const QVariant &work);

    std::unique_ptr<test::TestDatabase> m_db;
};

void TestRemindersStore::init()
{
    m_db = std::make_unique<test::TestDatabase>();
}

void TestRemindersStore::cleanup()
{
    m_db.reset();
}

void TestRemindersStore::addReminder(const QVariant &date, const QVariant &time,
                                     const QVariant &work)
{
    QSqlQuery query(QSqlDatabase::database(QStringLiteral("advocate")));
    QVERIFY(query.prepare(
        QStringLiteral("INSERT INTO reminder (\"REMDate\", \"Time\", \"Work\") VALUES (?, ?, ?)")));
    query.addBindValue(date);
    query.addBindValue(time);
    query.addBindValue(work);
    QVERIFY(query.exec());
}

void TestRemindersStore::formatsTimesOnTheTwelveHourClock_data()
{
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("shown");
    QTest::newRow("afternoon") << QTime(16, 0) << "4:00 PM";
    QTest::newRow("morning") << QTime(9, 30) << "9:30 AM";
    QTest::newRow("late morning") << QTime(11, 0) << "11:00 AM";
    QTest::newRow("noon") << QTime(12, 5) << "12:05 PM";
    QTest::newRow("midnight") << QTime(0, 5) << "12:05 AM";
    QTest::newRow("seconds dropped") << QTime(23, 59, 59) << "11:59 PM";
}

void TestRemindersStore::formatsTimesOnTheTwelveHourClock()
{
    QFETCH(QTime, time);
    QFETCH(QString, shown);
    QCOMPARE(RemindersStore::formatTime(time), shown);
}

void TestRemindersStore::listsOneDayInTableOrderAndCountsTheRest()
{
    const QDate today(2026, 12, 7);
    addReminder(QStringLiteral("2026-12-06"), QStringLiteral("10:00:00"),
                QStringLiteral("yesterday"));
    for (int n = 1; n <= 10; ++n) {
        // Stored in a mixed order of times: the list keeps the table's order.
        addReminder(QStringLiteral("2026-12-07"), QStringLiteral("%1:15:00").arg(20 - n),
                    QStringLiteral("work %1").arg(n));
        if (n == 5)
            addReminder(QStringLiteral("2026-12-08"), QStringLiteral("08:00:00"),
                        QStringLiteral("tomorrow"));
    }

    const DayReminders day = RemindersStore::remindersOn(today, 9);
    QCOMPARE(day.total, 10);
    QCOMPARE(day.first.size(), 9);
    QCOMPARE(day.notShown(), 1);
    for (int n = 1; n <= 9; ++n) {
        QCOMPARE(day.first.at(n - 1).work, QStringLiteral("work %1").arg(n));
        QCOMPARE(day.first.at(n - 1).time, QTime(20 - n, 15));
    }

    const DayReminders tomorrow = RemindersStore::remindersOn(today.addDays(1), 9);
    QCOMPARE(tomorrow.total, 1);
    QCOMPARE(tomorrow.first.first().work, QStringLiteral("tomorrow"));
    QCOMPARE(RemindersStore::remindersOn(today.addDays(2), 9).total, 0);
    QVERIFY(RemindersStore::remindersOn(today.addDays(2), 9).first.isEmpty());
}

void TestRemindersStore::readsOddTimesAndEmptyValues()
{
    const QDate today(2026, 12, 7);
    addReminder(QStringLiteral("2026-12-07"), QVariant(), QStringLiteral("no time"));
    addReminder(QStringLiteral("2026-12-07"), QStringLiteral("16:00:00"), QVariant());
    addReminder(QStringLiteral("2026-12-07"), QStringLiteral("after lunch"),
                QStringLiteral("not a time"));
    // A date kept with a time after it, and a time kept with a day before it.
    addReminder(QStringLiteral("2026-12-07 00:00:00"), QStringLiteral("1899-12-30 14:45:00"),
                QStringLiteral("older file"));

    const DayReminders day = RemindersStore::remindersOn(today, 9);
    QCOMPARE(day.total, 4);
    QStringList shown;
    for (const Reminder &r : day.first)
        shown << RemindersStore::timeShown(r) + u'|' + r.work;
    QCOMPARE(shown, (QStringList{QStringLiteral("|no time"), QStringLiteral("4:00 PM|"),
                                 QStringLiteral("after lunch|not a time"),
                                 QStringLiteral("2:45 PM|older file")}));
}

void TestRemindersStore::aQuoteInTheWorkIsKeptAsTyped()
{
    addReminder(QStringLiteral("2026-12-07"), QStringLiteral("09:00:00"),
                QStringLiteral("Call D'Souza; बैठक 'क्लाइंट'"));
    const DayReminders day = RemindersStore::remindersOn(QDate(2026, 12, 7), 9);
    QCOMPARE(day.first.size(), 1);
    QCOMPARE(day.first.first().work, QStringLiteral("Call D'Souza; बैठक 'क्लाइंट'"));
}

QTEST_GUILESS_MAIN(TestRemindersStore)
#include "tst_remindersstore.moc"
