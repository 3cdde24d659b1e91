#pragma once

#include "serveraddress.h"

#include <optional>
#include <QString>

struct sqlite3;

namespace lexordo {
class PgConnection;
}

namespace lexordo {

// The program's one connection to the diary database. Every record set opens
// on it. The file is opened so that a committed store survives a crash or a
// power cut (write-ahead journal, full sync).
class Database
{
public:
    static void open(const QString &path); // throws DataError
    static void close();
    static bool isOpen();
    static QString path();

    // The connection's native handle, shared with Qt's SQLite driver.
    static sqlite3 *handle(); // throws DataError when not open

    // Writes a new database with every table from the schema. Refuses to
    // touch an existing file.
    static void createFile(const QString &path); // throws DataError

    static QString schemaText();

    // A diary kept on a PostgreSQL server, opened in place of a file: every
    // store, report and transfer then runs on the server.
    static void openServer(const ServerAddress &address); // throws DataError
    // True while the open diary is on a server; its address then.
    static bool isServer();
    static std::optional<ServerAddress> server();
    // The program's connection to the server, connected again when the
    // server went away since the last action. Throws DataError.
    static PgConnection &serverConnection();
    // Makes the diary's tables in the server database, which must hold none
    // of them. Throws DataError.
    static void createOnServer(const ServerAddress &address);

    // The database keeps, beside some text columns, the list of the different
    // texts the column holds, brought up to date by the database itself on
    // every insert and change, whichever program makes it. A search for text
    // within such a column reads the list, which is short beside the rows,
    // and then finds the rows through the column's index. The list may hold
    // texts no row holds any more; it holds every text a row holds.
    // The quoted name of the list of `table`.`column`; empty when it has none
    // (a database opened read-only before its list was made).
    static QString textList(const QString &table, const QString &column);
    // Brings a diary made by an earlier version or by another program up to
    // what this version keeps beside its tables: the schema's indexes as the
    // schema defines them, the lists of texts and the counts, made from the
    // rows. A new
    // database has them from the start. Nothing is changed on a database
    // opened read-only.
    static void bringUpToDate(); // throws DataError
    // Inside a transaction: lets go of the lists and counts kept beside
    // `table` and of the triggers keeping them, so that a table filled with
    // many rows at once is not kept up row by row. keepUp() makes them again
    // from the rows, before the transaction commits.
    static void letGoOfKept(const QString &table); // throws DataError
    static void keepUp();                          // throws DataError
    // True for the name of such a list, or of the counts below: it is no
    // table of the diary's own.
    static bool isTextList(const QString &table);

    // The diary's table counts its rows, and the different (case number,
    // first party) pairs among them, as they are written, whichever program
    // writes: what the register shows is read, not counted. None for a table
    // not counted, or a database opened read-only before its counts were made.
    struct KeptCounts
    {
        qint64 rows = 0;
        qint64 pairs = 0;
    };
    static std::optional<KeptCounts> keptCounts(const QString &table); // throws DataError

    // The test that `column` (quoted) still holds the value bound to the one
    // "?" it adds, NULL matching NULL: an update or delete names it with the
    // value read, so that a row another desk changed meanwhile is left alone.
    static QString sameAsBound(const QString &column);

    // Runs statements that take no values (transactions, pragmas).
    static void exec(const QString &sql); // throws DataError

    // True while a transaction is open on the program's connection.
    static bool inTransaction();

    // How long a statement waits for another program's write lock before it
    // fails with "database is locked".
    static void setLockWait(int milliseconds);
    static int lockWait();

    // Groups stores so that either all of them reach the file or none do.
    // It takes the write lock when it begins, so that what it reads cannot
    // change before it commits; it fails at once (after the lock wait) when
    // another program holds the lock. Not committed, it rolls back.
    class Transaction
    {
    public:
        Transaction();
        ~Transaction();
        Transaction(const Transaction &) = delete;
        Transaction &operator=(const Transaction &) = delete;
        void commit();

    private:
        bool m_open = false;
    };
};

} // namespace lexordo
