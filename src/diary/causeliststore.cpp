#include "causeliststore.h"

#include "courtlistmatch.h"
#include "diarystore.h"

#include <data/database.h>
#include <data/dataerror.h>
#include <data/dates.h>
#include <data/sqlite.h>

namespace lexordo {

namespace {

QDate asDate(const QVariant &stored)
{
    if (!stored.isValid() || stored.isNull())
        return QDate();
    return dates::parseIso(stored.toString()).value_or(QDate());
}

QString isoOf(const QVariant &stored)
{
    return stored.isValid() && !stored.isNull() ? stored.toString() : QString();
}

} // namespace

QDate CauseListStore::Hearing::currentDate() const
{
    return asDate(cdate);
}

QDate CauseListStore::Hearing::nextDate() const
{
    return asDate(ndate);
}

QHash<QString, CauseListStore::DiaryCase> CauseListStore::casesAround(const QDate &day)
{
    // Two index ranges: listings since the window opened, and next dates in
    // it of older listings.
    const QString columns =
        QStringLiteral("SELECT %1, cdate, ndate, caseno, Party1, Party2, courtname, CourtIndex, "
                       "fixedforN FROM advocate ")
            .arg(sqlite::rowKey());
    sqlite::Statement stmt(
        Database::handle(),
        columns + QStringLiteral("WHERE cdate >= ?1 UNION ALL ") + columns +
            QStringLiteral("WHERE ndate >= ?1 AND (cdate < ?1 OR cdate IS NULL)"));
    stmt.bind(1, day.addYears(-1));

    const QString dayIso = dates::toIso(day);
    QHash<QString, DiaryCase> cases;
    QHash<QString, QString> keyOfNumber; // the same spelling comes back many times
    while (stmt.step()) {
        const QString caseNo = stmt.columnText(3);
        auto known = keyOfNumber.constFind(caseNo);
        if (known == keyOfNumber.cend()) {
            known = keyOfNumber.insert(caseNo, courtlist::caseKey(caseNo).value_or(QString()));
        }
        if (known->isEmpty())
            continue;
        Hearing hearing;
        hearing.row = stmt.columnInt(0);
        hearing.cdate = stmt.columnValue(1);
        hearing.ndate = stmt.columnValue(2);
        hearing.caseNo = stmt.columnValue(3);
        hearing.party1 = stmt.columnValue(4);
        hearing.party2 = stmt.columnText(5);
        hearing.court = stmt.columnText(6);
        hearing.courtIndex = stmt.columnValue(7);
        hearing.fixedForNext = stmt.columnText(8);
        const QString current = isoOf(hearing.cdate);
        const QString next = isoOf(hearing.ndate);

        DiaryCase &diaryCase = cases[*known];
        const bool first = diaryCase.key.isEmpty();
        if (first)
            diaryCase.key = *known;
        const QString lastCurrent = isoOf(diaryCase.last.cdate);
        if (first || current > lastCurrent ||
            (current == lastCurrent && hearing.row > diaryCase.last.row))
            diaryCase.last = hearing;
        // The day's own listing is shown before a next date that points at it.
        if (current == dayIso)
            diaryCase.onDay = hearing;
        else if (next == dayIso && !diaryCase.onDay)
            diaryCase.onDay = hearing;
        for (const QString &date : {current, next}) {
            if (date > dayIso) {
                const QDate later = dates::parseIso(date).value_or(QDate());
                if (later.isValid() && (!diaryCase.nextDate.isValid() || later < diaryCase.nextDate))
                    diaryCase.nextDate = later;
            }
        }
    }
    // Without a hearing after the day, the diary's word is its last next date.
    for (DiaryCase &diaryCase : cases) {
        if (!diaryCase.nextDate.isValid())
            diaryCase.nextDate = diaryCase.last.nextDate();
    }
    return cases;
}

CauseListStore::Added CauseListStore::howToAdd(const DiaryCase &diaryCase, const QDate &day)
{
    const QDate last = diaryCase.last.currentDate();
    if ((last.isValid() && last >= day) || DiaryStore::countListedOn(day) > 0)
        return Added::Listed;
    return Added::FixedForDay;
}

CauseListStore::Added CauseListStore::addToDay(const DiaryCase &diaryCase, const QDate &day)
{
    Database::Transaction transaction;
    const Hearing &last = diaryCase.last;
    const Added how = howToAdd(diaryCase, day);
    if (how == Added::Listed) {
        sqlite::Statement insert(
            Database::handle(),
            QStringLiteral("INSERT INTO advocate (cdate, pdate, courtname, CourtIndex, caseno, "
                           "Party1, Party2, fixedfor) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
        insert.bind(1, day);
        insert.bind(2, last.cdate);
        insert.bind(3, last.court);
        insert.bind(4, last.courtIndex);
        insert.bind(5, last.caseNo);
        insert.bind(6, last.party1);
        insert.bind(7, last.party2);
        insert.bind(8, last.fixedForNext);
        insert.step();
    } else {
        sqlite::Statement update(
            Database::handle(),
            QStringLiteral("UPDATE advocate SET ndate = ? WHERE %1 = ? AND cdate IS ? AND ndate IS ? "
                           "AND caseno IS ? AND Party1 IS ?")
                .arg(sqlite::rowKey()));
        update.bind(1, day);
        update.bindInt(2, last.row);
        update.bind(3, last.cdate);
        update.bind(4, last.ndate);
        update.bind(5, last.caseNo);
        update.bind(6, last.party1);
        update.step();
        if (sqlite::changes(Database::handle()) != 1)
            throw DataError(
                QStringLiteral("The hearing of %1 dated %2 was changed or deleted at another desk "
                               "after the list was checked; nothing was stored. Check the list "
                               "again.")
                    .arg(last.caseNo.toString(), dates::format(last.currentDate())));
    }
    transaction.commit();
    return how;
}

} // namespace lexordo
