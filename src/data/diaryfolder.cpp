#include "diaryfolder.h"

#include "database.h"
#include "dataerror.h"
#include "datasource.h"
#include "messenger.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace lexordo::diaryfolder {

bool isInstalled(const QString &programFolder)
{
    const QDir program(programFolder);
    return program.dirName() == QStringLiteral("bin") &&
           QFileInfo::exists(program.filePath(
               QStringLiteral("../share/applications/%1.desktop").arg(applicationId)));
}

QString folder(const QString &programFolder)
{
    if (!isInstalled(programFolder))
        return programFolder;
    // The folder is named after the application, however the program was started.
    const QString before = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(QStringLiteral("Lexordo"));
    QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QCoreApplication::setApplicationName(before);
    return data;
}

QString folder()
{
    return folder(QCoreApplication::applicationDirPath());
}

QString prepare()
{
    return prepare(QCoreApplication::applicationDirPath());
}

QString prepare(const QString &programFolder)
{
    QString diary = folder(programFolder);
    // Only when there is no entry at all: an entry that names no usable
    // database is reported at start-up, never replaced by a new diary.
    if (!isInstalled(programFolder) ||
        DataSource::entry().state != DataSource::Entry::State::Missing)
        return diary;

    const QString path = DataSource::defaultDatabase(diary);
    const bool created = !QFileInfo::exists(path);
    if (created) {
        if (!QDir().mkpath(diary)) {
            showMessage(QStringLiteral("The folder %1 for the diary could not be made.").arg(diary),
                        Messenger::Buttons::Ok, Messenger::Icon::Critical);
            return diary;
        }
        try {
            Database::createFile(path);
        } catch (const DataError &e) {
            showMessage(e.description(), Messenger::Buttons::Ok, Messenger::Icon::Critical);
            return diary;
        }
    }
    if (DataSource::ensureRegistered(diary) != DataSource::Outcome::Registered) {
        showMessage(QStringLiteral("The data source \"%1\" could not be registered for %2.")
                        .arg(DataSource::name, path),
                    Messenger::Buttons::Ok, Messenger::Icon::Critical);
        return diary;
    }
    if (created)
        showMessage(QStringLiteral("A new diary has been created in %1.\nThe data source \"%2\" "
                                   "names it; the user name is clerk and the password lexordo.")
                        .arg(path, DataSource::name),
                    Messenger::Buttons::Ok, Messenger::Icon::Information);
    else
        showMessage(DataSource::registeredMessage(path), Messenger::Buttons::Ok,
                    Messenger::Icon::Information);
    return diary;
}

} // namespace lexordo::diaryfolder
