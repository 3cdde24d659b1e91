#pragma once

// Which rows a record set's view shows and in what order: the source's own
// filter and order joined with the ones the user set, and the reads that
// run them.

#include "filtersql.h"
#include "keywindow.h"
#include "recordsource.h"

namespace lexordo {

class ViewQuery
{
public:
    // Throws DataError for a column the source does not have or a filter
    // value that does not suit its column.
    ViewQuery(const RecordSource &source, const RecordColumns &columns, const Filter &filter,
              const QList<SortKey> &sort);

    // The whole of a table's view, in the source's own order: read in windows.
    bool wholeTable() const { return m_source.isTable() && m_wholeView; }
    KeyWindow::Query windowQuery() const;

    // A query's rows with neither filter nor sort: the source's own statement.
    bool plainQuery() const
    {
        return !m_source.isTable() && m_where.isEmpty() && m_order.isEmpty();
    }

    // Prepares the statement, so that a faulty source fails before anything changes.
    void check() const;
    // The keys of a table's rows that pass, in order.
    std::vector<qint64> readKeys() const;
    // A query's rows that pass, in order.
    std::vector<Row> readRows() const;

private:
    QString sql() const;

    const RecordSource &m_source;
    const RecordColumns &m_columns;
    Where m_where;
    QList<OrderTerm> m_order;
    bool m_wholeView = false;
};

} // namespace lexordo
