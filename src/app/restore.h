#pragma once

#include <data/serveraddress.h>
#include <functional>
#include <optional>
#include <QString>

class QWidget;

namespace lexordo {

// A restore made ready: the file checked, the names decided.
struct RestorePlan
{
    QString backupFile;
    QString diary;          // the file it replaces, or puts in place when there is none
    QString keepAs;         // where the present diary is kept
    bool replacing = false; // there is a diary file to keep
    // The server whose database is replaced, for a diary kept on one.
    std::optional<ServerAddress> server;
};

// Checks the backup file (a sound diary, and not the diary itself; for a
// diary on a server, a dump of one) and
// decides where the present diary is kept. Throws DataError naming the file
// and what is wrong; nothing has been changed then.
RestorePlan planRestore(const QString &backupFile);

// Puts the planned backup in place of the diary, open or not (a diary that
// could not be opened is moved aside), and opens it. Throws DataError.
void carryOutRestore(const RestorePlan &plan);

// Asks for the backup file to restore from; empty when the user cancels.
QString chooseBackupFile(QWidget *parent);

// Puts a backup in place of the open diary: refuses a file that is not a
// sound database of this program, asks before replacing, closes the screens
// (which may ask about unsaved work; a refusal ends the restore), keeps the
// replaced diary beside it under a dated name and reopens the database.
// Every outcome is told through the messenger. True when restored.
bool restoreDiary(const QString &backupFile, const std::function<bool()> &closeScreens);

} // namespace lexordo
