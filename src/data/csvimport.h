#pragma once

#include "recordset.h"

#include <array>
#include <QList>
#include <QString>
#include <QStringList>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace lexordo {

namespace csv {
struct Record;
}

// Checks the records of an import against the columns they fill and stores
// them with one prepared insert, binding each field from the record's bytes:
// the one place an import meets SQLite's own interface, as it runs once for
// every field of the file.
class CsvRowWriter
{
public:
    struct Column
    {
        QString name;    // as stored
        QString caption; // as a refusal names it
        RecordSet::FieldType type = RecordSet::FieldType::Any;
    };

    // Prepares the insert into `table` (quoted) of the columns. Throws DataError.
    CsvRowWriter(sqlite3 *db, const QString &table, const QList<Column> &columns);
    ~CsvRowWriter();
    CsvRowWriter(const CsvRowWriter &) = delete;
    CsvRowWriter &operator=(const CsvRowWriter &) = delete;

    // Checks a record of as many fields as there are columns and binds its
    // values; what is wrong with its fields, or nothing. The record stays
    // unchanged until insert().
    QString bind(const csv::Record &record);
    // Stores the record bound last. Throws DataError with SQLite's reason.
    void insert();

private:
    bool bindField(int i, const csv::Record &record);

    sqlite3 *m_db;
    sqlite3_stmt *m_insert = nullptr;
    QList<Column> m_columns;
    std::vector<std::array<char, 10>> m_dates; // the stored form of each date bound
};

} // namespace lexordo
