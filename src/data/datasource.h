#pragma once

#include <QString>

#include <optional>

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
    };

    // The database file beside the program.
    static QString defaultDatabase(const QString &programFolder);

    // The database path of the entry, from its Database key (or DBQ, as
    // other tools write it); nothing when there is no such entry or no path.
    static std::optional<QString> registeredDatabase();

    // The start-up rule: creates the entry only when no entry with a database
    // path exists, and only for an existing file; a missing file is reported
    // with "Database file doesn't exist!" and start-up goes on.
    static Outcome ensureRegistered(const QString &programFolder);

    // The file the program works on: the entry's, else the one beside the program.
    static QString databasePath(const QString &programFolder);

    // Writes the entry (used by ensureRegistered; tests use it to set up a catalogue).
    static bool writeEntry(const QString &databasePath);
};

} // namespace lexordo
