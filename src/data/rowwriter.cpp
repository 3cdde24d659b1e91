#include "rowwriter.h"

#include "database.h"
#include "sqlquery.h"

// SQL runs here: every write of a record set.

namespace lexordo {

RowWriter::RowWriter(const QString &table, const RecordColumns &columns)
    : m_table(sql::quoteIdentifier(table)), m_columns(columns)
{
}

qint64 RowWriter::insert(const Row &row) const
{
    QStringList names;
    QStringList marks;
    for (const RecordColumn &c : m_columns) {
        names << sql::quoteIdentifier(c.baseName);
        marks << QStringLiteral("?");
    }
    SqlQuery stmt(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3) RETURNING %4")
                      .arg(m_table, names.join(u", "), marks.join(u", "), sql::rowKey()));
    for (size_t i = 0; i < m_columns.size(); ++i)
        bindForColumn(stmt, int(i) + 1, row[i], m_columns[i].type);
    if (!stmt.next())
        throw DataError(QStringLiteral("The database gave no key of the row added."));
    const qint64 key = stmt.integer(0);
    // Run to its end: the row is stored when the statement is done.
    while (stmt.next()) {
    }
    return key;
}

long long RowWriter::update(qint64 key, const Row &row, const std::vector<int> &changed,
                            const Row &read) const
{
    QStringList sets;
    for (int column : changed)
        sets << sql::quoteIdentifier(m_columns[size_t(column)].baseName) + QStringLiteral(" = ?");
    SqlQuery stmt(QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                      .arg(m_table, sets.join(u", "), readCondition()));
    int index = 1;
    for (int column : changed)
        bindForColumn(stmt, index++, row[size_t(column)], m_columns[size_t(column)].type);
    bindRead(stmt, index, key, read);
    return stmt.exec();
}

long long RowWriter::remove(qint64 key, const Row &read) const
{
    SqlQuery stmt(QStringLiteral("DELETE FROM %1 WHERE %2").arg(m_table, readCondition()));
    bindRead(stmt, 1, key, read);
    return stmt.exec();
}

bool RowWriter::holds(qint64 key, const Row &read) const
{
    SqlQuery stmt(QStringLiteral("SELECT 1 FROM %1 WHERE %2").arg(m_table, readCondition()));
    bindRead(stmt, 1, key, read);
    return stmt.next();
}

bool RowWriter::exists(qint64 key) const
{
    SqlQuery stmt(QStringLiteral("SELECT 1 FROM %1 WHERE %2 = ?").arg(m_table, sql::rowKey()));
    stmt.bindInt(1, key);
    return stmt.next();
}

// The row still holds the values read: each column named with the value the
// database gave, bound after the row's key.
QString RowWriter::readCondition() const
{
    QStringList parts{sql::rowKey() + QStringLiteral(" = ?")};
    for (const RecordColumn &c : m_columns)
        parts << sql::sameAsBound(sql::quoteIdentifier(c.baseName));
    return parts.join(QStringLiteral(" AND "));
}

void RowWriter::bindRead(SqlQuery &stmt, int index, qint64 key, const Row &read) const
{
    stmt.bindInt(index++, key);
    for (size_t c = 0; c < m_columns.size(); ++c)
        stmt.bindStored(index++, c < read.size() ? read[c] : QVariant());
}

} // namespace lexordo
