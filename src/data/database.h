#pragma once

#include <QString>

struct sqlite3;

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
