#pragma once

#include <functional>
#include <QString>

class QWidget;

namespace lexordo {

// Asks for the backup file to restore from; empty when the user cancels.
QString chooseBackupFile(QWidget *parent);

// Puts a backup in place of the open diary: refuses a file that is not a
// sound database of this program, asks before replacing, closes the screens
// (which may ask about unsaved work; a refusal ends the restore), keeps the
// replaced diary beside it under a dated name and reopens the database.
// Every outcome is told through the messenger. True when restored.
bool restoreDiary(const QString &backupFile, const std::function<bool()> &closeScreens);

} // namespace lexordo
