#include "rowcache.h"

#include "database.h"
#include "keywindow.h"
#include "sqlquery.h"

#include <algorithm>

// SQL runs here: the rows of a window read by key.

namespace lexordo {

namespace {

// Rows read ahead around the one asked for, and the most kept at once.
constexpr int fetchBatch = 64;
constexpr size_t cacheLimit = 8192;

} // namespace

void RowCache::setTable(const QString &table, const RecordColumns &columns)
{
    m_table = table;
    m_columns = columns;
    m_rows.clear();
}

const ReadRow *RowCache::row(const KeyWindow &keys, int at)
{
    if (at < 0 || size_t(at) >= keys.size())
        return nullptr;
    const qint64 key = keys.at(size_t(at));
    if (key <= 0)
        return nullptr;
    auto it = m_rows.find(key);
    if (it == m_rows.end()) {
        fetchAround(keys, at);
        it = m_rows.find(key);
        if (it == m_rows.end())
            return nullptr;
    }
    return &it->second;
}

void RowCache::fetchAround(const KeyWindow &keys, int at)
{
    std::vector<qint64> wanted;
    wanted.reserve(fetchBatch);
    const int count = int(keys.size());
    const int first = std::max(0, at - fetchBatch / 4);
    for (int i = first; i < count && int(wanted.size()) < fetchBatch; ++i) {
        const qint64 key = keys.at(size_t(i));
        if (key > 0 && !m_rows.count(key))
            wanted.push_back(key);
    }
    if (wanted.empty())
        return;
    if (m_rows.size() + wanted.size() > cacheLimit)
        m_rows.clear();
    // One statement for every window: the keys short of a full batch repeat the last.
    QStringList marks;
    for (int i = 0; i < fetchBatch; ++i)
        marks << QStringLiteral("?");
    SqlQuery stmt(QStringLiteral("SELECT %1, * FROM %2 WHERE %1 IN (%3)")
                      .arg(sql::rowKey(), sql::quoteIdentifier(m_table), marks.join(u',')));
    for (int i = 0; i < fetchBatch; ++i)
        stmt.bindInt(i + 1, wanted[size_t(std::min<int>(i, int(wanted.size()) - 1))]);
    const size_t columns = m_columns.size();
    while (stmt.next()) {
        ReadRow row{Row(columns), Row(columns)};
        // Stored form first: reading a value as text can change how the
        // database then reports its type.
        for (size_t c = 0; c < columns; ++c) {
            row.stored[c] = stmt.stored(int(c) + 1);
            row.values[c] = decodeColumn(stmt, int(c) + 1, m_columns[c].type);
        }
        m_rows[stmt.integer(0)] = std::move(row);
    }
    // A row another program deleted since the keys were read shows empty.
    for (qint64 key : wanted) {
        if (!m_rows.count(key))
            m_rows[key] = ReadRow{Row(columns), Row(columns), true};
    }
}

} // namespace lexordo
