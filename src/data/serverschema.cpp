#include "serverschema.h"

#include "pgconnection.h"

namespace lexordo::serverschema {

// Placeholders until the server's schema is written: each says so.
QString createStatements()
{
    return QString();
}

void create(PgConnection &)
{
    throw DataError(QStringLiteral("The diary's tables cannot be made on a server yet."));
}

QStringList diaryTables(PgConnection &)
{
    throw DataError(QStringLiteral("The server's tables cannot be read yet."));
}

QString problem(PgConnection &)
{
    throw DataError(QStringLiteral("The server's tables cannot be checked yet."));
}

void rebuildKept(PgConnection &)
{
    throw DataError(QStringLiteral("The server's counts cannot be made yet."));
}

} // namespace lexordo::serverschema
