#pragma once

// The keys of a view's rows in order: read whole, or, for the whole of a
// table's view, counted once and read in windows of rows as they are asked
// for, so that opening a large table reads what is shown and not every key.

#include "sortorder.h"

#include <QString>
#include <QVariantList>
#include <unordered_map>
#include <vector>

namespace lexordo {

class SqlQuery;

// A windowed view stands for the rows of the database in order, followed by
// the rows this view added. The rows it added and stored are left out of the
// windows, and a row it deletes is gone from the database as from the view,
// so a row's place in the view stays its place among the database's rows.
// Before a change that could move rows under the windows (a store of a
// column the order depends on, a delete that may yet be rolled back) the
// view reads its keys whole.
class KeyWindow
{
public:
    struct Query
    {
        QString table;     // unquoted
        QString condition; // without WHERE; may be empty
        QVariantList values;
        QList<OrderTerm> order; // the row key last, so that no two rows tie
    };

    void assign(std::vector<qint64> keys);
    // Counts the rows; the keys are read as they are asked for.
    void window(Query query); // throws DataError

    bool windowed() const { return m_windowed; }
    size_t size() const { return m_windowed ? size_t(m_count) + m_added.size() : m_all.size(); }
    bool empty() const { return size() == 0; }

    // 0 for a row the database no longer has.
    qint64 at(size_t i) const;

    void push_back(qint64 key);
    void erase(size_t i);
    // Takes a key out of a view read whole; false when it is not there or the
    // view is read in windows.
    bool eraseKey(qint64 key);
    // So many rows added and stored that leaving them out of each window
    // would cost more than reading the keys whole.
    bool crowded() const;
    // A new row's key once it is stored.
    void replace(qint64 from, qint64 to);
    // Reads every key, so that the view stays as it is whatever is written.
    void readWhole();

private:
    static constexpr qint64 windowRows = 256;
    static constexpr size_t windowsKept = 64;
    static constexpr long addedLeftOutAtMost = 500;

    QString where(bool leaveOutAdded) const;
    QString select(const QList<OrderTerm> &order, const QString &limit) const;
    int bindValues(SqlQuery &stmt, bool leaveOutAdded = true) const;
    std::unordered_map<qint64, std::vector<qint64>>::iterator readChunk(qint64 chunk) const;

    std::vector<qint64> m_all;
    bool m_windowed = false;
    Query m_query;
    qint64 m_count = 0;
    std::vector<qint64> m_added; // rows added to a windowed view, in order
    mutable std::unordered_map<qint64, std::vector<qint64>> m_chunks;
};

// The keys of a table's whole view as last read, and how the database stood
// then: while nothing but the record set's own changes to columns that do
// not place rows was written since, re-reading gives these keys again
// without a read.
class KeysAsRead
{
public:
    void remember(const KeyWindow &keys); // as the database stands now
    void forget() { m_valid = false; }
    // The keys read last, while they are still the view's keys.
    const KeyWindow *current() const;
    // The record set wrote `count` changes of its own that leave the rows in place.
    void ownChanges(long long count) { m_ownChanges += count; }
    // The record set deleted the row `key`.
    void deleted(qint64 key);

private:
    KeyWindow m_keys;
    bool m_valid = false;
    qint64 m_version = -1;
    qint64 m_changes = -1;
    qint64 m_ownChanges = 0;
};

} // namespace lexordo
