#include "startup.h"

#include <data/database.h>
#include <data/dataerror.h>
#include <data/datasource.h>

#include <QCoreApplication>

namespace lexordo {

QString programFolder()
{
    return QCoreApplication::applicationDirPath();
}

void prepareDatabase(const QString &folder)
{
    DataSource::ensureRegistered(folder);
    try {
        Database::open(DataSource::databasePath(folder));
    } catch (const DataError &e) {
        qWarning("%s", qPrintable(e.description()));
    }
}

} // namespace lexordo
