#pragma once

#include <optional>
#include <QString>

namespace lexordo {

// The ODBC data source "advocate" in the user's data source catalogue
// (unixODBC's odbc.ini; the ODBCINI environment variable names another file).
// Any ODBC client reaches the diary through it, and the program opens the
// database file that it names.
class DataSource
{
public:
    static inline const QString name = QStringLiteral("advocate");
    static inline const QString driver = QStringLiteral("SQLite3");
    static inline const QString fileName = QStringLiteral("advocate_v2.mdb");
    static inline const QString missingFileMessage = QStringLiteral("Database file doesn't exist!");

    enum class Outcome {
        AlreadyRegistered, // an entry with a database path exists; left as it is
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
            Usable,   // an entry naming a database by its full path
            Unusable, // an entry (or a catalogue) that names no database
        };
        State state = State::Missing;
        QString database; // when usable
        QString problem;  // when unusable: which entry, in which file, and what is wrong
    };

    // The user's catalogue file: $ODBCINI, else ~/.odbc.ini.
    static QString catalogueFile();

    static Entry entry();

    // The database file beside the program.
    static QString defaultDatabase(const QString &programFolder);

    // The database path of a usable entry, from its Database key (or DBQ,
    // as other tools write it); nothing otherwise.
    static std::optional<QString> registeredDatabase();

    // The start-up rule: creates the entry only when there is no entry
    // "advocate" at all, and only for an existing file; a missing file is
    // reported with "Database file doesn't exist!" and start-up goes on. An
    // entry that is there but unusable is reported, never replaced.
    static Outcome ensureRegistered(const QString &programFolder);

    // The file the program works on: the entry's, else (no entry at all) the
    // one beside the program. Throws DataError when the entry is unusable.
    static QString databasePath(const QString &programFolder);

    // The diary a command works on: the entry's database. With no entry at
    // all the entry is created for the file beside the program, as at the
    // first start, and the messenger says which file it now names. Throws
    // DataError when the entry is unusable, or there is neither entry nor file.
    static QString commandDatabase(const QString &programFolder);

    // What the user is told when the entry has been created.
    static QString registeredMessage(const QString &databasePath);

    // Writes the entry (used by ensureRegistered; tests use it to set up a catalogue).
    static bool writeEntry(const QString &databasePath);
};

} // namespace lexordo
