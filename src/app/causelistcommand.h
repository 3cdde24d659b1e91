#pragma once

#include <QStringList>

namespace lexordo {

// `lexordo check-cause-list --date DD/MM/YYYY --file LIST [--csv OUT]`: the
// court's list of the day checked against the diary, for the evening job.
// arguments[0] is "check-cause-list". Returns 0 when every matter the court
// lists is in the diary for the day, 3 when one is not, 1 when the list, the
// diary or OUT cannot be read or written, 2 for wrong arguments.
int runCheckCauseListCommand(const QStringList &arguments);

} // namespace lexordo
