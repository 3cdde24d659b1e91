#include "viewquery.h"

#include "database.h"
#include "sqlquery.h"

// SQL runs here: the keys or rows of a view that is read whole.

namespace lexordo {

ViewQuery::ViewQuery(const RecordSource &source, const RecordColumns &columns, const Filter &filter,
                     const QList<SortKey> &sort)
    : m_source(source), m_columns(columns), m_wholeView(filter.isEmpty() && sort.isEmpty())
{
    const bool onTable = source.isTable();
    // A query's own "?" marks come first in the statement that wraps it.
    if (!onTable)
        m_where.values = source.values();
    addFilter(m_where, source.filter() && filter, columns, source.tableName());

    for (const SortKey &key : sort) {
        const RecordColumn &column = columns[size_t(requireColumn(columns, key.column))];
        QString expression = columnExpression(column, onTable);
        if (column.type == FieldType::Text || column.type == FieldType::Any)
            expression += QStringLiteral(" COLLATE ") + sql::foldedCollation();
        m_order.append(OrderTerm{expression, key.descending});
    }
    if (!onTable)
        return;
    for (const SortKey &key : source.order()) {
        const RecordColumn &column = columns[size_t(requireColumn(columns, key.column))];
        // Filtered, the rows are found first and then put in order: walking
        // the whole table in order to test each row would read all of it at
        // random.
        const QString expression = columnExpression(column, true);
        m_order.append(
            OrderTerm{m_where.isEmpty() ? expression : sql::unindexed(expression), key.descending});
    }
    m_order.append(OrderTerm{sql::rowKey(), false}); // rows that tie keep the table's order
}

KeyWindow::Query ViewQuery::windowQuery() const
{
    return KeyWindow::Query{m_source.tableName(), m_where.condition(), m_where.values, m_order};
}

QString ViewQuery::sql() const
{
    const QString condition =
        m_where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + m_where.condition();
    if (m_source.isTable())
        return QStringLiteral("SELECT %1 FROM %2%3 ORDER BY %4")
            .arg(sql::rowKey(), sql::quoteIdentifier(m_source.tableName()), condition,
                 orderByText(m_order));
    if (plainQuery())
        return m_source.sql();
    QString sql =
        QStringLiteral("SELECT * FROM (%1) AS lexordo_view%2").arg(m_source.sql(), condition);
    if (!m_order.isEmpty())
        sql += QStringLiteral(" ORDER BY ") + orderByText(m_order);
    return sql;
}

void ViewQuery::check() const
{
    SqlQuery stmt(sql());
}

std::vector<qint64> ViewQuery::readKeys() const
{
    SqlQuery stmt(sql());
    for (int i = 0; i < m_where.values.size(); ++i)
        stmt.bind(i + 1, m_where.values[i]);
    std::vector<qint64> keys;
    while (stmt.next())
        keys.push_back(stmt.integer(0));
    return keys;
}

std::vector<Row> ViewQuery::readRows() const
{
    SqlQuery stmt(sql());
    for (int i = 0; i < m_where.values.size(); ++i)
        stmt.bind(i + 1, m_where.values[i]);
    std::vector<Row> rows;
    const size_t count = m_columns.size();
    while (stmt.next()) {
        Row row(count);
        for (size_t c = 0; c < count; ++c)
            row[c] = decodeColumn(stmt, int(c), m_columns[c].type);
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace lexordo
