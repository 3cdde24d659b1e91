#include "missedhearings.h"

#include <data/dates.h>
#include <QStringList>

namespace lexordo::diary {

QString missedHearingsText(const DiaryStore::MissedHearings &missed)
{
    // A long absence names its first days and counts the rest.
    constexpr int daysNamed = 10;
    QStringList days;
    for (const QDate &day : missed.dates.mid(0, daysNamed))
        days << dates::format(day);
    if (missed.dates.size() > daysNamed)
        days << QStringLiteral("and %1 more days").arg(missed.dates.size() - daysNamed);
    const QString named = days.join(QStringLiteral(", "));
    return (missed.count == 1
                ? QStringLiteral("1 hearing fixed for %1 was not listed on its date").arg(named)
                : QStringLiteral("%1 hearings fixed for %2 were not listed on their dates")
                      .arg(missed.count)
                      .arg(named)) +
           QStringLiteral(": the diary was not opened on ") +
           (days.size() == 1 ? QStringLiteral("that day") : QStringLiteral("those days")) +
           QStringLiteral(".\nYes lists them on today's date, No shows them, Cancel leaves them "
                          "as they are.");
}

} // namespace lexordo::diary
