#include "support/testdatabase.h"

#include <data/clock.h>
#include <data/dataerror.h>
#include <data/hearingcalendar.h>
#include <libical/ical.h>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace lexordo;

namespace {

struct Event
{
    QString uid;
    QDate start;
    QDate end;
    QString summary;
    QString location;
    QString description;
};

QDate dateOf(icaltimetype time)
{
    return time.is_date ? QDate(time.year, time.month, time.day) : QDate();
}

// The events of a calendar file, read with libical's own parser.
QList<Event> readEvents(const QByteArray &text)
{
    QList<Event> events;
    icalcomponent *calendar = icalparser_parse_string(text.constData());
    if (!calendar || icalcomponent_isa(calendar) != ICAL_VCALENDAR_COMPONENT) {
        if (calendar)
            icalcomponent_free(calendar);
        return events;
    }
    for (icalcomponent *e = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT); e;
         e = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT)) {
        events.append({QString::fromUtf8(icalcomponent_get_uid(e)),
                       dateOf(icalcomponent_get_dtstart(e)), dateOf(icalcomponent_get_dtend(e)),
                       QString::fromUtf8(icalcomponent_get_summary(e)),
                       QString::fromUtf8(icalcomponent_get_location(e)),
                       QString::fromUtf8(icalcomponent_get_description(e))});
    }
    icalcomponent_free(calendar);
    return events;
}

QStringList uidsOf(const QList<Event> &events)
{
    QStringList uids;
    for (const Event &event : events)
        uids << event.uid;
    return uids;
}

} // namespace

class TestHearingCalendar : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void oneAllDayEventForEachHearingOfThePeriod();
    void theSameHearingKeepsItsUid();
    void aDayWithoutHearingsGivesAnEmptyCalendar();
    void aCalendarClientImportsTheFile();

private:
    std::unique_ptr<test::TestDatabase> m_db;
};

void TestHearingCalendar::init()
{
    Clock::setToday(QDate(2027, 1, 4));
    m_db = std::make_unique<test::TestDatabase>();
    // Today's two hearings; one was fixed for 08/02/2027, which is not carried forward yet.
    m_db->exec(QStringLiteral(
        "INSERT INTO advocate VALUES ('2027-01-04', 'adjourned', '2026-12-01', 'State of M.P.', "
        "'रामलाल', 'Cr. 12/2026', 'District Court', 2, 'hearing', '2027-02-08', 'evidence')"));
    m_db->exec(QStringLiteral(
        "INSERT INTO advocate VALUES ('2027-01-04', NULL, NULL, 'Mehta, \"Sr\"', 'Shah', "
        "'C.S. 5/2025', 'Civil Judge', 1, 'arguments', NULL, NULL)"));
    // Outside the period.
    m_db->exec(QStringLiteral(
        "INSERT INTO advocate VALUES ('2026-12-01', NULL, NULL, 'State of M.P.', 'रामलाल', "
        "'Cr. 12/2026', 'District Court', 2, 'charge', '2027-01-04', 'hearing')"));
}

void TestHearingCalendar::cleanup()
{
    m_db.reset();
    Clock::reset();
}

void TestHearingCalendar::oneAllDayEventForEachHearingOfThePeriod()
{
    int count = 0;
    const QList<Event> events =
        readEvents(HearingCalendar::calendarText(QDate(2027, 1, 1), QDate(2027, 2, 28), &count));
    QCOMPARE(count, 3);
    QCOMPARE(events.size(), 3);

    // By day, then in the courts' running order.
    QCOMPARE(events[0].start, QDate(2027, 1, 4));
    QCOMPARE(events[0].end, QDate(2027, 1, 5));
    QCOMPARE(events[0].summary, QStringLiteral("Mehta, \"Sr\" vs. Shah (C.S. 5/2025)"));
    QCOMPARE(events[0].location, QStringLiteral("Civil Judge"));
    QCOMPARE(events[0].description,
             QStringLiteral("Case No.: C.S. 5/2025\nCourt: Civil Judge\nFixed for: arguments"));

    QCOMPARE(events[1].start, QDate(2027, 1, 4));
    QCOMPARE(events[1].summary, QStringLiteral("State of M.P. vs. रामलाल (Cr. 12/2026)"));
    QCOMPARE(events[1].description, QStringLiteral("Case No.: Cr. 12/2026\nCourt: District Court\n"
                                                   "Fixed for: hearing\nRemarks: adjourned"));

    // The next date of today's hearing is a hearing of the period too.
    QCOMPARE(events[2].start, QDate(2027, 2, 8));
    QCOMPARE(events[2].end, QDate(2027, 2, 9));
    QCOMPARE(events[2].location, QStringLiteral("District Court"));
    QCOMPARE(events[2].description,
             QStringLiteral("Case No.: Cr. 12/2026\nCourt: District Court\nFixed for: evidence\n"
                            "Next date fixed on: 04/01/2027\nRemarks of 04/01/2027: adjourned"));

    const QStringList uids = uidsOf(events);
    const QSet<QString> distinct(uids.begin(), uids.end());
    QCOMPARE(distinct.size(), 3);
}

void TestHearingCalendar::theSameHearingKeepsItsUid()
{
    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("first.ics"));
    QCOMPARE(HearingCalendar::exportIcs(QDate(2027, 1, 1), QDate(2027, 2, 28), first), 3);
    QFile file(first);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<Event> before = readEvents(file.readAll());
    QCOMPARE(before.size(), 3);

    // A remark recorded and the day carried forward: the hearing of 08/02/2027
    // is now a diary row of its own, and keeps the UID it had as a next date.
    m_db->exec(
        QStringLiteral("UPDATE advocate SET remarks = 'part heard' WHERE caseno = 'C.S. 5/2025'"));
    m_db->exec(QStringLiteral(
        "INSERT INTO advocate VALUES ('2027-02-08', NULL, '2027-01-04', 'State of M.P.', "
        "'रामलाल', 'Cr. 12/2026', 'District Court', 2, 'evidence', NULL, NULL)"));
    const QString second = dir.filePath(QStringLiteral("second.ics"));
    QCOMPARE(HearingCalendar::exportIcs(QDate(2027, 1, 1), QDate(2027, 2, 28), second), 3);
    QFile again(second);
    QVERIFY(again.open(QIODevice::ReadOnly));
    const QList<Event> after = readEvents(again.readAll());
    QCOMPARE(after.size(), 3);
    QCOMPARE(uidsOf(after), uidsOf(before));
    QVERIFY(after[0].description.endsWith(QStringLiteral("Remarks: part heard")));
    QCOMPARE(after[2].description,
             QStringLiteral("Case No.: Cr. 12/2026\nCourt: District Court\nFixed for: evidence"));

    // A shorter period gives a part of the same events with the same UIDs.
    const QList<Event> oneDay =
        readEvents(HearingCalendar::calendarText(QDate(2027, 2, 8), QDate(2027, 2, 8)));
    QCOMPARE(oneDay.size(), 1);
    QCOMPARE(oneDay[0].uid, before[2].uid);
}

void TestHearingCalendar::aDayWithoutHearingsGivesAnEmptyCalendar()
{
    const QByteArray text = HearingCalendar::calendarText(QDate(2027, 3, 1), QDate(2027, 3, 31));
    QVERIFY(text.startsWith("BEGIN:VCALENDAR\r\n"));
    QVERIFY(readEvents(text).isEmpty());
    QVERIFY_THROWS_EXCEPTION(DataError, HearingCalendar::calendarText(QDate(), QDate(2027, 3, 31)));
    QTemporaryDir dir;
    QVERIFY_THROWS_EXCEPTION(
        DataError, HearingCalendar::exportIcs(QDate(2027, 1, 1), QDate(2027, 1, 31),
                                              dir.filePath(QStringLiteral("no/such/folder.ics"))));
}

// calcurse, a calendar of Debian that runs without a display, takes the file.
void TestHearingCalendar::aCalendarClientImportsTheFile()
{
    const QString calcurse = QStandardPaths::findExecutable(QStringLiteral("calcurse"));
    if (calcurse.isEmpty())
        QSKIP("calcurse is not installed");
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("hearings.ics"));
    QCOMPARE(HearingCalendar::exportIcs(QDate(2027, 1, 1), QDate(2027, 2, 28), file), 3);
    const QString data = dir.filePath(QStringLiteral("calendar"));
    QVERIFY(QDir().mkpath(data));
    QProcess process;
    process.start(calcurse,
                  {QStringLiteral("-D"), data, QStringLiteral("-q"), QStringLiteral("-i"), file});
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitCode(), 0);

    QFile appointments(QDir(data).filePath(QStringLiteral("apts")));
    QVERIFY(appointments.open(QIODevice::ReadOnly));
    const QStringList lines =
        QString::fromUtf8(appointments.readAll()).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    // calcurse writes all-day events as "mm/dd/yyyy [1]" and the summary.
    QVERIFY2(lines.filter(QStringLiteral("02/08/2027 [1]")).size() == 1,
             qPrintable(lines.join(u'\n')));
    QCOMPARE(lines.filter(QStringLiteral("01/04/2027 [1]")).size(), 2);
    QCOMPARE(lines.filter(QStringLiteral("State of M.P. vs. रामलाल (Cr. 12/2026)")).size(), 2);
}

QTEST_GUILESS_MAIN(TestHearingCalendar)
#include "tst_hearingcalendar.moc"
