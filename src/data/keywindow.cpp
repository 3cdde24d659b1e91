#include "keywindow.h"

#include "database.h"
#include "sqlquery.h"

#include <algorithm>

// SQL runs here: the count of a view and the windows of its keys.

namespace lexordo {

void KeyWindow::assign(std::vector<qint64> keys)
{
    *this = KeyWindow();
    m_all = std::move(keys);
}

void KeyWindow::window(Query query)
{
    *this = KeyWindow();
    m_query = std::move(query);
    m_windowed = true;
    // A table the database counts as it is written is not counted again.
    if (m_query.condition.isEmpty()) {
        if (const auto kept = Database::keptCounts(m_query.table)) {
            m_count = kept->rows;
            return;
        }
    }
    SqlQuery stmt(QStringLiteral("SELECT COUNT(*) FROM %1%2")
                      .arg(sql::quoteIdentifier(m_query.table), where(false)));
    bindValues(stmt, false);
    m_count = stmt.next() ? stmt.integer(0) : 0;
}

qint64 KeyWindow::at(size_t i) const
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

void KeyWindow::push_back(qint64 key)
{
    if (m_windowed)
        m_added.push_back(key);
    else
        m_all.push_back(key);
}

void KeyWindow::erase(size_t i)
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

bool KeyWindow::eraseKey(qint64 key)
{
    if (m_windowed)
        return false;
    const auto at = std::find(m_all.begin(), m_all.end(), key);
    if (at == m_all.end())
        return false;
    m_all.erase(at);
    return true;
}

bool KeyWindow::crowded() const
{
    return m_windowed && std::count_if(m_added.begin(), m_added.end(),
                                       [](qint64 k) { return k > 0; }) >= addedLeftOutAtMost;
}

void KeyWindow::replace(qint64 from, qint64 to)
{
    std::vector<qint64> &keys = m_windowed ? m_added : m_all;
    if (const auto key = std::find(keys.rbegin(), keys.rend(), from); key != keys.rend())
        *key = to;
}

void KeyWindow::readWhole()
{
    if (!m_windowed)
        return;
    SqlQuery stmt(select(m_query.order, QString()));
    bindValues(stmt);
    std::vector<qint64> keys;
    keys.reserve(size());
    while (stmt.next())
        keys.push_back(stmt.integer(0));
    // Rows another program added or removed meanwhile keep the count shown.
    keys.resize(size_t(m_count), 0);
    keys.insert(keys.end(), m_added.begin(), m_added.end());
    assign(std::move(keys));
}

QString KeyWindow::where(bool leaveOutAdded) const
{
    QStringList parts;
    if (!m_query.condition.isEmpty())
        parts << u'(' + m_query.condition + u')';
    if (leaveOutAdded) {
        QStringList marks;
        for (qint64 key : m_added) {
            if (key > 0)
                marks << QStringLiteral("?");
        }
        if (!marks.isEmpty())
            parts << QStringLiteral("%1 NOT IN (%2)").arg(sql::rowKey(), marks.join(u','));
    }
    return parts.isEmpty() ? QString() : QStringLiteral(" WHERE ") + parts.join(u" AND ");
}

QString KeyWindow::select(const QList<OrderTerm> &order, const QString &limit) const
{
    return QStringLiteral("SELECT %1 FROM %2%3 ORDER BY %4%5")
        .arg(sql::rowKey(), sql::quoteIdentifier(m_query.table), where(true), orderByText(order),
             limit);
}

int KeyWindow::bindValues(SqlQuery &stmt, bool leaveOutAdded) const
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

std::unordered_map<qint64, std::vector<qint64>>::iterator KeyWindow::readChunk(qint64 chunk) const
{
    const qint64 first = chunk * windowRows;
    const qint64 end = std::min<qint64>(m_count, first + windowRows);
    // The far half of the view is read backwards from its end.
    const bool backwards = first > m_count / 2;
    SqlQuery stmt(select(backwards ? reversed(m_query.order) : m_query.order,
                         QStringLiteral(" LIMIT ? OFFSET ?")));
    const int index = bindValues(stmt);
    stmt.bindInt(index, end - first);
    stmt.bindInt(index + 1, backwards ? m_count - end : first);
    std::vector<qint64> keys;
    keys.reserve(size_t(end - first));
    while (stmt.next())
        keys.push_back(stmt.integer(0));
    if (backwards) {
        // Fewer rows than counted: the missing ones are the first.
        keys.resize(size_t(end - first), 0);
        std::reverse(keys.begin(), keys.end());
    }
    if (m_chunks.size() >= windowsKept)
        m_chunks.clear();
    return m_chunks.emplace(chunk, std::move(keys)).first;
}

void KeysAsRead::remember(const KeyWindow &keys)
{
    m_keys = keys;
    m_valid = true;
    m_version = sql::dataVersion();
    m_changes = sql::totalChanges();
    m_ownChanges = 0;
}

const KeyWindow *KeysAsRead::current() const
{
    if (!m_valid)
        return nullptr;
    // Nothing written that could add, drop or move a row.
    if (sql::dataVersion() != m_version || sql::totalChanges() != m_changes + m_ownChanges)
        return nullptr;
    return &m_keys;
}

void KeysAsRead::deleted(qint64 key)
{
    // A delete inside a transaction may yet be rolled back.
    if (Database::inTransaction() || !m_keys.eraseKey(key))
        m_valid = false;
}

} // namespace lexordo
