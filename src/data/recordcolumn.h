#pragma once

// The columns of a record set's source, as its statement names them and its
// table declares them.

#include "valuecodec.h"

#include <QString>
#include <QVariant>
#include <vector>

namespace lexordo {

class RecordSource;

struct RecordColumn
{
    QString name;     // as the statement names it
    QString baseName; // the table's own column name, for statements on the table
    FieldType type = FieldType::Any;
};

using RecordColumns = std::vector<RecordColumn>;

// One value per column, in the columns' order.
using Row = std::vector<QVariant>;

// Prepares the source's statement to learn its columns; throws DataError
// when it names no table or column the database has.
RecordColumns columnsOf(const RecordSource &source);

// The column named `name` (letter case ignored); -1 when there is none.
int columnIndex(const RecordColumns &columns, const QString &name);
// As columnIndex, throwing DataError when there is none.
int requireColumn(const RecordColumns &columns, const QString &name);

} // namespace lexordo
