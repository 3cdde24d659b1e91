#include "testdatabase.h"

#include "testserver.h"

#include <data/database.h>
#include <data/dataerror.h>
#include <data/pgconnection.h>
#include <data/serverdialect.h>
#include <data/sqlquery.h>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <sqlite3.h>

namespace lexordo::test {

bool TestDatabase::onServer()
{
    return qEnvironmentVariable("LEXORDO_TEST_ENGINE") == QLatin1String("server");
}

TestDatabase::TestDatabase()
{
    if (onServer()) {
        TestServer &server = TestServer::shared();
        if (!server.available())
            throw DataError(server.unavailableReason());
        m_server = server.newDatabase();
        Database::createOnServer(*m_server);
        // What the tests ask of the diary in SQLite's words, which the
        // program itself never asks.
        PgConnection(*m_server)
            .execScript("CREATE FUNCTION lx_join(a text, b text, separator text) RETURNS text "
                        "LANGUAGE sql IMMUTABLE AS $$ SELECT CASE WHEN b IS NULL THEN a WHEN a "
                        "IS NULL THEN b ELSE a || separator || b END $$;"
                        "CREATE FUNCTION lx_join(a text, b text) RETURNS text LANGUAGE sql "
                        "IMMUTABLE AS $$ SELECT lx_join(a, b, ',') $$;"
                        "CREATE AGGREGATE group_concat(text) (SFUNC = lx_join, STYPE = text);"
                        "CREATE AGGREGATE group_concat(text, text) (SFUNC = lx_join, "
                        "STYPE = text);"
                        "CREATE FUNCTION quote(x anyelement) RETURNS text LANGUAGE sql IMMUTABLE "
                        "AS $$ SELECT coalesce(quote_literal(x), 'NULL') $$;"
                        "CREATE FUNCTION date(day text, shift text) RETURNS date LANGUAGE sql "
                        "IMMUTABLE AS $$ SELECT (day::date + shift::interval)::date $$;");
        Database::openServer(*m_server);
        return;
    }
    m_path = m_dir.filePath(QStringLiteral("advocate_v2.mdb"));
    Database::createFile(m_path);
    Database::open(m_path);
}

TestDatabase::~TestDatabase()
{
    Database::close();
}

void TestDatabase::exec(const QString &sql) const
{
    Database::exec(sql);
}

QVariant TestDatabase::scalar(const QString &sql) const
{
    return SqlQuery::singleValue(sql).value_or(QVariant());
}

int TestDatabase::count(const QString &table) const
{
    return scalar(QStringLiteral("SELECT count(*) FROM \"%1\"").arg(table)).toInt();
}

void TestDatabase::replaceByFailingView(const QString &table, const QString &column, int good) const
{
    // abs() of the smallest integer fails with "integer overflow" when reached.
    exec(QStringLiteral("DROP TABLE \"%1\"; CREATE VIEW \"%1\" AS WITH RECURSIVE n(i) AS "
                        "(SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i <= %3) SELECT CASE WHEN "
                        "i > %3 THEN abs(-9223372036854775807 - 1) ELSE 'row ' || i END AS "
                        "\"%2\" FROM n")
             .arg(table, column)
             .arg(good));
}

void TestDatabase::refuseInserts(const QString &table, const QString &condition,
                                 const QString &message) const
{
    if (m_server) {
        exec(QStringLiteral("CREATE FUNCTION lx_refuse() RETURNS trigger LANGUAGE plpgsql AS $$ "
                            "BEGIN IF %1 THEN RAISE EXCEPTION '%2'; END IF; RETURN NEW; END $$; "
                            "CREATE TRIGGER refuse BEFORE INSERT ON %3 FOR EACH ROW EXECUTE "
                            "FUNCTION lx_refuse()")
                 .arg(condition, message, table));
        return;
    }
    exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON %1 WHEN %2 BEGIN SELECT "
                        "RAISE(ABORT, '%3'); END")
             .arg(table, condition, message));
}

void TestDatabase::allowInserts(const QString &table) const
{
    if (m_server) {
        exec(QStringLiteral("DROP TRIGGER refuse ON %1; DROP FUNCTION lx_refuse()").arg(table));
        return;
    }
    exec(QStringLiteral("DROP TRIGGER refuse"));
}

void TestDatabase::execElsewhere(const QString &sql) const
{
    if (m_server) {
        PgConnection other(*m_server);
        other.execScript(serverdialect::translate(sql).text);
        return;
    }
    sqlite3 *other = nullptr;
    int rc = sqlite3_open(m_path.toUtf8().constData(), &other);
    char *error = nullptr;
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(other, sql.toUtf8().constData(), nullptr, nullptr, &error);
    const QString message =
        error ? QString::fromUtf8(error) : QString::fromUtf8(sqlite3_errmsg(other));
    sqlite3_free(error);
    sqlite3_close(other);
    if (rc != SQLITE_OK)
        throw DataError(message);
}

void damageAnIndex(const QString &path)
{
    const QString name = QStringLiteral("damageAnIndex");
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open())
            error = db.lastError().text();
        QSqlQuery query(db);
        // The index is said to be on the parties while it holds case numbers.
        for (const char *sql :
             {"INSERT INTO advocate (caseno, Party1) VALUES ('C.S. 1/2026', 'Mehta')",
              "INSERT INTO advocate (caseno, Party1) VALUES ('C.S. 2/2026', 'Shah')",
              "PRAGMA writable_schema = ON",
              "UPDATE sqlite_master SET sql = replace(sql, '\"caseno\"', '\"Party1\"') "
              "WHERE name = 'advocate_caseno'",
              "PRAGMA writable_schema = OFF"}) {
            if (!error.isEmpty())
                break;
            if (!query.exec(QString::fromLatin1(sql))) {
                error = query.lastError().text();
                break;
            }
        }
    }
    QSqlDatabase::removeDatabase(name);
    if (!error.isEmpty())
        throw DataError(error);
}

} // namespace lexordo::test
