#include "calc/calc.h"

#include <QtTest>

#include <cmath>
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

    QTest::newRow("1:30") << "1:30" << 90;
    QTest::newRow("90 caps at 59") << "90" << 59;
    QTest::newRow("1:75 caps minutes' seconds") << "1:75" << 119;
    QTest::newRow("75:00 caps minutes") << "75:00" << 3540;
    QTest::newRow("2:3:4") << "2:3:4" << 7384;
    QTest::newRow("1:2:3:4 drops fourth field") << "1:2:3:4" << 7384;
    QTest::newRow("1.30") << "1.30" << 90;
    QTest::newRow("1/30") << "1/30" << 90;
    QTest::newRow("1,30") << "1,30" << 90;
    QTest::newRow("1 2:3 joins digits") << "1 2:3" << 723;
    QTest::newRow(":30") << ":30" << 30;
    QTest::newRow("5:") << "5:" << 300;
    QTest::newRow("99:59:59") << "99:59:59" << 359999;
    QTest::newRow("-5") << "-5" << 5;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("00:00:00") << "00:00:00" << 0;
    QTest::newRow("hours not capped") << "1000:00:00" << 3600000;
    QTest::newRow("hours beyond 32 bits saturate") << "596524:00:00" << kMax;
    QTest::newRow("hour digit run saturates") << QString(40, '9') + ":00:00" << kMax;
    QTest::newRow("seconds digit run caps") << QString(40, '9') << 59;
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

    QTest::newRow("8 in 4/4") << "8" << 4 << 4;
    QTest::newRow("2:3 in 4/4") << "2:3" << 4 << 11;
    QTest::newRow("2:9 in 4/4") << "2:9" << 4 << 12;
    QTest::newRow("12: in 4/4") << "12:" << 4 << 48;
    QTest::newRow("1:2:3 in 4/4") << "1:2:3" << 4 << 11;
    QTest::newRow("29:4 in 4/4") << "29:4" << 4 << 120;
    QTest::newRow("30:0 in 4/4") << "30:0" << 4 << 120;
    QTest::newRow("0:0") << "0:0" << 4 << 0;
    QTest::newRow("2:1 in 4/4") << "2:1" << 4 << 9;
    QTest::newRow("3:2 in 3/4") << "3:2" << 3 << 11;
    QTest::newRow("17:2 in 7/8") << "17:2" << 7 << 121;
    QTest::newRow("2 a:4 joins digits") << "2 a:4" << 4 << 12;
    QTest::newRow("empty") << "" << 4 << 0;
    QTest::newRow("bars beyond 32 bits saturate") << "999999999999:1" << 4 << kMax;
    QTest::newRow("no beats per bar counts as one") << "3:7" << 0 << 4;
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

    QTest::newRow("0 in 4/4") << 0 << 4 << "0:0";
    QTest::newRow("1 in 4/4") << 1 << 4 << "0:1";
    QTest::newRow("4 in 4/4") << 4 << 4 << "0:4";
    QTest::newRow("5 in 4/4") << 5 << 4 << "1:1";
    QTest::newRow("14 in 4/4") << 14 << 4 << "3:2";
    QTest::newRow("14 in 3/4") << 14 << 3 << "4:2";
    QTest::newRow("120 in 4/4") << 120 << 4 << "29:4";
    QTest::newRow("120 in 3/4") << 120 << 3 << "39:3";
    QTest::newRow("121 in 7/8") << 121 << 7 << "17:2";
    QTest::newRow("-3 in 4/4") << -3 << 4 << "-1:1";
    QTest::newRow("int min in 4/4") << kMin << 4 << "-536870912:0";
    QTest::newRow("int max in 2/4") << kMax << 2 << "1073741823:1";
    QTest::newRow("no beats per bar counts as one") << 3 << 0 << "2:1";
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

    QTest::newRow("0") << 0 << "00:00:00";
    QTest::newRow("210") << 210 << "00:03:30";
    QTest::newRow("86399") << 86399 << "23:59:59";
    QTest::newRow("90000 drops the day") << 90000 << "01:00:00";
    QTest::newRow("-6") << -6 << "-00:00:06";
    QTest::newRow("int max") << kMax << "03:14:07";
    QTest::newRow("int min") << kMin << "-03:14:08";
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

    QTest::newRow("12 at 120") << 12 << "120" << 6;
    QTest::newRow("10 at 120") << 10 << "120" << 5;
    QTest::newRow("33 at 33") << 33 << "33" << 59;
    QTest::newRow("1 at 120") << 1 << "120" << 0;
    QTest::newRow("120 at 60") << 120 << "60" << 120;
    QTest::newRow("14 at 0") << 14 << "0" << 0;
    QTest::newRow("0 at 0") << 0 << "0" << 0;
    QTest::newRow("14 at empty") << 14 << "" << 0;
    QTest::newRow("12 at -120") << 12 << "-120" << -6;
    QTest::newRow("large at tiny tempo saturates") << 1000 << "1e-300" << kMax;
    QTest::newRow("large at tiny negative tempo saturates") << 1000 << "-1e-300" << kMin;
    QTest::newRow("14 at 1e400") << 14 << "1e400" << 0;
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

    QTest::newRow("60 at 120") << 60 << "120" << 120;
    QTest::newRow("6 at 120") << 6 << "120" << 12;
    QTest::newRow("59 at 33") << 59 << "33" << 32;
    QTest::newRow("7 at 100") << 7 << "100" << 11;
    QTest::newRow("huge at huge saturates") << kMax << "1e300" << kMax;
    QTest::newRow("60 at 1e400") << 60 << "1e400" << 0;
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

    QTest::newRow("7 in 3") << 7 << 3 << "140";
    QTest::newRow("100 in 210") << 100 << 210 << "28.5714";
    QTest::newRow("240 in 120") << 240 << 120 << "120";
    QTest::newRow("120 in 60") << 120 << 60 << "120";
    QTest::newRow("1 in 7") << 1 << 7 << "8.57143";
    QTest::newRow("14 in 0") << 14 << 0 << "inf";
    QTest::newRow("int max in 1") << kMax << 1 << "1.28849e+011";
}

void TestSongLength::tempoFromLength()
{
    QFETCH(int, beats);
    QFETCH(int, seconds);
    QFETCH(QString, text);
    const float tempo = calc::TempoFromLength(beats, seconds);
    QCOMPARE(QString::fromStdString(calc::FormatNumber(tempo)), text);
}

QTEST_GUILESS_MAIN(TestSongLength)
#include "test_songlength.moc"
