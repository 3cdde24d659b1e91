#pragma once

#include "filter.h"
#include "sortorder.h"

#include <QString>
#include <QVariantList>

namespace lexordo {

// Where a record set's rows come from, said outright: a table, whose rows
// can be changed, seen through an optional filter and in an optional order;
// or a query, read-only and read whole, whose "?" marks take `values`.
//
//   RecordSource::table("advocate").where(Filter("ndate", Filter::Op::Equal, day))
//   RecordSource::table("courts").orderBy("indexx")
//   RecordSource::query("select distinct (caseno),party1 from advocate")
class RecordSource
{
public:
    RecordSource() = default; // names nothing; a record set cannot open it

    static RecordSource table(const QString &name);
    static RecordSource query(const QString &sql, const QVariantList &values = QVariantList());

    // A table's own filter and order, kept when the record set is filtered or
    // sorted further; a query says its own in its text.
    RecordSource where(const Filter &filter) const;
    RecordSource orderBy(const QString &columns) const; // "cdate, courtindex desc"

    bool isEmpty() const { return m_table.isEmpty() && m_sql.isEmpty(); }
    bool isTable() const { return !m_table.isEmpty(); }
    QString tableName() const { return m_table; }
    const Filter &filter() const { return m_filter; }
    const QList<SortKey> &order() const { return m_order; }
    QString sql() const { return m_sql; }
    const QVariantList &values() const { return m_values; }

    // Whether the table's own filter or order names `column`: a change to it
    // can move a row in the view or out of it.
    bool placesRows(const QString &column) const;

    // How messages name the source: the table, or the query's text.
    QString toString() const;

    bool operator==(const RecordSource &other) const;

private:
    QString m_table;
    Filter m_filter;
    QList<SortKey> m_order;
    QString m_sql;
    QVariantList m_values;
};

} // namespace lexordo
