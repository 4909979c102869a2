#include "calc/calc.h"

#include <QtTest>

#include <limits>

class TestNumberText : public QObject {
    Q_OBJECT

private slots:
    void formatNumber_data();
    void formatNumber();
    void wholeNumberText_data();
    void wholeNumberText();
};

void TestNumberText::formatNumber_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("8") << 8.0 << "8";
    QTest::newRow("120") << 120.0 << "120";
    QTest::newRow("10.5") << 10.5 << "10.5";
    QTest::newRow("28/3") << 28.0 / 3 << "9.33333";
    QTest::newRow("600/7") << 600.0 / 7 << "85.7143";
    QTest::newRow("1/6") << 1.0 / 6 << "0.166667";
    QTest::newRow("0.1") << 0.1 << "0.1";
    QTest::newRow("0") << 0.0 << "0";
    QTest::newRow("-4") << -4.0 << "-4";
    QTest::newRow("350*100/60") << 350.0 * 100 / 60 << "583.333";
    QTest::newRow("100000") << 100000.0 << "100000";
    QTest::newRow("123456.7 rounds to six digits") << 123456.7 << "123457";
    QTest::newRow("999999.4 stays plain") << 999999.4 << "999999";
    QTest::newRow("119.9999997 shows no point") << 119.9999997 << "120";
    QTest::newRow("1/12 exponent form") << 1.0 / 12 << "8.33333e-002";
    QTest::newRow("5000000 keeps its point") << 5000000.0 << "5.e+006";
    QTest::newRow("1234567") << 1234567.0 << "1.23457e+006";
    QTest::newRow("-1.5e-7") << -1.5e-7 << "-1.5e-007";
    QTest::newRow("1e300") << 1e300 << "1.e+300";
    QTest::newRow("smallest subnormal")
        << std::numeric_limits<double>::denorm_min() << "4.94066e-324";
    QTest::newRow("largest double") << std::numeric_limits<double>::max() << "1.79769e+308";
    // Rounding across a power of ten takes the form of the rounded value.
    QTest::newRow("999999.5 rounds up to exponent form") << 999999.5 << "1.e+006";
    QTest::newRow("0.0999999995 rounds up to plain form") << 0.0999999995 << "0.1";
    QTest::newRow("0.09999994 stays exponent form") << 0.09999994 << "9.99999e-002";
    // A tapped tempo is a float widened to double.
    QTest::newRow("float 60/0.47")
        << double(float(60.0 / double(float(470 * double(0.001f))))) << "127.66";
    QTest::newRow("negative zero") << -0.0 << "0";
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << "inf";
    QTest::newRow("-infinity") << -std::numeric_limits<double>::infinity() << "-inf";
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << "nan";
}

void TestNumberText::formatNumber()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(QString::fromStdString(calc::FormatNumber(value)), expected);
}

void TestNumberText::wholeNumberText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("1799.9999999999998") << 1799.9999999999998 << "1799";
    QTest::newRow("-999.9") << -999.9 << "-999";
    QTest::newRow("-0.5 shows no sign") << -0.5 << "0";
    QTest::newRow("2^31") << 2147483648.0 << "2147483648";
    QTest::newRow("1e20 exactly") << 1e20 << "100000000000000000000";
    QTest::newRow("2^70") << 1180591620717411303424.0 << "1180591620717411303424";
}

void TestNumberText::wholeNumberText()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(QString::fromStdString(calc::TruncatedText(value)), expected);
}

QTEST_GUILESS_MAIN(TestNumberText)
#include "test_numbertext.moc"
