#pragma once

#include <QStringList>

namespace lexordo {

// `lexordo move-to-server --from FILE`: copies a diary file into the empty
// server database the data source "advocate" names, all of it or nothing.
// arguments[0] is "move-to-server". Progress goes to standard error, the
// summary to standard output. Returns 0 moved, 1 nothing was moved (the
// reason is on standard error), 2 for wrong arguments.
int runMoveToServerCommand(const QStringList &arguments);

} // namespace lexordo
