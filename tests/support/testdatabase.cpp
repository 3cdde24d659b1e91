#include "testdatabase.h"

#include <data/database.h>
#include <data/dataerror.h>

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <sqlite3.h>

namespace lexordo::test {

TestDatabase::TestDatabase()
{
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
    QSqlQuery query(QSqlDatabase::database(QStringLiteral("advocate")));
    if (!query.exec(sql))
        throw DataError(query.lastError().text());
    return query.next() ? query.value(0) : QVariant();
}

int TestDatabase::count(const QString &table) const
{
    return scalar(QStringLiteral("SELECT count(*) FROM \"%1\"").arg(table)).toInt();
}

void TestDatabase::execElsewhere(const QString &sql) const
{
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

} // namespace lexordo::test
