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
    void listeningKeepsAChange();

private:
    QTemporaryDir m_dir;
};

void TestLiveTempo::listeningKeepsAChange()
{
    // A 6/8 medley heard as the sound server hands it over: the windows
    // after the change are short, and their beats must not lose out to the
    // noisy long lags of their autocorrelation.
    corpus::Song song {"medley", 100, corpus::Pattern::SixEight};
    song.stepBpm = 93;
    song.stepSeconds = 16;
    song.seconds = 40;
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
            onALevel = onALevel || std::abs(heard.bpm - level * 93) <= 0.01 * level * 93;
        QVERIFY2(
            onALevel, qPrintable(QStringLiteral("%1 at %2 s").arg(heard.bpm).arg(heard.seconds)));
    }
    sf_close(file);
}

QTEST_GUILESS_MAIN(TestLiveTempo)
#include "test_livetempo.moc"
