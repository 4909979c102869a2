#include "calc/calc.h"

#include <QtTest>

#include <limits>

using Readings = QList<qint64>;

constexpr qint64 kEarliest = std::numeric_limits<qint64>::min();
constexpr qint64 kLatest = std::numeric_limits<qint64>::max();

class TestTapTempo : public QObject {
    Q_OBJECT

private slots:
    void pressSeries_data();
    void pressSeries();
};

void TestTapTempo::pressSeries_data()
{
    QTest::addColumn<Readings>("presses");
    QTest::addColumn<QStringList>("shown"); // "-": nothing; "tone": the press sounds the tone

    QTest::newRow("steady 500 ms")
        << Readings {1000, 1500, 2000, 2500} << QStringList {"-", "120", "120", "120"};
    QTest::newRow("470 ms") << Readings {1000, 1470} << QStringList {"-", "127.66"};
    QTest::newRow("333 ms") << Readings {1000, 1333} << QStringList {"-", "180.18"};
    QTest::newRow("480 then 520 ms")
        << Readings {1000, 1480, 2000} << QStringList {"-", "125", "120"};
    QTest::newRow("uneven series") << Readings {1000, 1600, 2100, 2650, 3180}
                                   << QStringList {"-", "100", "109.091", "109.091", "110.092"};
    QTest::newRow("pause sounds the tone; its press starts the series") << Readings {
        1000, 1700, 5000, 5600, 6200} << QStringList {"-", "85.7143", "tone -", "100", "100"};
    QTest::newRow("after a pause, 2 taps 500 ms apart")
        << Readings {1000, 1500, 60000, 60500} << QStringList {"-", "120", "tone -", "120"};
    QTest::newRow("2999 ms continues") << Readings {1000, 3999} << QStringList {"-", "20.0067"};
    QTest::newRow("3000 ms starts anew")
        << Readings {1000, 4000, 4400} << QStringList {"-", "tone -", "150"};
    QTest::newRow("172 ms") << Readings {1000, 1172} << QStringList {"-", "348.837"};
    QTest::newRow("171 ms") << Readings {1000, 1171} << QStringList {"-", "350.877"};
    QTest::newRow("first press late in the run never sounds the tone")
        << Readings {100000, 100500} << QStringList {"-", "120"};
    QTest::newRow("two presses in one tick show nothing")
        << Readings {1000, 1000} << QStringList {"-", "-"};
    QTest::newRow("a zero interval among others counts")
        << Readings {1000, 1000, 1500} << QStringList {"-", "-", "240"};
    QTest::newRow("clock set back counts as a pause")
        << Readings {5000, 4000, 4500} << QStringList {"-", "tone -", "120"};
    QTest::newRow("clock set back across the whole range") << Readings {
        kLatest - 1000, kEarliest + 500, kEarliest + 1000} << QStringList {"-", "tone -", "120"};
    QTest::newRow("clock jumps across the whole range") << Readings {
        kEarliest + 1000, kLatest - 1000, kLatest - 500} << QStringList {"-", "tone -", "120"};

    // Sixty presses 500 ms apart, then one 400 ms after the sixtieth: the
    // window holds the last 49 intervals (48 of 0.5 s and one of 0.4 s).
    Readings sixtyOne;
    QStringList sixtyOneShown {"-"};
    for (int i = 0; i < 60; ++i)
        sixtyOne << 1000 + 500 * i;
    for (int i = 1; i < 60; ++i)
        sixtyOneShown << "120";
    sixtyOne << sixtyOne.last() + 400;
    sixtyOneShown << "120.492";
    QTest::newRow("61st press after 60 steady ones") << sixtyOne << sixtyOneShown;

    // A pause after the ring has wrapped restarts it from its first slot.
    Readings wrapped;
    QStringList wrappedShown {"-"};
    for (int i = 0; i < 55; ++i)
        wrapped << 1000 + 500 * i;
    for (int i = 1; i < 55; ++i)
        wrappedShown << "120";
    const qint64 afterPause = wrapped.last() + 5000;
    wrapped << afterPause << afterPause + 400 << afterPause + 800;
    wrappedShown << "tone -"
                 << "150"
                 << "150";
    QTest::newRow("pause after the ring wrapped") << wrapped << wrappedShown;
}

void TestTapTempo::pressSeries()
{
    QFETCH(Readings, presses);
    QFETCH(QStringList, shown);

    calc::TapTempo tap;
    QStringList actual;
    for (qint64 pressTime : presses) {
        const calc::TapTempo::Result result = tap.Press(pressTime);
        const QString text = result.tempo ? QString::fromStdString(*result.tempo) : "-";
        actual << (result.newSeries ? "tone " + text : text);
    }
    QCOMPARE(actual, shown);
}

QTEST_GUILESS_MAIN(TestTapTempo)
#include "test_taptempo.moc"
