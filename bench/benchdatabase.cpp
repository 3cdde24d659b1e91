#include "benchdatabase.h"

#include "generator.h"

#include <data/database.h>
#include <data/schemacheck.h>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace lexordo::bench {

namespace {

QString generatedPath()
{
    static QTemporaryDir dir;
    static QString path;
    if (path.isEmpty()) {
        path = dir.filePath(QStringLiteral("advocate_v2.mdb"));
        generateDatabase(path, GeneratorOptions());
    }
    return path;
}

} // namespace

QString benchDatabasePath()
{
    const QString fromEnvironment = qEnvironmentVariable("LEXORDO_BENCH_DB");
    if (!fromEnvironment.isEmpty() && QFileInfo::exists(fromEnvironment))
        return fromEnvironment;
    return generatedPath();
}

QDate benchToday()
{
    return GeneratorOptions().today;
}

void openBenchDatabase()
{
    const QString path = benchDatabasePath();
    if (!Database::isOpen() || Database::path() != path)
        SchemaCheck::openDiary(path);
}

} // namespace lexordo::bench
