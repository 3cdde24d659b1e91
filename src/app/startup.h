#pragma once

#include <QString>

namespace lexordo {

// Makes sure that the data source "advocate" exists and opens the database it
// names. A database that cannot be opened is not fatal here: the screens
// report it when they open their record sets.
void prepareDatabase(const QString &programFolder);

// The windowed program: splash, then the main window; returns when it ends.
int runDesktop(int &argc, char **argv);

// The folder that holds the program and, by default, its database.
QString programFolder();

} // namespace lexordo
