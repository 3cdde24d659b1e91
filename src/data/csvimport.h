#pragma once

#include "recordset.h"
#include "sqlquery.h"

#include <array>
#include <optional>
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <vector>

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
    CsvTableFill(const QString &table, bool replace); // throws DataError
    CsvTableFill(const CsvTableFill &) = delete;
    CsvTableFill &operator=(const CsvTableFill &) = delete;
    void finish(); // throws DataError

private:
    // Puts the connection's page cache back as it was, however the fill ends:
    // finish() does, and this when it did not run (a constructor or a fill
    // that threw), not throwing from a destructor.
    struct CacheSize
    {
        ~CacheSize();
        void restore(); // throws DataError
        std::optional<int> size;
    };

    CacheSize m_cacheSize;
    QStringList m_indexes; // the statements that make the indexes let go
    bool m_bulk = false;
};

// Checks the records of an import against the columns they fill and stores
// them with one prepared insert, binding each field from the record's bytes
// where it can, as it runs once for every field of the file.
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
    CsvRowWriter(const QString &table, const QList<Column> &columns);
    CsvRowWriter(const CsvRowWriter &) = delete;
    CsvRowWriter &operator=(const CsvRowWriter &) = delete;

    // Checks a record of as many fields as there are columns and binds its
    // values; what is wrong with its fields, or nothing. The record stays
    // unchanged until insert().
    QString bind(const csv::Record &record);
    // Stores the record bound last. Throws DataError with the database's reason.
    void insert();

private:
    bool bindField(int i, const csv::Record &record);
    // Runs a bind, keeping its refusal, the first of the record's, for insert().
    template <typename Bind> void kept(Bind &&bind);

    QList<Column> m_columns;
    SqlQuery m_insert;
    std::vector<std::array<char, 10>> m_dates; // the stored form of each date bound
    QString m_bindFault;                       // why the database refused a value, when it did
};

} // namespace lexordo
