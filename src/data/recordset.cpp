#include "recordset.h"

#include "amounts.h"
#include "database.h"
#include "dataerror.h"
#include "dates.h"
#include "schemacheck.h"
#include "sqlite.h"

#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

namespace lexordo {

namespace {

// What a cell holds: nothing, a value of the column's type, or text (a column
// without a declared type, or a stored value that does not fit the type).
enum CellState : quint8 { Null = 0, Typed = 1, Raw = 2 };

union Slot {
    double number;
    qint32 day;  // Julian day of a date
    qint32 secs; // seconds since midnight
    struct
    {
        quint32 offset;
        quint32 length;
    } text;
};
static_assert(sizeof(Slot) == 8);

struct Column
{
    QString name;     // as the statement names it
    QString baseName; // the table's own column name, for stores
    RecordSet::FieldType type = RecordSet::FieldType::Any;
    std::vector<Slot> values;
    std::vector<quint8> states;
};

struct Cell
{
    quint8 state;
    Slot slot;
};

struct Pending
{
    bool isNew = false;
    bool touched = false;
    std::vector<bool> changed;
    std::vector<Cell> original;
};

RecordSet::FieldType typeFromDeclaration(const char *declared)
{
    if (!declared)
        return RecordSet::FieldType::Any;
    const QByteArray decl = QByteArray(declared).toUpper();
    if (decl.startsWith("DATE"))
        return RecordSet::FieldType::Date;
    if (decl.startsWith("TIME"))
        return RecordSet::FieldType::Time;
    if (decl.contains("INT"))
        return RecordSet::FieldType::Integer;
    if (decl.contains("REAL") || decl.contains("FLOA") || decl.contains("DOUB") ||
        decl.contains("NUM") || decl.contains("DEC") || decl.contains("CURRENCY"))
        return RecordSet::FieldType::Number;
    return RecordSet::FieldType::Text;
}

std::optional<double> parseNumber(const QString &text)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool isAsciiText(const char *p, quint32 n)
{
    for (quint32 i = 0; i < n; ++i) {
        if (static_cast<unsigned char>(p[i]) >= 0x80)
            return false;
    }
    return true;
}

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

// Changes whenever another connection writes to the database file.
qint64 dataVersion(sqlite3 *db)
{
    sqlite3_stmt *stmt = nullptr;
    qint64 version = -1;
    if (sqlite3_prepare_v2(db, "PRAGMA data_version", -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW)
        version = sqlite3_column_int64(stmt, 0);
    sqlite3_finalize(stmt);
    return version;
}

const QString noCurrentRow = QStringLiteral(
    "Either BOF or EOF is True, or the current record has been deleted. Requested operation "
    "requires a current record.");

} // namespace

struct RecordSet::Data
{
    QString source;
    QVariantList values;
    QString table; // empty when read-only
    QString statement;
    bool open = false;

    std::vector<Column> columns;
    std::vector<qint64> rowids; // per stored row; 0 while a new row is not yet stored
    std::vector<bool> deleted;
    std::string arena;

    std::vector<int> order; // stored rows in sort order, deleted rows left out
    std::vector<int> view;  // the rows of order that pass the filter
    int position = -1;
    bool onHole = false; // the current row was deleted; position is where it stood

    Filter filter;
    QString sort;
    std::unordered_map<int, Pending> pending;

    // How the database stood when the rows were read: while nothing has been
    // written since, re-reading would give the very same rows.
    sqlite3 *readFrom = nullptr;
    qint64 changesAtRead = -1;
    qint64 versionAtRead = -1;
    int rowsAtRead = 0;

    int rowCount() const { return int(columns.empty() ? 0 : columns.front().states.size()); }

    // The first `rows` rows stored, in the order read, with no filter, sort
    // or pending change.
    void showRowsAsRead(int rows)
    {
        order.resize(size_t(rows));
        for (int i = 0; i < rows; ++i)
            order[size_t(i)] = i;
        view = order;
        pending.clear();
        filter = Filter();
        sort.clear();
        onHole = false;
    }

    QString textOf(const Column &c, int row) const
    {
        const Slot &s = c.values[size_t(row)];
        return QString::fromUtf8(arena.data() + s.text.offset, qsizetype(s.text.length));
    }

    Slot appendText(const QByteArray &utf8)
    {
        Slot s;
        s.text.offset = quint32(arena.size());
        s.text.length = quint32(utf8.size());
        arena.append(utf8.constData(), size_t(utf8.size()));
        return s;
    }

    QVariant cellValue(int column, int row) const
    {
        const Column &c = columns[size_t(column)];
        const quint8 state = c.states[size_t(row)];
        if (state == Null)
            return QVariant();
        if (state == Raw)
            return textOf(c, row);
        const Slot &s = c.values[size_t(row)];
        switch (c.type) {
        case FieldType::Date:
            return QDate::fromJulianDay(s.day);
        case FieldType::Time:
            return QTime::fromMSecsSinceStartOfDay(s.secs * 1000);
        case FieldType::Integer:
        case FieldType::Any:
        case FieldType::Number:
            if (c.type != FieldType::Number && std::trunc(s.number) == s.number &&
                std::fabs(s.number) < 9e15)
                return qint64(s.number);
            return s.number;
        case FieldType::Text:
            return textOf(c, row);
        }
        return QVariant();
    }

    QString cellText(int column, int row) const
    {
        const Column &c = columns[size_t(column)];
        const quint8 state = c.states[size_t(row)];
        if (state == Null)
            return QString();
        if (state == Raw)
            return textOf(c, row);
        const Slot &s = c.values[size_t(row)];
        switch (c.type) {
        case FieldType::Date:
            return dates::format(QDate::fromJulianDay(s.day));
        case FieldType::Time:
            return dates::formatTime(QTime::fromMSecsSinceStartOfDay(s.secs * 1000));
        case FieldType::Integer:
        case FieldType::Any:
        case FieldType::Number:
            return amounts::write(s.number);
        case FieldType::Text:
            return textOf(c, row);
        }
        return QString();
    }

    // Writes a converted value (see RecordSet::convert) into a cell.
    void setCell(int column, int row, const QVariant &value)
    {
        Column &c = columns[size_t(column)];
        Slot s{};
        quint8 state = Typed;
        if (!value.isValid() || value.isNull()) {
            state = Null;
        } else {
            switch (value.typeId()) {
            case QMetaType::QDate:
                s.day = qint32(value.toDate().toJulianDay());
                break;
            case QMetaType::QTime:
                s.secs = value.toTime().msecsSinceStartOfDay() / 1000;
                break;
            case QMetaType::Double:
            case QMetaType::LongLong:
                s.number = value.toDouble();
                break;
            default:
                s = appendText(value.toString().toUtf8());
                state = c.type == FieldType::Text ? Typed : Raw;
                break;
            }
        }
        c.values[size_t(row)] = s;
        c.states[size_t(row)] = state;
    }

    void bindCell(sqlite::Statement &stmt, int index, int column, int row) const
    {
        const Column &c = columns[size_t(column)];
        const quint8 state = c.states[size_t(row)];
        if (state == Null) {
            stmt.bindNull(index);
            return;
        }
        if (state == Raw || c.type == FieldType::Text) {
            stmt.bindText(index, textOf(c, row));
            return;
        }
        const Slot &s = c.values[size_t(row)];
        switch (c.type) {
        case FieldType::Date:
            stmt.bindText(index, dates::toIso(QDate::fromJulianDay(s.day)));
            break;
        case FieldType::Time:
            stmt.bindText(index,
                          dates::formatTime(QTime::fromMSecsSinceStartOfDay(s.secs * 1000)));
            break;
        default:
            if (std::trunc(s.number) == s.number && std::fabs(s.number) < 9e15 &&
                c.type != FieldType::Number)
                stmt.bindInt(index, qint64(s.number));
            else
                stmt.bindDouble(index, s.number);
            break;
        }
    }
};

// --- opening and reading ----------------------------------------------------

RecordSet::RecordSet(QObject *parent) : QObject(parent), d(std::make_unique<Data>()) {}

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
        QStringLiteral("^\\s*select\\s+\\*\\s+from\\s+(\"[^\"]+\"|\\[[^\\]]+\\]|[A-Za-z_][A-Za-z0-9_]*)"
                       "(\\s+(where|order)\\b.*)?\\s*$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);

    auto fresh = std::make_unique<Data>();
    fresh->source = source;
    fresh->values = values;
    if (const auto m = tableOnly.match(source); m.hasMatch()) {
        fresh->table = m.captured(1);
        fresh->statement = QStringLiteral("SELECT rowid, * FROM ") + sqlite::quoteIdentifier(fresh->table);
    } else if (const auto m2 = selectAll.match(source); m2.hasMatch()) {
        QString table = m2.captured(1);
        if (table.startsWith(u'"') || table.startsWith(u'['))
            table = table.mid(1, table.size() - 2);
        fresh->table = table;
        fresh->statement = QStringLiteral("SELECT rowid, * FROM ") + sqlite::quoteIdentifier(table) +
                           m2.captured(2);
    } else {
        fresh->statement = source;
    }

    emit aboutToReset();
    std::swap(d, fresh);
    try {
        load();
    } catch (...) {
        std::swap(d, fresh);
        emit reset();
        throw;
    }
    d->open = true;
    d->position = d->view.empty() ? -1 : 0;
    emit reset();
    emit positionChanged();
}

void RecordSet::load()
{
    sqlite::Statement stmt(Database::handle(), d->statement);
    for (int i = 0; i < d->values.size(); ++i)
        stmt.bind(i + 1, d->values[i]);
    sqlite3_stmt *s = stmt.get();
    const bool updatable = !d->table.isEmpty();
    const int first = updatable ? 1 : 0;
    const int count = sqlite3_column_count(s) - first;

    d->columns.assign(size_t(std::max(count, 0)), Column());
    int expression = 1000;
    for (int i = 0; i < count; ++i) {
        Column &c = d->columns[size_t(i)];
        const char *origin = sqlite3_column_origin_name(s, i + first);
        c.name = QString::fromUtf8(sqlite3_column_name(s, i + first));
        c.baseName = origin ? QString::fromUtf8(origin) : c.name;
        c.type = typeFromDeclaration(
            SchemaCheck::columnType(origin, sqlite3_column_decltype(s, i + first)).constData());
        // An unnamed computed column gets the name the database of old gave it.
        if (!origin && c.name.contains(u'('))
            c.name = QStringLiteral("Expr%1").arg(expression++);
    }

    d->arena.clear();
    d->rowids.clear();
    while (stmt.step()) {
        if (updatable)
            d->rowids.push_back(sqlite3_column_int64(s, 0));
        for (int i = 0; i < count; ++i) {
            Column &c = d->columns[size_t(i)];
            const int col = i + first;
            const int kind = sqlite3_column_type(s, col);
            Slot slot{};
            quint8 state = Typed;
            if (kind == SQLITE_NULL) {
                state = Null;
            } else {
                switch (c.type) {
                case FieldType::Date: {
                    const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(s, col));
                    const int n = sqlite3_column_bytes(s, col);
                    if (n == 0) {
                        state = Null;
                    } else if (auto date = dates::parseIso(p, n)) {
                        slot.day = qint32(date->toJulianDay());
                    } else {
                        slot = d->appendText(QByteArray(p, n));
                        state = Raw;
                    }
                    break;
                }
                case FieldType::Time: {
                    const QString t = stmt.columnText(col);
                    if (t.isEmpty()) {
                        state = Null;
                    } else if (auto time = dates::parseTime(t)) {
                        slot.secs = time->msecsSinceStartOfDay() / 1000;
                    } else {
                        slot = d->appendText(t.toUtf8());
                        state = Raw;
                    }
                    break;
                }
                case FieldType::Number:
                case FieldType::Integer:
                case FieldType::Any:
                    if (kind == SQLITE_INTEGER || kind == SQLITE_FLOAT) {
                        slot.number = sqlite3_column_double(s, col);
                    } else {
                        const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(s, col));
                        const int n = sqlite3_column_bytes(s, col);
                        slot.text.offset = quint32(d->arena.size());
                        slot.text.length = quint32(n);
                        d->arena.append(p, size_t(n));
                        state = Raw;
                    }
                    break;
                case FieldType::Text: {
                    const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(s, col));
                    const int n = sqlite3_column_bytes(s, col);
                    slot.text.offset = quint32(d->arena.size());
                    slot.text.length = quint32(n);
                    d->arena.append(p, size_t(n));
                    break;
                }
                }
            }
            c.values.push_back(slot);
            c.states.push_back(state);
        }
    }
    const int rows = d->rowCount();
    if (!updatable)
        d->rowids.assign(size_t(rows), 0);
    d->deleted.assign(size_t(rows), false);
    d->showRowsAsRead(rows);

    stmt.reset();
    d->readFrom = Database::handle();
    d->changesAtRead = sqlite3_total_changes64(d->readFrom);
    d->versionAtRead = dataVersion(d->readFrom);
    d->rowsAtRead = rows;
}

void RecordSet::requery()
{
    if (!d->open)
        throw DataError(QStringLiteral("The record set is not open."));
    updateBatch();

    // Nothing written since the rows were read, by this program or another:
    // the rows in memory are what the table holds, in the order read.
    sqlite3 *db = Database::handle();
    if (db == d->readFrom && sqlite3_total_changes64(db) == d->changesAtRead &&
        dataVersion(db) == d->versionAtRead) {
        emit aboutToReset();
        for (size_t row = size_t(d->rowsAtRead); row < d->deleted.size(); ++row)
            d->deleted[row] = true; // new rows never stored
        d->showRowsAsRead(d->rowsAtRead);
        d->position = d->view.empty() ? -1 : 0;
        emit reset();
        emit positionChanged();
        return;
    }

    const QString source = d->source;
    const QVariantList values = d->values;
    open(source, values);
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
    return !d->table.isEmpty();
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
    return column >= 0 && column < fieldCount() ? d->columns[size_t(column)].type
                                                : FieldType::Any;
}

int RecordSet::fieldIndex(const QString &name) const
{
    for (int i = 0; i < fieldCount(); ++i) {
        if (d->columns[size_t(i)].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

static int requireField(const RecordSet &rs, const QString &name)
{
    const int index = rs.fieldIndex(name);
    if (index < 0)
        throw DataError(QStringLiteral("Item cannot be found in the collection corresponding to "
                                       "the requested name or ordinal: %1")
                            .arg(name));
    return index;
}

// --- position -------------------------------------------------------------------

int RecordSet::rowCount() const
{
    return int(d->view.size());
}

int RecordSet::position() const
{
    return d->position;
}

bool RecordSet::isBOF() const
{
    return d->view.empty() || d->position < 0;
}

bool RecordSet::isEOF() const
{
    return d->view.empty() || d->position >= rowCount();
}

bool RecordSet::hasCurrentRow() const
{
    return !d->onHole && d->position >= 0 && d->position < rowCount();
}

int RecordSet::currentStorageRow() const
{
    return hasCurrentRow() ? d->view[size_t(d->position)] : -1;
}

int RecordSet::requireCurrentRow() const
{
    const int row = currentStorageRow();
    if (row < 0)
        throw DataError(noCurrentRow);
    return row;
}

void RecordSet::storePendingBeforeMove()
{
    const int row = currentStorageRow();
    if (row < 0)
        return;
    const auto it = d->pending.find(row);
    if (it == d->pending.end())
        return;
    if (it->second.isNew && !it->second.touched) {
        // A new row that nothing was typed into is dropped, never stored empty.
        cancelUpdate();
        return;
    }
    storeRow(row);
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
    setPosition(d->view.empty() ? -1 : 0);
}

void RecordSet::moveLast()
{
    storePendingBeforeMove();
    setPosition(d->view.empty() ? -1 : rowCount() - 1);
}

void RecordSet::moveNext()
{
    if (d->view.empty() || d->position >= rowCount())
        return;
    storePendingBeforeMove();
    // From a deleted row, the next row is the one now standing in its place.
    setPosition(d->onHole ? d->position : d->position + 1);
}

void RecordSet::movePrevious()
{
    if (d->view.empty() || d->position < 0)
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
    const int row = currentStorageRow();
    if (row < 0 || column < 0 || column >= fieldCount())
        return QVariant();
    return d->cellValue(column, row);
}

QVariant RecordSet::value(const QString &name) const
{
    return value(requireField(*this, name));
}

QString RecordSet::text(int column) const
{
    const int row = currentStorageRow();
    if (row < 0 || column < 0 || column >= fieldCount())
        return QString();
    return d->cellText(column, row);
}

QString RecordSet::text(const QString &name) const
{
    return text(requireField(*this, name));
}

bool RecordSet::isNull(int column) const
{
    const int row = currentStorageRow();
    if (row < 0 || column < 0 || column >= fieldCount())
        return true;
    const Column &c = d->columns[size_t(column)];
    return c.states[size_t(row)] == Null ||
           (c.type == FieldType::Text && c.values[size_t(row)].text.length == 0);
}

bool RecordSet::isNull(const QString &name) const
{
    return isNull(requireField(*this, name));
}

QVariant RecordSet::valueAt(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= fieldCount())
        return QVariant();
    return d->cellValue(column, d->view[size_t(row)]);
}

QString RecordSet::textAt(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= fieldCount())
        return QString();
    return d->cellText(column, d->view[size_t(row)]);
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
            number = parseNumber(text);
        } else {
            bool ok = false;
            const double v = value.toDouble(&ok);
            if (ok && std::isfinite(v) && value.typeId() != QMetaType::QDate)
                number = v;
        }
        if (!number)
            throw refuse(value.toString());
        if (type == FieldType::Integer && std::trunc(*number) != *number)
            throw refuse(value.toString());
        return QVariant(*number);
    }
    case FieldType::Text:
        if (value.typeId() == QMetaType::QDate)
            return dates::format(value.toDate());
        return value.toString();
    case FieldType::Any: {
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
    const int row = requireCurrentRow();
    if (column < 0 || column >= fieldCount())
        throw DataError(QStringLiteral("There is no column %1.").arg(column));
    Column &c = d->columns[size_t(column)];
    const QVariant converted = convert(c.type, c.name, value);

    Pending &p = d->pending[row];
    if (p.changed.empty()) {
        p.changed.assign(d->columns.size(), false);
        p.original.resize(d->columns.size());
        for (size_t i = 0; i < d->columns.size(); ++i)
            p.original[i] = Cell{d->columns[i].states[size_t(row)], d->columns[i].values[size_t(row)]};
    }
    p.changed[size_t(column)] = true;
    p.touched = true;
    d->setCell(column, row, converted);
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

    const int row = d->rowCount();
    emit aboutToInsertRow(rowCount());
    for (Column &c : d->columns) {
        c.values.push_back(Slot{});
        c.states.push_back(Null);
    }
    d->rowids.push_back(0);
    d->deleted.push_back(false);
    d->order.push_back(row);
    d->view.push_back(row);

    Pending &p = d->pending[row];
    p.isNew = true;
    p.changed.assign(d->columns.size(), false);
    p.original.assign(d->columns.size(), Cell{Null, Slot{}});

    d->position = rowCount() - 1;
    d->onHole = false;
    emit rowInserted(d->position);
    emit positionChanged();
}

void RecordSet::storeRow(int row)
{
    auto it = d->pending.find(row);
    if (it == d->pending.end())
        return;
    Pending &p = it->second;
    sqlite3 *db = Database::handle();
    const QString table = sqlite::quoteIdentifier(d->table);

    if (p.isNew) {
        QStringList names;
        QStringList marks;
        for (const Column &c : d->columns) {
            names << sqlite::quoteIdentifier(c.baseName);
            marks << QStringLiteral("?");
        }
        sqlite::Statement stmt(db, QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                       .arg(table, names.join(u", "), marks.join(u", ")));
        for (int i = 0; i < fieldCount(); ++i)
            d->bindCell(stmt, i + 1, i, row);
        stmt.step();
        d->rowids[size_t(row)] = sqlite3_last_insert_rowid(db);
    } else {
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
            sqlite::Statement stmt(db, QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                                           .arg(table, sets.join(u", ")));
            int index = 1;
            for (int column : columns)
                d->bindCell(stmt, index++, column, row);
            stmt.bindInt(index, d->rowids[size_t(row)]);
            stmt.step();
            if (sqlite3_changes(db) == 0)
                throw DataError(QStringLiteral("The row to be changed is no longer in %1.")
                                    .arg(d->table));
        }
    }
    d->pending.erase(it);
}

void RecordSet::update()
{
    const int row = currentStorageRow();
    if (row < 0)
        return;
    storeRow(row);
}

void RecordSet::updateBatch()
{
    std::vector<int> rows;
    for (const auto &[row, p] : d->pending)
        rows.push_back(row);
    std::sort(rows.begin(), rows.end());
    for (int row : rows) {
        const auto it = d->pending.find(row);
        if (it != d->pending.end() && it->second.isNew && !it->second.touched)
            continue; // an empty new row waits for Save or is dropped
        storeRow(row);
    }
}

void RecordSet::cancelUpdate()
{
    const int row = currentStorageRow();
    if (row < 0)
        return;
    const auto it = d->pending.find(row);
    if (it == d->pending.end())
        return;
    if (it->second.isNew) {
        d->pending.erase(it);
        d->deleted[size_t(row)] = true;
        const int at = d->position;
        emit aboutToRemoveRow(at);
        d->view.erase(d->view.begin() + at);
        d->order.erase(std::find(d->order.begin(), d->order.end(), row));
        emit rowRemoved(at);
        d->position = std::min(at, rowCount());
        if (d->position >= rowCount())
            d->position = rowCount() > 0 ? rowCount() - 1 : -1;
        emit positionChanged();
        return;
    }
    for (size_t i = 0; i < d->columns.size(); ++i) {
        d->columns[i].states[size_t(row)] = it->second.original[i].state;
        d->columns[i].values[size_t(row)] = it->second.original[i].slot;
    }
    d->pending.erase(it);
    emit rowChanged(d->position);
}

bool RecordSet::isDirty() const
{
    const int row = currentStorageRow();
    if (row < 0)
        return false;
    const auto it = d->pending.find(row);
    return it != d->pending.end() && it->second.touched;
}

bool RecordSet::isNewRow() const
{
    const int row = currentStorageRow();
    if (row < 0)
        return false;
    const auto it = d->pending.find(row);
    return it != d->pending.end() && it->second.isNew;
}

bool RecordSet::hasPendingChanges() const
{
    for (const auto &[row, p] : d->pending) {
        if (p.touched)
            return true;
    }
    return false;
}

void RecordSet::deleteCurrent()
{
    if (!isUpdatable())
        throw DataError(QStringLiteral("The record set %1 cannot be changed.").arg(d->source));
    const int row = requireCurrentRow();
    const auto it = d->pending.find(row);
    const bool stored = it == d->pending.end() || !it->second.isNew;
    if (stored) {
        sqlite::Statement stmt(
            Database::handle(),
            QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(sqlite::quoteIdentifier(d->table)));
        stmt.bindInt(1, d->rowids[size_t(row)]);
        stmt.step();
    }
    if (it != d->pending.end())
        d->pending.erase(it);
    d->deleted[size_t(row)] = true;
    const int at = d->position;
    emit aboutToRemoveRow(at);
    d->view.erase(d->view.begin() + at);
    d->order.erase(std::find(d->order.begin(), d->order.end(), row));
    d->onHole = true;
    emit rowRemoved(at);
    emit positionChanged();
}

// --- filter and sort ---------------------------------------------------------------

namespace {

struct CompiledTerm
{
    int column;
    Filter::Op op;
    RecordSet::FieldType type;
    qint32 day = 0;
    double number = 0;
    QString text;
    QByteArray asciiLower; // set when the text is plain ASCII, for the fast path
};

int compareText(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive);
}

} // namespace

static bool matchText(const char *p, quint32 n, const CompiledTerm &t, const QString *decoded)
{
    const bool fast = !t.asciiLower.isNull() && !decoded && isAsciiText(p, n);
    const QByteArray &needle = t.asciiLower;
    switch (t.op) {
    case Filter::Op::Equal:
    case Filter::Op::NotEqual: {
        bool equal;
        if (fast) {
            equal = n == quint32(needle.size());
            for (quint32 i = 0; equal && i < n; ++i)
                equal = lowerAscii(p[i]) == needle[qsizetype(i)];
        } else {
            const QString s = decoded ? *decoded : QString::fromUtf8(p, qsizetype(n));
            equal = compareText(s, t.text) == 0;
        }
        return t.op == Filter::Op::Equal ? equal : !equal;
    }
    case Filter::Op::BeginsWith:
        if (fast) {
            if (n < quint32(needle.size()))
                return false;
            for (qsizetype i = 0; i < needle.size(); ++i) {
                if (lowerAscii(p[i]) != needle[i])
                    return false;
            }
            return true;
        }
        return (decoded ? *decoded : QString::fromUtf8(p, qsizetype(n)))
            .startsWith(t.text, Qt::CaseInsensitive);
    case Filter::Op::Contains:
        if (fast) {
            const quint32 m = quint32(needle.size());
            if (m == 0)
                return true;
            for (quint32 start = 0; start + m <= n; ++start) {
                quint32 i = 0;
                while (i < m && lowerAscii(p[start + i]) == needle[qsizetype(i)])
                    ++i;
                if (i == m)
                    return true;
            }
            return false;
        }
        return (decoded ? *decoded : QString::fromUtf8(p, qsizetype(n)))
            .contains(t.text, Qt::CaseInsensitive);
    default: {
        const QString s = decoded ? *decoded : QString::fromUtf8(p, qsizetype(n));
        const int c = compareText(s, t.text);
        switch (t.op) {
        case Filter::Op::Less:
            return c < 0;
        case Filter::Op::LessOrEqual:
            return c <= 0;
        case Filter::Op::Greater:
            return c > 0;
        case Filter::Op::GreaterOrEqual:
            return c >= 0;
        default:
            return false;
        }
    }
    }
}

template <typename T> static bool compareOrdered(T a, T b, Filter::Op op)
{
    switch (op) {
    case Filter::Op::Equal:
    case Filter::Op::BeginsWith:
    case Filter::Op::Contains:
        return a == b;
    case Filter::Op::NotEqual:
        return a != b;
    case Filter::Op::Less:
        return a < b;
    case Filter::Op::LessOrEqual:
        return a <= b;
    case Filter::Op::Greater:
        return a > b;
    case Filter::Op::GreaterOrEqual:
        return a >= b;
    case Filter::Op::IsNull:
        return false;
    }
    return false;
}

void RecordSet::rebuildView()
{
    std::vector<CompiledTerm> terms;
    for (const Filter::Term &term : d->filter.terms()) {
        CompiledTerm t;
        t.column = requireField(*this, term.column);
        t.op = term.op;
        t.type = fieldType(t.column);
        const QString name = fieldName(t.column);
        if (t.op != Filter::Op::IsNull) {
            const bool textMatch = t.op == Filter::Op::BeginsWith || t.op == Filter::Op::Contains;
            switch (t.type) {
            case FieldType::Date: {
                const QVariant v = convert(FieldType::Date, name, term.value);
                if (!v.isValid())
                    throw DataError(QStringLiteral("A date is needed to filter on %1.").arg(name));
                t.day = qint32(v.toDate().toJulianDay());
                break;
            }
            case FieldType::Time: {
                const QVariant v = convert(FieldType::Time, name, term.value);
                if (!v.isValid())
                    throw DataError(QStringLiteral("A time is needed to filter on %1.").arg(name));
                t.day = v.toTime().msecsSinceStartOfDay() / 1000;
                break;
            }
            case FieldType::Number:
            case FieldType::Integer:
            case FieldType::Any:
                if (textMatch || t.type == FieldType::Any) {
                    t.text = term.value.typeId() == QMetaType::QDate
                                 ? dates::format(term.value.toDate())
                                 : term.value.toString();
                    if (!textMatch) {
                        bool ok = false;
                        t.number = term.value.toDouble(&ok);
                        if (!ok)
                            t.number = std::nan("");
                    }
                } else {
                    const QVariant v = convert(FieldType::Number, name, term.value);
                    if (!v.isValid())
                        throw DataError(
                            QStringLiteral("A number is needed to filter on %1.").arg(name));
                    t.number = v.toDouble();
                }
                break;
            case FieldType::Text:
                t.text = term.value.typeId() == QMetaType::QDate
                             ? dates::format(term.value.toDate())
                             : term.value.toString();
                break;
            }
            bool ascii = true;
            for (QChar c : t.text)
                ascii = ascii && c.unicode() < 0x80;
            if (ascii)
                t.asciiLower = t.text.toLatin1().toLower();
        }
        terms.push_back(std::move(t));
    }

    d->view.clear();
    if (terms.empty()) {
        d->view = d->order;
        return;
    }
    d->view.reserve(d->order.size() / 4);
    for (int row : d->order) {
        bool keep = true;
        for (const CompiledTerm &t : terms) {
            const Column &c = d->columns[size_t(t.column)];
            const quint8 state = c.states[size_t(row)];
            const Slot &s = c.values[size_t(row)];
            const bool emptyText =
                state != Null && (c.type == FieldType::Text || state == Raw) && s.text.length == 0;
            if (t.op == Filter::Op::IsNull) {
                keep = state == Null || emptyText;
            } else if (state == Null) {
                keep = t.op == Filter::Op::NotEqual;
            } else if (state == Raw || c.type == FieldType::Text) {
                if (c.type == FieldType::Date || c.type == FieldType::Time)
                    keep = t.op == Filter::Op::NotEqual;
                else
                    keep = matchText(d->arena.data() + s.text.offset, s.text.length, t, nullptr);
            } else {
                switch (c.type) {
                case FieldType::Date:
                    keep = compareOrdered(s.day, t.day, t.op);
                    break;
                case FieldType::Time:
                    keep = compareOrdered(s.secs, t.day, t.op);
                    break;
                default:
                    if (t.op == Filter::Op::BeginsWith || t.op == Filter::Op::Contains) {
                        const QByteArray shown = amounts::write(s.number).toUtf8();
                        keep = matchText(shown.constData(), quint32(shown.size()), t, nullptr);
                    } else if (c.type == FieldType::Any && std::isnan(t.number)) {
                        const QByteArray shown = amounts::write(s.number).toUtf8();
                        keep = matchText(shown.constData(), quint32(shown.size()), t, nullptr);
                    } else {
                        keep = compareOrdered(s.number, t.number, t.op);
                    }
                    break;
                }
            }
            if (!keep)
                break;
        }
        if (keep)
            d->view.push_back(row);
    }
}

void RecordSet::setFilter(const Filter &filter)
{
    if (!d->open)
        throw DataError(QStringLiteral("The record set is not open."));
    storePendingBeforeMove();
    const Filter previous = d->filter;
    emit aboutToReset();
    d->filter = filter;
    try {
        rebuildView();
    } catch (...) {
        d->filter = previous;
        rebuildView();
        emit reset();
        throw;
    }
    d->position = d->view.empty() ? -1 : 0;
    d->onHole = false;
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
    struct Key
    {
        int column;
        bool descending;
    };
    std::vector<Key> keys;
    for (const QString &part : columns.split(u',', Qt::SkipEmptyParts)) {
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
        keys.push_back(Key{requireField(*this, words.join(u' ')), descending});
    }
    storePendingBeforeMove();
    emit aboutToReset();

    if (!keys.empty()) {
        // Decode text keys once; comparing them then needs no conversions.
        std::vector<std::vector<QString>> decoded(keys.size());
        for (size_t k = 0; k < keys.size(); ++k) {
            const Column &c = d->columns[size_t(keys[k].column)];
            if (c.type == FieldType::Text || c.type == FieldType::Any) {
                decoded[k].resize(c.states.size());
                for (int row : d->order) {
                    if (c.states[size_t(row)] != Null)
                        decoded[k][size_t(row)] = d->textOf(c, row);
                }
            }
        }
        auto compare = [&](int a, int b) {
            for (size_t k = 0; k < keys.size(); ++k) {
                const Column &c = d->columns[size_t(keys[k].column)];
                const quint8 sa = c.states[size_t(a)];
                const quint8 sb = c.states[size_t(b)];
                int result = 0;
                if (sa == Null || sb == Null) {
                    result = (sa == Null ? 0 : 1) - (sb == Null ? 0 : 1);
                } else if (sa != sb) {
                    result = sa == Typed ? -1 : 1;
                } else if (sa == Raw || c.type == FieldType::Text) {
                    result = decoded[k].empty()
                                 ? compareText(d->textOf(c, a), d->textOf(c, b))
                                 : compareText(decoded[k][size_t(a)], decoded[k][size_t(b)]);
                } else if (c.type == FieldType::Date) {
                    result = c.values[size_t(a)].day - c.values[size_t(b)].day;
                } else if (c.type == FieldType::Time) {
                    result = c.values[size_t(a)].secs - c.values[size_t(b)].secs;
                } else {
                    const double x = c.values[size_t(a)].number;
                    const double y = c.values[size_t(b)].number;
                    result = x < y ? -1 : (x > y ? 1 : 0);
                }
                if (result != 0)
                    return keys[k].descending ? result > 0 : result < 0;
            }
            return false;
        };
        std::stable_sort(d->order.begin(), d->order.end(), compare);
    }
    d->sort = columns;
    rebuildView();
    d->position = d->view.empty() ? -1 : 0;
    d->onHole = false;
    emit reset();
    emit positionChanged();
}

QString RecordSet::sort() const
{
    return d->sort;
}

} // namespace lexordo
