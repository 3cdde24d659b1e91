#pragma once

#include <QDate>
#include <QDateTime>

namespace lexordo {

// The one source of "today" for the whole program. Tests and the command line
// (--today) set it; otherwise it follows the system clock.
class Clock
{
public:
    static QDate today();
    static QDateTime now();

    static void setToday(const QDate &date);
    static void reset();
    static bool isSet();
};

} // namespace lexordo
