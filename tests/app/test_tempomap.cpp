// The beats and bars of a song, where its tempo changes, and the files they
// are written to: read back as a sequencer and a player would.
#include "app/mapexport.h"
#include "app/songanalysis.h"
#include "app/songtempofinder.h"
#include "app/tempomapview.h"
#include "app/tempomapwindow.h"
#include "songcorpus.h"
#include "support/sheetharness.h"
#include "support/uitest.h"

#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

namespace {

// The beat F-measure at 70 ms: the share of beats found that are true,
// against the share of true beats found.
double FMeasure(const std::vector<double>& truth, const std::vector<analysis::Beat>& found)
{
    size_t hits = 0, next = 0;
    for (const analysis::Beat& beat : found) {
        while (next < truth.size() && truth[next] < beat.seconds - 0.07)
            ++next;
        if (next < truth.size() && std::abs(truth[next] - beat.seconds) <= 0.07) {
            ++hits;
            ++next;
        }
    }
    return hits == 0 ? 0 : 2.0 * double(hits) / double(truth.size() + found.size());
}

quint32 BigEndian(const QByteArray& bytes, qsizetype at, int count)
{
    quint32 value = 0;
    for (int i = 0; i < count; ++i)
        value = value << 8 | quint8(bytes[at + i]);
    return value;
}

// The seconds at which each quarter note of a MIDI file's first track falls,
// from its tempo events alone: what a sequencer's grid follows.
std::vector<double> QuarterTimes(const QByteArray& midi, int& numerator, int& markers)
{
    std::vector<double> quarters;
    const quint32 division = BigEndian(midi, 12, 2);
    qsizetype at = 22, end = 22 + qsizetype(BigEndian(midi, 18, 4));
    double seconds = 0, perTick = 0.5 / division;
    quint64 ticks = 0;
    while (at < end) {
        quint32 delta = 0;
        for (quint8 byte = 0x80; byte & 0x80; ++at)
            delta = delta << 7 | ((byte = quint8(midi[at])) & 0x7F);
        for (quint32 tick = 0; tick < delta; ++tick, ++ticks, seconds += perTick) {
            if (ticks % division == 0)
                quarters.push_back(seconds);
        }
        const auto type = quint8(midi[at + 1]);
        const auto length = qsizetype(quint8(midi[at + 2]));
        if (type == 0x51)
            perTick = BigEndian(midi, at + 3, 3) / 1e6 / division;
        numerator = type == 0x58 ? quint8(midi[at + 3]) : numerator;
        markers += type == 0x06 ? 1 : 0;
        at += 3 + length;
    }
    quarters.push_back(seconds); // the end of the track, on the last beat's quarter
    return quarters;
}

} // namespace

class TestTempoMap : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { PrepareWidgetTests(); }
    void mapOfMusic_data();
    void mapOfMusic();
    void filesReadBack();
    void writtenSafely();
    void windowShowsTheMap();

private:
    // 128 bpm for a minute, then 100 for another, with no gap.
    QString Medley();
    QTemporaryDir m_dir;
};

QString TestTempoMap::Medley()
{
    const QString path = m_dir.filePath("medley.wav");
    corpus::Song song {"medley", 128, corpus::Pattern::Backbeat};
    song.seconds = 120;
    song.stepBpm = 100;
    song.stepSeconds = 60;
    return QFileInfo::exists(path) || corpus::Write(song, path.toStdString()) ? path : QString();
}

void TestTempoMap::mapOfMusic_data()
{
    QTest::addColumn<double>("bpm");
    QTest::addColumn<int>("pattern");
    QTest::addColumn<double>("stepBpm");
    QTest::addColumn<double>("rampBpm");
    QTest::addColumn<int>("beatsPerBar");
    QTest::addColumn<QString>("said");
    QTest::addColumn<double>("seconds");
    QTest::addColumn<int>("swapEveryBars");
    QTest::addColumn<double>("stepSeconds");
    QTest::addColumn<double>("looseness");
    QTest::addColumn<double>("drift");
    QTest::addColumn<double>("noise");

    const int backbeat = int(corpus::Pattern::Backbeat), waltz = int(corpus::Pattern::Waltz);
    QTest::newRow("steady") << 120.0 << backbeat << 0.0 << 0.0 << 4
                            << "Tempo of steady.wav: 120 bpm" << 120.0 << 0 << 60.0 << 0.0 << 0.0
                            << 0.0;
    QTest::newRow("medley") << 128.0 << backbeat << 100.0 << 0.0 << 4
                            << "Tempo of medley.wav: 128 bpm, then 100 bpm from 1:00" << 120.0 << 0
                            << 60.0 << 0.0 << 0.0 << 0.0;
    QTest::newRow("faster chorus")
        << 120.0 << int(corpus::Pattern::FourOnTheFloor) << 126.0 << 0.0 << 4
        << "Tempo of faster chorus.wav: 120 bpm, then 126 bpm from 1:00" << 120.0 << 0 << 60.0
        << 0.0 << 0.0 << 0.0;
    QTest::newRow("speeding up") << 110.0 << backbeat << 0.0 << 125.0 << 4
                                 << "Tempo of speeding up.wav: 117.45 bpm (drifts 112.07 to 122.85)"
                                 << 120.0 << 0 << 60.0 << 0.0 << 0.0 << 0.0;
    // A drummer who plays each beat up to 15 ms early or late: neither a
    // change nor drift, where the band keeps its tempo or moves it steadily.
    QTest::newRow("loosely") << 120.0 << backbeat << 0.0 << 0.0 << 4
                             << "Tempo of loosely.wav: 120 bpm" << 120.0 << 0 << 60.0 << 0.015
                             << 0.0 << 0.0;
    QTest::newRow("speeding up loosely")
        << 110.0 << backbeat << 0.0 << 125.0 << 4
        << "Tempo of speeding up loosely.wav: 117.51 bpm (drifts 112.07 to 122.93)" << 120.0 << 0
        << 60.0 << 0.015 << 0.0 << 0.0;
    QTest::newRow("waltz") << 150.0 << waltz << 0.0 << 0.0 << 3
                           << "Tempo of waltz.wav: 150 bpm in 3/4" << 120.0 << 0 << 60.0 << 0.0
                           << 0.0 << 0.0;
    // A waltz played as a band plays it, its tempo wandering as it slows
    // down: still heard in threes.
    QTest::newRow("waltz slowing down")
        << 150.0 << waltz << 0.0 << 127.5 << 3
        << "Tempo of waltz slowing down.wav: 135.32 bpm in 3/4 (drifts 132.56 to 150.78)" << 60.0
        << 0 << 60.0 << 0.0 << 0.03 << 0.05;
    // Long enough to be followed a few minutes at a time.
    QTest::newRow("long set") << 126.0 << backbeat << 0.0 << 0.0 << 4
                              << "Tempo of long set.wav: 126 bpm" << 400.0 << 0 << 60.0 << 0.0
                              << 0.0 << 0.0;
    // A band that swaps tempo at every bar line: its beats followed, and its drift.
    QTest::newRow("a change every bar")
        << 120.0 << backbeat << 132.0 << 0.0 << 4
        << "Tempo of a change every bar.wav: 120.21 bpm (drifts 119.92 to 131.9)" << 120.0 << 1
        << 60.0 << 0.0 << 0.0 << 0.0;
    // Too many changes to map: no beats, only the range of the tempo.
    QTest::newRow("a change every six bars")
        << 120.0 << backbeat << 132.0 << 0.0 << 4
        << "Tempo of a change every six bars.wav: 120.07 bpm (drifts 119.93 to 131.99)" << 120.0
        << 6 << 0.0 << 0.0 << 0.0 << 0.0;
}

void TestTempoMap::mapOfMusic()
{
    QFETCH(double, bpm);
    QFETCH(int, pattern);
    QFETCH(double, stepBpm);
    QFETCH(double, rampBpm);
    QFETCH(int, beatsPerBar);
    QFETCH(QString, said);
    QFETCH(double, seconds);
    QFETCH(int, swapEveryBars);
    QFETCH(double, stepSeconds);
    QFETCH(double, looseness);
    QFETCH(double, drift);
    QFETCH(double, noise);

    corpus::Song song {QTest::currentDataTag(), bpm, corpus::Pattern(pattern)};
    song.seconds = seconds;
    if (seconds > 120) { // small, for all its length
        song.sampleRate = 11025;
        song.channels = 1;
    }
    song.stepBpm = stepBpm;
    song.stepSeconds = stepSeconds;
    song.rampBpm = rampBpm;
    song.swapEveryBars = swapEveryBars;
    song.looseness = looseness;
    song.drift = drift;
    song.noise = noise;
    const QString path = m_dir.filePath(QString(QTest::currentDataTag()) + ".wav");
    QVERIFY(corpus::Write(song, path.toStdString()));
    const analysis::SongTempo found = analysis::AnalyseSongFile(path.toStdString());
    QCOMPARE(SongTempoWords::Said(found, QFileInfo(path).fileName()), said);

    const analysis::TempoMap& map = found.map;
    QCOMPARE(map.wanders, swapEveryBars > 1);
    if (map.wanders) {
        QVERIFY(map.beats.empty());
        return;
    }
    const std::vector<double> truth = corpus::BeatTimes(song);
    QVERIFY2(FMeasure(truth, map.beats) >= 0.95,
        qPrintable(QString::number(FMeasure(truth, map.beats))));
    QCOMPARE(map.beatsPerBar, beatsPerBar);
    // No beat lost or doubled where one stretch of the song hands over to the next.
    for (size_t i = 2; i < map.beats.size(); ++i) {
        const double gap = map.beats[i].seconds - map.beats[i - 1].seconds,
                     before = map.beats[i - 1].seconds - map.beats[i - 2].seconds;
        QVERIFY2(gap > 0.7 * before && gap < 1.3 * before,
            qPrintable(QString::number(map.beats[i].seconds)));
    }
    QCOMPARE(map.changes.size(), size_t(stepBpm > 0 && swapEveryBars == 0 ? 1 : 0));
    for (const analysis::TempoChange& change : map.changes) {
        // At the bar line the band changed on, within a beat.
        QVERIFY2(std::abs(change.seconds - 60) < 60 / stepBpm,
            qPrintable(QString::number(change.seconds)));
        QCOMPARE(std::round(change.bpm), stepBpm);
    }
    // Each beat in its place in the bar: the songs start on a downbeat.
    for (const analysis::Beat& beat : map.beats) {
        const auto near = std::lower_bound(truth.begin(), truth.end(), beat.seconds - 0.07);
        if (near != truth.end() && std::abs(*near - beat.seconds) <= 0.07)
            QCOMPARE(beat.beat, int(near - truth.begin()) % beatsPerBar + 1);
    }
}

void TestTempoMap::filesReadBack()
{
    analysis::TempoMap map;
    map.beatsPerBar = 3;
    // A pickup beat, then a waltz that steps from 150 to 140.
    for (int i = 0; i < 40; ++i) {
        const double seconds = 0.25 + (i < 20 ? 0.4 * i : 8 + 60.0 / 140 * (i - 20));
        map.beats.push_back({seconds, (i + 2) / 3, (i + 2) % 3 + 1, i < 20 ? 150.0 : 140.0});
    }
    map.changes.push_back({map.beats[20].seconds, 7, 140});

    int numerator = 0, markers = 0;
    const std::vector<double> quarters = QuarterTimes(mapexport::Midi(map), numerator, markers);
    QCOMPARE(numerator, 3);
    QCOMPARE(markers, 1);
    // A quarter until the music starts, in a bar with the pickup's beats,
    // so that the downbeats fall on bar lines.
    QCOMPARE(quarters.size(), map.beats.size() + 1 + 1);
    for (size_t i = 0; i < map.beats.size(); ++i)
        QVERIFY(std::abs(quarters[i + 1] - map.beats[i].seconds) < 0.001);

    // Every click starts on its beat's sample, the downbeats louder.
    const int rate = 8000;
    const QByteArray clicks = mapexport::ClickSamples(map, rate, 0, 20 * rate);
    const auto sample
        = [&](qsizetype i) { return qFromLittleEndian<qint16>(clicks.constData() + 2 * i); };
    for (const analysis::Beat& beat : map.beats) {
        const auto at = qsizetype(std::llround(beat.seconds * rate));
        QCOMPARE(sample(at - 1), qint16(0));
        QVERIFY(std::abs(sample(at + 1)) > (beat.beat == 1 ? 12000 : 6000));
    }
    QCOMPARE(mapexport::WavHeader(rate, 100).size(), 44);
}

void TestTempoMap::writtenSafely()
{
    const QString song = Medley(), kept = m_dir.filePath("kept.mid");
    QVERIFY(!song.isEmpty());
    QFile existing(kept);
    QVERIFY(existing.open(QIODevice::WriteOnly) && existing.write("mine") == 4);
    existing.close();
    const auto run = [&](const QStringList& arguments, QByteArray* output = nullptr) {
        QProcess beatwise;
        beatwise.start(QStringLiteral(BEATWISE_PROGRAM), arguments);
        beatwise.waitForFinished(60000);
        if (output)
            *output = beatwise.readAllStandardOutput();
        return beatwise.exitCode();
    };
    QCOMPARE(run({"--tempo-map", song, "-o", kept}), 1);
    QCOMPARE(QFileInfo(kept).size(), 4);
    QCOMPARE(run({"--click", song, "-o", m_dir.filePath("no folder/click.wav")}), 1);
    QVERIFY(!QFileInfo::exists(m_dir.filePath("no folder")));
    QCOMPARE(run({"--tempo-map", song, "-o", kept, "--force"}), 0);
    QVERIFY(QFileInfo(kept).size() > 100);
    QByteArray beats;
    QCOMPARE(run({"--beats", song}, &beats), 0);
    QVERIFY2(QRegularExpression("\\A(\\d+\\.\\d{3}\\t\\d+\\t[1-4]\\t\\d+\\.\\d{2}\\n)+\\z")
                 .match(beats)
                 .hasMatch(),
        beats.left(200).constData());
    QCOMPARE(run({"--beats", song, "-o", kept}), 2);
}

void TestTempoMap::windowShowsTheMap()
{
    SheetHarness harness;
    QVERIFY(harness.Show());
    QPushButton* open = nullptr;
    for (auto* button : harness.sheet.StatusArea()->findChildren<QPushButton*>())
        open = button->accessibleName() == "Tempo map of the song" ? button : open;
    QVERIFY(open && !open->isVisible());
    harness.sheet.FindSongTempo(Medley());
    QTRY_VERIFY_WITH_TIMEOUT(!harness.sheet.SongTempoFinder().IsBusy(), 20000);
    QVERIFY(open->isVisible());
    QTest::keyClick(&harness.sheet, Qt::Key_M, Qt::AltModifier); // its mnemonic
    CTempoMapWindow* window = harness.sheet.TempoMap().Window();
    QVERIFY(window && window->isVisible());
    const QString figures = window->Figures();
    QVERIFY2(figures.startsWith("Tempo of medley.wav: 128 bpm, then 100 bpm from 1:00\n"),
        qPrintable(figures));
    QVERIFY2(
        figures.contains(QRegularExpression("\\nBar 33 at 1:00: (99\\.9\\d|100(\\.0\\d)?) bpm\\n")),
        qPrintable(figures));
    QVERIFY(window->findChild<QWidget*>()->grab().width() > 0); // the chart draws
    QTest::keyClick(window, Qt::Key_Escape);
    QVERIFY(!window->isVisible());
    // A song without a beat takes the offer back.
    const QString chord = m_dir.filePath("chord.wav");
    QVERIFY(corpus::Write({"chord", 120, corpus::Pattern::HeldChord}, chord.toStdString()));
    harness.sheet.FindSongTempo(chord);
    QTRY_VERIFY_WITH_TIMEOUT(!harness.sheet.SongTempoFinder().IsBusy(), 20000);
    QVERIFY(!open->isVisible());
}

QTEST_MAIN(TestTempoMap)
#include "test_tempomap.moc"
