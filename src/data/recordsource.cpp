#include "recordsource.h"

namespace lexordo {

RecordSource RecordSource::table(const QString &name)
{
    RecordSource source;
    source.m_table = name.trimmed();
    return source;
}

RecordSource RecordSource::query(const QString &sql, const QVariantList &values)
{
    RecordSource source;
    source.m_sql = sql;
    source.m_values = values;
    return source;
}

RecordSource RecordSource::where(const Filter &filter) const
{
    Q_ASSERT(isTable());
    RecordSource source = *this;
    source.m_filter = source.m_filter && filter;
    return source;
}

RecordSource RecordSource::orderBy(const QString &columns) const
{
    Q_ASSERT(isTable());
    RecordSource source = *this;
    source.m_order = parseSort(columns);
    return source;
}

bool RecordSource::placesRows(const QString &column) const
{
    for (const SortKey &key : m_order) {
        if (key.column.compare(column, Qt::CaseInsensitive) == 0)
            return true;
    }
    for (const Filter::Term &term : m_filter.terms()) {
        if (term.column.compare(column, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString RecordSource::toString() const
{
    if (!isTable())
        return m_sql;
    QString text = m_table;
    if (!m_filter.isEmpty())
        text += QStringLiteral(" where ") + m_filter.toString();
    if (!m_order.isEmpty())
        text += QStringLiteral(" order by ") + sortText(m_order);
    return text;
}

bool RecordSource::operator==(const RecordSource &other) const
{
    return m_table.compare(other.m_table, Qt::CaseInsensitive) == 0 && m_filter == other.m_filter &&
           m_order == other.m_order && m_sql == other.m_sql && m_values == other.m_values;
}

} // namespace lexordo
