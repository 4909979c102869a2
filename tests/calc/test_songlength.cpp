#include "calc/calc.h"

#include <QtTest>

#include <limits>

namespace {
constexpr int kMax = std::numeric_limits<int>::max();
constexpr int kMin = std::numeric_limits<int>::min();
} // namespace

class TestSongLength : public QObject {
    Q_OBJECT

private slots:
    void parseSongTime_data();
    void parseSongTime();
    void parseSongBars_data();
    void parseSongBars();
    void formatSongBars_data();
    void formatSongBars();
    void formatSongTime_data();
    void formatSongTime();
    void secondsFromBeats_data();
    void secondsFromBeats();
    void beatsFromSeconds_data();
    void beatsFromSeconds();
    void tempoFromLength_data();
    void tempoFromLength();
};

void TestSongLength::parseSongTime_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("seconds");

    // Seconds and minutes cap at 59; a fourth field is dropped; any other
    // character joins the digits on both sides of it.
    const struct {
        const char* text;
        int seconds;
    } rows[] = {{"1:30", 90}, {"90", 59}, {"1:75", 119}, {"75:00", 3540}, {"2:3:4", 7384},
        {"1:2:3:4", 7384}, {"1.30", 90}, {"1/30", 90}, {"1,30", 90}, {"1 2:3", 723}, {":30", 30},
        {"5:", 300}, {"99:59:59", 359999}, {"-5", 5}, {"", 0}, {"00:00:00", 0},
        {"1000:00:00", 3600000}, {"596524:00:00", kMax}, {"99999999999999999999:00:00", kMax},
        {"99999999999999999999", 59}};
    for (const auto& row : rows)
        QTest::addRow("\"%s\"", row.text) << QString(row.text) << row.seconds;
}

void TestSongLength::parseSongTime()
{
    QFETCH(QString, text);
    QFETCH(int, seconds);
    QCOMPARE(calc::ParseSongTime(text.toStdString()), seconds);
}

void TestSongLength::parseSongBars_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("beatsPerBar");
    QTest::addColumn<int>("beats");

    const struct {
        const char* text;
        int beatsPerBar;
        int beats;
    } rows[] = {{"8", 4, 4}, {"2:3", 4, 11}, {"2:9", 4, 12}, {"12:", 4, 48}, {"1:2:3", 4, 11},
        {"29:4", 4, 120}, {"30:0", 4, 120}, {"0:0", 4, 0}, {"2:1", 4, 9}, {"3:2", 3, 11},
        {"17:2", 7, 121}, {"2 a:4", 4, 12}, {"", 4, 0}, {"999999999999:1", 4, kMax}, {"3:7", 0, 4}};
    for (const auto& row : rows)
        QTest::addRow("\"%s\" in %d", row.text, row.beatsPerBar)
            << QString(row.text) << row.beatsPerBar << row.beats;
}

void TestSongLength::parseSongBars()
{
    QFETCH(QString, text);
    QFETCH(int, beatsPerBar);
    QFETCH(int, beats);
    QCOMPARE(calc::ParseSongBars(text.toStdString(), beatsPerBar), beats);
}

void TestSongLength::formatSongBars_data()
{
    QTest::addColumn<int>("beats");
    QTest::addColumn<int>("beatsPerBar");
    QTest::addColumn<QString>("text");

    const struct {
        int beats;
        int beatsPerBar;
        const char* text;
    } rows[] = {{0, 4, "0:0"}, {1, 4, "0:1"}, {4, 4, "0:4"}, {5, 4, "1:1"}, {14, 4, "3:2"},
        {14, 3, "4:2"}, {120, 4, "29:4"}, {120, 3, "39:3"}, {121, 7, "17:2"}, {-3, 4, "-1:1"},
        {kMin, 4, "-536870912:0"}, {kMax, 2, "1073741823:1"}, {3, 0, "2:1"}, {0, 1, "0:0"},
        {0, 0, "0:0"}};
    for (const auto& row : rows)
        QTest::addRow("%d in %d", row.beats, row.beatsPerBar)
            << row.beats << row.beatsPerBar << QString(row.text);
}

void TestSongLength::formatSongBars()
{
    QFETCH(int, beats);
    QFETCH(int, beatsPerBar);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(calc::FormatSongBars(beats, beatsPerBar)), text);
}

void TestSongLength::formatSongTime_data()
{
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("text");

    // Whole days are dropped; a negative span keeps its sign.
    const struct {
        int seconds;
        const char* text;
    } rows[] = {{0, "00:00:00"}, {210, "00:03:30"}, {86399, "23:59:59"}, {90000, "01:00:00"},
        {-6, "-00:00:06"}, {kMax, "03:14:07"}, {kMin, "-03:14:08"}};
    for (const auto& row : rows)
        QTest::addRow("%d", row.seconds) << row.seconds << QString(row.text);
}

void TestSongLength::formatSongTime()
{
    QFETCH(int, seconds);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(calc::FormatSongTime(seconds)), text);
}

void TestSongLength::secondsFromBeats_data()
{
    QTest::addColumn<int>("beats");
    QTest::addColumn<QString>("tempo");
    QTest::addColumn<int>("seconds");

    const struct {
        int beats;
        const char* tempo;
        int seconds;
    } rows[] = {{12, "120", 6}, {10, "120", 5}, {33, "33", 59}, {1, "120", 0}, {120, "60", 120},
        {14, "0", 0}, {0, "0", 0}, {14, "", 0}, {12, "-120", -6}, {1000, "1e-300", kMax},
        {1000, "-1e-300", kMin}, {14, "1e400", 0}};
    for (const auto& row : rows)
        QTest::addRow("%d at \"%s\"", row.beats, row.tempo)
            << row.beats << QString(row.tempo) << row.seconds;
}

void TestSongLength::secondsFromBeats()
{
    QFETCH(int, beats);
    QFETCH(QString, tempo);
    QFETCH(int, seconds);
    QCOMPARE(calc::SecondsFromBeats(beats, tempo.toStdString()), seconds);
}

void TestSongLength::beatsFromSeconds_data()
{
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("tempo");
    QTest::addColumn<int>("beats");

    const struct {
        int seconds;
        const char* tempo;
        int beats;
    } rows[] = {{60, "120", 120}, {6, "120", 12}, {59, "33", 32}, {7, "100", 11},
        {kMax, "1e300", kMax}, {60, "1e400", 0}};
    for (const auto& row : rows)
        QTest::addRow("%d at \"%s\"", row.seconds, row.tempo)
            << row.seconds << QString(row.tempo) << row.beats;
}

void TestSongLength::beatsFromSeconds()
{
    QFETCH(int, seconds);
    QFETCH(QString, tempo);
    QFETCH(int, beats);
    QCOMPARE(calc::BeatsFromSeconds(seconds, tempo.toStdString()), beats);
}

void TestSongLength::tempoFromLength_data()
{
    QTest::addColumn<int>("beats");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("text");

    const struct {
        int beats;
        int seconds;
        const char* text;
    } rows[] = {{7, 3, "140"}, {100, 210, "28.5714"}, {240, 120, "120"}, {120, 60, "120"},
        {1, 7, "8.57143"}, {14, 0, "inf"}, {kMax, 1, "1.28849e+011"}};
    for (const auto& row : rows)
        QTest::addRow("%d in %d", row.beats, row.seconds)
            << row.beats << row.seconds << QString(row.text);
}

void TestSongLength::tempoFromLength()
{
    QFETCH(int, beats);
    QFETCH(int, seconds);
    QFETCH(QString, text);
    QCOMPARE(
        QString::fromStdString(calc::FormatNumber(calc::TempoFromLength(beats, seconds))), text);
}

QTEST_GUILESS_MAIN(TestSongLength)
#include "test_songlength.moc"
