#include "causeliststore.h"

#include "courtlistmatch.h"
#include "diarystore.h"

#include <data/database.h>
#include <data/dataerror.h>
#include <data/dates.h>
#include <data/sqlite.h>
#include <string>
#include <string_view>
#include <unordered_map>
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

// Case numbers as stored, looked up by their bytes without a copy.
struct BytesHash
{
    using is_transparent = void;
    std::size_t operator()(std::string_view bytes) const noexcept
    {
        return std::hash<std::string_view>()(bytes);
    }
};

std::string_view columnBytes(sqlite3_stmt *stmt, int column)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, column));
    return text ? std::string_view(text, std::size_t(sqlite3_column_bytes(stmt, column)))
                : std::string_view();
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

CauseListStore::Hearing readHearing(sqlite::Statement &byRow, qint64 row)
{
    byRow.reset();
    byRow.bindInt(1, row);
    CauseListStore::Hearing hearing;
    if (!byRow.step())
        return hearing;
    hearing.row = row;
    hearing.cdate = byRow.columnValue(0);
    hearing.ndate = byRow.columnValue(1);
    hearing.caseNo = byRow.columnValue(2);
    hearing.party1 = byRow.columnValue(3);
    hearing.party2 = byRow.columnText(4);
    hearing.court = byRow.columnText(5);
    hearing.courtIndex = byRow.columnValue(6);
    hearing.fixedForNext = byRow.columnText(7);
    return hearing;
}

} // namespace

QHash<QString, CauseListStore::DiaryCase> CauseListStore::casesAround(const QDate &day)
{
    // Two index ranges: listings since the window opened, and next dates in
    // it of older listings. Only the keys are read here; the listings that
    // matter are read in full afterwards, one by one.
    const QString columns =
        QStringLiteral("SELECT %1, cdate, ndate, caseno FROM advocate ").arg(sqlite::rowKey());
    sqlite::Statement stmt(
        Database::handle(),
        columns + QStringLiteral("WHERE cdate >= ?1 UNION ALL ") + columns +
            QStringLiteral("WHERE ndate >= ?1 AND (cdate < ?1 OR cdate IS NULL)"));
    stmt.bind(1, day.addYears(-1));

    const std::string dayIso = dates::toIso(day).toStdString();
    std::unordered_map<std::string, int, BytesHash, std::equal_to<>> caseOfNumber;
    QHash<QString, int> caseOfKey;
    std::vector<Pick> picks;
    QList<QString> keys;
    sqlite3_stmt *raw = stmt.get();
    while (stmt.step()) {
        const std::string_view number = columnBytes(raw, 3);
        auto known = caseOfNumber.find(number);
        if (known == caseOfNumber.end()) {
            // A spelling not met yet: its key, and the case of that key.
            int index = -1;
            if (const auto key = courtlist::caseKey(
                    QString::fromUtf8(number.data(), qsizetype(number.size())))) {
                index = caseOfKey.value(*key, -1);
                if (index < 0) {
                    index = int(picks.size());
                    picks.emplace_back();
                    keys.append(*key);
                    caseOfKey.insert(*key, index);
                }
            }
            known = caseOfNumber.emplace(std::string(number), index).first;
        }
        if (known->second < 0)
            continue;
        Pick &pick = picks[std::size_t(known->second)];
        const qint64 row = sqlite3_column_int64(raw, 0);
        const std::string_view current = columnBytes(raw, 1);
        const std::string_view next = columnBytes(raw, 2);
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

    sqlite::Statement byRow(Database::handle(),
                            QStringLiteral("SELECT cdate, ndate, caseno, Party1, Party2, "
                                           "courtname, CourtIndex, fixedforN FROM advocate "
                                           "WHERE %1 = ?")
                                .arg(sqlite::rowKey()));
    QHash<QString, DiaryCase> cases;
    cases.reserve(qsizetype(picks.size()));
    for (std::size_t i = 0; i < picks.size(); ++i) {
        const Pick &pick = picks[i];
        DiaryCase diaryCase;
        diaryCase.key = keys[qsizetype(i)];
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
            // The row is changed only while it still holds what was read.
            QStringLiteral("UPDATE advocate SET ndate = ? WHERE %1 = ? AND %2 AND %3 AND %4 AND %5")
                .arg(sqlite::rowKey(), Database::sameAsBound(QStringLiteral("cdate")),
                     Database::sameAsBound(QStringLiteral("ndate")),
                     Database::sameAsBound(QStringLiteral("caseno")),
                     Database::sameAsBound(QStringLiteral("Party1"))));
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
