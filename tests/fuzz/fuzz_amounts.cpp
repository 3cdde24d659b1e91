// Feeds any text to the amount reader and any double to the amount writer:
// nothing may crash, what is written reads back as the amount it was
// written from (to the 15 significant digits it keeps, and exactly at the
// ends of the range), and reading never gives more than a finite number.

#include <data/amounts.h>

#include <QString>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

using namespace lexordo;

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void roundTrip(double amount)
{
    const QString written = amounts::write(amount);
    check(!written.isEmpty());
    check(!written.contains(u'e') && !written.contains(u'E') && !written.contains(u','));
    const double back = amounts::read(written);
    check(std::isfinite(back));
    if (!std::isfinite(amount) || amount == 0.0) {
        check(back == 0.0);
        return;
    }
    // Fifteen significant digits: the difference is within the last of them.
    const double tolerance = std::fabs(amount) * 1e-14;
    check(std::fabs(back - amount) <= tolerance);
    check(std::signbit(back) == std::signbit(amount));
    // Writing what was read gives the same text: the form is settled.
    check(amounts::write(back) == written);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const bool extremes = [] {
        for (const double amount : {std::numeric_limits<double>::max(),
                                    -std::numeric_limits<double>::max(), 1.797e308, -1.797e308,
                                    std::numeric_limits<double>::min(),
                                    std::numeric_limits<double>::denorm_min()}) {
            roundTrip(amount);
        }
        // The largest amounts read back as themselves, not as near them.
        for (const double amount : {std::numeric_limits<double>::max(),
                                    -std::numeric_limits<double>::max(), 1.797e308, -1.797e308})
            check(amounts::read(amounts::write(amount)) == amount);
        return true;
    }();
    (void)extremes;

    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const double read = amounts::read(text);
    check(std::isfinite(read));
    roundTrip(read);

    if (size >= sizeof(double)) {
        double amount;
        std::memcpy(&amount, data, sizeof amount);
        roundTrip(amount);
    }
    return 0;
}
