#pragma once

#include "recordset.h"

#include <array>
#include <QByteArray>
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

// Makes a table ready, inside an import's transaction, to take the rows of
// the import, and finishes it once they are in. With `replace` its rows are
// deleted first. A table that is then empty has its indexes (but a unique
// one, which names the line of a row it refuses) and what the database keeps
// beside it made once from all its rows, by a sort, in place of a search of
// every index and list for every row.
class CsvTableFill
{
public:
    CsvTableFill(sqlite3 *db, const QString &table, bool replace); // throws DataError
    CsvTableFill(const CsvTableFill &) = delete;
    CsvTableFill &operator=(const CsvTableFill &) = delete;
    void finish(); // throws DataError

private:
    // Puts the connection's page cache back as it was, however the fill ends.
    struct CacheSize
    {
        ~CacheSize();
        sqlite3 *db = nullptr;
        QByteArray restore;
    };

    CacheSize m_cacheSize;
    QStringList m_indexes; // the statements that make the indexes let go
    bool m_bulk = false;
};

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

    // Prepares the insert into `table` of the columns. Throws DataError.
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
    void checked(int rc); // keeps the first refusal of a bind for insert()

    sqlite3 *m_db;
    sqlite3_stmt *m_insert = nullptr;
    QList<Column> m_columns;
    std::vector<std::array<char, 10>> m_dates; // the stored form of each date bound
    QString m_bindFault;                       // why SQLite refused a value, when it did
};

} // namespace lexordo
