#include "schemacheck.h"

#include "database.h"
#include "dataerror.h"
#include "sqlquery.h"

#include <QRegularExpression>

namespace lexordo {

namespace {

QList<SchemaCheck::Table> readSchema()
{
    QList<SchemaCheck::Table> tables;
    static const QRegularExpression create(
        QStringLiteral(R"re(CREATE\s+TABLE\s+"([^"]+)"\s*\((.*?)\);)re"),
        QRegularExpression::DotMatchesEverythingOption | QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression column(QStringLiteral(R"re(^\s*"([^"]+)"\s+(\w+))re"),
                                           QRegularExpression::MultilineOption);
    const QString text = Database::schemaText();
    for (auto table = create.globalMatch(text); table.hasNext();) {
        const QRegularExpressionMatch t = table.next();
        SchemaCheck::Table entry{t.captured(1), {}};
        for (auto c = column.globalMatch(t.captured(2)); c.hasNext();) {
            const QRegularExpressionMatch m = c.next();
            entry.columns << SchemaCheck::Column{m.captured(1), m.captured(2).toUpper().toLatin1()};
        }
        tables << entry;
    }
    return tables;
}

QString fileReason(const QString &path, const QString &reason)
{
    return QStringLiteral("The database %1 %2.").arg(path, reason);
}

} // namespace

const QList<SchemaCheck::Table> &SchemaCheck::required()
{
    static const QList<Table> tables = readSchema();
    return tables;
}

QByteArray SchemaCheck::columnType(const char *columnName, const char *declared)
{
    if (columnName) {
        const QString name = QString::fromUtf8(columnName);
        for (const Table &table : required()) {
            for (const Column &column : table.columns) {
                if (column.name.compare(name, Qt::CaseInsensitive) == 0)
                    return column.type;
            }
        }
    }
    return declared ? QByteArray(declared) : QByteArray();
}

void SchemaCheck::checkFile(const QString &path)
{
    if (const std::optional<QString> problem = sql::fileProblem(path))
        throw DataError(fileReason(path, *problem));
}

QStringList SchemaCheck::missingParts()
{
    if (!Database::isOpen())
        throw DataError(QStringLiteral("The database is not open."));
    const QStringList present = sql::tables();
    QStringList missing;
    for (const Table &table : required()) {
        QString found;
        for (const QString &name : present) {
            if (name.compare(table.name, Qt::CaseInsensitive) == 0)
                found = name;
        }
        if (found.isEmpty()) {
            missing << QStringLiteral("the table %1 is missing").arg(table.name);
            continue;
        }
        // Reading the table's columns also proves that its pages can be read.
        QStringList names;
        try {
            SqlQuery query(
                QStringLiteral("SELECT * FROM %1 WHERE 1 = 0").arg(sql::quoteIdentifier(found)));
            query.next();
            for (int i = 0; i < query.columnCount(); ++i)
                names << query.columnName(i);
        } catch (const DataError &e) {
            throw DataError(
                QStringLiteral("the table %1 cannot be read: %2").arg(table.name, e.description()));
        }
        for (const Column &column : table.columns) {
            bool has = false;
            for (qsizetype i = 0; i < names.size() && !has; ++i)
                has = names[i].compare(column.name, Qt::CaseInsensitive) == 0;
            if (!has)
                missing
                    << QStringLiteral("the column %1.%2 is missing").arg(table.name, column.name);
        }
    }
    return missing;
}

void SchemaCheck::openDiary(const QString &path)
{
    checkFile(path);
    Database::open(path);
    try {
        const QStringList missing = missingParts();
        if (!missing.isEmpty())
            throw DataError(fileReason(path, QStringLiteral("is not a diary of this program: ") +
                                                 missing.join(QStringLiteral("; "))));
        Database::bringUpToDate();
    } catch (const DataError &e) {
        Database::close();
        if (e.description().startsWith(QStringLiteral("The database ")))
            throw;
        throw DataError(fileReason(path, QStringLiteral("cannot be read: ") + e.description()));
    }
}

QString SchemaCheck::serverFault(const ServerAddress &address, const QString &reason)
{
    // One line, as a command's standard error holds it; the server's library
    // breaks its reasons over several.
    QString text = reason.simplified();
    // Should a server or a library ever repeat the password, it goes no further.
    if (!address.password.isEmpty())
        text.replace(address.password, QStringLiteral("(password)"));
    const QString where = address.describe();
    if (text.contains(where))
        return text;
    return QStringLiteral("The diary's %1 cannot be opened: %2").arg(where, text);
}

void SchemaCheck::openServerDiary(const ServerAddress &address)
{
    try {
        // Checks the server's tables itself (serverschema::problem) before
        // it keeps the connection.
        Database::openServer(address);
    } catch (const DataError &e) {
        Database::close();
        throw DataError(serverFault(address, e.description()));
    }
}

void SchemaCheck::open(const DataSource::Diary &diary)
{
    if (diary.server)
        openServerDiary(*diary.server);
    else
        openDiary(diary.file);
}

void SchemaCheck::openRegistered(const QString &programFolder)
{
    open(DataSource::commandDiary(programFolder));
}

} // namespace lexordo
