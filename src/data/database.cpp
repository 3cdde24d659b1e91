#include "database.h"

#include "dataerror.h"
#include "pgconnection.h"
#include "schemacheck.h"
#include "serverdialect.h"
#include "serverschema.h"
#include "sqlite.h"

#include <libpq-fe.h>
#include <memory>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>

namespace lexordo {

const char *schemaSql();

namespace {

const QString connectionName = QStringLiteral("advocate");
int lockWaitMs = 5000;

// The diary on a server, when it is not a file.
std::unique_ptr<PgConnection> serverDiary;

// Every writing transaction on a server takes this lock first, as a write on
// the file takes the file's lock: what one desk reads inside it cannot change
// before it commits (the carry-forward, the next bill number).
constexpr const char *diaryLock = "SELECT pg_advisory_xact_lock(7460512304)";

void listenForChanges(PgConnection &connection)
{
    connection.execScript("LISTEN lexordo_changed");
}

sqlite3 *nativeHandle(const QSqlDatabase &db)
{
    const QVariant v = db.driver()->handle();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(v.constData());
}

void execOn(sqlite3 *db, const QString &sql)
{
    char *message = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        const QString error = message ? QString::fromUtf8(message) : sqlite::errorText(db);
        sqlite3_free(message);
        throw DataError(error);
    }
}

// The columns searched for text within them, with the list of their texts.
struct ListedColumn
{
    const char *table;
    const char *column;
};
constexpr ListedColumn listedColumns[] = {{"advocate", "Party1"}};

QString listName(const QString &table, const QString &column)
{
    return table + u'_' + column + QStringLiteral("_texts");
}

bool hasColumn(sqlite3 *db, const QString &table, const QString &column)
{
    return sqlite3_table_column_metadata(db, "main", table.toUtf8().constData(),
                                         column.toUtf8().constData(), nullptr, nullptr, nullptr,
                                         nullptr, nullptr) == SQLITE_OK;
}

int schemaCount(sqlite3 *db, const QString &type, const QStringList &names)
{
    SqlQuery stmt(
        db, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = ? AND name IN (%1)")
                .arg(QStringList(names.size(), QStringLiteral("?")).join(u',')));
    stmt.bindText(1, type);
    for (int i = 0; i < names.size(); ++i)
        stmt.bindText(i + 2, names[i]);
    return stmt.next() ? int(stmt.integer(0)) : 0;
}

// Runs the statements in one transaction that takes the write lock first:
// all of them reach the file or none does. Inside a transaction already open
// they are all of them part of it or none.
void execAllOrNone(sqlite3 *db, const QStringList &statements)
{
    if (statements.isEmpty())
        return;
    if (!sqlite3_get_autocommit(db)) {
        execOn(db, QStringLiteral("SAVEPOINT kept"));
        try {
            for (const QString &statement : statements)
                execOn(db, statement);
        } catch (const DataError &) {
            sqlite3_exec(db, "ROLLBACK TO kept; RELEASE kept", nullptr, nullptr, nullptr);
            throw;
        }
        execOn(db, QStringLiteral("RELEASE kept"));
        return;
    }
    execOn(db, QStringLiteral("BEGIN IMMEDIATE"));
    try {
        for (const QString &statement : statements)
            execOn(db, statement);
        execOn(db, QStringLiteral("COMMIT"));
    } catch (const DataError &) {
        // The statement's own error is the one to tell.
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

// The schema's indexes, by name, with the statement that makes each.
const QList<QPair<QString, QString>> &schemaIndexes() // throws DataError
{
    static const QList<QPair<QString, QString>> indexes = [] {
        sqlite3 *opened = nullptr;
        const int rc = sqlite3_open(":memory:", &opened);
        const std::unique_ptr<sqlite3, int (*)(sqlite3 *)> memory(opened, sqlite3_close);
        if (rc != SQLITE_OK)
            throw DataError(QStringLiteral("The schema could not be read: %1")
                                .arg(sqlite::errorText(memory.get())));
        execOn(memory.get(), Database::schemaText());
        SqlQuery stmt(memory.get(),
                      QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type = "
                                     "'index' AND sql IS NOT NULL ORDER BY name"));
        QList<QPair<QString, QString>> list;
        while (stmt.next())
            list.append({stmt.text(0), stmt.text(1)});
        return list;
    }();
    return indexes;
}

// Makes the schema's indexes a diary lacks and remakes those it holds in an
// older form: all in one transaction or none.
void keepIndexesOn(sqlite3 *db)
{
    QStringList statements;
    for (const auto &[name, sql] : schemaIndexes()) {
        SqlQuery stored(db, QStringLiteral("SELECT sql FROM sqlite_master WHERE "
                                           "type = 'index' AND name = ? COLLATE NOCASE"));
        stored.bindText(1, name);
        const bool present = stored.next();
        if (present && stored.text(0) == sql)
            continue;
        if (present)
            statements << QStringLiteral("DROP INDEX %1").arg(sqlite::quoteIdentifier(name));
        statements << sql;
    }
    execAllOrNone(db, statements);
}

// Makes each missing list, fills it from the rows, and sets the triggers that
// keep it: all of one list or none of it. A column without its list is
// searched by reading the column itself.
void keepListsOn(sqlite3 *db)
{
    for (const ListedColumn &listed : listedColumns) {
        const QString table = QString::fromLatin1(listed.table);
        const QString column = QString::fromLatin1(listed.column);
        const QString list = listName(table, column);
        const QString added = list + QStringLiteral("_added");
        const QString changed = list + QStringLiteral("_changed");
        if (!hasColumn(db, table, column) ||
            (schemaCount(db, QStringLiteral("table"), {list}) == 1 &&
             schemaCount(db, QStringLiteral("trigger"), {added, changed}) == 2))
            continue;

        const QString t = sqlite::quoteIdentifier(table);
        const QString c = sqlite::quoteIdentifier(column);
        const QString l = sqlite::quoteIdentifier(list);
        // The trigger adds a text not yet listed; it never meets a conflict,
        // so that no other program's insert can fail because of the list.
        const QString keep =
            QStringLiteral("WHEN new.%1 IS NOT NULL BEGIN INSERT INTO %2 (\"text\") SELECT "
                           "new.%1 WHERE NOT EXISTS (SELECT 1 FROM %2 WHERE \"text\" = "
                           "new.%1); END;")
                .arg(c, l);
        execAllOrNone(
            db, {QStringLiteral("DROP TRIGGER IF EXISTS %1; DROP TRIGGER IF EXISTS %2; "
                                "DROP TABLE IF EXISTS %3;")
                     .arg(sqlite::quoteIdentifier(added), sqlite::quoteIdentifier(changed), l),
                 QStringLiteral("CREATE TABLE %1 (\"text\" TEXT);"
                                "INSERT INTO %1 (\"text\") SELECT DISTINCT %3 FROM %2 "
                                "WHERE %3 IS NOT NULL;"
                                "CREATE INDEX %4 ON %1 (\"text\");")
                     .arg(l, t, c, sqlite::quoteIdentifier(list + QStringLiteral("_text"))),
                 QStringLiteral("CREATE TRIGGER %1 AFTER INSERT ON %2 ")
                         .arg(sqlite::quoteIdentifier(added), t) +
                     keep,
                 QStringLiteral("CREATE TRIGGER %1 AFTER UPDATE OF %3 ON %2 ")
                         .arg(sqlite::quoteIdentifier(changed), t, c) +
                     keep});
    }
}

// The tables whose rows the database counts as it goes, with the two columns
// whose different pairs it counts: the register shows both numbers without
// reading the table.
struct CountedTable
{
    const char *table;
    const char *first;
    const char *second;
};
constexpr CountedTable countedTables[] = {{"advocate", "caseno", "Party1"}};

QString countsName(const QString &table)
{
    return table + QStringLiteral("_counts");
}

QString pairsName(const QString &table)
{
    return table + QStringLiteral("_pairs");
}

// Makes the counts of each counted table that lacks them or whose keeping was
// broken, from the rows, and the triggers that keep them: all of one table's
// or none. The counts are one row ("rows", "pairs"); the pairs a table of the
// different pairs with the rows holding each, so that removing the last row
// of a pair lowers the number. No statement of a trigger can meet a conflict
// (no unique key, no NOT NULL), so that no other program's write, whatever
// its conflict clause, fails because of the counts.
void keepCountsOn(sqlite3 *db)
{
    for (const CountedTable &counted : countedTables) {
        const QString table = QString::fromLatin1(counted.table);
        const QString counts = countsName(table);
        const QString pairs = pairsName(table);
        const QString added = counts + QStringLiteral("_added");
        const QString changed = counts + QStringLiteral("_changed");
        const QString removed = counts + QStringLiteral("_removed");
        const QString first = QString::fromLatin1(counted.first);
        const QString second = QString::fromLatin1(counted.second);
        if (!hasColumn(db, table, first) || !hasColumn(db, table, second))
            continue;
        if (schemaCount(db, QStringLiteral("table"), {counts, pairs}) == 2 &&
            schemaCount(db, QStringLiteral("trigger"), {added, changed, removed}) == 3) {
            SqlQuery rows(
                db, QStringLiteral("SELECT count(*) FROM %1").arg(sqlite::quoteIdentifier(counts)));
            if (rows.next() && rows.integer(0) == 1)
                continue;
        }

        const QString t = sqlite::quoteIdentifier(table);
        const QString c = sqlite::quoteIdentifier(counts);
        const QString p = sqlite::quoteIdentifier(pairs);
        const QString a = sqlite::quoteIdentifier(first);
        const QString b = sqlite::quoteIdentifier(second);
        // The pair of a row, `row` being new or old.
        const auto pairOf = [&](const QString &row) {
            return QStringLiteral("%1 IS %3.%1 AND %2 IS %3.%2").arg(a, b, row);
        };
        // A row joins its pair, which is made with it when it is the first.
        const auto join = [&](const QString &row) {
            return QStringLiteral("UPDATE %1 SET \"pairs\" = \"pairs\" + NOT EXISTS "
                                  "(SELECT 1 FROM %2 WHERE %3);"
                                  "UPDATE %2 SET \"rows\" = \"rows\" + 1 WHERE %3;"
                                  "INSERT INTO %2 (%4, %5, \"rows\") SELECT %6.%4, %6.%5, 1 "
                                  "WHERE NOT EXISTS (SELECT 1 FROM %2 WHERE %3);")
                .arg(c, p, pairOf(row), a, b, row);
        };
        // A row leaves its pair, which goes with its last row.
        const auto leave = [&](const QString &row) {
            return QStringLiteral("UPDATE %1 SET \"pairs\" = \"pairs\" - EXISTS "
                                  "(SELECT 1 FROM %2 WHERE %3 AND \"rows\" <= 1);"
                                  "DELETE FROM %2 WHERE %3 AND \"rows\" <= 1;"
                                  "UPDATE %2 SET \"rows\" = \"rows\" - 1 WHERE %3;")
                .arg(c, p, pairOf(row));
        };
        execAllOrNone(
            db, {QStringLiteral("DROP TRIGGER IF EXISTS %1; DROP TRIGGER IF EXISTS %2; "
                                "DROP TRIGGER IF EXISTS %3; DROP TABLE IF EXISTS %4; "
                                "DROP TABLE IF EXISTS %5;")
                     .arg(sqlite::quoteIdentifier(added), sqlite::quoteIdentifier(changed),
                          sqlite::quoteIdentifier(removed), c, p),
                 QStringLiteral("CREATE TABLE %1 (%3 TEXT, %4 TEXT, \"rows\" INTEGER);"
                                "INSERT INTO %1 (%3, %4, \"rows\") SELECT %3, %4, count(*) FROM %2 "
                                "GROUP BY %3, %4;"
                                "CREATE INDEX %5 ON %1 (%3, %4);")
                     .arg(p, t, a, b, sqlite::quoteIdentifier(pairs + QStringLiteral("_pair"))),
                 QStringLiteral("CREATE TABLE %1 (\"rows\" INTEGER, \"pairs\" INTEGER);"
                                "INSERT INTO %1 (\"rows\", \"pairs\") SELECT (SELECT count(*) FROM "
                                "%2), (SELECT count(*) FROM %3);")
                     .arg(c, t, p),
                 QStringLiteral("CREATE TRIGGER %1 AFTER INSERT ON %2 BEGIN "
                                "UPDATE %3 SET \"rows\" = \"rows\" + 1; ")
                         .arg(sqlite::quoteIdentifier(added), t, c) +
                     join(QStringLiteral("new")) + QStringLiteral(" END"),
                 QStringLiteral("CREATE TRIGGER %1 AFTER DELETE ON %2 BEGIN "
                                "UPDATE %3 SET \"rows\" = \"rows\" - 1; ")
                         .arg(sqlite::quoteIdentifier(removed), t, c) +
                     leave(QStringLiteral("old")) + QStringLiteral(" END"),
                 QStringLiteral("CREATE TRIGGER %1 AFTER UPDATE OF %3, %4 ON %2 WHEN old.%3 IS NOT "
                                "new.%3 OR old.%4 IS NOT new.%4 BEGIN ")
                         .arg(sqlite::quoteIdentifier(changed), t, a, b) +
                     leave(QStringLiteral("old")) + join(QStringLiteral("new")) +
                     QStringLiteral(" END")});
    }
}

} // namespace

QString Database::textList(const QString &table, const QString &column)
{
    for (const ListedColumn &listed : listedColumns) {
        if (table.compare(QLatin1String(listed.table), Qt::CaseInsensitive) != 0 ||
            column.compare(QLatin1String(listed.column), Qt::CaseInsensitive) != 0)
            continue;
        const QString list =
            listName(QString::fromLatin1(listed.table), QString::fromLatin1(listed.column));
        // A server's diary is brought up to date as it opens.
        if (isServer())
            return sql::quoteIdentifier(list);
        return hasColumn(handle(), list, QStringLiteral("text")) ? sqlite::quoteIdentifier(list)
                                                                 : QString();
    }
    return QString();
}

void Database::bringUpToDate()
{
    // A server's diary is made whole by --create-database or the move to it.
    if (isServer())
        return;
    sqlite3 *db = handle();
    if (sqlite3_db_readonly(db, "main") == 1)
        return;
    keepIndexesOn(db);
    keepListsOn(db);
    keepCountsOn(db);
}

void Database::letGoOfKept(const QString &table)
{
    if (isServer()) {
        if (!inTransaction())
            throw DataError(QStringLiteral("What the database keeps beside %1 is let go only "
                                           "inside a transaction.")
                                .arg(table));
        if (table.compare(QLatin1String("advocate"), Qt::CaseInsensitive) == 0)
            serverschema::setKeeping(serverConnection(), false);
        return;
    }
    sqlite3 *db = handle();
    if (!sqlite::inTransaction(db))
        throw DataError(QStringLiteral("What the database keeps beside %1 is let go only inside "
                                       "a transaction.")
                            .arg(table));
    QStringList drops;
    const auto drop = [&](const char *kind, const QString &name) {
        drops << QStringLiteral("DROP %1 IF EXISTS %2")
                     .arg(QLatin1String(kind), sqlite::quoteIdentifier(name));
    };
    for (const ListedColumn &listed : listedColumns) {
        if (table.compare(QLatin1String(listed.table), Qt::CaseInsensitive) != 0)
            continue;
        const QString list =
            listName(QString::fromLatin1(listed.table), QString::fromLatin1(listed.column));
        drop("TRIGGER", list + QStringLiteral("_added"));
        drop("TRIGGER", list + QStringLiteral("_changed"));
        drop("TABLE", list);
    }
    for (const CountedTable &counted : countedTables) {
        if (table.compare(QLatin1String(counted.table), Qt::CaseInsensitive) != 0)
            continue;
        const QString counts = countsName(QString::fromLatin1(counted.table));
        drop("TRIGGER", counts + QStringLiteral("_added"));
        drop("TRIGGER", counts + QStringLiteral("_changed"));
        drop("TRIGGER", counts + QStringLiteral("_removed"));
        drop("TABLE", counts);
        drop("TABLE", pairsName(QString::fromLatin1(counted.table)));
    }
    execAllOrNone(db, drops);
}

void Database::keepUp()
{
    if (isServer()) {
        PgConnection &connection = serverConnection();
        serverschema::setKeeping(connection, true);
        serverschema::rebuildKept(connection);
        return;
    }
    sqlite3 *db = handle();
    keepListsOn(db);
    keepCountsOn(db);
}

std::optional<Database::KeptCounts> Database::keptCounts(const QString &table)
{
    for (const CountedTable &counted : countedTables) {
        if (table.compare(QLatin1String(counted.table), Qt::CaseInsensitive) != 0)
            continue;
        const QString counts = countsName(QString::fromLatin1(counted.table));
        if (isServer()) {
            SqlQuery stmt(QStringLiteral("SELECT \"rows\", \"pairs\" FROM %1")
                              .arg(sqlite::quoteIdentifier(counts)));
            if (!stmt.next())
                return std::nullopt;
            return KeptCounts{stmt.integer(0), stmt.integer(1)};
        }
        sqlite3 *db = handle();
        if (!hasColumn(db, counts, QStringLiteral("pairs")))
            return std::nullopt;
        SqlQuery stmt(db, QStringLiteral("SELECT \"rows\", \"pairs\" FROM %1")
                              .arg(sqlite::quoteIdentifier(counts)));
        if (!stmt.next())
            return std::nullopt;
        return KeptCounts{stmt.integer(0), stmt.integer(1)};
    }
    return std::nullopt;
}

bool Database::isTextList(const QString &table)
{
    for (const CountedTable &counted : countedTables) {
        const QString name = QString::fromLatin1(counted.table);
        if (table.compare(countsName(name), Qt::CaseInsensitive) == 0 ||
            table.compare(pairsName(name), Qt::CaseInsensitive) == 0)
            return true;
    }
    for (const ListedColumn &listed : listedColumns) {
        if (table.compare(
                listName(QString::fromLatin1(listed.table), QString::fromLatin1(listed.column)),
                Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

void Database::open(const QString &path)
{
    close();
    if (!QFileInfo::exists(path))
        throw DataError(QStringLiteral("The database file %1 does not exist.").arg(path));
    // Refused before SQLite touches it: an empty file would become an empty database.
    if (const std::optional<QString> problem = sqlite::fileProblem(path))
        throw DataError(QStringLiteral("The database %1 %2.").arg(path, *problem));

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    db.setDatabaseName(path);
    if (!db.open()) {
        const QString error = db.lastError().text();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName);
        throw DataError(QStringLiteral("The database %1 could not be opened: %2").arg(path, error));
    }
    sqlite3 *handle = nativeHandle(db);
    if (!handle) {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName);
        throw DataError(QStringLiteral("The SQLite driver gave no connection handle."));
    }
    sqlite3_busy_timeout(handle, lockWaitMs);
    try {
        sqlite::registerTextFolding(handle);
        execOn(handle, QStringLiteral("PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL;"));
        // Lists read only the keys of their rows and then the rows in view:
        // a moderate page cache serves that; the file is not mapped, so that
        // memory follows what is shown rather than the size of the diary.
        execOn(handle, QStringLiteral("PRAGMA cache_size = -16384;"));
        // A file that is not a database fails here, not at the first screen.
        execOn(handle, QStringLiteral("SELECT count(*) FROM sqlite_master"));
    } catch (const DataError &e) {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName);
        throw DataError(
            QStringLiteral("The database %1 could not be opened: %2").arg(path, e.description()));
    }
}

void Database::close()
{
    serverDiary.reset();
    if (!QSqlDatabase::contains(connectionName))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connectionName);
}

bool Database::isOpen()
{
    if (isServer())
        return true;
    return QSqlDatabase::contains(connectionName) &&
           QSqlDatabase::database(connectionName, false).isOpen();
}

QString Database::path()
{
    if (!QSqlDatabase::contains(connectionName))
        return QString();
    return QSqlDatabase::database(connectionName, false).databaseName();
}

sqlite3 *Database::handle()
{
    if (isServer())
        throw DataError(QStringLiteral("The diary is on a server, not in a file."));
    if (!isOpen())
        throw DataError(QStringLiteral("The database is not open."));
    return nativeHandle(QSqlDatabase::database(connectionName, false));
}

QString Database::schemaText()
{
    return QString::fromUtf8(schemaSql());
}

void Database::createFile(const QString &path)
{
    if (path.trimmed().isEmpty())
        throw DataError(QStringLiteral("No file name was given for the new database."));
    if (QFileInfo::exists(path))
        throw DataError(QStringLiteral("%1 already exists; it has been left as it is.").arg(path));

    // Build the file under a temporary name so that a failure leaves nothing
    // half-made where the database belongs.
    const QString partial = path + QStringLiteral(".part");
    QFile::remove(partial);
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(partial.toUtf8().constData(), &db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        const QString error = sqlite::errorText(db);
        sqlite3_close(db);
        throw DataError(QStringLiteral("%1 could not be created: %2").arg(path, error));
    }
    try {
        execOn(db, QStringLiteral("PRAGMA journal_mode = WAL"));
        execOn(db, QStringLiteral("BEGIN"));
        execOn(db, schemaText());
        execOn(db, QStringLiteral("COMMIT"));
        keepListsOn(db);
        keepCountsOn(db);
        // Leave a single self-contained file behind.
        execOn(db, QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    } catch (const DataError &e) {
        sqlite3_close(db);
        QFile::remove(partial);
        QFile::remove(partial + QStringLiteral("-wal"));
        QFile::remove(partial + QStringLiteral("-shm"));
        throw DataError(QStringLiteral("%1 could not be created: %2").arg(path, e.description()));
    }
    sqlite3_close(db);
    QFile::remove(partial + QStringLiteral("-wal"));
    QFile::remove(partial + QStringLiteral("-shm"));
    if (QFileInfo::exists(path) || !QFile::rename(partial, path)) {
        QFile::remove(partial);
        throw DataError(QStringLiteral("%1 could not be created.").arg(path));
    }
}

QString Database::sameAsBound(const QString &column)
{
    return sqlite::sameAsBound(column);
}

void Database::exec(const QString &sql)
{
    if (isServer()) {
        serverConnection().execScript(serverdialect::translate(sql).text);
        return;
    }
    execOn(handle(), sql);
}

bool Database::inTransaction()
{
    if (isServer())
        return PQtransactionStatus(serverDiary->native()) != PQTRANS_IDLE;
    return isOpen() && sqlite::inTransaction(handle());
}

void Database::setLockWait(int milliseconds)
{
    lockWaitMs = std::max(0, milliseconds);
    if (isServer()) {
        serverConnection().execScript(
            QStringLiteral("SET lock_timeout = %1").arg(lockWaitMs).toUtf8());
        return;
    }
    if (isOpen())
        sqlite3_busy_timeout(handle(), lockWaitMs);
}

int Database::lockWait()
{
    return lockWaitMs;
}

namespace {

// A write that the diary itself refuses is told with the diary's name: the
// clerk has to find the file, not the statement.
DataError diaryFault(sqlite3 *db, const DataError &error)
{
    const int code = sqlite3_errcode(db) & 0xff;
    if (code == SQLITE_BUSY || code == SQLITE_LOCKED)
        return DataError(QStringLiteral("The database %1 is locked by another program; nothing "
                                        "was changed (%2).")
                             .arg(Database::path(), error.description()));
    return DataError(QStringLiteral("The database %1 could not be written: %2")
                         .arg(Database::path(), error.description()));
}

} // namespace

Database::Transaction::Transaction()
{
    if (isServer()) {
        PgConnection &connection = serverConnection();
        connection.execScript("BEGIN");
        try {
            connection.execScript(diaryLock);
        } catch (const DataError &e) {
            // Not begun: the destructor of an object not made does not run.
            if (!connection.isBroken())
                connection.execScript("ROLLBACK");
            throw DataError(QStringLiteral("The diary's %1 is busy with another desk's change; "
                                           "nothing was changed (%2).")
                                .arg(connection.address().describe(), e.description()));
        }
        m_open = true;
        return;
    }
    sqlite3 *db = handle();
    // SQLite opens a file it may not write (read-only, immutable) for reading
    // and lets the transaction begin; the first write would fail without a name.
    if (sqlite3_db_readonly(db, "main") == 1)
        throw DataError(
            QStringLiteral("The database %1 is read-only; nothing was changed.").arg(path()));
    try {
        execOn(db, QStringLiteral("BEGIN IMMEDIATE"));
    } catch (const DataError &e) {
        throw diaryFault(db, e);
    }
    m_open = true;
}

Database::Transaction::~Transaction()
{
    if (m_open) {
        try {
            Database::exec(QStringLiteral("ROLLBACK"));
        } catch (const DataError &) {
            // A destructor cannot report it; the connection then stays inside
            // the transaction, and the next Transaction's BEGIN fails and
            // reports "cannot start a transaction within a transaction".
        }
    }
}

void Database::Transaction::commit()
{
    if (isServer()) {
        serverConnection().execScript("COMMIT");
        m_open = false;
        return;
    }
    sqlite3 *db = handle();
    try {
        execOn(db, QStringLiteral("COMMIT"));
    } catch (const DataError &e) {
        throw diaryFault(db, e);
    }
    m_open = false;
}

} // namespace lexordo

namespace lexordo {

void Database::openServer(const ServerAddress &address)
{
    close();
    auto connection = std::make_unique<PgConnection>(address);
    const QString problem = serverschema::problem(*connection);
    if (!problem.isEmpty())
        throw DataError(problem);
    serverschema::bringUpToDate(*connection);
    listenForChanges(*connection);
    serverDiary = std::move(connection);
}

bool Database::isServer()
{
    return serverDiary != nullptr;
}

std::optional<ServerAddress> Database::server()
{
    if (!serverDiary)
        return std::nullopt;
    return serverDiary->address();
}

PgConnection &Database::serverConnection()
{
    if (!serverDiary)
        throw DataError(QStringLiteral("The diary is not open on a server."));
    PgConnection &connection = *serverDiary;
    // The server went away since the last action: this one connects again,
    // and is told the server's reason when it is still away.
    if (connection.isBroken()) {
        connection.reconnect();
        listenForChanges(connection);
    }
    return connection;
}

void Database::createOnServer(const ServerAddress &address)
{
    PgConnection connection(address);
    if (!serverschema::diaryTables(connection).isEmpty())
        throw DataError(QStringLiteral("The %1 already holds a diary; it has been left as it is.")
                            .arg(address.describe()));
    serverschema::create(connection);
}

} // namespace lexordo
