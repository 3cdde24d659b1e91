#include "testdatabase.h"

#include <data/database.h>
#include <data/dataerror.h>

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

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

} // namespace lexordo::test
