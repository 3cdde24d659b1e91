#include "dates.h"

#include <QList>

namespace lexordo::dates {

namespace {

bool readNumber(QStringView part, int maxDigits, int &value)
{
    if (part.isEmpty() || part.size() > maxDigits)
        return false;
    value = 0;
    for (QChar c : part) {
        if (c < u'0' || c > u'9')
            return false;
        value = value * 10 + (c.unicode() - u'0');
    }
    return true;
}

} // namespace

std::optional<QDate> parse(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;

    QChar separator;
    for (QChar c : trimmed) {
        if (c == u'/' || c == u'-' || c == u'.') {
            separator = c;
            break;
        }
    }
    if (separator.isNull())
        return std::nullopt;

    const QList<QStringView> parts = trimmed.split(separator);
    if (parts.size() != 3)
        return std::nullopt;

    int day = 0;
    int month = 0;
    int year = 0;
    if (!readNumber(parts[0], 2, day) || !readNumber(parts[1], 2, month) || parts[2].size() != 4 ||
        !readNumber(parts[2], 4, year))
        return std::nullopt;

    const QDate date(year, month, day);
    if (!date.isValid() || year < 1000)
        return std::nullopt;
    return date;
}

std::optional<QDate> parseIso(const char *data, qsizetype length)
{
    if (length < 10 || data[4] != '-' || data[7] != '-')
        return std::nullopt;
    auto digit = [&](int i) { return data[i] >= '0' && data[i] <= '9'; };
    for (int i : {0, 1, 2, 3, 5, 6, 8, 9}) {
        if (!digit(i))
            return std::nullopt;
    }
    if (length > 10 && data[10] != ' ' && data[10] != 'T')
        return std::nullopt;
    const int year =
        (data[0] - '0') * 1000 + (data[1] - '0') * 100 + (data[2] - '0') * 10 + (data[3] - '0');
    const int month = (data[5] - '0') * 10 + (data[6] - '0');
    const int day = (data[8] - '0') * 10 + (data[9] - '0');
    const QDate date(year, month, day);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

std::optional<QDate> parseIso(QStringView text)
{
    const QByteArray latin = text.toLatin1();
    return parseIso(latin.constData(), latin.size());
}

QString format(const QDate &date)
{
    return date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : QString();
}

QString toIso(const QDate &date)
{
    return date.isValid() ? date.toString(Qt::ISODate) : QString();
}

int weekday(const QDate &date)
{
    // Qt counts Monday = 1 ... Sunday = 7.
    return date.dayOfWeek() % 7 + 1;
}

QString weekdayLabel(const QDate &date)
{
    static const char *const names[] = {"[SUNDAY]",   "[MONDAY]", "[TUESDAY]", "[WEDNESDAY]",
                                        "[THURSDAY]", "[FRIDAY]", "[SATURDAY]"};
    if (!date.isValid())
        return QString();
    return QString::fromLatin1(names[weekday(date) - 1]);
}

QDate addDays(const QDate &date, int days)
{
    return date.addDays(days);
}

std::optional<QTime> parseTime(QStringView text)
{
    QString t = text.trimmed().toString().toUpper();
    if (t.isEmpty())
        return std::nullopt;

    int hourShift = -1; // -1: 24-hour clock
    if (t.endsWith(u"AM") || t.endsWith(u"PM")) {
        hourShift = t.endsWith(u"PM") ? 12 : 0;
        t.chop(2);
        t = t.trimmed();
    }
    const QList<QStringView> parts = QStringView(t).split(u':');
    if (parts.size() < 2 || parts.size() > 3)
        return std::nullopt;
    int hour = 0;
    int minute = 0;
    int second = 0;
    if (!readNumber(parts[0], 2, hour) || parts[1].size() != 2 || !readNumber(parts[1], 2, minute))
        return std::nullopt;
    if (parts.size() == 3 && (parts[2].size() != 2 || !readNumber(parts[2], 2, second)))
        return std::nullopt;
    if (hourShift >= 0) {
        if (hour < 1 || hour > 12)
            return std::nullopt;
        hour = hour % 12 + hourShift;
    }
    const QTime time(hour, minute, second);
    if (!time.isValid())
        return std::nullopt;
    return time;
}

QString formatTime(const QTime &time)
{
    return time.isValid() ? time.toString(QStringLiteral("hh:mm:ss")) : QString();
}

} // namespace lexordo::dates
