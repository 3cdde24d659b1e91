#pragma once

#include <data/serveraddress.h>
#include <optional>
#include <QString>
#include <QTemporaryDir>

namespace lexordo::test {

// A fresh database from the schema in a temporary folder, opened as the
// program's connection for the life of the object. With LEXORDO_TEST_ENGINE
// set to "server" it is a fresh database of the throwaway test server
// instead, so that one suite runs against both engines.
class TestDatabase
{
public:
    TestDatabase();
    ~TestDatabase();

    // True when this run's diary is on the test server.
    static bool onServer();

    // The file; empty on a server.
    QString path() const { return m_path; }
    QString folder() const { return m_dir.path(); }

    // Runs SQL straight on the connection, for setting up and checking tests.
    void exec(const QString &sql) const;
    QVariant scalar(const QString &sql) const;
    int count(const QString &table) const;
    // Makes the database refuse to add a row of `table` for which
    // `condition` (on NEW) holds, with `message`; allowInserts() undoes it.
    void refuseInserts(const QString &table, const QString &condition,
                       const QString &message) const;
    void allowInserts(const QString &table) const;
    // Runs SQL on a connection of its own, as another desk would; throws DataError.
    void execElsewhere(const QString &sql) const;
    // Puts in place of `table` a view of the one column `column` that gives
    // `good` rows and then fails to be read, as a damaged page would.
    void replaceByFailingView(const QString &table, const QString &column, int good = 0) const;

private:
    QTemporaryDir m_dir;
    QString m_path;
    std::optional<ServerAddress> m_server;
};

// Gives the diary file at `path` (not the open one) rows that its index on
// case numbers does not hold: every page stays sound, so only SQLite's full
// integrity check, which compares each index with its table, finds it.
// Throws DataError.
void damageAnIndex(const QString &path);

} // namespace lexordo::test
