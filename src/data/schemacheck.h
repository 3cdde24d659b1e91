#pragma once

#include "datasource.h"
#include "serveraddress.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace lexordo {

// What the program needs of a database before it works on it as the diary:
// a readable, whole database file holding every table and column of the
// schema (src/data/schema.sql). A file that is not a diary is refused with
// one message that names it and says what is wrong, before any screen or
// command would fail on it later.
class SchemaCheck
{
public:
    struct Column
    {
        QString name;
        QByteArray type; // as the schema declares it: DATE, TIME, TEXT, INTEGER, REAL
    };
    struct Table
    {
        QString name;
        QList<Column> columns;
    };

    // The tables and columns of the schema, in its order.
    static const QList<Table> &required();

    // The type the program reads a column of that name as (names matched
    // without regard to case). The schema's type comes first, so a database
    // whose columns were made without declared types is read as the program
    // wrote it; a column the schema does not know keeps its declaration.
    static QByteArray columnType(const char *columnName, const char *declared);

    // Refuses a file that is missing, empty, not a database or cut short.
    // Looks at the file only; nothing is opened or changed.
    static void checkFile(const QString &path); // throws DataError

    // What the open database lacks: one text per missing table or column.
    static QStringList missingParts(); // throws DataError when it cannot be read

    // checkFile, then opens the database and checks its tables and columns;
    // the database is left open only when it is a diary.
    static void openDiary(const QString &path); // throws DataError

    // Opens the diary kept on a server and checks it there. A server that
    // cannot be reached, or a database there that is no diary, is refused
    // with the server's reason and the address, never with the password.
    static void openServerDiary(const ServerAddress &address); // throws DataError

    // The server's reason for a fault with the diary at `address`, naming the
    // address and leaving out the password.
    static QString serverFault(const ServerAddress &address, const QString &reason);

    // Opens the diary wherever it is: on a server, or in a file (openDiary).
    static void open(const DataSource::Diary &diary); // throws DataError

    // What every command opens: the diary the data source "advocate" names
    // (DataSource::commandDiary).
    static void openRegistered(const QString &programFolder); // throws DataError
};

} // namespace lexordo
