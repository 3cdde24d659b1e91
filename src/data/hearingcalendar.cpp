#include "hearingcalendar.h"

#include "clock.h"
#include "database.h"
#include "dataerror.h"
#include "dates.h"
#include "safewrite.h"
#include "sqlquery.h"

#include <functional>
#include <libical/ical.h>
#include <memory>
#include <QCryptographicHash>
#include <QHash>

namespace lexordo {

namespace {

struct ComponentDeleter
{
    void operator()(icalcomponent *component) const { icalcomponent_free(component); }
};
using Component = std::unique_ptr<icalcomponent, ComponentDeleter>;

// The hearings of the period: the diary's rows of those days, and the next
// dates in the period that no row of that day carries yet. The rows of the
// period are listed once and indexed (SQLite's automatic index), so that each
// next date is looked up there instead of reading every row of its day.
const char *const hearingsSql =
    "WITH listed (day, caseno, party1, party2) AS MATERIALIZED ("
    "  SELECT cdate, coalesce(caseno, ''), coalesce(Party1, ''), coalesce(Party2, '') "
    "    FROM advocate WHERE cdate >= ? AND cdate <= ?) "
    "SELECT cdate AS day, courtname, CourtIndex, caseno, Party1, Party2, fixedfor, remarks, "
    "       NULL AS fixedon "
    "  FROM advocate WHERE cdate >= ? AND cdate <= ? "
    "UNION ALL "
    "SELECT a.ndate, a.courtname, a.CourtIndex, a.caseno, a.Party1, a.Party2, a.fixedforN, "
    "       a.remarks, a.cdate "
    "  FROM advocate a WHERE a.ndate >= ? AND a.ndate <= ? "
    "   AND NOT EXISTS (SELECT 1 FROM listed l WHERE l.day = a.ndate "
    "                   AND l.caseno = coalesce(a.caseno, '') "
    "                   AND l.party1 = coalesce(a.Party1, '') "
    "                   AND l.party2 = coalesce(a.Party2, '')) "
    "ORDER BY day, CourtIndex, courtname, Party1, caseno";

icaltimetype dateValue(const QDate &date)
{
    icaltimetype value = icaltime_null_date();
    value.year = date.year();
    value.month = date.month();
    value.day = date.day();
    value.is_date = 1;
    return value;
}

QString key(const QString &text)
{
    return text.simplified().toCaseFolded();
}

// The same hearing gets the same UID in every export.
QString uidFor(const QDate &day, const QString &caseNo, const QString &party1,
               const QString &party2)
{
    const QString identity =
        dates::toIso(day) + u'\x1f' + key(caseNo) + u'\x1f' + key(party1) + u'\x1f' + key(party2);
    const QByteArray hash =
        QCryptographicHash::hash(identity.toUtf8(), QCryptographicHash::Sha1).toHex().left(24);
    return QStringLiteral("hearing-%1@lexordo").arg(QString::fromLatin1(hash));
}

void add(icalcomponent *component, icalproperty *property)
{
    if (!property)
        throw DataError(QStringLiteral("The calendar could not be made: %1")
                            .arg(QString::fromUtf8(icalerror_strerror(icalerrno))));
    icalcomponent_add_property(component, property);
}

QByteArray text(icalcomponent *component)
{
    char *text = icalcomponent_as_ical_string_r(component);
    if (!text)
        throw DataError(QStringLiteral("The calendar could not be made: %1")
                            .arg(QString::fromUtf8(icalerror_strerror(icalerrno))));
    QByteArray result(text);
    icalmemory_free_buffer(text);
    return result;
}

// Writes the calendar to `sink` event by event, so that memory does not grow
// with the period: only the UIDs of the day in hand are kept.
int writeCalendar(const QDate &from, const QDate &to,
                  const std::function<void(const QByteArray &)> &sink)
{
    if (!from.isValid() || !to.isValid())
        throw DataError(dates::enterDateMessage);
    if (!Database::isOpen())
        throw DataError(QStringLiteral("The database is not open."));

    const auto readFault = [](const DataError &e) {
        return DataError(QStringLiteral("The hearings could not be read: %1").arg(e.description()));
    };
    std::optional<SqlQuery> query;
    try {
        query.emplace(QString::fromLatin1(hearingsSql));
        const QByteArray first = dates::toIso(from).toLatin1();
        const QByteArray last = dates::toIso(to).toLatin1();
        for (int i = 1; i <= 6; i += 2) {
            query->bindUtf8(i, first);
            query->bindUtf8(i + 1, last);
        }
    } catch (const DataError &e) {
        throw readFault(e);
    }
    // Steps through the rows; a failure on the way is told as a failed read.
    const auto nextRow = [&] {
        try {
            return query->next();
        } catch (const DataError &e) {
            throw readFault(e);
        }
    };

    // The calendar's own lines as libical writes them, its events between
    // its properties and its closing line.
    const QByteArray head = [] {
        Component calendar(icalcomponent_new(ICAL_VCALENDAR_COMPONENT));
        add(calendar.get(), icalproperty_new_version("2.0"));
        add(calendar.get(), icalproperty_new_prodid("-//Lexordo//Case Diary 2.0//EN"));
        add(calendar.get(), icalproperty_new_calscale("GREGORIAN"));
        add(calendar.get(), icalproperty_new_method(ICAL_METHOD_PUBLISH));
        return text(calendar.get());
    }();
    const QByteArray end = QByteArrayLiteral("END:VCALENDAR\r\n");
    if (!head.endsWith(end))
        throw DataError(QStringLiteral("The calendar could not be made."));
    sink(head.chopped(end.size()));

    const icaltimetype stamp = icaltime_from_timet_with_zone(Clock::now().toSecsSinceEpoch(), 0,
                                                             icaltimezone_get_utc_timezone());
    // The same hearing twice on a day gets a numbered UID; a UID names its
    // day, so the count starts again with each day.
    QHash<QString, int> used;
    QDate usedDay;
    int count = 0;
    while (nextRow()) {
        const QByteArrayView dayText = query->utf8(0);
        const auto day = dates::parseIso(dayText.data(), dayText.size());
        if (!day)
            continue; // a row whose date cannot be read has no day to go on
        const QString court = query->text(1);
        const QString caseNo = query->text(3);
        const QString party1 = query->text(4);
        const QString party2 = query->text(5);
        const QString fixedFor = query->text(6);
        const QString remarks = query->text(7);
        const QByteArrayView fixedOnText = query->utf8(8);
        const auto fixedOn = dates::parseIso(fixedOnText.data(), fixedOnText.size());

        if (*day != usedDay) {
            used.clear();
            usedDay = *day;
        }
        QString uid = uidFor(*day, caseNo, party1, party2);
        if (const int seen = used.value(uid); seen > 0) {
            used.insert(uid, seen + 1);
            uid.replace(QStringLiteral("@"), QStringLiteral("-%1@").arg(seen + 1));
        } else {
            used.insert(uid, 1);
        }

        QString summary = party2.trimmed().isEmpty()
                              ? party1.trimmed()
                              : QStringLiteral("%1 vs. %2").arg(party1.trimmed(), party2.trimmed());
        if (!caseNo.trimmed().isEmpty())
            summary += QStringLiteral(" (%1)").arg(caseNo.trimmed());
        QStringList description;
        description << QStringLiteral("Case No.: %1").arg(caseNo.trimmed());
        description << QStringLiteral("Court: %1").arg(court.trimmed());
        description << QStringLiteral("Fixed for: %1").arg(fixedFor.trimmed());
        // A hearing not yet carried forward shows the day it was fixed on,
        // and the remarks are that day's.
        if (fixedOn)
            description << QStringLiteral("Next date fixed on: %1").arg(dates::format(*fixedOn));
        if (!remarks.trimmed().isEmpty())
            description << (fixedOn
                                ? QStringLiteral("Remarks of %1: %2").arg(dates::format(*fixedOn))
                                : QStringLiteral("Remarks: %1"))
                               .arg(remarks.trimmed());

        Component event(icalcomponent_new(ICAL_VEVENT_COMPONENT));
        add(event.get(), icalproperty_new_uid(uid.toUtf8().constData()));
        add(event.get(), icalproperty_new_dtstamp(stamp));
        add(event.get(), icalproperty_new_dtstart(dateValue(*day)));
        add(event.get(), icalproperty_new_dtend(dateValue(day->addDays(1))));
        add(event.get(), icalproperty_new_summary(summary.toUtf8().constData()));
        if (!court.trimmed().isEmpty())
            add(event.get(), icalproperty_new_location(court.trimmed().toUtf8().constData()));
        add(event.get(),
            icalproperty_new_description(description.join(u'\n').toUtf8().constData()));
        add(event.get(), icalproperty_new_categories("Hearing"));
        add(event.get(), icalproperty_new_transp(ICAL_TRANSP_TRANSPARENT));
        sink(text(event.get()));
        ++count;
    }
    sink(end);
    return count;
}

} // namespace

QByteArray HearingCalendar::calendarText(const QDate &from, const QDate &to, int *events)
{
    QByteArray result;
    const int count =
        writeCalendar(from, to, [&result](const QByteArray &part) { result += part; });
    if (events)
        *events = count;
    return result;
}

int HearingCalendar::exportIcs(const QDate &from, const QDate &to, const QString &file)
{
    // The diary is refused before the hearings are read.
    safewrite::AtomicFile out(file);
    // Written in pieces of some size, not line by line, as a device such as
    // /dev/stdout is written unbuffered.
    constexpr qsizetype piece = qsizetype(64) * 1024;
    QByteArray pending;
    pending.reserve(piece + 4096);
    const int events = writeCalendar(from, to, [&](const QByteArray &part) {
        pending += part;
        if (pending.size() >= piece) {
            out.write(pending);
            pending.resize(0);
        }
    });
    out.write(pending);
    out.commit();
    return events;
}

} // namespace lexordo
