#include "restore.h"

#include "backupscreen.h"

#include <data/backup.h>
#include <data/clock.h>
#include <data/database.h>
#include <data/dataerror.h>
#include <data/messenger.h>
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
    return QFileDialog::getOpenFileName(parent, QStringLiteral("Restore the Diary from a Backup"),
                                        folder,
                                        QStringLiteral("Diary backups (*.mdb);;All files (*)"));
}

bool restoreDiary(const QString &backupFile, const std::function<bool()> &closeScreens)
{
    if (backupFile.isEmpty())
        return false;
    const QString shown = QDir::toNativeSeparators(backupFile);
    QString livePath;
    try {
        livePath = Database::path();
        Database::handle();
        DatabaseBackup::checkFile(backupFile);
    } catch (const DataError &e) {
        showMessage(e.description() + QStringLiteral("\nNothing has been changed."),
                    Messenger::Buttons::Ok, Messenger::Icon::Critical);
        return false;
    }

    const QString keepAs = DatabaseBackup::keptName(livePath, Clock::now());
    const QString taken =
        QFileInfo(backupFile).lastModified().toString(QStringLiteral("dd/MM/yyyy hh:mm"));
    if (!askYesNo(QStringLiteral("Replace the diary with the backup %1 of %2?\n"
                                 "The present diary will be kept as %3.")
                      .arg(shown, taken, QDir::toNativeSeparators(keepAs)),
                  Messenger::Icon::Question))
        return false;
    if (closeScreens && !closeScreens())
        return false;

    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        DatabaseBackup::restoreFrom(backupFile, keepAs);
    } catch (const DataError &e) {
        QApplication::restoreOverrideCursor();
        showMessage(e.description(), Messenger::Buttons::Ok, Messenger::Icon::Critical);
        return false;
    }
    QApplication::restoreOverrideCursor();
    showMessage(QStringLiteral("The diary has been restored from %1.\n"
                               "The replaced diary is kept as %2.")
                    .arg(shown, QDir::toNativeSeparators(keepAs)));
    return true;
}

} // namespace lexordo
