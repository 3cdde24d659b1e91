#pragma once

#include <QStringList>

namespace lexordo {

// `lexordo backup --to FOLDER [--keep N]`: the backup of the screen without a
// display, for an office that schedules it. arguments[0] is "backup".
// Messages go to standard error. Returns 0 when the copy is written and
// checked, 1 when it could not be, 2 for wrong arguments. The caller has
// made the application.
int runBackupCommand(const QStringList &arguments);

// `lexordo restore --from FILE`: File > Restore... without a display and
// without the question (the command is the answer). arguments[0] is
// "restore". Says on standard output where the replaced diary is kept.
// Returns 0 restored, 1 the file or the diary failed (nothing changed unless
// the message says otherwise), 2 for wrong arguments.
int runRestoreCommand(const QStringList &arguments);

} // namespace lexordo
