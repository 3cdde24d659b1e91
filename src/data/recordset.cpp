#include "recordset.h"

#include "amounts.h"
#include "database.h"
#include "dataerror.h"
#include "dates.h"
#include "sqlite.h"
#include "valuecodec.h"

#include <algorithm>
#include <cmath>
#include <QRegularExpression>
#include <unordered_map>
#include <vector>

namespace lexordo {

namespace {

using Row = std::vector<QVariant>;

struct Column
{
    QString name;     // as the statement names it
    QString baseName; // the table's own column name, for statements on the table
    RecordSet::FieldType type = RecordSet::FieldType::Any;
};

// A row of the table as read: its values for the program, and the same as
// the database gave them, to find the row again only while it still holds
// exactly that.
struct ReadRow
{
    Row values;
    Row stored;
    bool missing = false; // gone from the table when it was read
};

struct Pending
{
    bool isNew = false;
    bool touched = false;
    std::vector<bool> changed;
    Row row;  // the row as it is to be stored
    Row read; // the stored values it was read with
    bool readMissing = false;
};

// Rows read ahead around the one asked for, and the most kept at once.
constexpr int fetchBatch = 64;
constexpr size_t cacheLimit = 8192;

// The largest whole number a double holds exactly, 2^53 - 1.
constexpr double largestWholeNumber = 9007199254740991.0;

const QString noCurrentRow = QStringLiteral(
    "Either BOF or EOF is True, or the current record has been deleted. Requested operation "
    "requires a current record.");

int requireField(const RecordSet &rs, const QString &name)
{
    const int index = rs.fieldIndex(name);
    if (index < 0)
        throw DataError(QStringLiteral("Item cannot be found in the collection corresponding to "
                                       "the requested name or ordinal: %1")
                            .arg(name));
    return index;
}

// True when letter case cannot make a difference beyond the Latin letters A
// to Z: the database's own case-blind comparison (which can use an index)
// then finds the same texts as folding the case of every script. The
// database stops that comparison at a NUL character.
bool caseBlindInAscii(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (c == 0)
            return false;
        if (c < 0x80)
            continue;
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            c = QChar::surrogateToUcs4(char16_t(c), text[++i].unicode());
        // Letters of any case (and numerals and signs with case, such as
        // roman numerals and circled letters), and the sharp s that the
        // capital sharp s folds to.
        if (QChar::toCaseFolded(c) != c || QChar::toUpper(c) != c || QChar::toLower(c) != c ||
            QChar::toTitleCase(c) != c || c == 0xdf)
            return false;
    }
    return true;
}

// `text` with the wildcards of LIKE matched as typed.
QString likeLiteral(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (QChar c : text) {
        if (c == u'\\' || c == u'%' || c == u'_')
            escaped += u'\\';
        escaped += c;
    }
    return escaped;
}

const char *comparison(Filter::Op op)
{
    switch (op) {
    case Filter::Op::NotEqual:
        return " <> ";
    case Filter::Op::Less:
        return " < ";
    case Filter::Op::LessOrEqual:
        return " <= ";
    case Filter::Op::Greater:
        return " > ";
    case Filter::Op::GreaterOrEqual:
        return " >= ";
    default:
        return " = ";
    }
}

struct Where
{
    QStringList parts;
    QVariantList values;
};

// One comparison of an expression with a bound value; a missing value passes
// only "not equal".
void compare(Where &where, const QString &expr, Filter::Op op, const QVariant &value,
             const QString &collation = QString())
{
    const QString suffix =
        collation.isEmpty() ? QString() : QStringLiteral(" COLLATE ") + collation;
    const QString test = expr + QLatin1String(comparison(op)) + QStringLiteral("?") + suffix;
    where.parts << (op == Filter::Op::NotEqual
                        ? QStringLiteral("(") + expr + QStringLiteral(" IS NULL OR ") + test + u')'
                        : test);
    where.values << value;
}

// Text compared with letter case ignored in every script; %, _ and ' are
// characters like any other.
// `list`, when given, is the database's list of the different texts of the
// column (Database::textList).
void compareText(Where &where, const QString &expr, Filter::Op op, const QString &text,
                 const QString &list = QString())
{
    const bool plain = caseBlindInAscii(text);
    const bool withinText = op == Filter::Op::Contains || (op == Filter::Op::BeginsWith && !plain);
    if (!list.isEmpty() && withinText && !text.isEmpty()) {
        // No index finds text within a column: the few different texts are
        // searched, and the rows holding them are found by the column's index.
        // A row whose text differs from a found one only in the case of A to Z
        // is found as well, and rightly: it holds the same text to the search.
        // The case-blind comparison stops at a NUL character, so a text
        // holding one is searched itself.
        Where listed;
        compareText(listed, QStringLiteral("\"text\""), op, text);
        Where direct;
        compareText(direct, expr, op, text);
        where.parts << QStringLiteral("(%1 COLLATE NOCASE IN (SELECT \"text\" FROM %2 WHERE %3) "
                                      "AND (instr(%1, char(0)) = 0 OR %4))")
                           .arg(expr, list, listed.parts.join(QStringLiteral(" AND ")),
                                direct.parts.join(QStringLiteral(" AND ")));
        where.values << listed.values << direct.values;
        return;
    }
    switch (op) {
    case Filter::Op::BeginsWith:
    case Filter::Op::Contains:
        if (plain) {
            // LIKE reads a text only up to a NUL character: a text that holds
            // one is searched whole.
            where.parts << (op == Filter::Op::Contains
                                ? QStringLiteral(
                                      "(%1 LIKE ? ESCAPE '\\' OR (instr(%1, char(0)) > 0 "
                                      "AND instr(%2, %3) > 0))")
                                      .arg(expr, sqlite::foldedText(expr),
                                           sqlite::foldedText(QStringLiteral("?")))
                                : expr + QStringLiteral(" LIKE ? ESCAPE '\\'"));
            where.values << (op == Filter::Op::Contains ? QStringLiteral("%") : QString()) +
                                likeLiteral(text) + u'%';
            if (op == Filter::Op::Contains)
                where.values << text;
        } else {
            where.parts << QStringLiteral("instr(%1, %2)%3")
                               .arg(sqlite::foldedText(expr),
                                    sqlite::foldedText(QStringLiteral("?")),
                                    op == Filter::Op::BeginsWith ? QStringLiteral(" = 1")
                                                                 : QStringLiteral(" > 0"));
            where.values << text;
        }
        return;
    default: {
        // The case-blind index orders letters outside ASCII by their stored
        // case: it serves only to find equal texts.
        const bool equality = op == Filter::Op::Equal || op == Filter::Op::NotEqual;
        compare(where, expr, op, text,
                plain && equality ? QStringLiteral("NOCASE") : sqlite::foldedCollation());
        return;
    }
        return;
    }
}

void addTerm(Where &where, const QString &expr, RecordSet::FieldType type, const QString &name,
             const Filter::Term &term, const QString &textList)
{
    using FieldType = RecordSet::FieldType;
    using Op = Filter::Op;
    if (term.op == Op::IsNull) {
        where.parts << QStringLiteral("(%1 IS NULL OR %1 = '')").arg(expr);
        return;
    }
    const bool textMatch = term.op == Op::BeginsWith || term.op == Op::Contains;
    const QString valueText = term.value.typeId() == QMetaType::QDate
                                  ? dates::format(term.value.toDate())
                                  : term.value.toString();
    switch (type) {
    case FieldType::Date:
    case FieldType::Time: {
        const QVariant v = RecordSet::convert(type, name, term.value);
        if (!v.isValid())
            throw DataError(QStringLiteral("A %1 is needed to filter on %2.")
                                .arg(RecordSet::typeName(type), name));
        compare(where, expr, textMatch ? Op::Equal : term.op, v);
        return;
    }
    case FieldType::Number:
    case FieldType::Integer: {
        if (textMatch) {
            compareText(where, QStringLiteral("CAST(%1 AS TEXT)").arg(expr), term.op, valueText);
            return;
        }
        const QVariant v = RecordSet::convert(FieldType::Number, name, term.value);
        if (!v.isValid())
            throw DataError(QStringLiteral("A number is needed to filter on %1.").arg(name));
        compare(where, expr, term.op, v);
        return;
    }
    case FieldType::Any:
        if (textMatch) {
            compareText(where, QStringLiteral("CAST(%1 AS TEXT)").arg(expr), term.op, valueText);
            return;
        }
        if (term.value.typeId() == QMetaType::QDate) {
            compare(where, expr, term.op, term.value);
            return;
        }
        if (const auto number =
                term.value.typeId() != QMetaType::QString
                    ? std::optional<double>(term.value.toDouble())
                    : (valueText.trimmed().isEmpty() ? std::nullopt : amounts::parse(valueText))) {
            compare(where, expr, term.op, *number);
            return;
        }
        compareText(where, expr, term.op, valueText);
        return;
    case FieldType::Text:
        compareText(where, expr, term.op, valueText, textList);
        return;
    }
}

// The keys of a view in order: read whole, or, for the whole of a table's
// view, counted once and read in windows of rows as they are asked for, so
// that opening a large table reads what is shown and not every key.
//
// A windowed view stands for the rows of the database in order, followed by
// the rows this view added. The rows it added and stored are left out of the
// windows, and a row it deletes is gone from the database as from the view,
// so a row's place in the view stays its place among the database's rows.
// Before a change that could move rows under the windows (a store of a
// column the order depends on, a delete that may yet be rolled back) the
// view reads its keys whole.
class KeyView
{
public:
    struct Query
    {
        QString table;     // quoted
        QString condition; // without WHERE; may be empty
        QVariantList values;
        QStringList order;    // the terms, the row key last
        QStringList reversed; // the same order backwards; empty when it cannot be turned
        QString name;         // the table unquoted
    };

    void assign(std::vector<qint64> keys)
    {
        *this = KeyView();
        m_all = std::move(keys);
    }

    // Counts the rows; the keys are read as they are asked for.
    void window(Query query)
    {
        *this = KeyView();
        m_query = std::move(query);
        m_windowed = true;
        // A table the database counts as it is written is not counted again.
        if (m_query.condition.isEmpty()) {
            if (const auto kept = Database::keptCounts(m_query.name)) {
                m_count = kept->rows;
                return;
            }
        }
        sqlite::Statement stmt(Database::handle(),
                               QStringLiteral("SELECT COUNT(*) FROM %1%2")
                                   .arg(m_query.table, where(m_query.condition, false)));
        bindValues(stmt, false);
        m_count = stmt.step() ? stmt.columnInt(0) : 0;
    }

    bool windowed() const { return m_windowed; }
    size_t size() const { return m_windowed ? size_t(m_count) + m_added.size() : m_all.size(); }
    bool empty() const { return size() == 0; }

    // 0 for a row the database no longer has.
    qint64 at(size_t i) const
    {
        if (!m_windowed)
            return m_all[i];
        if (i >= size_t(m_count))
            return m_added[i - size_t(m_count)];
        const qint64 chunk = qint64(i) / windowRows;
        auto it = m_chunks.find(chunk);
        if (it == m_chunks.end())
            it = readChunk(chunk);
        const size_t within = i - size_t(chunk * windowRows);
        return within < it->second.size() ? it->second[within] : 0;
    }

    void push_back(qint64 key)
    {
        if (m_windowed)
            m_added.push_back(key);
        else
            m_all.push_back(key);
    }

    void erase(size_t i)
    {
        if (!m_windowed) {
            m_all.erase(m_all.begin() + qsizetype(i));
        } else if (i >= size_t(m_count)) {
            m_added.erase(m_added.begin() + qsizetype(i - size_t(m_count)));
        } else {
            // The rows after it move up by one in the database as in the view.
            --m_count;
            m_chunks.clear();
        }
    }

    // Takes a key out of a view read whole; false when it is not there or the
    // view is read in windows.
    bool eraseKey(qint64 key)
    {
        if (m_windowed)
            return false;
        const auto at = std::find(m_all.begin(), m_all.end(), key);
        if (at == m_all.end())
            return false;
        m_all.erase(at);
        return true;
    }

    // So many rows added and stored that leaving them out of each window
    // would cost more than reading the keys whole.
    bool crowded() const
    {
        return m_windowed && std::count_if(m_added.begin(), m_added.end(),
                                           [](qint64 k) { return k > 0; }) >= addedLeftOutAtMost;
    }

    // A new row's key once it is stored.
    void replace(qint64 from, qint64 to)
    {
        std::vector<qint64> &keys = m_windowed ? m_added : m_all;
        for (auto k = keys.rbegin(); k != keys.rend(); ++k) {
            if (*k == from) {
                *k = to;
                return;
            }
        }
    }

    // Reads every key, so that the view stays as it is whatever is written.
    void readWhole()
    {
        if (!m_windowed)
            return;
        sqlite::Statement stmt(Database::handle(), select(m_query.order, QString()));
        bindValues(stmt);
        std::vector<qint64> keys;
        keys.reserve(size());
        while (stmt.step())
            keys.push_back(stmt.columnInt(0));
        // Rows another program added or removed meanwhile keep the count shown.
        keys.resize(size_t(m_count), 0);
        keys.insert(keys.end(), m_added.begin(), m_added.end());
        assign(std::move(keys));
    }

private:
    static constexpr qint64 windowRows = 256;
    static constexpr size_t windowsKept = 64;
    static constexpr long addedLeftOutAtMost = 500;

    QString where(const QString &condition, bool leaveOutAdded) const
    {
        QStringList parts;
        if (!condition.isEmpty())
            parts << u'(' + condition + u')';
        if (leaveOutAdded) {
            QStringList marks;
            for (qint64 key : m_added) {
                if (key > 0)
                    marks << QStringLiteral("?");
            }
            if (!marks.isEmpty())
                parts << QStringLiteral("%1 NOT IN (%2)").arg(sqlite::rowKey(), marks.join(u','));
        }
        return parts.isEmpty() ? QString() : QStringLiteral(" WHERE ") + parts.join(u" AND ");
    }

    QString select(const QStringList &order, const QString &limit) const
    {
        return QStringLiteral("SELECT %1 FROM %2%3 ORDER BY %4%5")
            .arg(sqlite::rowKey(), m_query.table, where(m_query.condition, true), order.join(u", "),
                 limit);
    }

    int bindValues(sqlite::Statement &stmt, bool leaveOutAdded = true) const
    {
        int index = 1;
        for (const QVariant &value : m_query.values)
            stmt.bind(index++, value);
        if (leaveOutAdded) {
            for (qint64 key : m_added) {
                if (key > 0)
                    stmt.bindInt(index++, key);
            }
        }
        return index;
    }

    std::unordered_map<qint64, std::vector<qint64>>::iterator readChunk(qint64 chunk) const
    {
        const qint64 first = chunk * windowRows;
        const qint64 end = std::min<qint64>(m_count, first + windowRows);
        // The far half of the view is read backwards from its end.
        const bool backwards = !m_query.reversed.isEmpty() && first > m_count / 2;
        sqlite::Statement stmt(Database::handle(),
                               select(backwards ? m_query.reversed : m_query.order,
                                      QStringLiteral(" LIMIT ? OFFSET ?")));
        const int index = bindValues(stmt);
        stmt.bindInt(index, end - first);
        stmt.bindInt(index + 1, backwards ? m_count - end : first);
        std::vector<qint64> keys;
        keys.reserve(size_t(end - first));
        while (stmt.step())
            keys.push_back(stmt.columnInt(0));
        if (backwards) {
            // Fewer rows than counted: the missing ones are the first.
            keys.resize(size_t(end - first), 0);
            std::reverse(keys.begin(), keys.end());
        }
        if (m_chunks.size() >= windowsKept)
            m_chunks.clear();
        return m_chunks.emplace(chunk, std::move(keys)).first;
    }

    std::vector<qint64> m_all;
    bool m_windowed = false;
    Query m_query;
    qint64 m_count = 0;
    std::vector<qint64> m_added; // rows added to a windowed view, in order
    mutable std::unordered_map<qint64, std::vector<qint64>> m_chunks;
};

// The order backwards, term by term; empty when a term cannot be turned.
QStringList reversedOrder(const QStringList &order)
{
    static const QRegularExpression direction(QStringLiteral("\\s+(asc|desc)\\s*$"),
                                              QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression unsure(QStringLiteral("[()]|\\bnulls\\b"),
                                           QRegularExpression::CaseInsensitiveOption);
    QStringList terms;
    for (const QString &part : order)
        terms << part.split(u',');
    QStringList reversed;
    for (const QString &term : terms) {
        if (unsure.match(term).hasMatch())
            return {};
        const auto m = direction.match(term);
        if (!m.hasMatch())
            reversed << term.trimmed() + QStringLiteral(" DESC");
        else if (m.captured(1).compare(u"desc", Qt::CaseInsensitive) == 0)
            reversed << term.left(m.capturedStart()).trimmed() + QStringLiteral(" ASC");
        else
            reversed << term.left(m.capturedStart()).trimmed() + QStringLiteral(" DESC");
    }
    return reversed;
}

QVariant normalised(RecordSet::FieldType type, const QVariant &value)
{
    if (value.typeId() == QMetaType::Double && type != RecordSet::FieldType::Number) {
        const double v = value.toDouble();
        if (std::trunc(v) == v && std::fabs(v) < 9e15)
            return qint64(v);
    }
    return value;
}

} // namespace

struct RecordSet::Data
{
    QString source;
    QVariantList values;
    QString table;       // empty when read-only
    QString sourceWhere; // the source's own condition, with its "?" marks
    QString sourceOrder; // the source's own order
    bool open = false;

    std::vector<Column> columns;

    // The view: one key per row in order. Rows of a table are keyed by the
    // table's row key; rows added and not yet stored have negative keys; the
    // rows of a read-only statement are numbered as read.
    KeyView keys;
    std::vector<Row> readOnlyRows;
    mutable std::unordered_map<qint64, ReadRow> cache;
    std::unordered_map<qint64, Pending> pending;
    qint64 nextNewKey = -1;

    int position = -1;
    bool onHole = false; // the current row was deleted; position is where it stood

    Filter filter;
    QString sort;

    // The keys of the whole view as last read, and how the database stood
    // then: while nothing but this record set's own changes to other columns
    // was written since, re-reading gives these keys again without a read.
    KeyView baseKeys;
    bool baseValid = false;
    qint64 baseVersion = -1;
    qint64 baseChanges = -1;
    qint64 ownChanges = 0;

    bool placesRows(const QString &column) const
    {
        const QRegularExpression word(
            QStringLiteral("\\b%1\\b").arg(QRegularExpression::escape(column)),
            QRegularExpression::CaseInsensitiveOption);
        return word.match(sourceOrder).hasMatch() || word.match(sourceWhere).hasMatch();
    }

    // The rows (of a read-only statement) or the keys of the whole view (of a
    // table) are read when first asked for: a screen that filters its view
    // at once never reads the whole.
    mutable bool unread = false;
    KeyView::Query wholeKeys; // the keys of the whole view, in order
    void readAllRows() const;

    int rowCount() const
    {
        readAllRows();
        return int(keys.size());
    }
    bool updatable() const { return !table.isEmpty(); }

    // The row still holds the values read: each column named with the
    // value the database gave, bound after the row's key.
    QString readCondition() const
    {
        QStringList parts{sqlite::rowKey() + QStringLiteral(" = ?")};
        for (const Column &c : columns)
            parts << sqlite::sameAsBound(sqlite::quoteIdentifier(c.baseName));
        return parts.join(QStringLiteral(" AND "));
    }

    void bindRead(sqlite::Statement &stmt, int index, qint64 key, const Row &read) const
    {
        stmt.bindInt(index++, key);
        for (size_t c = 0; c < columns.size(); ++c)
            stmt.bindStored(index++, c < read.size() ? read[c] : QVariant());
    }

    QString columnExpr(int column) const
    {
        const Column &c = columns[size_t(column)];
        return sqlite::quoteIdentifier(updatable() ? c.baseName : c.name);
    }

    const Row &emptyRow() const
    {
        static const Row none;
        return none;
    }

    // The rows of the table around `at` that are not read yet, read in one go.
    void fetchAround(int at) const
    {
        std::vector<qint64> wanted;
        wanted.reserve(fetchBatch);
        const int first = std::max(0, at - fetchBatch / 4);
        for (int i = first; i < rowCount() && int(wanted.size()) < fetchBatch; ++i) {
            const qint64 key = keys.at(size_t(i));
            if (key > 0 && !cache.count(key))
                wanted.push_back(key);
        }
        if (wanted.empty())
            return;
        if (cache.size() + wanted.size() > cacheLimit)
            cache.clear();
        QStringList marks;
        for (int i = 0; i < fetchBatch; ++i)
            marks << QStringLiteral("?");
        sqlite::Statement stmt(
            Database::handle(),
            QStringLiteral("SELECT %1, * FROM %2 WHERE %1 IN (%3)")
                .arg(sqlite::rowKey(), sqlite::quoteIdentifier(table), marks.join(u',')));
        for (int i = 0; i < fetchBatch; ++i)
            stmt.bindInt(i + 1, wanted[size_t(std::min<int>(i, int(wanted.size()) - 1))]);
        while (stmt.step()) {
            ReadRow row{Row(columns.size()), Row(columns.size())};
            // Stored form first: reading a value as text can change how the
            // database then reports its type.
            for (size_t c = 0; c < columns.size(); ++c) {
                row.stored[c] = stmt.columnStored(int(c) + 1);
                row.values[c] = decodeColumn(stmt, int(c) + 1, columns[c].type);
            }
            cache[stmt.columnInt(0)] = std::move(row);
        }
        // A row another program deleted since the keys were read shows empty.
        for (qint64 key : wanted) {
            if (!cache.count(key))
                cache[key] = ReadRow{Row(columns.size()), Row(columns.size()), true};
        }
    }

    // The row of the table at `at` as last read; null for a new row or a
    // row of a read-only statement.
    const ReadRow *readRowAt(int at) const
    {
        if (at < 0 || at >= rowCount() || !updatable())
            return nullptr;
        const qint64 key = keys.at(size_t(at));
        if (key <= 0)
            return nullptr;
        auto it = cache.find(key);
        if (it == cache.end()) {
            fetchAround(at);
            it = cache.find(key);
            if (it == cache.end())
                return nullptr;
        }
        return &it->second;
    }

    const Row &rowAt(int at) const
    {
        if (at < 0 || at >= rowCount())
            return emptyRow();
        const qint64 key = keys.at(size_t(at));
        if (const auto p = pending.find(key); p != pending.end())
            return p->second.row;
        if (!updatable())
            return readOnlyRows[size_t(key)];
        const ReadRow *read = readRowAt(at);
        return read ? read->values : emptyRow();
    }

    QVariant cellValue(int column, int at) const
    {
        const Row &row = rowAt(at);
        return size_t(column) < row.size() ? row[size_t(column)] : QVariant();
    }

    QString cellText(int column, int at) const
    {
        const QVariant v = cellValue(column, at);
        if (!v.isValid() || v.isNull())
            return QString();
        switch (v.typeId()) {
        case QMetaType::QDate:
            return dates::format(v.toDate());
        case QMetaType::QTime:
            return dates::formatTime(v.toTime());
        case QMetaType::Double:
        case QMetaType::LongLong:
            return amounts::write(v.toDouble());
        default:
            return v.toString();
        }
    }
};

// --- opening and reading ----------------------------------------------------

void RecordSet::Data::readAllRows() const
{
    if (!unread)
        return;
    auto *self = const_cast<Data *>(this);
    sqlite3 *db = Database::handle();
    if (updatable()) {
        // Counted now; the keys are read in windows as the rows are shown.
        KeyView whole;
        whole.window(wholeKeys);
        self->keys = whole;
        self->baseKeys = std::move(whole);
        self->baseValid = true;
        self->baseVersion = sqlite::dataVersion(db);
        self->baseChanges = sqlite::totalChanges(db);
        self->ownChanges = 0;
        self->readOnlyRows.clear();
    } else {
        sqlite::Statement stmt(db, source);
        for (int i = 0; i < values.size(); ++i)
            stmt.bind(i + 1, values[i]);
        std::vector<qint64> read;
        std::vector<Row> rows;
        const size_t count = columns.size();
        while (stmt.step()) {
            Row row(count);
            for (size_t c = 0; c < count; ++c)
                row[c] = decodeColumn(stmt, int(c), columns[c].type);
            read.push_back(qint64(rows.size()));
            rows.push_back(std::move(row));
        }
        self->keys.assign(std::move(read));
        self->readOnlyRows = std::move(rows);
    }
    unread = false;
    if (self->position == -1 && !self->keys.empty())
        self->position = 0;
}

RecordSet::RecordSet(QObject *parent) : QObject(parent), d(std::make_unique<Data>())
{
}

RecordSet::RecordSet(const QString &source, QObject *parent) : RecordSet(parent)
{
    open(source);
}

RecordSet::RecordSet(const QString &source, const QVariantList &values, QObject *parent)
    : RecordSet(parent)
{
    open(source, values);
}

RecordSet::~RecordSet() = default;

void RecordSet::open(const QString &source)
{
    open(source, QVariantList());
}

void RecordSet::open(const QString &source, const QVariantList &values)
{
    static const QRegularExpression tableOnly(QStringLiteral("^\\s*([A-Za-z_][A-Za-z0-9_]*)\\s*$"));
    static const QRegularExpression selectAll(
        QStringLiteral(
            "^\\s*select\\s+\\*\\s+from\\s+(\"[^\"]+\"|\\[[^\\]]+\\]|[A-Za-z_][A-Za-z0-9_]*)"
            "(?:\\s+where\\s+(.*?))?(?:\\s+order\\s+by\\s+(.*?))?\\s*$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);

    auto fresh = std::make_unique<Data>();
    fresh->source = source;
    fresh->values = values;
    if (const auto m = tableOnly.match(source); m.hasMatch()) {
        fresh->table = m.captured(1);
    } else if (const auto m2 = selectAll.match(source); m2.hasMatch()) {
        QString table = m2.captured(1);
        if (table.startsWith(u'"') || table.startsWith(u'['))
            table = table.mid(1, table.size() - 2);
        fresh->table = table;
        fresh->sourceWhere = m2.captured(2).trimmed();
        fresh->sourceOrder = m2.captured(3).trimmed();
    }

    // The columns, as the statement names them and the table declares them.
    {
        const QString probe = fresh->updatable() ? QStringLiteral("SELECT * FROM ") +
                                                       sqlite::quoteIdentifier(fresh->table)
                                                 : source;
        sqlite::Statement stmt(Database::handle(), probe);
        int expression = 1000;
        for (int i = 0; i < stmt.columnCount(); ++i) {
            Column c;
            c.name = stmt.columnName(i);
            const QString origin = stmt.columnOrigin(i);
            c.baseName = origin.isEmpty() ? c.name : origin;
            c.type = columnFieldType(stmt, i);
            // An unnamed computed column gets the name the database of old gave it.
            if (origin.isEmpty() && c.name.contains(u'('))
                c.name = QStringLiteral("Expr%1").arg(expression++);
            fresh->columns.push_back(c);
        }
    }

    emit aboutToReset();
    std::swap(d, fresh);
    try {
        readKeys(Filter(), QString());
    } catch (...) {
        std::swap(d, fresh);
        emit reset();
        throw;
    }
    d->open = true;
    d->position = d->keys.empty() ? -1 : 0;
    emit reset();
    emit positionChanged();
}

// Reads the keys of the rows that pass `filter`, in the order of `sort` and
// then the source's own order. Nothing changes when it fails.
void RecordSet::readKeys(const Filter &filter, const QString &sort)
{
    Where where;
    if (!d->sourceWhere.isEmpty())
        where.parts << u'(' + d->sourceWhere + u')';
    where.values = d->values;
    for (const Filter::Term &term : filter.terms()) {
        const int column = requireField(*this, term.column);
        const QString textList =
            d->updatable() && (term.op == Filter::Op::Contains || term.op == Filter::Op::BeginsWith)
                ? Database::textList(d->table, d->columns[size_t(column)].baseName)
                : QString();
        addTerm(where, d->columnExpr(column), fieldType(column), fieldName(column), term, textList);
    }

    QStringList order;
    for (const QString &part : sort.split(u',', Qt::SkipEmptyParts)) {
        QStringList words = part.simplified().split(u' ');
        if (words.isEmpty() || words.first().isEmpty())
            continue;
        bool descending = false;
        if (words.size() > 1) {
            const QString direction = words.takeLast();
            if (direction.compare(u"desc", Qt::CaseInsensitive) == 0)
                descending = true;
            else if (direction.compare(u"asc", Qt::CaseInsensitive) != 0)
                words << direction;
        }
        const int column = requireField(*this, words.join(u' '));
        QString key = d->columnExpr(column);
        const FieldType type = fieldType(column);
        if (type == FieldType::Text || type == FieldType::Any)
            key += QStringLiteral(" COLLATE ") + sqlite::foldedCollation();
        order << key + (descending ? QStringLiteral(" DESC") : QString());
    }

    const QString condition =
        where.parts.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where.parts.join(u" AND ");
    std::vector<qint64> keys;
    std::vector<Row> rows;
    if (d->updatable()) {
        if (!d->sourceOrder.isEmpty()) {
            if (where.parts.isEmpty()) {
                order << d->sourceOrder;
            } else {
                // Filtered, the rows are found first and then put in order:
                // walking the whole table in order to test each row would
                // read all of it at random.
                for (const QString &term : d->sourceOrder.split(u',', Qt::SkipEmptyParts))
                    order << u'+' + term.trimmed();
            }
        }
        order << sqlite::rowKey(); // rows that tie keep the table's order
        const QString sql = QStringLiteral("SELECT %1 FROM %2%3 ORDER BY %4")
                                .arg(sqlite::rowKey(), sqlite::quoteIdentifier(d->table), condition,
                                     order.join(u", "));
        sqlite::Statement stmt(Database::handle(), sql); // a faulty source fails here
        if (filter.isEmpty() && sort.isEmpty()) {
            d->wholeKeys = KeyView::Query{sqlite::quoteIdentifier(d->table),
                                          where.parts.join(u" AND "),
                                          where.values,
                                          order,
                                          reversedOrder(order),
                                          d->table};
            d->unread = true;
        } else {
            d->unread = false;
            for (int i = 0; i < where.values.size(); ++i)
                stmt.bind(i + 1, where.values[i]);
            while (stmt.step())
                keys.push_back(stmt.columnInt(0));
        }
    } else if (condition.isEmpty() && order.isEmpty()) {
        d->unread = true;
    } else {
        QString sql = d->source;
        {
            sql = QStringLiteral("SELECT * FROM (%1) AS lexordo_view%2").arg(d->source, condition);
            if (!order.isEmpty())
                sql += QStringLiteral(" ORDER BY ") + order.join(u", ");
        }
        d->unread = false;
        sqlite::Statement stmt(Database::handle(), sql);
        for (int i = 0; i < where.values.size(); ++i)
            stmt.bind(i + 1, where.values[i]);
        const size_t count = d->columns.size();
        while (stmt.step()) {
            Row row(count);
            for (size_t c = 0; c < count; ++c)
                row[c] = decodeColumn(stmt, int(c), d->columns[c].type);
            keys.push_back(qint64(rows.size()));
            rows.push_back(std::move(row));
        }
    }
    d->keys.assign(std::move(keys));
    d->readOnlyRows = std::move(rows);
    d->cache.clear();
    d->pending.clear();
    d->filter = filter;
    d->sort = sort;
    d->onHole = false;
}

void RecordSet::requery()
{
    if (!d->open)
        throw DataError(QStringLiteral("The record set is not open."));
    updateBatch();
    emit aboutToReset();
    try {
        sqlite3 *db = Database::handle();
        if (d->baseValid && sqlite::dataVersion(db) == d->baseVersion &&
            sqlite::totalChanges(db) == d->baseChanges + d->ownChanges) {
            // Nothing written that could add, drop or move a row: the keys
            // read last are the table's keys now.
            d->keys = d->baseKeys;
            d->unread = false;
            d->pending.clear();
            d->filter = Filter();
            d->sort.clear();
            d->onHole = false;
        } else {
            readKeys(Filter(), QString());
        }
    } catch (...) {
        emit reset();
        throw;
    }
    d->position = d->keys.empty() ? -1 : 0;
    emit reset();
    emit positionChanged();
}

void RecordSet::requery(const Filter &filter)
{
    if (!d->open)
        throw DataError(QStringLiteral("The record set is not open."));
    storePendingBeforeMove();
    updateBatch();
    emit aboutToReset();
    try {
        readKeys(filter, QString());
    } catch (...) {
        emit reset();
        throw;
    }
    d->position = d->keys.empty() ? -1 : 0;
    emit reset();
    emit positionChanged();
}

void RecordSet::close()
{
    emit aboutToReset();
    d = std::make_unique<Data>();
    emit reset();
    emit positionChanged();
}

bool RecordSet::isOpen() const
{
    return d->open;
}

QString RecordSet::source() const
{
    return d->source;
}

bool RecordSet::isUpdatable() const
{
    return d->updatable();
}

QString RecordSet::tableName() const
{
    return d->table;
}

// --- columns ------------------------------------------------------------------

int RecordSet::fieldCount() const
{
    return int(d->columns.size());
}

QString RecordSet::fieldName(int column) const
{
    return column >= 0 && column < fieldCount() ? d->columns[size_t(column)].name : QString();
}

RecordSet::FieldType RecordSet::fieldType(int column) const
{
    return column >= 0 && column < fieldCount() ? d->columns[size_t(column)].type : FieldType::Any;
}

int RecordSet::fieldIndex(const QString &name) const
{
    for (int i = 0; i < fieldCount(); ++i) {
        if (d->columns[size_t(i)].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

// --- position -------------------------------------------------------------------

int RecordSet::rowCount() const
{
    return d->rowCount();
}

int RecordSet::position() const
{
    d->readAllRows();
    return d->position;
}

bool RecordSet::isBOF() const
{
    return d->rowCount() == 0 || d->position < 0;
}

bool RecordSet::isEOF() const
{
    return d->rowCount() == 0 || d->position >= rowCount();
}

bool RecordSet::hasCurrentRow() const
{
    d->readAllRows();
    return !d->onHole && d->position >= 0 && d->position < rowCount();
}

qint64 RecordSet::currentKey() const
{
    return hasCurrentRow() ? d->keys.at(size_t(d->position)) : 0;
}

qint64 RecordSet::requireCurrentRow() const
{
    if (!hasCurrentRow())
        throw DataError(noCurrentRow);
    return d->keys.at(size_t(d->position));
}

void RecordSet::storePendingBeforeMove()
{
    if (d->pending.empty() || !hasCurrentRow())
        return;
    const qint64 key = currentKey();
    const auto it = d->pending.find(key);
    if (it == d->pending.end())
        return;
    if (it->second.isNew && !it->second.touched) {
        // A new row that nothing was typed into is dropped, never stored empty.
        cancelUpdate();
        return;
    }
    storeRow(key);
}

void RecordSet::setPosition(int position)
{
    const int clamped = std::clamp(position, -1, rowCount());
    const bool changed = clamped != d->position || d->onHole;
    d->position = clamped;
    d->onHole = false;
    if (changed)
        emit positionChanged();
}

void RecordSet::moveFirst()
{
    storePendingBeforeMove();
    setPosition(d->rowCount() == 0 ? -1 : 0);
}

void RecordSet::moveLast()
{
    storePendingBeforeMove();
    setPosition(d->rowCount() == 0 ? -1 : rowCount() - 1);
}

void RecordSet::moveNext()
{
    if (d->rowCount() == 0 || d->position >= rowCount())
        return;
    storePendingBeforeMove();
    // From a deleted row, the next row is the one now standing in its place.
    setPosition(d->onHole ? d->position : d->position + 1);
}

void RecordSet::movePrevious()
{
    if (d->rowCount() == 0 || d->position < 0)
        return;
    storePendingBeforeMove();
    setPosition(d->position - 1);
}

void RecordSet::moveTo(int row)
{
    if (row == d->position && !d->onHole)
        return;
    storePendingBeforeMove();
    setPosition(row);
}

// --- values -----------------------------------------------------------------------

QVariant RecordSet::value(int column) const
{
    if (!hasCurrentRow() || column < 0 || column >= fieldCount())
        return QVariant();
    return d->cellValue(column, d->position);
}

QVariant RecordSet::value(const QString &name) const
{
    return value(requireField(*this, name));
}

QString RecordSet::text(int column) const
{
    if (!hasCurrentRow() || column < 0 || column >= fieldCount())
        return QString();
    return d->cellText(column, d->position);
}

QString RecordSet::text(const QString &name) const
{
    return text(requireField(*this, name));
}

bool RecordSet::isNull(int column) const
{
    if (!hasCurrentRow() || column < 0 || column >= fieldCount())
        return true;
    const QVariant v = d->cellValue(column, d->position);
    return !v.isValid() || v.isNull() ||
           (fieldType(column) == FieldType::Text && v.toString().isEmpty());
}

bool RecordSet::isNull(const QString &name) const
{
    return isNull(requireField(*this, name));
}

QVariant RecordSet::valueAt(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= fieldCount())
        return QVariant();
    return d->cellValue(column, row);
}

QString RecordSet::textAt(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= fieldCount())
        return QString();
    return d->cellText(column, row);
}

QString RecordSet::typeName(FieldType type)
{
    switch (type) {
    case FieldType::Date:
        return QStringLiteral("date");
    case FieldType::Time:
        return QStringLiteral("time");
    case FieldType::Number:
        return QStringLiteral("number");
    case FieldType::Integer:
        return QStringLiteral("whole number");
    default:
        return QStringLiteral("value");
    }
}

QVariant RecordSet::convert(FieldType type, const QString &column, const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QVariant();

    const bool isText = value.typeId() == QMetaType::QString;
    const QString text = isText ? value.toString() : QString();
    if (isText && text.trimmed().isEmpty())
        return QVariant();

    auto refuse = [&](const QString &shown) -> DataError {
        return DataError(
            QStringLiteral("\"%1\" is not a valid %2 for %3.").arg(shown, typeName(type), column));
    };
    // A NUL character ends the text wherever it is read as C text: the
    // rest would be stored out of sight.
    if (isText && text.contains(QChar(u'\0')))
        throw DataError(
            QStringLiteral("The text for %1 holds a NUL character, which cannot be stored.")
                .arg(column));

    switch (type) {
    case FieldType::Date:
        if (value.typeId() == QMetaType::QDate) {
            if (!value.toDate().isValid())
                throw refuse(QString());
            return value;
        }
        if (value.typeId() == QMetaType::QDateTime)
            return value.toDateTime().date();
        if (isText) {
            if (auto date = dates::parse(text))
                return *date;
            if (auto iso = dates::parseIso(text.trimmed()); iso && text.trimmed().size() == 10)
                return *iso;
        }
        throw refuse(value.toString());
    case FieldType::Time:
        if (value.typeId() == QMetaType::QTime)
            return value;
        if (value.typeId() == QMetaType::QDateTime)
            return value.toDateTime().time();
        if (isText) {
            if (auto time = dates::parseTime(text))
                return *time;
        }
        throw refuse(value.toString());
    case FieldType::Number:
    case FieldType::Integer: {
        std::optional<double> number;
        if (isText) {
            number = amounts::parse(text);
        } else {
            bool ok = false;
            const double v = value.toDouble(&ok);
            if (ok && std::isfinite(v) && value.typeId() != QMetaType::QDate)
                number = v;
        }
        if (!number && type == FieldType::Number)
            throw DataError(amounts::notAnAmount(column, value.toString()));
        if (!number)
            throw refuse(value.toString());
        if (type == FieldType::Integer && std::trunc(*number) != *number)
            throw refuse(value.toString());
        // Beyond this a whole number is no longer kept exactly (and beyond
        // the column's range it would wrap round).
        if (type == FieldType::Integer && std::fabs(*number) > largestWholeNumber)
            throw DataError(QStringLiteral("\"%1\" is too large a whole number for %2 (at most "
                                           "%3 either side of 0).")
                                .arg(value.toString(), column)
                                .arg(largestWholeNumber, 0, 'f', 0));
        return QVariant(*number);
    }
    case FieldType::Text:
        if (value.typeId() == QMetaType::QDate)
            return dates::format(value.toDate());
        return value.toString();
    case FieldType::Any: {
        if (value.typeId() == QMetaType::QDate)
            return value;
        if (!isText) {
            bool ok = false;
            const double v = value.toDouble(&ok);
            if (ok)
                return QVariant(v);
        }
        return value.toString();
    }
    }
    return QVariant();
}

void RecordSet::setValue(int column, const QVariant &value)
{
    if (!isUpdatable())
        throw DataError(QStringLiteral("The record set %1 cannot be changed.").arg(d->source));
    const qint64 key = requireCurrentRow();
    if (column < 0 || column >= fieldCount())
        throw DataError(QStringLiteral("There is no column %1.").arg(column));
    const Column &c = d->columns[size_t(column)];
    const QVariant converted = normalised(c.type, convert(c.type, c.name, value));

    auto it = d->pending.find(key);
    if (it == d->pending.end()) {
        Pending p;
        p.row = d->rowAt(d->position);
        p.row.resize(d->columns.size());
        p.changed.assign(d->columns.size(), false);
        // The row is changed only while it still holds what was shown.
        if (const ReadRow *read = d->readRowAt(d->position)) {
            p.read = read->stored;
            p.readMissing = read->missing;
        } else {
            p.readMissing = true;
        }
        it = d->pending.emplace(key, std::move(p)).first;
    }
    it->second.changed[size_t(column)] = true;
    it->second.touched = true;
    it->second.row[size_t(column)] = converted;
    emit rowChanged(d->position);
}

void RecordSet::setValue(const QString &name, const QVariant &value)
{
    setValue(requireField(*this, name), value);
}

// --- changes ------------------------------------------------------------------------

void RecordSet::addNew()
{
    if (!isUpdatable())
        throw DataError(QStringLiteral("The record set %1 cannot be changed.").arg(d->source));
    storePendingBeforeMove();

    const qint64 key = d->nextNewKey--;
    emit aboutToInsertRow(rowCount());
    d->keys.push_back(key);
    Pending &p = d->pending[key];
    p.isNew = true;
    p.changed.assign(d->columns.size(), false);
    p.row.assign(d->columns.size(), QVariant());

    d->position = rowCount() - 1;
    d->onHole = false;
    emit rowInserted(d->position);
    emit positionChanged();
}

void RecordSet::storeRow(qint64 key)
{
    auto it = d->pending.find(key);
    if (it == d->pending.end())
        return;
    Pending &p = it->second;
    sqlite3 *db = Database::handle();
    const QString table = sqlite::quoteIdentifier(d->table);

    if (p.isNew) {
        if (d->keys.crowded())
            d->keys.readWhole();
        QStringList names;
        QStringList marks;
        for (const Column &c : d->columns) {
            names << sqlite::quoteIdentifier(c.baseName);
            marks << QStringLiteral("?");
        }
        sqlite::Statement stmt(db, QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                       .arg(table, names.join(u", "), marks.join(u", ")));
        for (int i = 0; i < fieldCount(); ++i)
            bindForColumn(stmt, i + 1, p.row[size_t(i)], d->columns[size_t(i)].type);
        stmt.step();
        const qint64 stored = sqlite::lastInsertKey(db);
        d->baseValid = false; // a new row has its place in the order to be found
        d->pending.erase(it);
        d->keys.replace(key, stored);
        d->cache.erase(stored); // read back as the table keeps it
        return;
    }
    QStringList sets;
    std::vector<int> columns;
    for (int i = 0; i < fieldCount(); ++i) {
        if (p.changed[size_t(i)]) {
            sets << sqlite::quoteIdentifier(d->columns[size_t(i)].baseName) +
                        QStringLiteral(" = ?");
            columns.push_back(i);
        }
    }
    if (!columns.empty()) {
        // Checked before the view is read whole below, which would take the
        // order another desk's change gave the rows.
        requireAsRead(key, p.read, p.readMissing);
        // A row that moves in the order would move under the windows.
        for (int column : columns) {
            if (d->placesRows(d->columns[size_t(column)].baseName))
                d->keys.readWhole();
        }
        sqlite::Statement stmt(db, QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                                       .arg(table, sets.join(u", "), d->readCondition()));
        int index = 1;
        for (int column : columns)
            bindForColumn(stmt, index++, p.row[size_t(column)], d->columns[size_t(column)].type);
        d->bindRead(stmt, index, key, p.read);
        stmt.step();
        if (sqlite::changes(db) == 0)
            readAgainAndRefuse(key);
        d->ownChanges += sqlite::changes(db);
        for (int column : columns) {
            if (d->placesRows(d->columns[size_t(column)].baseName))
                d->baseValid = false;
        }
    }
    d->pending.erase(it);
    d->cache.erase(key);
}

void RecordSet::requireAsRead(qint64 key, const Row &read, bool missing)
{
    if (!missing) {
        sqlite::Statement stmt(Database::handle(),
                               QStringLiteral("SELECT 1 FROM %1 WHERE %2")
                                   .arg(sqlite::quoteIdentifier(d->table), d->readCondition()));
        d->bindRead(stmt, 1, key, read);
        if (stmt.step())
            return;
    }
    readAgainAndRefuse(key);
}

void RecordSet::readAgainAndRefuse(qint64 key)
{
    d->pending.erase(key);
    d->cache.erase(key);
    bool gone = true;
    {
        sqlite::Statement stmt(Database::handle(),
                               QStringLiteral("SELECT 1 FROM %1 WHERE %2 = ?")
                                   .arg(sqlite::quoteIdentifier(d->table), sqlite::rowKey()));
        stmt.bindInt(1, key);
        gone = !stmt.step();
    }
    if (hasCurrentRow() && currentKey() == key) {
        const int at = d->position;
        if (gone) {
            // The row that now stands in its place, or past the end.
            removeFromView(at);
            d->position = rowCount() == 0 ? -1 : std::min(at, rowCount());
            d->onHole = false;
            emit positionChanged();
        } else {
            emit rowChanged(at);
        }
    }
    throw ChangedElsewhere();
}

void RecordSet::update()
{
    if (!hasCurrentRow())
        return;
    storeRow(currentKey());
}

void RecordSet::updateBatch()
{
    // Stored rows first, then new rows in the order they were added.
    std::vector<qint64> keys;
    for (const auto &[key, p] : d->pending)
        keys.push_back(key);
    std::sort(keys.begin(), keys.end(), [](qint64 a, qint64 b) {
        if ((a > 0) != (b > 0))
            return a > 0;
        return a > 0 ? a < b : a > b;
    });
    for (qint64 key : keys) {
        const auto it = d->pending.find(key);
        if (it != d->pending.end() && it->second.isNew && !it->second.touched)
            continue; // an empty new row waits for Save or is dropped
        storeRow(key);
    }
}

void RecordSet::removeFromView(int at)
{
    emit aboutToRemoveRow(at);
    d->keys.erase(size_t(at));
    emit rowRemoved(at);
}

void RecordSet::cancelUpdate()
{
    if (!hasCurrentRow())
        return;
    const qint64 key = currentKey();
    const auto it = d->pending.find(key);
    if (it == d->pending.end())
        return;
    const bool isNew = it->second.isNew;
    d->pending.erase(it);
    if (isNew) {
        const int at = d->position;
        removeFromView(at);
        d->position = std::min(at, rowCount());
        if (d->position >= rowCount())
            d->position = rowCount() > 0 ? rowCount() - 1 : -1;
        emit positionChanged();
        return;
    }
    emit rowChanged(d->position);
}

bool RecordSet::isDirty() const
{
    if (!hasCurrentRow())
        return false;
    const auto it = d->pending.find(currentKey());
    return it != d->pending.end() && it->second.touched;
}

bool RecordSet::isNewRow() const
{
    if (!hasCurrentRow())
        return false;
    const auto it = d->pending.find(currentKey());
    return it != d->pending.end() && it->second.isNew;
}

bool RecordSet::hasPendingChanges() const
{
    for (const auto &[key, p] : d->pending) {
        if (p.touched)
            return true;
    }
    return false;
}

void RecordSet::deleteCurrent()
{
    if (!isUpdatable())
        throw DataError(QStringLiteral("The record set %1 cannot be changed.").arg(d->source));
    const qint64 key = requireCurrentRow();
    const auto it = d->pending.find(key);
    const bool stored = it == d->pending.end() || !it->second.isNew;
    if (stored) {
        // Only the row as it was read is deleted, never one stored since under its key.
        Row read;
        bool missing = true;
        if (it != d->pending.end()) {
            read = it->second.read;
            missing = it->second.readMissing;
        } else if (const ReadRow *row = d->readRowAt(d->position)) {
            read = row->stored;
            missing = row->missing;
        }
        requireAsRead(key, read, missing);
        // Rolled back, the row would come back under the windows.
        if (Database::inTransaction())
            d->keys.readWhole();
        sqlite::Statement stmt(Database::handle(),
                               QStringLiteral("DELETE FROM %1 WHERE %2")
                                   .arg(sqlite::quoteIdentifier(d->table), d->readCondition()));
        d->bindRead(stmt, 1, key, read);
        stmt.step();
        if (sqlite::changes(Database::handle()) == 0)
            readAgainAndRefuse(key);
        d->ownChanges += sqlite::changes(Database::handle());
        // A delete inside a transaction may yet be rolled back.
        if (Database::inTransaction())
            d->baseValid = false;
        if (d->baseValid && !d->baseKeys.eraseKey(key))
            d->baseValid = false;
    }
    if (it != d->pending.end())
        d->pending.erase(it);
    d->cache.erase(key);
    const int at = d->position;
    emit aboutToRemoveRow(at);
    d->keys.erase(size_t(at));
    d->onHole = true;
    emit rowRemoved(at);
    emit positionChanged();
}

// --- filter and sort ---------------------------------------------------------------

void RecordSet::setFilter(const Filter &filter)
{
    if (!d->open)
        throw DataError(QStringLiteral("The record set is not open."));
    storePendingBeforeMove();
    // Rows added and not stored cannot be matched by the database.
    updateBatch();
    emit aboutToReset();
    try {
        readKeys(filter, d->sort);
    } catch (...) {
        emit reset();
        throw;
    }
    d->position = d->keys.empty() ? -1 : 0;
    emit reset();
    emit positionChanged();
}

void RecordSet::clearFilter()
{
    setFilter(Filter());
}

const Filter &RecordSet::filter() const
{
    return d->filter;
}

void RecordSet::setSort(const QString &columns)
{
    if (!d->open)
        throw DataError(QStringLiteral("The record set is not open."));
    storePendingBeforeMove();
    updateBatch();
    emit aboutToReset();
    try {
        readKeys(d->filter, columns);
    } catch (...) {
        emit reset();
        throw;
    }
    d->position = d->keys.empty() ? -1 : 0;
    emit reset();
    emit positionChanged();
}

QString RecordSet::sort() const
{
    return d->sort;
}

} // namespace lexordo
