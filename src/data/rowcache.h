#pragma once

// The rows of a table's view as last read, kept by key: read a window at a
// time around the row asked for, so memory follows what is on the screen.

#include "recordcolumn.h"

#include <unordered_map>

namespace lexordo {

class KeyWindow;

// A row of the table as read: its values for the program, and the same as
// the database gave them, to find the row again only while it still holds
// exactly that.
struct ReadRow
{
    Row values;
    Row stored;
    bool missing = false; // gone from the table when it was read
};

class RowCache
{
public:
    void setTable(const QString &table, const RecordColumns &columns);

    // The row at `at` of the view `keys`, read with the rows around it that
    // are not read yet; null for a row not stored yet.
    const ReadRow *row(const KeyWindow &keys, int at);

    void erase(qint64 key) { m_rows.erase(key); }
    void clear() { m_rows.clear(); }

private:
    void fetchAround(const KeyWindow &keys, int at);

    QString m_table;
    RecordColumns m_columns;
    std::unordered_map<qint64, ReadRow> m_rows;
};

} // namespace lexordo
