#include "calc/calc.h"

#include <QtTest>

#include <clocale>
#include <limits>

class TestNumberReading : public QObject {
    Q_OBJECT

private slots:
    void readNumber_data();
    void readNumber();
    void readWholeNumber_data();
    void readWholeNumber();
    void readingIgnoresGermanNumericLocale();
};

void TestNumberReading::readNumber_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<double>("expected");

    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("120") << QByteArray("120") << 120.0;
    QTest::newRow("120.5") << QByteArray("120.5") << 120.5;
    QTest::newRow("leading C blanks") << QByteArray(" \t\n\v\f\r7") << 7.0;
    QTest::newRow("no-break space is not blank") << QByteArray("\xc2\xa0"
                                                               "7")
                                                 << 0.0;
    QTest::newRow("12abc") << QByteArray("12abc") << 12.0;
    QTest::newRow("95 abc") << QByteArray("95 abc") << 95.0;
    QTest::newRow("abc") << QByteArray("abc") << 0.0;
    QTest::newRow("empty") << QByteArray("") << 0.0;
    QTest::newRow("-60") << QByteArray("-60") << -60.0;
    QTest::newRow("+7") << QByteArray("+7") << 7.0;
    QTest::newRow("sign then blank") << QByteArray("- 5") << 0.0;
    QTest::newRow("two signs") << QByteArray("+-5") << 0.0;
    QTest::newRow(".5") << QByteArray(".5") << 0.5;
    QTest::newRow("5.") << QByteArray("5.") << 5.0;
    QTest::newRow("lone point") << QByteArray(".") << 0.0;
    QTest::newRow("point then e") << QByteArray(".e5") << 0.0;
    QTest::newRow("1,5 has no decimal comma") << QByteArray("1,5") << 1.0;
    QTest::newRow("1e2") << QByteArray("1e2") << 100.0;
    QTest::newRow("1E-2") << QByteArray("1E-2") << 0.01;
    QTest::newRow("1d2") << QByteArray("1d2") << 100.0;
    QTest::newRow("1D+2") << QByteArray("1D+2") << 100.0;
    QTest::newRow("2.5d-1") << QByteArray("2.5d-1") << 0.25;
    QTest::newRow("exponent letter alone") << QByteArray("1e") << 1.0;
    QTest::newRow("exponent sign alone") << QByteArray("1e+") << 1.0;
    QTest::newRow("exponent letter then text") << QByteArray("7dx") << 7.0;
    QTest::newRow("1.5e3x") << QByteArray("1.5e3x") << 1500.0;
    QTest::newRow("hexadecimal") << QByteArray("0x1A") << 0.0;
    QTest::newRow("inf") << QByteArray("inf") << 0.0;
    QTest::newRow("INFINITY") << QByteArray("INFINITY") << 0.0;
    QTest::newRow("nan") << QByteArray("nan") << 0.0;
    QTest::newRow("-nan") << QByteArray("-nan") << 0.0;
    QTest::newRow("1e400 overflows to infinity") << QByteArray("1e400") << inf;
    QTest::newRow("-1d400 overflows to -infinity") << QByteArray("-1d400") << -inf;
    QTest::newRow("1e-400 underflows to 0") << QByteArray("1e-400") << 0.0;
    QTest::newRow("400 digits") << QByteArray("1" + QByteArray(400, '0')) << inf;
    QTest::newRow("tiny fraction digits") << QByteArray("0." + QByteArray(400, '0') + "1") << 0.0;
    QTest::newRow("huge exponent digits") << QByteArray("1e99999999999999999999") << inf;
    QTest::newRow("huge negative exponent") << QByteArray("1e-99999999999999999999") << 0.0;
    QTest::newRow("zero with huge exponent") << QByteArray("0e99999999999999999999") << 0.0;
    QTest::newRow("small mantissa, large exponent") << QByteArray("0.0001e310") << 1e306;
    QTest::newRow("1.5 million digits, e-2000000")
        << QByteArray("1" + QByteArray(1'500'000, '0') + "e-2000000") << 0.0;
    QTest::newRow("1.5 million digits, e-1499999")
        << QByteArray("1" + QByteArray(1'500'000, '0') + "e-1499999") << 10.0;
    QTest::newRow("long digit run rounds once")
        << QByteArray("0.1000000000000000055511151231257827") << 0.1;
}

void TestNumberReading::readNumber()
{
    QFETCH(QByteArray, text);
    QFETCH(double, expected);
    const double value = calc::ReadNumber(std::string_view(text.constData(), text.size()));
    QCOMPARE(value, expected);
    QCOMPARE(std::signbit(value), std::signbit(expected));
}

void TestNumberReading::readWholeNumber_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("expected");

    const int max = std::numeric_limits<int>::max();
    const int min = std::numeric_limits<int>::min();
    QTest::newRow("120") << QByteArray("120") << 120;
    QTest::newRow("120.5") << QByteArray("120.5") << 120;
    QTest::newRow("1e2") << QByteArray("1e2") << 1;
    QTest::newRow("1d2") << QByteArray("1d2") << 1;
    QTest::newRow("0.5") << QByteArray("0.5") << 0;
    QTest::newRow("leading blanks 95abc") << QByteArray(" \t95abc") << 95;
    QTest::newRow("-60") << QByteArray("-60") << -60;
    QTest::newRow("+7") << QByteArray("+7") << 7;
    QTest::newRow("abc") << QByteArray("abc") << 0;
    QTest::newRow("empty") << QByteArray("") << 0;
    QTest::newRow("2147483647") << QByteArray("2147483647") << max;
    QTest::newRow("2147483648 clamps") << QByteArray("2147483648") << max;
    QTest::newRow("-2147483648") << QByteArray("-2147483648") << min;
    QTest::newRow("-2147483649 clamps") << QByteArray("-2147483649") << min;
    QTest::newRow("1000 nines clamp") << QByteArray(1000, '9') << max;
    QTest::newRow("leading zeros") << QByteArray("000000000000000000000042") << 42;
}

void TestNumberReading::readWholeNumber()
{
    QFETCH(QByteArray, text);
    QFETCH(int, expected);
    QCOMPARE(calc::ReadWholeNumber(std::string_view(text.constData(), text.size())), expected);
}

void TestNumberReading::readingIgnoresGermanNumericLocale()
{
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        QSKIP("the de_DE.UTF-8 locale is not installed (scripts/install-deps generates it)");
    const double value = calc::ReadNumber("10.5");
    const std::string text = calc::FormatNumber(9.25);
    std::setlocale(LC_ALL, "C");
    QCOMPARE(value, 10.5);
    QCOMPARE(QString::fromStdString(text), QStringLiteral("9.25"));
}

QTEST_GUILESS_MAIN(TestNumberReading)
#include "test_numberreading.moc"
