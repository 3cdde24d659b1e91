#include "recordcolumn.h"

#include "database.h"
#include "dataerror.h"
#include "recordsource.h"
#include "sqlquery.h"

namespace lexordo {

RecordColumns columnsOf(const RecordSource &source)
{
    if (source.isEmpty())
        throw DataError(QStringLiteral("The record set names no table or query."));
    const QString probe = source.isTable() ? QStringLiteral("SELECT * FROM ") +
                                                 sql::quoteIdentifier(source.tableName())
                                           : source.sql();
    // SQL runs here: the statement is prepared, never stepped.
    SqlQuery stmt(probe);
    RecordColumns columns;
    int expression = 1000;
    for (int i = 0; i < stmt.columnCount(); ++i) {
        RecordColumn c;
        c.name = stmt.columnName(i);
        const QString origin = stmt.columnOrigin(i);
        // A server's tables show their rows' key as a column; it is no field.
        if (sql::isRowKeyColumn(origin.isEmpty() ? c.name : origin))
            continue;
        c.baseName = origin.isEmpty() ? c.name : origin;
        c.type = columnFieldType(stmt, i);
        // An unnamed computed column gets the name the database of old gave it.
        if (origin.isEmpty() && c.name.contains(u'('))
            c.name = QStringLiteral("Expr%1").arg(expression++);
        columns.push_back(c);
    }
    return columns;
}

int columnIndex(const RecordColumns &columns, const QString &name)
{
    for (size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

int requireColumn(const RecordColumns &columns, const QString &name)
{
    const int index = columnIndex(columns, name);
    if (index < 0)
        throw DataError(QStringLiteral("Item cannot be found in the collection corresponding to "
                                       "the requested name or ordinal: %1")
                            .arg(name));
    return index;
}

} // namespace lexordo
