#pragma once

#include <QStringList>

namespace lexordo {

// `lexordo backup --to FOLDER`: the backup of the screen without a display,
// for an office that schedules it. arguments[0] is "backup". Messages go to
// standard error. Returns 0 when the copy is written and checked, 1 when it
// could not be, 2 for wrong arguments. The caller has made the application.
int runBackupCommand(const QStringList &arguments);

} // namespace lexordo
