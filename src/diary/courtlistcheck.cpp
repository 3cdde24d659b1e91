#include "courtlistcheck.h"

#include <algorithm>
#include <data/csv.h>
#include <data/dates.h>
#include <future>
#include <optional>
#include <QSet>

namespace lexordo::courtlist {

namespace {

void fillFromDiary(CheckRow &row, const CauseListStore::Hearing &hearing)
{
    row.caseNo = hearing.caseNo.toString();
    row.party1 = hearing.party1.toString();
    row.party2 = hearing.party2;
    row.court = hearing.court;
}

QString partiesOf(const CheckRow &row)
{
    if (row.party2.isEmpty())
        return row.party1;
    return QStringLiteral("%1 vs. %2").arg(row.party1, row.party2);
}

} // namespace

namespace {

CheckResult check(const QDate &day, const ListText &list,
                  const CauseListStore::CaseNumbers &numbers);

} // namespace

CheckResult checkListFile(const QDate &day, const QString &path)
{
    // The list's pages are read in threads of their own while the diary's
    // case numbers are read here: neither needs the other.
    std::future<ListText> list =
        std::async(std::launch::async, [path] { return readListFile(path); });
    std::optional<CauseListStore::CaseNumbers> numbers;
    try {
        numbers = CauseListStore::caseNumbers();
    } catch (...) {
        list.wait();
        throw;
    }
    return check(day, list.get(), *numbers);
}

CheckResult checkListText(const QDate &day, const ListText &list)
{
    return check(day, list, CauseListStore::caseNumbers());
}

namespace {

CheckResult check(const QDate &day, const ListText &list,
                  const CauseListStore::CaseNumbers &numbers)
{
    // Every reading of every number in the list that names a case of the
    // diary; of those, the diary's hearings decide which cases are looked for.
    QSet<QString> named;
    findListings(list.text, [&numbers, &named](const QString &key) {
        if (numbers.contains(key))
            named.insert(key);
        return false;
    });
    const QHash<QString, CauseListStore::DiaryCase> cases =
        CauseListStore::casesAround(day, numbers, named);

    CheckResult result;
    result.day = day;
    result.kind = list.kind;
    result.pages = list.pages;
    result.casesLookedFor = int(numbers.size());

    const std::vector<Listing> listings =
        findListings(list.text, [&cases](const QString &key) { return cases.contains(key); });

    result.places = placesOf(listings);
    QHash<QString, qsizetype> seen; // key -> its row in its group
    for (const Listing &listing : listings) {
        const CauseListStore::DiaryCase &diaryCase = *cases.constFind(listing.key);
        QList<CheckRow> &group = diaryCase.onDay ? result.listed : result.notInDiary;
        if (const auto again = seen.constFind(listing.key); again != seen.cend()) {
            // Listed twice (a supplementary board, another hall): both items shown.
            CheckRow &row = group[*again];
            if (!listing.item.isEmpty() &&
                !row.item.split(QStringLiteral(", ")).contains(listing.item))
                row.item += (row.item.isEmpty() ? QString() : QStringLiteral(", ")) + listing.item;
            if (!listing.hall.isEmpty() &&
                !row.hall.split(QStringLiteral(", ")).contains(listing.hall))
                row.hall += (row.hall.isEmpty() ? QString() : QStringLiteral(", ")) + listing.hall;
            continue;
        }
        CheckRow row;
        row.status = diaryCase.onDay ? CheckRow::Status::Listed : CheckRow::Status::NotInDiary;
        row.item = listing.item;
        row.hall = listing.hall;
        row.printed = listing.printed;
        row.beside = listing.beside;
        row.diaryCase = diaryCase;
        if (diaryCase.onDay) {
            fillFromDiary(row, *diaryCase.onDay);
            row.diaryDate = day;
        } else {
            fillFromDiary(row, diaryCase.last);
            row.diaryDate = diaryCase.nextDate;
        }
        if (partiesDiffer(listing.beside, row.party1, row.party2))
            row.warning = QStringLiteral("The court prints beside it \"%1\"; the diary has \"%2\".")
                              .arg(listing.beside.left(120), partiesOf(row));
        seen.insert(listing.key, group.size());
        group.append(row);
    }

    for (const CauseListStore::DiaryCase &diaryCase : cases) {
        if (!diaryCase.onDay || seen.contains(diaryCase.key))
            continue;
        CheckRow row;
        row.status = CheckRow::Status::NotListed;
        row.diaryCase = diaryCase;
        fillFromDiary(row, *diaryCase.onDay);
        row.diaryDate = day;
        result.notListed.append(row);
    }
    std::sort(result.notListed.begin(), result.notListed.end(),
              [](const CheckRow &a, const CheckRow &b) {
                  const qint64 ia = a.diaryCase.onDay->courtIndex.toLongLong();
                  const qint64 ib = b.diaryCase.onDay->courtIndex.toLongLong();
                  if (ia != ib)
                      return ia < ib;
                  if (a.party1 != b.party1)
                      return a.party1 < b.party1;
                  return a.caseNo < b.caseNo;
              });
    return result;
}

} // namespace

CourtPlaces placesOf(const std::vector<Listing> &listings)
{
    CourtPlaces places;
    for (const Listing &listing : listings) {
        if (places.contains(listing.key))
            continue;
        QStringList parts;
        if (!listing.item.isEmpty())
            parts << QStringLiteral("Item %1").arg(listing.item);
        if (!listing.hall.isEmpty())
            parts << QStringLiteral("Hall %1").arg(listing.hall);
        places.insert(listing.key, parts.isEmpty() ? QStringLiteral("Listed")
                                                   : parts.join(QStringLiteral(", ")));
    }
    return places;
}

ResultTable withCourtItems(const ResultTable &hearings, const CourtPlaces &places)
{
    ResultTable table = hearings;
    table.columns << QStringLiteral("courtitem");
    for (int row = 0; row < table.rowCount(); ++row) {
        const std::optional<QString> key =
            caseKey(table.value(row, QStringLiteral("caseno")).toString());
        table.rows[row] << (key ? places.value(*key) : QString());
    }
    return table;
}

QString statusWord(CheckRow::Status status)
{
    switch (status) {
    case CheckRow::Status::NotInDiary:
        return QStringLiteral("not-in-diary");
    case CheckRow::Status::Listed:
        return QStringLiteral("listed");
    case CheckRow::Status::NotListed:
        return QStringLiteral("not-listed");
    }
    return QString();
}

QByteArray csvOf(const CheckResult &result)
{
    QByteArray bytes = csv::formatRecord(
        QStringList{QStringLiteral("status"), QStringLiteral("item"), QStringLiteral("hall"),
                    QStringLiteral("caseno"), QStringLiteral("party1"), QStringLiteral("party2"),
                    QStringLiteral("diary_date")});
    for (const QList<CheckRow> *group : {&result.notInDiary, &result.listed, &result.notListed}) {
        for (const CheckRow &row : *group)
            bytes += csv::formatRecord(QStringList{
                statusWord(row.status), row.item, row.hall, row.caseNo, row.party1, row.party2,
                row.diaryDate.isValid() ? dates::format(row.diaryDate) : QString()});
    }
    return bytes;
}

QString textOf(const CheckResult &result)
{
    const QString day = dates::format(result.day);
    QString text;
    const auto line = [](const CheckRow &row) {
        QString where;
        if (!row.item.isEmpty())
            where += QStringLiteral("item %1").arg(row.item);
        if (!row.hall.isEmpty())
            where += (where.isEmpty() ? QString() : QStringLiteral(", ")) +
                     QStringLiteral("court hall %1").arg(row.hall);
        QString out = QStringLiteral("  %1  %2").arg(row.caseNo, partiesOf(row));
        if (!row.court.isEmpty())
            out += QStringLiteral("  [%1]").arg(row.court);
        if (!where.isEmpty())
            out += QStringLiteral("  (%1)").arg(where);
        return out;
    };
    text += QStringLiteral("Listed by the court on %1, not in the diary for that day: %2\n")
                .arg(day)
                .arg(result.notInDiary.size());
    for (const CheckRow &row : result.notInDiary) {
        text += line(row) + QStringLiteral("  diary's next date: %1\n")
                                .arg(row.diaryDate.isValid() ? dates::format(row.diaryDate)
                                                             : QStringLiteral("none"));
        if (!row.warning.isEmpty())
            text += QStringLiteral("    Warning: %1\n").arg(row.warning);
    }
    text +=
        QStringLiteral("\nListed by the court and in the diary: %1\n").arg(result.listed.size());
    for (const CheckRow &row : result.listed) {
        text += line(row) + u'\n';
        if (!row.warning.isEmpty())
            text += QStringLiteral("    Warning: %1\n").arg(row.warning);
    }
    text += QStringLiteral("\nIn the diary for %1, not found in the court's list: %2\n")
                .arg(day)
                .arg(result.notListed.size());
    for (const CheckRow &row : result.notListed)
        text += line(row) + u'\n';
    return text;
}

} // namespace lexordo::courtlist
