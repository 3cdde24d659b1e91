#include "restore.h"

#include "backupscreen.h"

#include <data/backup.h>
#include <data/clock.h>
#include <data/database.h>
#include <data/dataerror.h>
#include <data/datasource.h>
#include <data/diaryfolder.h>
#include <data/messenger.h>
#include <data/serverbackup.h>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace lexordo {

QString chooseBackupFile(QWidget *parent)
{
    QString folder = BackupScreen::lastFolder();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    return QFileDialog::getOpenFileName(
        parent, QStringLiteral("Restore the Diary from a Backup"), folder,
        Database::isServer() ? QStringLiteral("Diary backups (*.dump);;All files (*)")
                             : QStringLiteral("Diary backups (*.mdb);;All files (*)"));
}

namespace {

// A diary on a server is restored from a dump of its database.
RestorePlan planServerRestore(const QString &backupFile, const ServerAddress &server)
{
    try {
        ServerBackup::checkDump(backupFile);
    } catch (const DataError &e) {
        throw DataError(e.description() + QStringLiteral("\nNothing has been changed."));
    }
    RestorePlan plan;
    plan.backupFile = backupFile;
    plan.server = server;
    plan.diary = server.describe();
    // The server has no folder of its own: the replaced diary is kept where
    // a diary file would lie.
    plan.keepAs = ServerBackup::keptName(server, diaryfolder::folder(), Clock::now());
    plan.replacing = true;
    return plan;
}

} // namespace

RestorePlan planRestore(const QString &backupFile)
{
    if (const std::optional<ServerAddress> server = Database::server())
        return planServerRestore(backupFile, *server);
    // A diary on a server that would not open (it may be damaged, the reason
    // for the restore) is restored in its database's place.
    if (!Database::isOpen()) {
        if (const std::optional<ServerAddress> server = DataSource::registeredServer())
            return planServerRestore(backupFile, *server);
    }
    RestorePlan plan;
    plan.backupFile = backupFile;
    // A diary that could not be opened is restored in its file's place.
    plan.diary =
        Database::isOpen() ? Database::path() : DataSource::databasePath(diaryfolder::folder());
    try {
        DatabaseBackup::checkBackup(backupFile, plan.diary);
    } catch (const DataError &e) {
        throw DataError(e.description() + QStringLiteral("\nNothing has been changed."));
    }
    plan.keepAs = DatabaseBackup::keptName(plan.diary, Clock::now());
    plan.replacing = QFileInfo::exists(plan.diary);
    return plan;
}

void carryOutRestore(const RestorePlan &plan)
{
    if (plan.server) {
        ServerBackup::restoreFrom(*plan.server, plan.backupFile, plan.keepAs);
        // What the program read of the replaced diary is read again.
        Database::openServer(*plan.server);
        return;
    }
    if (Database::isOpen())
        DatabaseBackup::restoreFrom(plan.backupFile, plan.keepAs);
    else
        DatabaseBackup::restoreInto(plan.backupFile, plan.diary, plan.keepAs);
}

bool restoreDiary(const QString &backupFile, const std::function<bool()> &closeScreens)
{
    if (backupFile.isEmpty())
        return false;
    const QString shown = QDir::toNativeSeparators(backupFile);
    RestorePlan plan;
    try {
        plan = planRestore(backupFile);
    } catch (const DataError &e) {
        showMessage(e.description(), Messenger::Buttons::Ok, Messenger::Icon::Critical);
        return false;
    }

    const QString taken =
        QFileInfo(backupFile).lastModified().toString(QStringLiteral("dd/MM/yyyy hh:mm"));
    const QString question = plan.replacing
                                 ? QStringLiteral("Replace the diary with the backup %1 of %2?\n"
                                                  "The present diary will be kept as %3.")
                                       .arg(shown, taken, QDir::toNativeSeparators(plan.keepAs))
                                 : QStringLiteral("Restore the diary %1 from the backup %2 of %3?")
                                       .arg(QDir::toNativeSeparators(plan.diary), shown, taken);
    if (!askYesNo(question, Messenger::Icon::Question))
        return false;
    if (closeScreens && !closeScreens())
        return false;
    // Closed screens let go of their record sets when they are deleted: now,
    // before the diary under them is replaced.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        carryOutRestore(plan);
    } catch (const DataError &e) {
        QApplication::restoreOverrideCursor();
        showMessage(e.description(), Messenger::Buttons::Ok, Messenger::Icon::Critical);
        return false;
    }
    QApplication::restoreOverrideCursor();
    QString done = QStringLiteral("The diary has been restored from %1.").arg(shown);
    if (plan.replacing)
        done += QStringLiteral("\nThe replaced diary is kept as %1.")
                    .arg(QDir::toNativeSeparators(plan.keepAs));
    showMessage(done);
    return true;
}

} // namespace lexordo
