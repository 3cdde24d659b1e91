#pragma once

#include "dataerror.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace lexordo {

// Copies a table of the diary to a CSV file and back, so that the office's
// data never stays locked in the program: UTF-8, RFC 4180, a header row of
// the stored column names, dates written dd/mm/yyyy.
//
// An import reads the file a row at a time, checking and storing each inside
// one transaction: all its rows are stored, or none of them.
class TableTransfer
{
public:
    struct BadRow
    {
        int line = 0;   // the line of the file where the row starts
        QString reason; // what is wrong with it
    };

    // What an import found wrong: nothing was stored. Its description is
    // "Nothing was imported into T: 2 rows are wrong." and a line for each of
    // the first rows; the rest are counted.
    class Refused : public DataError
    {
    public:
        // `count` is every wrong row, `rows` the first of them.
        Refused(const QString &table, const QList<BadRow> &rows, int count = 0);
        QString table;
        QList<BadRow> rows;
        int count = 0;
    };

    // The tables that can be exported and imported, as the database names them.
    // The login's password is not among them.
    static QStringList tables();

    // The table's name as stored (letter case ignored); throws DataError when
    // there is no such table.
    static QString storedName(const QString &table);

    static QStringList columns(const QString &table); // throws DataError

    // Writes every row of the table; returns how many. The file is written
    // whole or not at all. Throws DataError.
    static int exportCsv(const QString &table, const QString &file);

    // Appends the file's rows to the table (with `replace`, in place of the
    // rows it holds) and returns how many were stored. A file that cannot be
    // read throws DataError; rows that are wrong throw Refused (a DataError that lists
    // them), and then nothing has been stored.
    static int importCsv(const QString &table, const QString &file, bool replace = false);
};

} // namespace lexordo
