#include <accounts/amountwords.h>
#include <data/amounts.h>
#include <QTest>

using namespace lexordo;

// The grand total of a bill spelled digit by digit, read from the text of
// the grand-total box as the bill screen reads it.
class TestAmountWords : public QObject
{
    Q_OBJECT

private slots:
    void spelledDigitByDigit_data();
    void spelledDigitByDigit();
    void tooLargeToSpell_data();
    void tooLargeToSpell();
};

void TestAmountWords::spelledDigitByDigit_data()
{
    QTest::addColumn<QString>("grandTotal");
    QTest::addColumn<QString>("words");

    QTest::newRow("1250") << "1250"
                          << "One Two Five Zero  only";
    QTest::newRow("1005") << "1005"
                          << "One Zero Zero Five  only";
    QTest::newRow("7") << "7"
                       << "Seven  only";
    QTest::newRow("1122.4 from 12.24% of 1000") << "1122.4"
                                                << "One One Two Two  only";
    QTest::newRow("1960") << "1960"
                          << "One Nine Six Zero  only";
    QTest::newRow("zero") << "0"
                          << " only";
    QTest::newRow("empty box") << ""
                               << " only";
    QTest::newRow("blanks only") << "   "
                                 << " only";
    QTest::newRow("negative") << "-250"
                              << " only";
    QTest::newRow("0.4 rounds to a zero digit") << "0.4"
                                                << "Zero  only";
    QTest::newRow("0.0005 is below a thousandth") << "0.0005"
                                                  << " only";
    QTest::newRow("0.001 is spelled") << "0.001"
                                      << "Zero  only";
    QTest::newRow("1129.6 keeps the higher digits") << "1129.6"
                                                    << "One One Two Zero  only";
    QTest::newRow("half rounds to even, down") << "2.5"
                                               << "Two  only";
    QTest::newRow("half rounds to even, up") << "3.5"
                                             << "Four  only";
    QTest::newRow("9.5 rounds to ten, one word") << "9.5"
                                                 << "Zero  only";
    QTest::newRow("grouped, Western") << "1,500"
                                      << "One Five Zero Zero  only";
    QTest::newRow("grouped, Indian") << "1,25,000"
                                     << "One Two Five Zero Zero Zero  only";
    QTest::newRow("blanks around the number") << " 1234 "
                                              << "One Two Three Four  only";
    QTest::newRow("largest signed 32-bit") << "2147483647"
                                           << "Two One Four Seven Four Eight Three Six Four "
                                              "Seven  only";
    QTest::newRow("beyond 32 bits") << "2147483648"
                                    << "Two One Four Seven Four Eight Three Six Four Eight  only";
    QTest::newRow("fifteen nines") << "999999999999999"
                                   << "Nine Nine Nine Nine Nine Nine Nine Nine Nine Nine Nine Nine "
                                      "Nine Nine Nine  only";
    QTest::newRow("fifteen digits with zeros") << "100000000000001"
                                               << "One Zero Zero Zero Zero Zero Zero Zero Zero "
                                                  "Zero Zero Zero Zero Zero One  only";
}

void TestAmountWords::spelledDigitByDigit()
{
    QFETCH(QString, grandTotal);
    QFETCH(QString, words);
    const std::optional<double> amount = amounts::parse(grandTotal);
    QVERIFY(amount.has_value());
    const std::optional<QString> spelled = amounts::inWords(*amount);
    QVERIFY(spelled.has_value());
    QCOMPARE(*spelled, words);
}

void TestAmountWords::tooLargeToSpell_data()
{
    QTest::addColumn<double>("grandTotal");
    QTest::newRow("sixteen digits") << 1000000000000000.0;
    QTest::newRow("far beyond") << 1e300;
}

void TestAmountWords::tooLargeToSpell()
{
    QFETCH(double, grandTotal);
    QVERIFY(!amounts::inWords(grandTotal).has_value());
}

QTEST_GUILESS_MAIN(TestAmountWords)
#include "tst_amountwords.moc"
