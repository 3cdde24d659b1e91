// Builds record-set filters from any input and runs them on a small diary of
// awkward names and dates: nothing may crash, a value that does not fit the
// column is refused with a DataError, and the rows a filter keeps are
// exactly those that a plain comparison of the values read would keep.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <data/database.h>
#include <data/dataerror.h>
#include <data/dates.h>
#include <data/filter.h>
#include <data/recordset.h>
#include <memory>
#include <QCoreApplication>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <vector>

using namespace lexordo;

namespace {

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "check failed: %s\n", what);
        std::abort();
    }
}

const char *const textColumns[] = {"Party1", "caseno", "remarks"};
const Filter::Op ops[] = {
    Filter::Op::Equal,       Filter::Op::NotEqual,   Filter::Op::Less,
    Filter::Op::LessOrEqual, Filter::Op::Greater,    Filter::Op::GreaterOrEqual,
    Filter::Op::IsNull,      Filter::Op::BeginsWith, Filter::Op::Contains};

// The diary the filters run on; made once, in memory-backed storage when
// the machine has it.
struct Diary
{
    std::unique_ptr<QTemporaryDir> dir;
    QString path;
};

Diary &diary()
{
    static Diary d = [] {
        static int argc = 1;
        static char name[] = "fuzz_filter";
        static char *argv[] = {name, nullptr};
        new QCoreApplication(argc, argv);
        Diary made;
        const QString shm = QStringLiteral("/dev/shm");
        made.dir = std::make_unique<QTemporaryDir>(
            QDir(shm).exists() ? shm + QStringLiteral("/lexordo-fuzz-XXXXXX") : QString());
        made.path = made.dir->filePath(QStringLiteral("advocate_v2.mdb"));
        Database::createFile(made.path);
        Database::open(made.path);
        const char *const parties[] = {"D'Souza",
                                       "d'souza",
                                       "D'SOUZA & Co.",
                                       "",
                                       "  spaced  ",
                                       "%_wild_%",
                                       "Straße",
                                       "STRASSE",
                                       "İstanbul",
                                       "istanbul",
                                       "राम प्रसाद",
                                       "முருகன்",
                                       "ÅÄÖ åäö",
                                       "a",
                                       "ab",
                                       "abc",
                                       "zzz",
                                       "0001",
                                       "1",
                                       "10",
                                       "9",
                                       "Ωmega",
                                       "\xF0\x9F\x98\x80 emoji"};
        QSqlQuery insert(QSqlDatabase::database(QStringLiteral("advocate")));
        insert.prepare(QStringLiteral("INSERT INTO advocate (cdate, Party1, caseno, remarks, "
                                      "CourtIndex) VALUES (?, ?, ?, ?, ?)"));
        int i = 0;
        for (const char *party : parties) {
            insert.addBindValue(
                i % 5 == 0 ? QVariant()
                           : QVariant(QDate(2026, 1 + i % 12, 1 + i % 28).toString(Qt::ISODate)));
            insert.addBindValue(QString::fromUtf8(party));
            insert.addBindValue(i % 3 == 0 ? QVariant()
                                           : QVariant(QString::fromUtf8(parties[(i * 7) % 23])));
            insert.addBindValue(i % 4 == 0 ? QVariant(QStringLiteral("decided")) : QVariant());
            insert.addBindValue(i);
            if (!insert.exec())
                std::abort();
            ++i;
        }
        // One row whose first party each input sets.
        insert.addBindValue(QVariant());
        insert.addBindValue(QString());
        insert.addBindValue(QString());
        insert.addBindValue(QVariant());
        insert.addBindValue(99);
        if (!insert.exec())
            std::abort();
        return made;
    }();
    return d;
}

// A text as the database orders it: code points, letter case folded in every
// script, except that nothing outside ASCII folds into a letter A to Z.
std::vector<char32_t> foldedCodePoints(const QString &text)
{
    std::vector<char32_t> folded;
    for (const char32_t c : text.toUcs4()) {
        const char32_t f = QChar::toCaseFolded(c);
        folded.push_back(c >= 0x80 && f < 0x80 ? c : f);
    }
    return folded;
}

// What the filter should keep of a text value, as the record set reads it.
bool keepsText(const QVariant &value, Filter::Op op, const QString &needle)
{
    const bool isNull = !value.isValid() || value.isNull();
    const QString text = value.toString();
    if (op == Filter::Op::IsNull)
        return isNull || text.isEmpty();
    if (isNull)
        return op == Filter::Op::NotEqual;
    const std::vector<char32_t> a = foldedCodePoints(text);
    const std::vector<char32_t> b = foldedCodePoints(needle);
    const int order = a == b                                                                 ? 0
                      : std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end()) ? -1
                                                                                             : 1;
    switch (op) {
    case Filter::Op::Equal:
        return order == 0;
    case Filter::Op::NotEqual:
        return order != 0;
    case Filter::Op::Less:
        return order < 0;
    case Filter::Op::LessOrEqual:
        return order <= 0;
    case Filter::Op::Greater:
        return order > 0;
    case Filter::Op::GreaterOrEqual:
        return order >= 0;
    case Filter::Op::BeginsWith:
        return a.size() >= b.size() && std::equal(b.begin(), b.end(), a.begin());
    case Filter::Op::Contains:
        return b.empty() || std::search(a.begin(), a.end(), b.begin(), b.end()) != a.end();
    case Filter::Op::IsNull:
        break;
    }
    return false;
}

bool keepsDate(const QVariant &value, Filter::Op op, const QDate &day)
{
    if (op == Filter::Op::IsNull)
        return !value.isValid() || value.isNull();
    if (!value.isValid() || value.isNull())
        return op == Filter::Op::NotEqual;
    const QDate date = value.toDate();
    switch (op) {
    case Filter::Op::Equal:
    case Filter::Op::BeginsWith:
    case Filter::Op::Contains:
        return date == day;
    case Filter::Op::NotEqual:
        return date != day;
    case Filter::Op::Less:
        return date < day;
    case Filter::Op::LessOrEqual:
        return date <= day;
    case Filter::Op::Greater:
        return date > day;
    case Filter::Op::GreaterOrEqual:
        return date >= day;
    case Filter::Op::IsNull:
        break;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    diary(); // made once, on the first input
    if (size < 2)
        return 0;
    const uint8_t shape = data[0];
    const Filter::Op op = ops[data[1] % 9];
    // The rest: the value of the filter, then after a zero byte the first
    // party of the row the input sets.
    const QByteArray rest(reinterpret_cast<const char *>(data + 2), qsizetype(size - 2));
    const qsizetype zero = rest.indexOf('\0');
    const QString value = QString::fromUtf8(zero < 0 ? rest : rest.left(zero));
    const QString party = zero < 0 ? QString() : QString::fromUtf8(rest.mid(zero + 1));

    QSqlQuery update(QSqlDatabase::database(QStringLiteral("advocate")));
    update.prepare(QStringLiteral("UPDATE advocate SET Party1 = ? WHERE CourtIndex = 99"));
    update.addBindValue(party);
    check(update.exec(), "the row the input sets is stored");

    try {
        RecordSet rows(RecordSource::table(QStringLiteral("advocate")));
        const int all = rows.rowCount();
        QList<QVariantList> before;
        for (int r = 0; r < all; ++r) {
            QVariantList row;
            for (int c = 0; c < rows.fieldCount(); ++c)
                row << rows.valueAt(r, c);
            before << row;
        }

        const bool onDate = shape & 1;
        const QString column =
            onDate ? QStringLiteral("cdate") : QString::fromLatin1(textColumns[(shape >> 1) % 3]);
        const int index = rows.fieldIndex(column);
        check(index >= 0, "the column is there");

        Filter filter(column, op, value);
        const int partyColumn = rows.fieldIndex(QStringLiteral("party1"));
        if (shape & 0x80) // a second term: letter case of the column name ignored
            filter.andWhere(QStringLiteral("PARTY1"), Filter::Op::NotEqual, QStringLiteral("zzz"));
        (void)filter.toString();
        check(filter == filter, "a filter equals itself");

        // What a date column takes: a day written DD/MM/YYYY or YYYY-MM-DD.
        std::optional<QDate> day;
        try {
            const QVariant taken = RecordSet::convert(RecordSet::FieldType::Date, column, value);
            if (taken.isValid())
                day = taken.toDate();
        } catch (const DataError &) {
        }
        try {
            rows.setFilter(filter);
        } catch (const DataError &e) {
            // Only a date column refuses, and only a value that is no date.
            check(onDate && !day && op != Filter::Op::IsNull, "refused only what does not fit");
            check(!e.description().isEmpty(), "a refusal says why");
            check(rows.rowCount() == all, "a refused filter leaves the rows as they were");
            return 0;
        }

        int expected = 0;
        for (const QVariantList &row : before) {
            bool keep = onDate ? keepsDate(row[index], op, day.value_or(QDate()))
                               : keepsText(row[index], op, value);
            if (keep && (shape & 0x80))
                keep = keepsText(row[partyColumn], Filter::Op::NotEqual, QStringLiteral("zzz"));
            expected += keep ? 1 : 0;
        }
        check(rows.rowCount() == expected, "the filter keeps what a plain comparison keeps");
        for (int r = 0; r < rows.rowCount(); ++r) {
            rows.moveTo(r);
            (void)rows.text(index);
        }
        rows.clearFilter();
        check(rows.rowCount() == all, "clearing the filter shows every row again");
    } catch (const DataError &e) {
        std::fprintf(stderr, "unexpected data error: %s\n", qPrintable(e.description()));
        std::abort();
    }
    return 0;
}
