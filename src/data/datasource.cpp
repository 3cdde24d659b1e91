#include "datasource.h"

#include "messenger.h"

#include <QDir>
#include <QFileInfo>

#include <odbcinst.h>

namespace lexordo {

namespace {

const char *const iniFile = "odbc.ini";

// Reads and writes the user's catalogue only, never the system's.
class UserCatalogue
{
public:
    UserCatalogue()
    {
        SQLGetConfigMode(&m_previous);
        SQLSetConfigMode(ODBC_USER_DSN);
    }
    ~UserCatalogue() { SQLSetConfigMode(m_previous); }
    UserCatalogue(const UserCatalogue &) = delete;
    UserCatalogue &operator=(const UserCatalogue &) = delete;

    QString read(const QString &section, const QString &key) const
    {
        char buffer[1024] = {};
        const int length = SQLGetPrivateProfileString(
            section.toLocal8Bit().constData(), key.toLocal8Bit().constData(), "", buffer,
            int(sizeof buffer), iniFile);
        if (length <= 0)
            return QString();
        return QString::fromLocal8Bit(buffer, qstrnlen(buffer, sizeof buffer));
    }

    bool write(const QString &section, const QString &key, const QString &value) const
    {
        return SQLWritePrivateProfileString(section.toLocal8Bit().constData(),
                                            key.toLocal8Bit().constData(),
                                            value.toLocal8Bit().constData(), iniFile);
    }

private:
    UWORD m_previous = ODBC_BOTH_DSN;
};

} // namespace

QString DataSource::defaultDatabase(const QString &programFolder)
{
    return QDir(programFolder).filePath(fileName);
}

std::optional<QString> DataSource::registeredDatabase()
{
    UserCatalogue catalogue;
    for (const char *key : {"Database", "DBQ"}) {
        const QString path = catalogue.read(name, QString::fromLatin1(key)).trimmed();
        if (!path.isEmpty())
            return path;
    }
    return std::nullopt;
}

bool DataSource::writeEntry(const QString &databasePath)
{
    UserCatalogue catalogue;
    return catalogue.write(name, QStringLiteral("Description"),
                           QStringLiteral("Lexordo case diary")) &&
           catalogue.write(name, QStringLiteral("Driver"), driver) &&
           catalogue.write(name, QStringLiteral("Database"), databasePath);
}

DataSource::Outcome DataSource::ensureRegistered(const QString &programFolder)
{
    if (registeredDatabase())
        return Outcome::AlreadyRegistered;

    const QString path = defaultDatabase(programFolder);
    if (!QFileInfo(path).isFile()) {
        showMessage(missingFileMessage, Messenger::Buttons::Ok, Messenger::Icon::Critical);
        return Outcome::FileMissing;
    }
    return writeEntry(path) ? Outcome::Registered : Outcome::Failed;
}

QString DataSource::databasePath(const QString &programFolder)
{
    if (const auto registered = registeredDatabase())
        return *registered;
    return defaultDatabase(programFolder);
}

} // namespace lexordo
