#include "analysis/songtempo.h"
#include "songcorpus.h"

#include <sndfile.h>

#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(analysis::Failure)

class TestSongTempo : public QObject {
    Q_OBJECT

private slots:
    void clickTrackIn128_data();
    void clickTrackIn128();
    void filesWithoutTempo_data();
    void filesWithoutTempo();
    void cancelStopsAtOnce();

private:
    QTemporaryDir m_dir;
};

void TestSongTempo::clickTrackIn128_data()
{
    QTest::addColumn<int>("format");
    QTest::newRow("WAV") << (SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    QTest::newRow("FLAC") << (SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
    QTest::newRow("Ogg Vorbis") << (SF_FORMAT_OGG | SF_FORMAT_VORBIS);
    QTest::newRow("MP3") << (SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III);
}

void TestSongTempo::clickTrackIn128()
{
    QFETCH(int, format);

    const std::string path = m_dir.filePath(QTest::currentDataTag()).toStdString();
    QVERIFY(corpus::Write({"clicks", 128, corpus::Pattern::Clicks}, path, format));
    analysis::Progress progress;
    const analysis::SongTempo tempo = analysis::AnalyseSongFile(path, &progress);
    QCOMPARE(tempo.failure, analysis::Failure::None);
    QCOMPARE(tempo.bpm, 128.00);
    QVERIFY(tempo.confidence > 0.9);
    QVERIFY(tempo.beats.size() >= 60); // 30 s at 128 bpm: 64 beats
    QCOMPARE(progress.done.load(), 1.0);
}

void TestSongTempo::filesWithoutTempo_data()
{
    QTest::addColumn<QByteArray>("content"); // "write:N" writes an N-second song of noise
    QTest::addColumn<analysis::Failure>("failure");

    QTest::newRow("missing") << QByteArray() << analysis::Failure::Unreadable;
    QTest::newRow("empty") << QByteArray("empty") << analysis::Failure::Unreadable;
    QTest::newRow("text") << QByteArray("text") << analysis::Failure::UnsupportedFormat;
    QTest::newRow("3 seconds of clicks") << QByteArray("clicks:3") << analysis::Failure::TooShort;
    QTest::newRow("30 seconds of noise")
        << QByteArray("noise:30") << analysis::Failure::NoSteadyBeat;
}

void TestSongTempo::filesWithoutTempo()
{
    QFETCH(QByteArray, content);
    QFETCH(analysis::Failure, failure);

    const QString path = m_dir.filePath(QTest::currentDataTag());
    if (content == "empty" || content == "text") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        if (content == "text")
            file.write("Not a song, only a note about one.\n");
    } else if (!content.isEmpty()) {
        const QList<QByteArray> parts = content.split(':');
        corpus::Song song {"odd", 120, corpus::Pattern::Clicks};
        song.seconds = parts[1].toDouble();
        if (parts[0] == "noise") {
            song.bpm = 1e-3; // no beat within the song
            song.noise = 0.3;
        }
        QVERIFY(corpus::Write(song, path.toStdString()));
    }
    const analysis::SongTempo tempo = analysis::AnalyseSongFile(path.toStdString());
    QCOMPARE(tempo.failure, failure);
    QCOMPARE(tempo.bpm, 0.0);
}

void TestSongTempo::cancelStopsAtOnce()
{
    const std::string path = m_dir.filePath("cancelled").toStdString();
    QVERIFY(corpus::Write({"clicks", 128, corpus::Pattern::Clicks}, path));
    analysis::Progress progress;
    progress.cancel = true;
    QCOMPARE(analysis::AnalyseSongFile(path, &progress).failure, analysis::Failure::Cancelled);
    QCOMPARE(progress.done.load(), 0.0);
}

QTEST_GUILESS_MAIN(TestSongTempo)
#include "test_songtempo.moc"
