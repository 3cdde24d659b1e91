#include "support/testdatabase.h"

#include <data/clock.h>
#include <data/dataerror.h>
#include <data/hearingcalendar.h>
#include <data/sqlquery.h>
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
    void manyHearingsGiveTheEventsOfTheRule();

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

// Cases heard every third day, each hearing's next date the following row,
// the last one not carried forward yet; some cases twice on the same day,
// and case numbers left empty in one row and missing in the next.
void TestHearingCalendar::manyHearingsGiveTheEventsOfTheRule()
{
    struct Row
    {
        QDate day;
        QString caseNo, party1, party2, court, fixedFor, remarks;
        QDate next;
        QString fixedForNext;
    };
    QList<Row> rows;
    const QDate first(2027, 3, 1);
    for (int k = 0; k < 90; ++k) {
        const int c = k % 60; // cases 60 to 89 repeat cases 0 to 29
        for (int j = 0; j < 5; ++j) {
            Row row;
            row.day = first.addDays(c % 10 + 3 * j);
            row.caseNo = c % 7 == 0 ? (j % 2 ? QString() : QStringLiteral(""))
                                    : QStringLiteral("C.S. %1/2026").arg(c);
            row.party1 = QStringLiteral("Party %1").arg(c);
            row.party2 = c % 4 == 0 ? QString() : QStringLiteral("Other %1").arg(c % 9);
            row.court = QStringLiteral("Court %1").arg(c % 3);
            row.fixedFor = QStringLiteral("stage %1").arg(j);
            row.remarks = j % 2 ? QStringLiteral("remark %1.%2").arg(k).arg(j) : QString();
            if (j < 4 || c % 2 == 0)
                row.next = row.day.addDays(3);
            row.fixedForNext = QStringLiteral("stage %1").arg(j + 1);
            rows.append(row);
        }
    }
    SqlQuery insert(QStringLiteral(
        "INSERT INTO advocate (cdate, caseno, Party1, Party2, courtname, CourtIndex, fixedfor, "
        "remarks, ndate, fixedforN) VALUES (?, ?, ?, ?, ?, 1, ?, ?, ?, ?)"));
    const auto iso = [](const QDate &date) {
        return date.isValid() ? QVariant(date.toString(Qt::ISODate)) : QVariant();
    };
    for (const Row &row : std::as_const(rows)) {
        insert.bindAll({iso(row.day), row.caseNo.isNull() ? QVariant() : QVariant(row.caseNo),
                        QVariant(row.party1),
                        row.party2.isNull() ? QVariant() : QVariant(row.party2),
                        QVariant(row.court), QVariant(row.fixedFor),
                        row.remarks.isNull() ? QVariant() : QVariant(row.remarks), iso(row.next),
                        QVariant(row.fixedForNext)});
        insert.exec();
        insert.reset();
    }

    // The rule: every row of a day of the period, and every next date in the
    // period that no row of that day lists for the same case and parties.
    const QDate from = first.addDays(4);
    const QDate to = first.addDays(15);
    // (A missing case number is the same as an empty one.)
    const auto sameHearing = [](const Row &a, const Row &b) {
        return a.caseNo == b.caseNo && a.party1 == b.party1 && a.party2 == b.party2;
    };
    QStringList expected;
    for (const Row &row : std::as_const(rows)) {
        const QString title = row.party2.isEmpty()
                                  ? row.party1
                                  : QStringLiteral("%1 vs. %2").arg(row.party1, row.party2);
        const QString summary =
            row.caseNo.isEmpty() ? title : QStringLiteral("%1 (%2)").arg(title, row.caseNo);
        if (row.day >= from && row.day <= to)
            expected << row.day.toString(Qt::ISODate) + u' ' + summary + u' ' + row.fixedFor;
        if (!row.next.isValid() || row.next < from || row.next > to)
            continue;
        const bool listed = std::any_of(rows.begin(), rows.end(), [&](const Row &other) {
            return other.day == row.next && sameHearing(other, row);
        });
        if (!listed)
            expected << row.next.toString(Qt::ISODate) + u' ' + summary + u' ' + row.fixedForNext;
    }
    expected.sort();

    int count = 0;
    const QByteArray text = HearingCalendar::calendarText(from, to, &count);
    const QList<Event> events = readEvents(text);
    QStringList actual;
    for (const Event &event : events) {
        const QString fixedFor = event.description.section(u'\n', 2, 2).mid(11);
        actual << event.start.toString(Qt::ISODate) + u' ' + event.summary + u' ' + fixedFor;
    }
    actual.sort();
    QCOMPARE(count, events.size());
    QCOMPARE(actual, expected);

    // A case twice on a day: two events, the second UID numbered.
    const QStringList uids = uidsOf(events);
    QCOMPARE(QSet<QString>(uids.begin(), uids.end()).size(), uids.size());
    QVERIFY(uids.filter(QStringLiteral("-2@lexordo")).size() > 0);

    // The file holds the same calendar, written in pieces; only the moment
    // of writing (DTSTAMP) may differ.
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("hearings.ics"));
    QCOMPARE(HearingCalendar::exportIcs(from, to, file), count);
    QFile written(file);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QByteArray fromFile = written.readAll();
    QVERIFY(fromFile.size() > 64 * 1024);
    const auto withoutStamps = [](const QByteArray &calendar) {
        QList<QByteArray> lines = calendar.split('\n');
        lines.removeIf([](const QByteArray &line) { return line.startsWith("DTSTAMP:"); });
        return lines;
    };
    QCOMPARE(withoutStamps(fromFile), withoutStamps(text));
}

QTEST_GUILESS_MAIN(TestHearingCalendar)
#include "tst_hearingcalendar.moc"
