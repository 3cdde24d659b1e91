#include "datasource.h"

#include "dataerror.h"
#include "messenger.h"

#include <algorithm>
#include <odbcinst.h>
#include <optional>
#include <QDir>
#include <QFileInfo>

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
        const int length = SQLGetPrivateProfileString(section.toLocal8Bit().constData(),
                                                      key.toLocal8Bit().constData(), "", buffer,
                                                      int(sizeof buffer), iniFile);
        if (length <= 0)
            return QString();
        return QString::fromLocal8Bit(buffer, qsizetype(qstrnlen(buffer, sizeof buffer)));
    }

    // The names of the sections (section empty) or of a section's keys;
    // nothing when the file cannot be read as a catalogue.
    std::optional<QStringList> names(const QString &section = QString()) const
    {
        QByteArray buffer(qsizetype(64) * 1024, '\0');
        const QByteArray sectionName = section.toLocal8Bit();
        const int length =
            SQLGetPrivateProfileString(section.isEmpty() ? nullptr : sectionName.constData(),
                                       nullptr, "", buffer.data(), int(buffer.size()), iniFile);
        if (length < 0)
            return std::nullopt;
        QStringList result;
        for (const QByteArray &name : buffer.left(length).split('\0')) {
            if (!name.isEmpty())
                result << QString::fromLocal8Bit(name);
        }
        return result;
    }

    bool write(const QString &section, const QString &key, const QString &value) const
    {
        return SQLWritePrivateProfileString(section.toLocal8Bit().constData(),
                                            key.toLocal8Bit().constData(),
                                            value.toLocal8Bit().constData(), iniFile);
    }

    // Takes the key out of the section; a key that is not there is no fault.
    bool remove(const QString &section, const QString &key) const
    {
        return SQLWritePrivateProfileString(section.toLocal8Bit().constData(),
                                            key.toLocal8Bit().constData(), nullptr, iniFile);
    }

private:
    UWORD m_previous = ODBC_BOTH_DSN;
};

// The first of `names` the entry holds a value for; its name in `found`.
QString firstOf(const UserCatalogue &catalogue, const QStringList &names, QString *found = nullptr)
{
    for (const QString &key : names) {
        QString value = catalogue.read(DataSource::name, key);
        if (!value.trimmed().isEmpty()) {
            if (found)
                *found = key;
            return value;
        }
    }
    return QString();
}

// An entry for PostgreSQL's ODBC driver, read with the keys that driver
// reads. The password is taken as it stands and never put into a message.
template <typename Unusable>
DataSource::Entry serverEntry(const UserCatalogue &catalogue, const QStringList &keys,
                              Unusable unusable)
{
    const auto hasKey = [&](const QString &key) { return keys.contains(key, Qt::CaseInsensitive); };
    ServerAddress address;
    address.host =
        firstOf(catalogue, {QStringLiteral("Servername"), QStringLiteral("Server")}).trimmed();
    address.port = catalogue.read(DataSource::name, QStringLiteral("Port")).trimmed();
    address.database = catalogue.read(DataSource::name, QStringLiteral("Database")).trimmed();
    address.user = firstOf(catalogue, {QStringLiteral("Username"), QStringLiteral("UserName"),
                                       QStringLiteral("UID")})
                       .trimmed();
    address.password = firstOf(catalogue, {QStringLiteral("Password"), QStringLiteral("PWD")});

    for (const auto &[key, value] : {std::pair{QStringLiteral("Servername"), address.host},
                                     std::pair{QStringLiteral("Database"), address.database}}) {
        if (!value.isEmpty())
            continue;
        const bool named =
            hasKey(key) || (key == QLatin1String("Servername") && hasKey(QStringLiteral("Server")));
        return unusable(named ? QStringLiteral("names PostgreSQL's driver but has an empty "
                                               "%1=: it names no diary on a server")
                                    .arg(key)
                              : QStringLiteral("names PostgreSQL's driver but has no %1= "
                                               "line: it names no diary on a server")
                                    .arg(key));
    }
    bool number = false;
    const int port = address.port.toInt(&number);
    if (!address.port.isEmpty() && (!number || port < 1 || port > 65535))
        return unusable(QStringLiteral("names \"%1\" as its Port, which is not a port number")
                            .arg(address.port));

    DataSource::Entry result;
    result.state = DataSource::Entry::State::Usable;
    result.server = address;
    return result;
}

} // namespace

QString DataSource::Diary::describe() const
{
    return server ? server->describe() : file;
}

bool DataSource::isServerDriver(const QString &driverName)
{
    return driverName.contains(QStringLiteral("postgres"), Qt::CaseInsensitive) ||
           QFileInfo(driverName)
               .fileName()
               .startsWith(QStringLiteral("psqlodbc"), Qt::CaseInsensitive);
}

QString DataSource::defaultDatabase(const QString &programFolder)
{
    return QDir(programFolder).filePath(fileName);
}

QString DataSource::catalogueFile()
{
    const QString named = qEnvironmentVariable("ODBCINI");
    return named.isEmpty() ? QDir::home().filePath(QStringLiteral(".odbc.ini")) : named;
}

DataSource::Entry DataSource::entry()
{
    UserCatalogue catalogue;
    Entry result;
    const QString where = catalogueFile();
    auto unusable = [&](const QString &fault) {
        result.state = Entry::State::Unusable;
        result.problem =
            QStringLiteral("The data source \"%1\" in %2 %3.\nNo diary has been opened: "
                           "correct the entry, or remove it so that Lexordo creates it afresh.")
                .arg(name, where, fault);
        return result;
    };

    // No catalogue file yet (not even its folder) is no entry, not a fault.
    if (!QFileInfo::exists(where))
        return result;
    const std::optional<QStringList> sections = catalogue.names();
    if (!sections) {
        result.state = Entry::State::Unusable;
        result.problem = QStringLiteral("The ODBC configuration %1 cannot be read: it is not in "
                                        "the form of an odbc.ini file, so the data source \"%2\" "
                                        "cannot be looked up there.\nNo diary has been opened.")
                             .arg(where, name);
        return result;
    }
    if (!sections->contains(name, Qt::CaseInsensitive))
        return result; // missing

    const QStringList keys = catalogue.names(name).value_or(QStringList());
    if (isServerDriver(catalogue.read(name, QStringLiteral("Driver")).trimmed()))
        return serverEntry(catalogue, keys, unusable);

    bool named = false;
    for (const char *key : {"Database", "DBQ"}) {
        named = named || keys.contains(QLatin1String(key), Qt::CaseInsensitive);
        const QString path = catalogue.read(name, QString::fromLatin1(key)).trimmed();
        if (path.isEmpty())
            continue;
        const bool garbled = std::any_of(path.begin(), path.end(), [](QChar c) {
            return c.unicode() < 0x20 || c.unicode() == 0x7f || c == QChar::ReplacementCharacter;
        });
        if (garbled || !QDir::isAbsolutePath(path))
            return unusable(QStringLiteral("names \"%1\" as its database, which is not the full "
                                           "path of a file")
                                .arg(path));
        result.state = Entry::State::Usable;
        result.database = path;
        return result;
    }
    return unusable(named ? QStringLiteral("has an empty Database=: it names no diary")
                          : QStringLiteral("has no Database= line: it names no diary"));
}

std::optional<QString> DataSource::registeredDatabase()
{
    const Entry found = entry();
    if (found.state != Entry::State::Usable || found.server)
        return std::nullopt;
    return found.database;
}

std::optional<ServerAddress> DataSource::registeredServer()
{
    const Entry found = entry();
    if (found.state != Entry::State::Usable)
        return std::nullopt;
    return found.server;
}

QString DataSource::registeredMessage(const QString &databasePath)
{
    return QStringLiteral("There was no data source \"%1\" in %2; it has been created and "
                          "names the diary %3.")
        .arg(name, catalogueFile(), databasePath);
}

bool DataSource::writeEntry(const QString &databasePath)
{
    UserCatalogue catalogue;
    return catalogue.write(name, QStringLiteral("Description"),
                           QStringLiteral("Lexordo case diary")) &&
           catalogue.write(name, QStringLiteral("Driver"), driver) &&
           catalogue.write(name, QStringLiteral("Database"), databasePath) &&
           catalogue.remove(name, QStringLiteral("Password")) &&
           catalogue.remove(name, QStringLiteral("PWD"));
}

bool DataSource::writeServerEntry(const ServerAddress &address)
{
    UserCatalogue catalogue;
    // A key left empty is taken out, so that no value of an earlier entry
    // (a password above all) stays behind.
    const auto put = [&](const QString &key, const QString &value) {
        return value.isEmpty() ? catalogue.remove(name, key) : catalogue.write(name, key, value);
    };
    return catalogue.write(name, QStringLiteral("Description"),
                           QStringLiteral("Lexordo case diary")) &&
           catalogue.write(name, QStringLiteral("Driver"), serverDriver) &&
           put(QStringLiteral("Servername"), address.host) &&
           put(QStringLiteral("Port"), address.port) &&
           put(QStringLiteral("Database"), address.database) &&
           put(QStringLiteral("Username"), address.user) &&
           put(QStringLiteral("Password"), address.password) &&
           catalogue.remove(name, QStringLiteral("Server")) &&
           catalogue.remove(name, QStringLiteral("UID")) &&
           catalogue.remove(name, QStringLiteral("PWD")) &&
           catalogue.remove(name, QStringLiteral("DBQ"));
}

DataSource::Outcome DataSource::ensureRegistered(const QString &programFolder)
{
    const Entry found = entry();
    if (found.state == Entry::State::Usable)
        return Outcome::AlreadyRegistered;
    if (found.state == Entry::State::Unusable) {
        showMessage(found.problem, Messenger::Buttons::Ok, Messenger::Icon::Critical);
        return Outcome::Unusable;
    }

    const QString path = defaultDatabase(programFolder);
    if (!QFileInfo(path).isFile()) {
        showMessage(missingFileMessage, Messenger::Buttons::Ok, Messenger::Icon::Critical);
        return Outcome::FileMissing;
    }
    return writeEntry(path) ? Outcome::Registered : Outcome::Failed;
}

namespace {

// The diary the entry names; nothing when there is no entry at all. An
// entry that is there but unusable is refused, never stood in for.
std::optional<DataSource::Diary> namedDiary()
{
    const DataSource::Entry found = DataSource::entry();
    switch (found.state) {
    case DataSource::Entry::State::Usable:
        return DataSource::Diary{found.server, found.database};
    case DataSource::Entry::State::Unusable:
        throw DataError(found.problem);
    case DataSource::Entry::State::Missing:
        break;
    }
    return std::nullopt;
}

// The file the entry names; nothing when there is no entry at all.
std::optional<QString> namedDatabase()
{
    const std::optional<DataSource::Diary> named = namedDiary();
    if (!named)
        return std::nullopt;
    if (named->server)
        throw DataError(
            QStringLiteral("The data source \"%1\" in %2 names the diary's %3 on "
                           "a server, which is kept in no file.")
                .arg(DataSource::name, DataSource::catalogueFile(), named->server->describe()));
    return named->file;
}

} // namespace

QString DataSource::databasePath(const QString &programFolder)
{
    return namedDatabase().value_or(defaultDatabase(programFolder));
}

DataSource::Diary DataSource::diary(const QString &programFolder)
{
    return namedDiary().value_or(Diary{std::nullopt, defaultDatabase(programFolder)});
}

DataSource::Diary DataSource::commandDiary(const QString &programFolder)
{
    if (std::optional<Diary> named = namedDiary())
        return *named;
    return Diary{std::nullopt, commandDatabase(programFolder)};
}

QString DataSource::commandDatabase(const QString &programFolder)
{
    if (const std::optional<QString> named = namedDatabase())
        return *named;
    QString path = defaultDatabase(programFolder);
    if (!QFileInfo(path).isFile())
        throw DataError(QStringLiteral("There is no data source \"%1\" in %2, and no diary %3 "
                                       "for it to name: %4")
                            .arg(name, catalogueFile(), path, missingFileMessage));
    if (!writeEntry(path))
        throw DataError(QStringLiteral("There is no data source \"%1\" in %2, and it could not "
                                       "be created there for the diary %3.")
                            .arg(name, catalogueFile(), path));
    showMessage(registeredMessage(path));
    return path;
}

} // namespace lexordo
