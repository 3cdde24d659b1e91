#include "clock.h"

namespace lexordo {

namespace {
QDate s_fixedToday;
}

QDate Clock::today()
{
    return s_fixedToday.isValid() ? s_fixedToday : QDate::currentDate();
}

QDateTime Clock::now()
{
    QDateTime current = QDateTime::currentDateTime();
    if (s_fixedToday.isValid())
        current.setDate(s_fixedToday);
    return current;
}

void Clock::setToday(const QDate &date)
{
    s_fixedToday = date;
}

void Clock::reset()
{
    s_fixedToday = QDate();
}

bool Clock::isSet()
{
    return s_fixedToday.isValid();
}

} // namespace lexordo
