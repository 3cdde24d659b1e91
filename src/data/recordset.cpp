#include "recordset.h"

#include "database.h"
#include "dataerror.h"
#include "keywindow.h"
#include "recordcolumn.h"
#include "rowcache.h"
#include "rowwriter.h"
#include "viewquery.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

namespace lexordo {

namespace {

// A row's changes not yet stored.
struct Pending
{
    bool isNew = false;
    bool touched = false;
    std::vector<bool> changed;
    Row row;  // the row as it is to be stored
    Row read; // the stored values it was read with
    bool readMissing = false;
};

const QString noCurrentRow = QStringLiteral(
    "Either BOF or EOF is True, or the current record has been deleted. Requested operation "
    "requires a current record.");

} // namespace

struct RecordSet::Data
{
    RecordSource source;
    bool open = false;

    RecordColumns columns;

    // The view: one key per row in order. Rows of a table are keyed by the
    // table's row key; rows added and not yet stored have negative keys; the
    // rows of a query are numbered as read.
    KeyWindow keys;
    std::vector<Row> queryRows;
    mutable RowCache cache;
    std::unordered_map<qint64, Pending> pending;
    qint64 nextNewKey = -1;

    int position = -1;
    bool onHole = false; // the current row was deleted; position is where it stood

    Filter filter;
    QString sort;

    KeysAsRead asRead;

    // The rows (of a query) or the keys of the whole view (of a table) are
    // read when first asked for: a screen that filters its view at once
    // never reads the whole.
    mutable bool unread = false;
    KeyWindow::Query wholeKeys; // the keys of the whole view, in order
    void readAllRows() const;

    int rowCount() const
    {
        readAllRows();
        return int(keys.size());
    }
    bool updatable() const { return source.isTable(); }
    RowWriter writer() const { return RowWriter(source.tableName(), columns); }

    const Row &emptyRow() const
    {
        static const Row none;
        return none;
    }

    // The row of the table at `at` as last read; null for a new row or a
    // row of a query.
    const ReadRow *readRowAt(int at) const
    {
        if (at < 0 || at >= rowCount() || !updatable())
            return nullptr;
        return cache.row(keys, at);
    }

    const Row &rowAt(int at) const
    {
        if (at < 0 || at >= rowCount())
            return emptyRow();
        const qint64 key = keys.at(size_t(at));
        if (const auto p = pending.find(key); p != pending.end())
            return p->second.row;
        if (!updatable())
            return queryRows[size_t(key)];
        const ReadRow *read = readRowAt(at);
        return read ? read->values : emptyRow();
    }

    QVariant cellValue(int column, int at) const
    {
        const Row &row = rowAt(at);
        return size_t(column) < row.size() ? row[size_t(column)] : QVariant();
    }
};

// --- opening and reading ----------------------------------------------------

void RecordSet::Data::readAllRows() const
{
    if (!unread)
        return;
    auto *self = const_cast<Data *>(this);
    if (updatable()) {
        // Counted now; the keys are read in windows as the rows are shown.
        KeyWindow whole;
        whole.window(wholeKeys);
        self->keys = whole;
        self->asRead.remember(whole);
        self->queryRows.clear();
    } else {
        std::vector<Row> rows = ViewQuery(source, columns, Filter(), {}).readRows();
        std::vector<qint64> read(rows.size());
        for (size_t i = 0; i < rows.size(); ++i)
            read[i] = qint64(i);
        self->keys.assign(std::move(read));
        self->queryRows = std::move(rows);
    }
    unread = false;
    if (self->position == -1 && !self->keys.empty())
        self->position = 0;
}

RecordSet::RecordSet(QObject *parent) : QObject(parent), d(std::make_unique<Data>())
{
}

RecordSet::RecordSet(const RecordSource &source, QObject *parent) : RecordSet(parent)
{
    open(source);
}

RecordSet::~RecordSet() = default;

void RecordSet::open(const RecordSource &source)
{
    auto fresh = std::make_unique<Data>();
    fresh->source = source;
    fresh->columns = columnsOf(source);
    if (source.isTable())
        fresh->cache.setTable(source.tableName(), fresh->columns);

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
    const ViewQuery view(d->source, d->columns, filter, parseSort(sort));
    std::vector<qint64> keys;
    std::vector<Row> rows;
    if (d->updatable()) {
        // A faulty source fails here, before anything changes.
        if (view.wholeTable()) {
            view.check();
            d->wholeKeys = view.windowQuery();
            d->unread = true;
        } else {
            keys = view.readKeys();
            d->unread = false;
        }
    } else if (view.plainQuery()) {
        d->unread = true;
    } else {
        rows = view.readRows();
        keys.resize(rows.size());
        for (size_t i = 0; i < rows.size(); ++i)
            keys[i] = qint64(i);
        d->unread = false;
    }
    d->keys.assign(std::move(keys));
    d->queryRows = std::move(rows);
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
        if (const KeyWindow *asRead = d->asRead.current()) {
            // Nothing written that could add, drop or move a row: the keys
            // read last are the table's keys now.
            d->keys = *asRead;
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

void RecordSet::reread()
{
    if (!d->open)
        throw DataError(QStringLiteral("The record set is not open."));
    storePendingBeforeMove();
    updateBatch();
    const int at = d->position;
    const bool onRow = hasCurrentRow();
    const bool pastEnd = !onRow && !d->onHole && at >= 0;
    const qint64 key = onRow ? currentKey() : 0;
    emit aboutToReset();
    try {
        readKeys(d->filter, d->sort);
    } catch (...) {
        emit reset();
        throw;
    }
    const int count = d->rowCount();
    int position = -1;
    if (count == 0 || at < 0)
        position = count == 0 ? -1 : at;
    else if (pastEnd)
        position = count;
    else if (const int found = onRow ? rowOfKey(key, at) : -1; found >= 0)
        position = found;
    else
        position = std::min(at, count - 1);
    d->position = position;
    emit reset();
    emit positionChanged();
}

int RecordSet::rowOfKey(qint64 key, int near) const
{
    const int count = d->rowCount();
    // Rows read whole are searched whole. A table's whole view is read in
    // windows: a row another desk's writes moved is looked for near where it
    // stood (the rows added or removed meanwhile), not through every window.
    constexpr int windowedReach = 1024;
    const int reach = d->keys.windowed() ? windowedReach : count;
    for (int step = 0; step <= reach; ++step) {
        const int below = near - step;
        const int above = near + step;
        if (below < 0 && above >= count)
            break;
        if (below >= 0 && below < count && d->keys.at(size_t(below)) == key)
            return below;
        if (step > 0 && above < count && d->keys.at(size_t(above)) == key)
            return above;
    }
    return -1;
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

const RecordSource &RecordSet::source() const
{
    return d->source;
}

bool RecordSet::isUpdatable() const
{
    return d->updatable();
}

QString RecordSet::tableName() const
{
    return d->source.tableName();
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
    return columnIndex(d->columns, name);
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
    return value(requireColumn(d->columns, name));
}

QString RecordSet::text(int column) const
{
    if (!hasCurrentRow() || column < 0 || column >= fieldCount())
        return QString();
    return cellText(d->cellValue(column, d->position));
}

QString RecordSet::text(const QString &name) const
{
    return text(requireColumn(d->columns, name));
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
    return isNull(requireColumn(d->columns, name));
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
    return cellText(d->cellValue(column, row));
}

void RecordSet::setValue(int column, const QVariant &value)
{
    if (!isUpdatable())
        throw DataError(
            QStringLiteral("The record set %1 cannot be changed.").arg(d->source.toString()));
    const qint64 key = requireCurrentRow();
    if (column < 0 || column >= fieldCount())
        throw DataError(QStringLiteral("There is no column %1.").arg(column));
    const RecordColumn &c = d->columns[size_t(column)];
    const QVariant converted = normalisedForColumn(c.type, convertForColumn(c.type, c.name, value));

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
    setValue(requireColumn(d->columns, name), value);
}

// --- changes ------------------------------------------------------------------------

void RecordSet::addNew()
{
    if (!isUpdatable())
        throw DataError(
            QStringLiteral("The record set %1 cannot be changed.").arg(d->source.toString()));
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
    const RowWriter writer = d->writer();

    if (p.isNew) {
        if (d->keys.crowded())
            d->keys.readWhole();
        const qint64 stored = writer.insert(p.row);
        d->asRead.forget(); // a new row has its place in the order to be found
        d->pending.erase(it);
        d->keys.replace(key, stored);
        d->cache.erase(stored); // read back as the table keeps it
        return;
    }
    std::vector<int> columns;
    bool placesRows = false;
    for (int i = 0; i < fieldCount(); ++i) {
        if (p.changed[size_t(i)]) {
            columns.push_back(i);
            placesRows = placesRows || d->source.placesRows(d->columns[size_t(i)].baseName);
        }
    }
    if (!columns.empty()) {
        // Checked before the view is read whole below, which would take the
        // order another desk's change gave the rows.
        requireAsRead(key, p.read, p.readMissing);
        // A row that moves in the order would move under the windows.
        if (placesRows)
            d->keys.readWhole();
        const long long changed = writer.update(key, p.row, columns, p.read);
        if (changed == 0)
            readAgainAndRefuse(key);
        d->asRead.ownChanges(changed);
        if (placesRows)
            d->asRead.forget();
    }
    d->pending.erase(it);
    d->cache.erase(key);
}

void RecordSet::requireAsRead(qint64 key, const Row &read, bool missing)
{
    if (!missing && d->writer().holds(key, read))
        return;
    readAgainAndRefuse(key);
}

void RecordSet::readAgainAndRefuse(qint64 key)
{
    d->pending.erase(key);
    d->cache.erase(key);
    const bool gone = !d->writer().exists(key);
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
        throw DataError(
            QStringLiteral("The record set %1 cannot be changed.").arg(d->source.toString()));
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
        const long long deleted = d->writer().remove(key, read);
        if (deleted == 0)
            readAgainAndRefuse(key);
        d->asRead.ownChanges(deleted);
        d->asRead.deleted(key);
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
