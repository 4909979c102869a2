#include "calc/calc.h"

#include <QtTest>

class TestDelays : public QObject {
    Q_OBJECT

private slots:
    void delayText_data();
    void delayText();
    void frequencyText_data();
    void frequencyText();
    void tapDelayText_data();
    void tapDelayText();
};

namespace {

QString NoteName(int index)
{
    if (index < 0 || index >= int(calc::kNoteLengths.size()))
        return QStringLiteral("index %1").arg(index);
    const auto text = calc::kNoteLengths[size_t(index)].text;
    return QString::fromLatin1(text.data(), int(text.size()));
}

void AddDelayRow(const char* tempo, int index, const char* expected)
{
    QTest::addRow("tempo %s, %s", tempo, qPrintable(NoteName(index)))
        << QString::fromLatin1(tempo) << index << QString::fromLatin1(expected);
}

} // namespace

void TestDelays::delayText_data()
{
    QTest::addColumn<QString>("tempo");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("expected");

    const char* at120[] = {"500", "250", "166", "125", "1000", "1500", "2000", "2500", "3000",
        "4000", "333", "375", "666", "625"};
    const char* at140[] = {"428", "214", "142", "107", "857", "1285", "1714", "2142", "2571",
        "3428", "285", "321", "571", "535"};
    for (int i = 0; i < 14; ++i) {
        AddDelayRow("120", i, at120[i]);
        AddDelayRow("140", i, at140[i]);
    }

    // The multiplication by the rounded 1/60 and the truncation show here.
    AddDelayRow("100", 5, "1799");
    AddDelayRow("100", 8, "3599");
    AddDelayRow("100", 11, "449");
    AddDelayRow("100", 0, "600");
    AddDelayRow("50", 5, "3599");
    AddDelayRow("10", 2, "1999");
    AddDelayRow("10", 10, "3999");
    AddDelayRow("10", 12, "7999");
    AddDelayRow("128", 12, "624");
    AddDelayRow("60", 12, "1333");
    AddDelayRow("350", 3, "42");
    AddDelayRow("10", 9, "48000");
    AddDelayRow("120.7", 0, "497");

    // Texts as typed.
    AddDelayRow("", 0, "0");
    AddDelayRow("abc", 0, "0");
    AddDelayRow("0", 0, "0");
    AddDelayRow("-0", 0, "0");
    AddDelayRow("1d2", 0, "600");
    AddDelayRow("5", 0, "12000");
    AddDelayRow("0.5", 0, "120000");
    AddDelayRow("-60", 0, "-1000");
    AddDelayRow("120", -1, "500");
    AddDelayRow("120", 14, "500");

    // Beyond 32 bits the delay is still shown exactly; endless shows 0.
    AddDelayRow("1e-10", 0, "600000000000000");
    AddDelayRow("1e-320", 0, "0");
    AddDelayRow("1e400", 0, "0");
}

void TestDelays::delayText()
{
    QFETCH(QString, tempo);
    QFETCH(int, index);
    QFETCH(QString, expected);
    QCOMPARE(QString::fromStdString(calc::DelayText(tempo.toStdString(), index)), expected);
}

void TestDelays::frequencyText_data()
{
    QTest::addColumn<QString>("tempo");
    QTest::addColumn<QString>("cycles");
    QTest::addColumn<QString>("expected");

    const struct {
        const char* tempo;
        const char* cycles;
        const char* expected;
    } rows[] = {{"120", "4", "8"}, {"140", "4", "9.33333"}, {"10", "1", "0.166667"},
        {"350", "100", "583.333"}, {"90", "7", "10.5"}, {"123.4", "4", "8.22667"},
        {"120.7", "4", "8.04667"}, {"6", "1", "0.1"}, {"5", "1", "8.33333e-002"},
        {"-60", "4", "-4"}, {"1d2", "4", "6.66667"}, {"", "4", "0"}, {"abc", "4", "0"},
        {"120", "", "0"}, {"120", "0", "0"}, {"0", "0", "0"}, {"0", "-4", "0"},
        {"1e400", "4", "inf"}};
    for (const auto& row : rows) {
        QTest::addRow("tempo %s, cycles %s", row.tempo, row.cycles) << QString::fromLatin1(
            row.tempo) << QString::fromLatin1(row.cycles) << QString::fromLatin1(row.expected);
    }
}

void TestDelays::frequencyText()
{
    QFETCH(QString, tempo);
    QFETCH(QString, cycles);
    QFETCH(QString, expected);
    QCOMPARE(QString::fromStdString(calc::FrequencyText(tempo.toStdString(), cycles.toStdString())),
        expected);
}

void TestDelays::tapDelayText_data()
{
    QTest::addColumn<QString>("tempo");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("expected");

    const struct {
        const char* tempo;
        const char* label;
        const char* expected;
    } rows[] = {// The initial labels at the start-up tempo.
        {"120", "0.25", "125"}, {"120", "0.33", "165"}, {"120", "0.50", "250"},
        {"120", "0.66", "330"}, {"120", "0.75", "375"}, {"120", "1.00", "500"},
        {"120", "1.25", "625"}, {"120", "1.33", "665"}, {"120", "1.50", "750"},
        {"120", "1.66", "830"}, {"120", "1.75", "875"}, {"120", "2.00", "1000"},
        {"120", "2.25", "1125"}, {"120", "2.50", "1250"}, {"120", "2.75", "1375"},
        {"120", "3.00", "1500"}, {"120", "3.50", "1750"}, {"120", "4.00", "2000"},
        {"120", "4.50", "2250"}, {"120", "5.00", "2500"}, {"140", "1.00", "428"},
        {"140", "0.33", "141"}, {"140", "0.25", "107"},
        // Rounding order.
        {"100", "0.75", "449"}, {"100", "1.50", "899"}, {"100", "2.25", "1349"},
        {"100", "3.00", "1799"}, {"100", "4.50", "2699"}, {"100", "1.00", "600"},
        {"100", "2.50", "1500"}, {"14.4", "0.33", "1375"}, {"10.8", "2.25", "12499"},
        {"10", "1.66", "9959"}, {"350", "0.25", "42"},
        // Labels as typed.
        {"120", "0.002", "1"}, {"120", "0.001", "N/A"}, {"120", "2 beats", "1000"},
        {"120", "1/2", "500"}, {"120", " 1", "500"}, {"120", ".5", "250"}, {"120", "1e3", "500000"},
        {"120", "abc", "N/A"}, {"120", "", "N/A"}, {"120", "0", "N/A"}, {"120", "-1", "N/A"},
        {"120", "1e400", "N/A"},
        // Tempos as typed.
        {"", "1.00", "N/A"}, {"0", "1.00", "N/A"}, {"-120", "1.00", "N/A"},
        {"0.5", "1.00", "120000"}, {"120abc", "1.00", "500"}, {"1e400", "1.00", "N/A"},
        // Past 2^31 ms the delay is shown exactly.
        {"1e-5", "1.00", "6000000000"}, {"1e-5", "1e3", "6000000000000"}};
    for (const auto& row : rows) {
        QTest::addRow("tempo \"%s\", label \"%s\"", row.tempo, row.label) << QString::fromLatin1(
            row.tempo) << QString::fromLatin1(row.label) << QString::fromLatin1(row.expected);
    }
}

void TestDelays::tapDelayText()
{
    QFETCH(QString, tempo);
    QFETCH(QString, label);
    QFETCH(QString, expected);
    QCOMPARE(QString::fromStdString(calc::TapDelayText(tempo.toStdString(), label.toStdString())),
        expected);
}

QTEST_GUILESS_MAIN(TestDelays)
#include "test_delays.moc"
