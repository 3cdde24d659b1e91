#pragma once

#include <QString>

namespace lexordo::diaryfolder {

// The desktop entry's name; the installed program's icon and AppStream
// metadata carry the same name.
inline const QString applicationId = QStringLiteral("org.lexordo.Lexordo");

// Whether the program runs installed: it lies in the bin folder of an install
// tree (one that holds its desktop entry under share/applications), where it
// cannot write beside itself.
bool isInstalled(const QString &programFolder);

// Where the diary lives: the user's data folder (AppDataLocation) for an
// installed program, the program's folder otherwise, so that a program run
// from its build folder or copied to a folder of its own keeps its diary
// beside it.
QString folder(const QString &programFolder);
QString folder(); // for the running program

// The start of an installed program when no data source names a database
// yet: creates the diary in the user's data folder, registers the data source
// for it and says where it is. Returns the folder to work in. Problems are
// reported through the messenger; start-up goes on.
QString prepare();
QString prepare(const QString &programFolder);

} // namespace lexordo::diaryfolder
