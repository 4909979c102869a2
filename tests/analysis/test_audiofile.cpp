// A song file costs no more than a long song, whatever it holds: the
// samples decoded are bounded, and tags ahead of the audio are never read.
#include "analysis/audiofile.h"
#include "analysis/songtempo.h"
#include "songcorpus.h"

#include <sndfile.h>
#include <sys/resource.h>

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

namespace {

long PeakKilobytes()
{
    rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

class TestAudioFile : public QObject {
    Q_OBJECT

private slots:
    void costBoundedWhateverTheFileHolds_data();
    void costBoundedWhateverTheFileHolds();

private:
    QTemporaryDir m_dir;
};

void TestAudioFile::costBoundedWhateverTheFileHolds_data()
{
    QTest::addColumn<int>("channels");
    QTest::addColumn<qint64>("tagBytes"); // of an ID3v2 tag ahead of the audio
    QTest::addColumn<double>("mostSeconds"); // decoded at the most, as stereo
    QTest::addColumn<double>("cutShortAt");

    QTest::newRow("read whole") << 2 << qint64(0) << 60.0 << 0.0;
    // The budget counts every channel decoded; only the front two are mixed.
    QTest::newRow("8 channels, cut short") << 8 << qint64(0) << 40.0 << 10.0;
    QTest::newRow("behind a 256 MB tag") << 2 << qint64(256) << 60.0 << 0.0;
}

void TestAudioFile::costBoundedWhateverTheFileHolds()
{
    QFETCH(int, channels);
    QFETCH(qint64, tagBytes);
    QFETCH(double, mostSeconds);
    QFETCH(double, cutShortAt);

    corpus::Song song {"clicks", 128, corpus::Pattern::Clicks};
    song.channels = channels;
    song.sampleRate = 22050;
    const QString audio = m_dir.filePath("bounded.audio");
    const int format = tagBytes ? SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III : 0;
    QVERIFY(corpus::Write(song, audio.toStdString(), format));
    QString path = audio;
    if (tagBytes) {
        // A tag as a player might write one, with a picture of any size.
        path = m_dir.filePath("tagged.mp3");
        QFile tagged(path), mp3(audio);
        QVERIFY(tagged.open(QIODevice::WriteOnly) && mp3.open(QIODevice::ReadOnly));
        const qint64 size = (tagBytes << 20) - 10;
        QByteArray header("ID3\x03\x00\x00", 6);
        for (int shift = 21; shift >= 0; shift -= 7)
            header.append(char((size >> shift) & 0x7f));
        tagged.write(header + QByteArray("APIC", 4));
        tagged.resize(tagged.size() + size - 4);
        tagged.seek(tagged.size());
        tagged.write(mp3.readAll());
    }
    // The tag is stepped over, never read: memory does not grow by its size.
    const long before = PeakKilobytes();
    analysis::AudioFile file(path.toStdString(), sf_count_t(mostSeconds * 22050 * 2));
    QCOMPARE(file.Failure(), analysis::Failure::None);
    std::vector<float> samples(4096);
    size_t read = 0;
    while (const size_t count = file.Read(samples.data(), samples.size()))
        read += count;
    QCOMPARE(file.CutShortAt(), cutShortAt);
    QVERIFY(read > 0);
    QVERIFY2(PeakKilobytes() - before < (tagBytes << 10) / 2 + 16384,
        qPrintable(QString::number(PeakKilobytes() - before)));
    const analysis::SongTempo tempo = analysis::AnalyseSongFile(path.toStdString());
    QCOMPARE(tempo.failure, analysis::Failure::None);
    QVERIFY2(std::abs(tempo.bpm - 128) <= 0.015, qPrintable(QString::number(tempo.bpm)));
}

QTEST_GUILESS_MAIN(TestAudioFile)
#include "test_audiofile.moc"
