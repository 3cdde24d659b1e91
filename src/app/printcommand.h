#pragma once

#include <QStringList>

namespace lexordo {

// `lexordo print REPORT [options] --pdf FILE`: writes a report to a
// PDF file on the database of the data source "advocate", with the same
// runs as the screens and without a display (for cron). arguments[0] is
// "print". Returns the exit status: 0 written, 1 the report could not be
// made (the reason is on standard error), 2 wrong arguments. The caller has
// made the application object.
int runPrintCommand(const QStringList &arguments);

} // namespace lexordo
