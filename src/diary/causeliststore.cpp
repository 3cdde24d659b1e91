#include "causeliststore.h"

#include "courtlistmatch.h"
#include "diarystore.h"

#include <data/database.h>
#include <data/dataerror.h>
#include <data/dates.h>
#include <data/sqlquery.h>
#include <string>
#include <string_view>
#include <vector>

namespace lexordo {

namespace {

QDate asDate(const QVariant &stored)
{
    if (!stored.isValid() || stored.isNull())
        return QDate();
    return dates::parseIso(stored.toString()).value_or(QDate());
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

namespace {

// A date column as stored text; anything else (nothing, a number) is empty,
// as SQL's comparison with a date's text would have it.
std::string_view columnDate(const SqlQuery &query, int column)
{
    if (query.kind(column) != SqlQuery::Kind::Text)
        return std::string_view();
    const QByteArrayView text = query.utf8(column);
    return std::string_view(text.data(), std::size_t(text.size()));
}

// What the first reading keeps of a case: which listings to read in full.
struct Pick
{
    qint64 lastRow = 0;
    std::string lastDate; // ISO
    qint64 dayRow = 0;
    bool dayIsListing = false;
    std::string nextDate; // the earliest date after the day, ISO
};

CauseListStore::Hearing readHearing(SqlQuery &byRow, qint64 row)
{
    byRow.reset();
    byRow.bindInt(1, row);
    CauseListStore::Hearing hearing;
    if (!byRow.next())
        return hearing;
    hearing.row = row;
    hearing.cdate = byRow.value(0);
    hearing.ndate = byRow.value(1);
    hearing.caseNo = byRow.value(2);
    hearing.party1 = byRow.value(3);
    hearing.party2 = byRow.text(4);
    hearing.court = byRow.text(5);
    hearing.courtIndex = byRow.value(6);
    hearing.fixedForNext = byRow.text(7);
    return hearing;
}

} // namespace

CauseListStore::CaseNumbers CauseListStore::caseNumbers()
{
    // Read from the index of case numbers alone, one spelling of each.
    SqlQuery stmt(QStringLiteral("SELECT DISTINCT caseno COLLATE NOCASE FROM advocate"));
    CaseNumbers numbers;
    while (stmt.next()) {
        const QString number = stmt.text(0);
        if (const auto key = courtlist::caseKey(number))
            numbers[*key].append(number);
    }
    return numbers;
}

QHash<QString, CauseListStore::DiaryCase>
CauseListStore::casesAround(const QDate &day, const CaseNumbers &numbers, const QSet<QString> &keys)
{
    // Every case heard on the day is looked for, whatever the list holds.
    QSet<QString> wanted = keys;
    {
        SqlQuery onDay(QStringLiteral("SELECT DISTINCT caseno FROM advocate "
                                      "WHERE cdate = ?1 OR ndate = ?1"));
        onDay.bind(1, day);
        while (onDay.next()) {
            if (const auto key = courtlist::caseKey(onDay.text(0)))
                wanted.insert(*key);
        }
    }

    // Each case's hearings through the index of case numbers; only the keys
    // are read here, the listings that matter in full afterwards.
    SqlQuery stmt(QStringLiteral("SELECT %1, cdate, ndate FROM advocate "
                                 "WHERE caseno = ?1 COLLATE NOCASE")
                      .arg(sql::rowKey()));
    const std::string dayIso = dates::toIso(day).toStdString();
    const std::string opens = dates::toIso(day.addYears(-1)).toStdString();
    std::vector<Pick> picks;
    QList<QString> pickedKeys;
    for (const QString &key : std::as_const(wanted)) {
        const auto spellings = numbers.constFind(key);
        if (spellings == numbers.cend())
            continue;
        Pick pick;
        bool around = false;
        for (const QString &spelling : *spellings) {
            stmt.reset();
            stmt.bindText(1, spelling);
            while (stmt.next()) {
                const std::string_view current = columnDate(stmt, 1);
                const std::string_view next = columnDate(stmt, 2);
                // A listing since the twelve months opened, or a next date in them.
                if (current < opens && next < opens)
                    continue;
                around = true;
                const qint64 row = stmt.integer(0);
                if (pick.lastRow == 0 || current > pick.lastDate ||
                    (current == pick.lastDate && row > pick.lastRow)) {
                    pick.lastRow = row;
                    pick.lastDate = current;
                }
                // The day's own listing is shown before a next date that points at it.
                if (current == dayIso) {
                    pick.dayRow = row;
                    pick.dayIsListing = true;
                } else if (next == dayIso && !pick.dayIsListing) {
                    pick.dayRow = row;
                }
                for (const std::string_view date : {current, next}) {
                    if (date.size() == dayIso.size() && date > dayIso &&
                        (pick.nextDate.empty() || date < pick.nextDate))
                        pick.nextDate = date;
                }
            }
        }
        if (around) {
            picks.push_back(std::move(pick));
            pickedKeys.append(key);
        }
    }

    SqlQuery byRow(QStringLiteral("SELECT cdate, ndate, caseno, Party1, Party2, "
                                  "courtname, CourtIndex, fixedforN FROM advocate "
                                  "WHERE %1 = ?")
                       .arg(sql::rowKey()));
    QHash<QString, DiaryCase> cases;
    cases.reserve(qsizetype(picks.size()));
    for (std::size_t i = 0; i < picks.size(); ++i) {
        const Pick &pick = picks[i];
        DiaryCase diaryCase;
        diaryCase.key = pickedKeys[qsizetype(i)];
        diaryCase.last = readHearing(byRow, pick.lastRow);
        if (pick.dayRow != 0)
            diaryCase.onDay =
                pick.dayRow == pick.lastRow ? diaryCase.last : readHearing(byRow, pick.dayRow);
        // Without a hearing after the day, the diary's word is its last next date.
        diaryCase.nextDate =
            pick.nextDate.empty()
                ? diaryCase.last.nextDate()
                : dates::parseIso(pick.nextDate.data(), qsizetype(pick.nextDate.size()))
                      .value_or(QDate());
        QString key = diaryCase.key;
        cases.emplace(std::move(key), std::move(diaryCase));
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
        SqlQuery insert(
            QStringLiteral("INSERT INTO advocate (cdate, pdate, courtname, CourtIndex, caseno, "
                           "Party1, Party2, fixedfor) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
        insert.bindAll({day, last.cdate, last.court, last.courtIndex, last.caseNo, last.party1,
                        last.party2, last.fixedForNext});
        insert.exec();
    } else {
        SqlQuery update(
            // The row is changed only while it still holds what was read.
            QStringLiteral("UPDATE advocate SET ndate = ? WHERE %1 = ? AND %2 AND %3 AND %4 AND %5")
                .arg(sql::rowKey(), Database::sameAsBound(QStringLiteral("cdate")),
                     Database::sameAsBound(QStringLiteral("ndate")),
                     Database::sameAsBound(QStringLiteral("caseno")),
                     Database::sameAsBound(QStringLiteral("Party1"))));
        update.bind(1, day);
        update.bindInt(2, last.row);
        update.bind(3, last.cdate);
        update.bind(4, last.ndate);
        update.bind(5, last.caseNo);
        update.bind(6, last.party1);
        if (update.exec() != 1)
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
