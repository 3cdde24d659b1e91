#pragma once

// Writes a table's rows back. An update or delete names the row's key and
// every value it read, so a row changed at another desk is never
// overwritten: it then changes nothing and says so.

#include "recordcolumn.h"

namespace lexordo {

class SqlQuery;

class RowWriter
{
public:
    RowWriter(const QString &table, const RecordColumns &columns);

    // Stores a new row; its key.
    qint64 insert(const Row &row) const;
    // Stores the columns `changed` of the row `key` while it still holds
    // `read`; the number of rows changed (0 when it no longer does).
    long long update(qint64 key, const Row &row, const std::vector<int> &changed,
                     const Row &read) const;
    // Deletes the row `key` while it still holds `read`; the number deleted.
    long long remove(qint64 key, const Row &read) const;

    bool holds(qint64 key, const Row &read) const; // the row still holds `read`
    bool exists(qint64 key) const;

private:
    QString readCondition() const;
    void bindRead(SqlQuery &stmt, int index, qint64 key, const Row &read) const;

    QString m_table; // quoted
    const RecordColumns &m_columns;
};

} // namespace lexordo
