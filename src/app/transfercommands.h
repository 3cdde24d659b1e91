#pragma once

#include <QStringList>

namespace lexordo {

// `lexordo export csv TABLE --file FILE`, `lexordo export ics --from D1
// --to D2 --file FILE` and `lexordo import csv TABLE --file FILE [--replace]`:
// a table to a CSV file and back, the hearings of a period to an iCalendar
// file, on the database of the data source "advocate". arguments[0] is the
// command word. Exit status: 0 done, 1 the work could not be done (the
// reason is on standard error), 2 wrong arguments.
int runExportCommand(const QStringList &arguments);
int runImportCommand(const QStringList &arguments);

} // namespace lexordo
