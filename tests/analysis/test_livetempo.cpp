#include "analysis/livetempo.h"
#include "songcorpus.h"

#include <sndfile.h>

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <memory>

class TestLiveTempo : public QObject {
    Q_OBJECT

private slots:
    void listeningKeepsAChange_data();
    void listeningKeepsAChange();

private:
    QTemporaryDir m_dir;
};

void TestLiveTempo::listeningKeepsAChange_data()
{
    QTest::addColumn<int>("pattern");
    QTest::addColumn<double>("bpm");
    QTest::addColumn<double>("stepBpm");
    QTest::addColumn<double>("seconds");
    // The windows after the change are short, and their beats must not lose
    // out to the noisy long lags of their autocorrelation.
    QTest::newRow("6/8") << int(corpus::Pattern::SixEight) << 100.0 << 93.0 << 40.0;
    // Its level is heard from a few seconds only, and the silence after must
    // not sway it.
    QTest::newRow("backbeat, ending soon")
        << int(corpus::Pattern::Backbeat) << 128.0 << 100.0 << 24.0;
}

void TestLiveTempo::listeningKeepsAChange()
{
    // A medley heard as the sound server hands it over.
    QFETCH(int, pattern);
    QFETCH(double, bpm);
    QFETCH(double, stepBpm);
    QFETCH(double, seconds);
    corpus::Song song {"medley", bpm, corpus::Pattern(pattern)};
    song.stepBpm = stepBpm;
    song.stepSeconds = 16;
    song.seconds = seconds;
    song.channels = 1;
    const std::string path = m_dir.filePath("medley.wav").toStdString();
    QVERIFY(corpus::Write(song, path));
    SF_INFO info {};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    std::unique_ptr<analysis::LiveTempo> live(analysis::NewLiveTempo());
    std::vector<float> part(analysis::LiveTempo::kSampleRate / 2); // asked twice a second
    for (sf_count_t read = 0;
         (read = sf_readf_float(file, part.data(), sf_count_t(part.size()))) > 0;) {
        live->Add(part.data(), size_t(read));
        const analysis::LiveEstimate heard = live->Estimate();
        // Once it has followed the change: the new tempo, on some level.
        bool onALevel = heard.seconds < song.stepSeconds + 10;
        for (double level : {1.0, 2.0, 0.5, 1.5})
            onALevel = onALevel || std::abs(heard.bpm - level * stepBpm) <= 0.01 * level * stepBpm;
        QVERIFY2(
            onALevel, qPrintable(QStringLiteral("%1 at %2 s").arg(heard.bpm).arg(heard.seconds)));
    }
    sf_close(file);
    // Once the music stops, what was heard stands: the silence tells nothing.
    const double heard = live->Estimate().bpm;
    part.assign(analysis::LiveTempo::kSampleRate / 10, 0.0f);
    for (int tenths = 0; tenths < 5; ++tenths) {
        live->Add(part.data(), part.size());
        QCOMPARE(live->Estimate().bpm, heard);
    }
}

QTEST_GUILESS_MAIN(TestLiveTempo)
#include "test_livetempo.moc"
