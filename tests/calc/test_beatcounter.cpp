#include "calc/calc.h"

#include <QtTest>

#include <limits>

using Readings = QList<qint64>;

constexpr qint64 kEarliest = std::numeric_limits<qint64>::min();
constexpr qint64 kLatest = std::numeric_limits<qint64>::max();

namespace {

// The counting steps of the Count button: a pause clears the beat total,
// each press adds a beat, the tempo is measured from the total.
struct CountingSong {
    calc::BeatCounter counter;
    int beats = 0;
    int tones = 0;

    QString Press(qint64 now)
    {
        if (counter.Press(now)) {
            ++tones;
            beats = 0;
        }
        ++beats;
        return QStringLiteral("%1 beats, %2 s, tempo %3")
            .arg(beats)
            .arg(counter.ElapsedSeconds())
            .arg(QString::fromStdString(calc::FormatNumber(counter.MeasuredTempo(beats))));
    }
};

Readings Steady(int count, qint64 first, qint64 spacing)
{
    Readings readings;
    for (int i = 0; i < count; ++i)
        readings << first + spacing * i;
    return readings;
}

} // namespace

class TestBeatCounter : public QObject {
    Q_OBJECT

private slots:
    void counting_data();
    void counting();
    void waitingForFirstBeatNeverSoundsTone();
};

void TestBeatCounter::counting_data()
{
    QTest::addColumn<Readings>("presses");
    QTest::addColumn<QString>("lastShown");
    QTest::addColumn<int>("tones");

    QTest::newRow("first press") << Readings {1000} << "1 beats, 0 s, tempo 0" << 0;
    QTest::newRow("second press 500 ms later")
        << Readings {1000, 1500} << "2 beats, 0 s, tempo 0" << 0;
    QTest::newRow("2999 ms continues") << Readings {1000, 3999} << "2 beats, 2 s, tempo 0" << 0;
    QTest::newRow("3000 ms starts anew") << Readings {1000, 4000} << "1 beats, 0 s, tempo 0" << 1;
    QTest::newRow("11th press at 5000 ms")
        << Steady(11, 1000, 500) << "11 beats, 5 s, tempo 0" << 0;
    QTest::newRow("12th press at 5001 ms")
        << Readings(Steady(11, 1000, 500)) + Readings {6001} << "12 beats, 5 s, tempo 144" << 0;
    QTest::newRow("12 presses over 5500 ms")
        << Steady(12, 1000, 500) << "12 beats, 5 s, tempo 144" << 0;
    QTest::newRow("13 presses over 6000 ms")
        << Steady(13, 0, 500) << "13 beats, 6 s, tempo 130" << 0;
    QTest::newRow("20 presses over 10500 ms")
        << Readings(Steady(19, 0, 500)) + Readings {10500} << "20 beats, 10 s, tempo 120" << 0;
    QTest::newRow("pause after measuring")
        << Readings(Steady(13, 0, 500)) + Readings {9500} << "1 beats, 0 s, tempo 0" << 1;
    QTest::newRow("clock set back is a pause")
        << Readings {5000, 4000} << "1 beats, 0 s, tempo 0" << 1;
    QTest::newRow("clock set back across the whole range")
        << Readings {kLatest - 1000, kEarliest + 500} << "1 beats, 0 s, tempo 0" << 1;
    QTest::newRow("clock jumps across the whole range")
        << Readings {kEarliest + 1000, kLatest - 1000} << "1 beats, 0 s, tempo 0" << 1;
}

void TestBeatCounter::counting()
{
    QFETCH(Readings, presses);
    QFETCH(QString, lastShown);
    QFETCH(int, tones);

    CountingSong song;
    QString shown;
    for (qint64 now : presses)
        shown = song.Press(now);
    QCOMPARE(shown, lastShown);
    QCOMPARE(song.tones, tones);
}

void TestBeatCounter::waitingForFirstBeatNeverSoundsTone()
{
    CountingSong song;
    song.Press(1000);
    song.Press(1500);
    song.counter.WaitForFirstBeat();
    QVERIFY(song.counter.IsWaitingForFirstBeat());
    // Long after the last press, but a new count was asked for: no tone, and
    // the count goes on from the beat total as it stands.
    QCOMPARE(song.Press(60000), QStringLiteral("3 beats, 0 s, tempo 0"));
    QCOMPARE(song.tones, 0);
    QVERIFY(!song.counter.IsWaitingForFirstBeat());
}

QTEST_GUILESS_MAIN(TestBeatCounter)
#include "test_beatcounter.moc"
