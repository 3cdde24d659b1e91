#pragma once

#include <QString>

namespace lexordo {

// Makes sure that the data source "advocate" exists and opens the database it
// names. A missing file is reported and the program starts without it (the
// screens report it when they open their record sets); a file that is there
// but is not a diary is reported with its path and the reason, and false
// says that the program is not to go on.
bool prepareDatabase(const QString &programFolder);

// The windowed program: splash, then the main window; returns when it ends.
int runDesktop(int &argc, char **argv);

// The folder that holds the program and, by default, its database.
QString programFolder();

} // namespace lexordo
