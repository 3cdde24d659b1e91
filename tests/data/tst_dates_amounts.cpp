#include <cmath>
#include <data/amounts.h>
#include <data/clock.h>
#include <data/dates.h>
#include <limits>
#include <QTest>

using namespace lexordo;

class TestDatesAmounts : public QObject
{
    Q_OBJECT

private slots:
    void parseDate_data();
    void parseDate();
    void formatAndIso();
    void weekday_data();
    void weekday();
    void parseTime_data();
    void parseTime();
    void readAmount_data();
    void readAmount();
    void writeAmount_data();
    void writeAmount();
    void extremeAmountsReadBackAsThemselves_data();
    void extremeAmountsReadBackAsThemselves();
    void clockCanBeSet();
};

void TestDatesAmounts::parseDate_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("expected");

    QTest::newRow("dd/mm/yyyy") << "06/12/2026" << QDate(2026, 12, 6);
    QTest::newRow("d/m/yyyy") << "6/1/2026" << QDate(2026, 1, 6);
    QTest::newRow("blanks around") << "  31/12/2026 " << QDate(2026, 12, 31);
    QTest::newRow("dashes") << "01-04-2006" << QDate(2006, 4, 1);
    QTest::newRow("leap day") << "29/02/2024" << QDate(2024, 2, 29);
    QTest::newRow("no leap day") << "29/02/2026" << QDate();
    QTest::newRow("31 February") << "31/02/2026" << QDate();
    QTest::newRow("month 13") << "01/13/2026" << QDate();
    QTest::newRow("day first, never month first") << "12/06/2026" << QDate(2026, 6, 12);
    QTest::newRow("two-digit year") << "06/12/26" << QDate();
    QTest::newRow("letters") << "tomorrow" << QDate();
    QTest::newRow("empty") << "" << QDate();
    QTest::newRow("mixed separators") << "06/12-2026" << QDate();
    QTest::newRow("trailing text") << "06/12/2026x" << QDate();
}

void TestDatesAmounts::parseDate()
{
    QFETCH(QString, text);
    QFETCH(QDate, expected);
    const auto parsed = dates::parse(text);
    QCOMPARE(parsed.value_or(QDate()), expected);
}

void TestDatesAmounts::formatAndIso()
{
    QCOMPARE(dates::format(QDate(2026, 1, 6)), QStringLiteral("06/01/2026"));
    QCOMPARE(dates::toIso(QDate(2026, 1, 6)), QStringLiteral("2026-01-06"));
    QCOMPARE(dates::parseIso(QStringLiteral("2026-01-06")).value_or(QDate()), QDate(2026, 1, 6));
    QCOMPARE(dates::parseIso(QStringLiteral("2026-01-06 00:00:00")).value_or(QDate()),
             QDate(2026, 1, 6));
    QVERIFY(!dates::parseIso(QStringLiteral("06/01/2026")));
    QCOMPARE(dates::format(QDate()), QString());
    QCOMPARE(dates::addDays(QDate(2026, 12, 31), 1), QDate(2027, 1, 1));
    QCOMPARE(dates::addDays(QDate(2026, 12, 6), -30), QDate(2026, 11, 6));
}

void TestDatesAmounts::weekday_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("label");

    QTest::newRow("Sunday") << QDate(2026, 12, 6) << 1 << "[SUNDAY]";
    QTest::newRow("Monday") << QDate(2026, 12, 7) << 2 << "[MONDAY]";
    QTest::newRow("Wednesday") << QDate(2026, 12, 9) << 4 << "[WEDNESDAY]";
    QTest::newRow("Saturday") << QDate(2026, 12, 12) << 7 << "[SATURDAY]";
}

void TestDatesAmounts::weekday()
{
    QFETCH(QDate, date);
    QFETCH(int, number);
    QFETCH(QString, label);
    QCOMPARE(dates::weekday(date), number);
    QCOMPARE(dates::weekdayLabel(date), label);
}

void TestDatesAmounts::parseTime_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QTime>("expected");

    QTest::newRow("hh:mm:ss") << "09:30:00" << QTime(9, 30);
    QTest::newRow("h:mm") << "9:05" << QTime(9, 5);
    QTest::newRow("pm") << "2:15 PM" << QTime(14, 15);
    QTest::newRow("noon") << "12:00 pm" << QTime(12, 0);
    QTest::newRow("midnight") << "12:00 AM" << QTime(0, 0);
    QTest::newRow("25 hours") << "25:00" << QTime();
    QTest::newRow("one-digit minutes") << "9:5" << QTime();
    QTest::newRow("words") << "noon" << QTime();
}

void TestDatesAmounts::parseTime()
{
    QFETCH(QString, text);
    QFETCH(QTime, expected);
    QCOMPARE(dates::parseTime(text).value_or(QTime()), expected);
}

void TestDatesAmounts::readAmount_data()
{
    // expected is NaN where the text is no amount and must be refused.
    const double refused = std::numeric_limits<double>::quiet_NaN();
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("plain") << "1500" << 1500.0;
    QTest::newRow("decimals") << "1234.5" << 1234.5;
    QTest::newRow("negative") << "-300" << -300.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("blank") << "   " << 0.0;
    QTest::newRow("blanks around") << " \t1500 " << 1500.0;
    QTest::newRow("no-break spaces around") << "\u00A01500\u2007" << 1500.0;
    QTest::newRow("leading point") << ".5" << 0.5;
    QTest::newRow("trailing point") << "12." << 12.0;
    QTest::newRow("minus zero") << "-0" << 0.0;
    QTest::newRow("Western groups") << "125,000.50" << 125000.5;
    QTest::newRow("Indian groups") << "1,25,000.50" << 125000.5;
    QTest::newRow("Indian crore") << "1,00,00,000" << 10000000.0;
    QTest::newRow("Western million") << "1,000,000" << 1000000.0;
    QTest::newRow("one group of each") << "1,500" << 1500.0;
    QTest::newRow("grouped negative, blanks around") << " -15,000 " << -15000.0;
    QTest::newRow("letters after") << "12a" << refused;
    QTest::newRow("two points") << "1.2.3" << refused;
    QTest::newRow("short last group") << "15,00,0" << refused;
    QTest::newRow("long group") << "1,0000" << refused;
    QTest::newRow("groups mixed") << "1,000,00,000" << refused;
    QTest::newRow("comma first") << ",500" << refused;
    QTest::newRow("comma last") << "1,000," << refused;
    QTest::newRow("comma in the fraction") << "1.000,5" << refused;
    QTest::newRow("grouped with a leading zero") << "0,500" << refused;
    QTest::newRow("blank inside") << "1 000" << refused;
    QTest::newRow("words") << "Rs. 500" << refused;
    QTest::newRow("trailing text") << "250/-" << refused;
    QTest::newRow("exponent") << "1e3" << refused;
    QTest::newRow("plus sign") << "+5" << refused;
    QTest::newRow("sign alone") << "-" << refused;
    QTest::newRow("point alone") << "." << refused;
    QTest::newRow("beyond a double") << QString(400, u'9') << refused;
}

void TestDatesAmounts::readAmount()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    const std::optional<double> read = amounts::parse(text);
    // The file's bytes read as the typed text does.
    QCOMPARE(amounts::parseUtf8(text.toUtf8()), read);
    if (std::isnan(expected)) {
        QVERIFY2(!read.has_value(), qPrintable(QString::number(read.value_or(0))));
        return;
    }
    QVERIFY(read.has_value());
    QCOMPARE(*read, expected);
    // What is read is written plainly and reads back as itself.
    QCOMPARE(amounts::parse(amounts::write(*read)), read);
}

void TestDatesAmounts::writeAmount_data()
{
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("expected");

    QTest::newRow("whole") << 1500.0 << "1500";
    QTest::newRow("half") << 1234.5 << "1234.5";
    QTest::newRow("negative") << -300.0 << "-300";
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("negative zero") << -0.0 << "0";
    QTest::newRow("small") << 0.05 << "0.05";
    QTest::newRow("binary fraction") << 0.1 + 0.2 << "0.3";
    QTest::newRow("no thousands separator") << 1234567.25 << "1234567.25";
    QTest::newRow("15 significant digits") << 123456789012.3456789 << "123456789012.346";
    QTest::newRow("large, no exponent") << 1e15 << "1000000000000000";
    QTest::newRow("tiny") << 0.000125 << "0.000125";
}

void TestDatesAmounts::writeAmount()
{
    QFETCH(double, amount);
    QFETCH(QString, expected);
    QCOMPARE(amounts::write(amount), expected);
}

void TestDatesAmounts::extremeAmountsReadBackAsThemselves_data()
{
    QTest::addColumn<double>("amount");
    QTest::newRow("largest") << std::numeric_limits<double>::max();
    QTest::newRow("largest, negative") << -std::numeric_limits<double>::max();
    QTest::newRow("1.797e308") << 1.797e308;
    QTest::newRow("-1.797e308") << -1.797e308;
    // Fifteen digits round past it, sixteen read back as a neighbour.
    QTest::newRow("two below the largest, negative") << -1.7976931348623153e308;
    QTest::newRow("smallest normal") << std::numeric_limits<double>::min();
    QTest::newRow("smallest of all") << std::numeric_limits<double>::denorm_min();
    QTest::newRow("an amount") << 1234.5;
}

void TestDatesAmounts::extremeAmountsReadBackAsThemselves()
{
    QFETCH(double, amount);
    const QString written = amounts::write(amount);
    QVERIFY(!written.contains(u'e'));
    QCOMPARE(amounts::parse(written), amount);
    QCOMPARE(amounts::write(*amounts::parse(written)), written);
}

void TestDatesAmounts::clockCanBeSet()
{
    Clock::setToday(QDate(2026, 12, 6));
    QCOMPARE(Clock::today(), QDate(2026, 12, 6));
    QCOMPARE(Clock::now().date(), QDate(2026, 12, 6));
    Clock::reset();
    QCOMPARE(Clock::today(), QDate::currentDate());
}

QTEST_GUILESS_MAIN(TestDatesAmounts)
#include "tst_dates_amounts.moc"
