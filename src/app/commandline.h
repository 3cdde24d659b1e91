#pragma once

#include <optional>

namespace lexordo {

// Runs what the command line asks for when it is not the windowed program:
// --help, --create-database PATH (or with no PATH, the diary's tables in the
// server database the data source names), or a command word (print, ...)
// after the global options. Returns the exit status, or nothing when the
// windowed program is to start. A valid --today is applied to the clock
// either way.
//
// Exit status of every command: 0 done, 1 the work could not be done (the
// reason is on standard error), 2 wrong arguments. A command checks its
// arguments before it opens the database, and opens it with
// SchemaCheck::openRegistered, which refuses a database that is not a diary.
std::optional<int> runCommandLine(int &argc, char **argv);

} // namespace lexordo
