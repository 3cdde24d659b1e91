// Feeds any text to the date and time readers: nothing may crash, and a
// text that reads as a date writes back as a text that reads as the same
// date.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <data/dates.h>
#include <QString>

using namespace lexordo;

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));

    if (const auto date = dates::parse(text)) {
        check(date->isValid());
        const QString shown = dates::format(*date);
        check(shown.size() == 10);
        check(dates::parse(shown) == date);
        check(dates::parseIso(dates::toIso(*date)) == date);
        const int weekday = dates::weekday(*date);
        check(weekday >= 1 && weekday <= 7);
        check(dates::weekdayLabel(*date).startsWith(u'['));
    }

    if (const auto iso = dates::parseIso(reinterpret_cast<const char *>(data), qsizetype(size))) {
        check(iso->isValid());
        check(dates::parseIso(dates::toIso(*iso)) == iso);
    }
    if (const auto iso = dates::parseIso(text))
        check(iso->isValid());

    if (const auto time = dates::parseTime(text)) {
        check(time->isValid());
        check(dates::parseTime(dates::formatTime(*time)) == time);
    }

    // Adding days never gives a date that cannot be written.
    if (size >= 2) {
        const int days = int(int16_t(uint16_t(data[0]) << 8 | data[1]));
        const QDate day = dates::addDays(QDate(2026, 12, 7), days);
        check(day.isValid());
        check(dates::parse(dates::format(day)) == day || day.year() < 1000);
    }
    return 0;
}
