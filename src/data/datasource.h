#pragma once

#include "serveraddress.h"

#include <optional>
#include <QString>

namespace lexordo {

// The ODBC data source "advocate" in the user's data source catalogue
// (unixODBC's odbc.ini; the ODBCINI environment variable names another file).
// Any ODBC client reaches the diary through it, and the program opens the
// database that it names: a file (Driver=SQLite3, Database=path), or a
// database on a PostgreSQL server through the server's ODBC driver
// (Driver=PostgreSQL Unicode, Servername, Port, Database, Username, Password).
class DataSource
{
public:
    static inline const QString name = QStringLiteral("advocate");
    static inline const QString driver = QStringLiteral("SQLite3");
    static inline const QString serverDriver = QStringLiteral("PostgreSQL Unicode");
    static inline const QString fileName = QStringLiteral("advocate_v2.mdb");
    static inline const QString missingFileMessage = QStringLiteral("Database file doesn't exist!");

    enum class Outcome {
        AlreadyRegistered, // an entry naming a file or a server exists; left as it is
        Registered,        // the entry was created for the program folder's file
        FileMissing,       // no entry, and no file to point it at: the message was shown
        Failed,            // the catalogue could not be written
        Unusable,          // an entry exists but names no usable database: said so
    };

    // What the catalogue holds under the name "advocate".
    struct Entry
    {
        enum class State {
            Missing,  // no entry of that name, or no catalogue file at all
            Usable,   // an entry naming a file by its full path, or a server database
            Unusable, // an entry (or a catalogue) that names no database
        };
        State state = State::Missing;
        QString database;                    // when usable and a file
        std::optional<ServerAddress> server; // when usable and on a server
        QString problem; // when unusable: which entry, in which file, and what is wrong
    };

    // Where the diary is: a server database, or a file.
    struct Diary
    {
        std::optional<ServerAddress> server;
        QString file; // when not on a server
        // The address without its password, or the file.
        QString describe() const;
    };

    // The user's catalogue file: $ODBCINI, else ~/.odbc.ini.
    static QString catalogueFile();

    static Entry entry();

    // The database file beside the program.
    static QString defaultDatabase(const QString &programFolder);

    // The database path of a usable entry, from its Database key (or DBQ,
    // as other tools write it); nothing otherwise.
    static std::optional<QString> registeredDatabase();

    // The server database a usable entry with PostgreSQL's driver names.
    static std::optional<ServerAddress> registeredServer();

    // True for a Driver= value that is PostgreSQL's ODBC driver, by the name
    // odbcinst.ini gives it or by the path of its library.
    static bool isServerDriver(const QString &driverName);

    // The start-up rule: creates the entry only when there is no entry
    // "advocate" at all, and only for an existing file; a missing file is
    // reported with "Database file doesn't exist!" and start-up goes on. An
    // entry that is there but unusable is reported, never replaced.
    static Outcome ensureRegistered(const QString &programFolder);

    // The file the program works on: the entry's, else (no entry at all) the
    // one beside the program. Throws DataError when the entry is unusable or
    // names a server database, which has no file.
    static QString databasePath(const QString &programFolder);

    // The diary the program works on at start-up: the entry's server or file,
    // else the file beside the program. Throws DataError when the entry is
    // unusable.
    static Diary diary(const QString &programFolder);
    // The diary a command works on: as diary(), but with no entry at all the
    // entry is made as commandDatabase() makes it.
    static Diary commandDiary(const QString &programFolder);

    // The diary a command works on: the entry's database. With no entry at
    // all the entry is created for the file beside the program, as at the
    // first start, and the messenger says which file it now names. Throws
    // DataError when the entry is unusable, or there is neither entry nor file.
    static QString commandDatabase(const QString &programFolder);

    // What the user is told when the entry has been created.
    static QString registeredMessage(const QString &databasePath);

    // Writes the entry (used by ensureRegistered; tests use it to set up a catalogue).
    static bool writeEntry(const QString &databasePath);
    // Writes an entry naming a server database with PostgreSQL's driver; the
    // password only when there is one (else the server's tools read ~/.pgpass).
    static bool writeServerEntry(const ServerAddress &address);
};

} // namespace lexordo
