#include "analysis/songtempo.h"
#include "songcorpus.h"
#include "wavfile.h"

#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <cstdio>
#include <limits>
#include <numbers>
#include <random>

Q_DECLARE_METATYPE(analysis::Failure)

namespace {

// A click on every beat: 10 ms of 1 kHz.
std::vector<float> Clicks(uint32_t rate, double seconds, double bpm, double level = 0.8)
{
    std::vector<float> samples(size_t(seconds * rate), 0.0f);
    for (double at = 0.5; at < seconds; at += 60 / bpm) {
        for (size_t i = 0; i < rate / 100 && size_t(at * rate) + i < samples.size(); ++i)
            samples[size_t(at * rate) + i]
                = float(level * std::sin(2 * std::numbers::pi * 1000 * double(i) / rate));
    }
    return samples;
}

} // namespace

class TestSongTempo : public QObject {
    Q_OBJECT

private slots:
    void tempoOfMusic_data();
    void tempoOfMusic();
    void filesWithoutTempo_data();
    void filesWithoutTempo();
    void cancelStopsAtOnce();

private:
    // Makes the file a row names; false when it cannot.
    bool Make(const QString& kind, const QString& path);

    QTemporaryDir m_dir;
};

bool TestSongTempo::Make(const QString& kind, const QString& path)
{
    const std::string file = path.toStdString();
    const auto song = [&](double bpm, corpus::Pattern pattern) {
        corpus::Song made {"made", bpm, pattern};
        made.seconds = 60;
        return made;
    };
    if (kind.startsWith("clicks in ")) { // a libsndfile format, by name
        static const QHash<QString, int> formats {{"WAV", SF_FORMAT_WAV | SF_FORMAT_PCM_16},
            {"FLAC", SF_FORMAT_FLAC | SF_FORMAT_PCM_16}, {"Ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS},
            {"MP3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III}};
        return corpus::Write({"clicks", 128, corpus::Pattern::Clicks}, file, formats[kind.mid(10)]);
    }
    if (kind.startsWith("backbeat ") || kind.startsWith("four-floor ")
        || kind.startsWith("oom-pah ")) {
        const QStringList words = kind.split(' '); // "backbeat BPM [NOISE [DRIVE]]"
        static const QHash<QString, corpus::Pattern> patterns {
            {"backbeat", corpus::Pattern::Backbeat},
            {"four-floor", corpus::Pattern::FourOnTheFloor}, {"oom-pah", corpus::Pattern::OomPah}};
        corpus::Song made = song(words[1].toDouble(), patterns[words[0]]);
        made.noise = words.value(2).toDouble();
        made.drive = words.value(3).toDouble();
        return corpus::Write(made, file);
    }
    if (kind == "drifting") {
        corpus::Song drifting = song(120, corpus::Pattern::Backbeat);
        drifting.seconds = 120;
        drifting.drift = 0.03;
        return corpus::Write(drifting, file);
    }
    if (kind == "held chord")
        return corpus::Write(song(120, corpus::Pattern::HeldChord), file);
    if (kind == "noise") {
        corpus::Song noise = song(1e-3, corpus::Pattern::Clicks); // no beat within the song
        noise.noise = 0.3;
        return corpus::Write(noise, file);
    }
    Wav wav;
    wav.samples = Clicks(wav.rate, 30, 128);
    if (kind == "clicks at 8 kHz" || kind == "clicks at 96 kHz") {
        wav.rate = kind.contains("96") ? 96000 : 8000;
        wav.samples = Clicks(wav.rate, 30, 128);
    } else if (kind == "floats times 1e20") {
        wav.format = 3;
        for (float& sample : wav.samples)
            sample *= 1e20f;
    } else if (kind == "floats, some NaN") {
        wav.format = 3;
        for (size_t i = 0; i < wav.samples.size(); i += 7)
            wav.samples[i] = std::numeric_limits<float>::quiet_NaN();
    } else if (kind == "cut off mid-frame") {
        wav.channels = 2;
        wav.samples = Clicks(wav.rate, 60, 128);
        wav.samples.insert(wav.samples.end(), wav.samples.begin(), wav.samples.end());
        wav.keptBytes = int64_t(wav.samples.size()) * 2 - 3;
    } else if (kind == "dithered tone") {
        std::mt19937 random(1);
        std::uniform_real_distribution<float> dither(-1.0f / 32768, 1.0f / 32768);
        for (size_t i = 0; i < wav.samples.size(); ++i)
            wav.samples[i]
                = float(0.5 * std::sin(2 * std::numbers::pi * 440 * double(i) / wav.rate))
                + dither(random) + dither(random);
    } else if (kind == "silence") {
        std::fill(wav.samples.begin(), wav.samples.end(), 0.0f);
    } else if (kind == "2^31 frames claimed, 1 s held") {
        wav.samples.resize(wav.rate);
        wav.claimedBytes = 0xFFFFFFF0;
    } else if (kind == "3 seconds of clicks") {
        wav.samples.resize(3 * wav.rate);
    } else if (kind == "0 channels" || kind == "65535 channels") {
        wav.channels = kind.startsWith('0') ? 0 : 65535;
        wav.samples.resize(65535 * 4);
    } else if (kind.endsWith(" Hz")) {
        wav.rate = kind.chopped(3).toUInt();
    } else if (kind == "no samples") {
        wav.samples.clear();
    } else if (kind == "a FIFO") {
        return ::mkfifo(path.toLocal8Bit().constData(), 0600) == 0;
    } else if (kind == "a link to /dev/zero") {
        return QFile::link(QStringLiteral("/dev/zero"), path);
    } else if (kind == "a folder") {
        return QDir().mkpath(path);
    } else if (kind != "clicks") {
        // Text, random bytes or nothing at all, under the name the row gives.
        QFile other(path);
        if (kind == "missing")
            return true;
        if (!other.open(QIODevice::WriteOnly))
            return false;
        if (kind == "text")
            other.write("Not a song, only a note about one.\n");
        else if (kind == "random bytes") {
            std::mt19937 random(7);
            for (int i = 0; i < 100000; ++i)
                other.putChar(char(random()));
        }
        return true;
    }
    return wav.Write(path);
}

void TestSongTempo::tempoOfMusic_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("bpm");
    QTest::addColumn<bool>("drifts");

    for (const char* format : {"WAV", "FLAC", "Ogg", "MP3"})
        QTest::addRow("clicks in %s", format)
            << QString("clicks in ") + format << "song" << 128.0 << false;
    // The snare on 2 and 4 is a beat: kicks on 1 and 3 alone do not halve it.
    for (double bpm : {84.0, 100.0, 128.0, 150.0, 174.0})
        QTest::addRow("backbeat %g", bpm)
            << QString("backbeat %1").arg(bpm) << "song" << bpm << false;
    // A loud mix never falls silent: its beats are heard above the floor.
    for (double noise : {0.3, 0.6})
        QTest::addRow("backbeat 128 under noise %g", noise)
            << QString("backbeat 128 %1").arg(noise) << "song" << 128.0 << false;
    for (double drive : {10.0, 30.0, 100.0})
        QTest::addRow("backbeat 128 driven %g", drive)
            << QString("backbeat 128 0.1 %1").arg(drive) << "song" << 128.0 << false;
    // A kick on every beat is a beat, fast as it is.
    for (double bpm : {126.0, 180.0})
        QTest::addRow("four-floor %g", bpm)
            << QString("four-floor %1").arg(bpm) << "song" << bpm << false;
    // A bass note against a chord is a beat too: a march, a polka in two.
    for (double bpm : {112.0, 150.0, 186.0})
        QTest::addRow("oom-pah %g", bpm)
            << QString("oom-pah %1").arg(bpm) << "song" << bpm << false;
    QTest::newRow("drifting 3% either way") << "drifting"
                                            << "song" << 120.0 << true;
    QTest::newRow("clicks at 8 kHz") << "clicks at 8 kHz"
                                     << "song" << 128.0 << false;
    QTest::newRow("clicks at 96 kHz") << "clicks at 96 kHz"
                                      << "song" << 128.0 << false;
    QTest::newRow("floats times 1e20") << "floats times 1e20"
                                       << "song" << 128.0 << false;
    QTest::newRow("floats, some NaN") << "floats, some NaN"
                                      << "song" << 128.0 << false;
    QTest::newRow("cut off mid-frame") << "cut off mid-frame"
                                       << "song" << 128.0 << false;
    QTest::newRow("name not UTF-8")
        << "clicks" << QString::fromLatin1("\xff\xfe.wav") << 128.0 << false;
}

void TestSongTempo::tempoOfMusic()
{
    QFETCH(QString, kind);
    QFETCH(QString, name);
    QFETCH(double, bpm);
    QFETCH(bool, drifts);

    // The name goes to the file system as bytes, whatever they are.
    const QString made = m_dir.filePath(QByteArray(QTest::currentDataTag()).toHex() + ".wav");
    QVERIFY(Make(kind, made));
    QByteArray path = QFile::encodeName(made);
    if (name != "song") {
        path = QFile::encodeName(m_dir.path()) + '/' + name.toLatin1();
        QCOMPARE(::rename(QFile::encodeName(made).constData(), path.constData()), 0);
    }
    analysis::Progress progress;
    const analysis::SongTempo tempo = analysis::AnalyseSongFile(path.toStdString(), &progress);
    ::unlink(path.constData()); // a name Qt could not list, so could not remove
    QCOMPARE(tempo.failure, analysis::Failure::None);
    QCOMPARE(tempo.drifts, drifts);
    if (drifts) {
        QVERIFY2(std::abs(tempo.bpm - bpm) <= 0.02 * bpm, qPrintable(QString::number(tempo.bpm)));
        QVERIFY(tempo.lowest < tempo.bpm && tempo.bpm < tempo.highest);
        QVERIFY(tempo.highest - tempo.lowest > 0.02 * bpm);
    } else {
        // Music set to a grid gets its tempo exactly, to 0.01 bpm.
        QVERIFY2(std::abs(tempo.bpm - bpm) <= 0.015, qPrintable(QString::number(tempo.bpm)));
    }
    QCOMPARE(progress.done.load(), 1.0);
}

void TestSongTempo::filesWithoutTempo_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<analysis::Failure>("failure");

    using analysis::Failure;
    const struct {
        const char* kind;
        const char* name;
        Failure failure;
    } rows[] = {
        {"missing", "song.wav", Failure::Unreadable},
        {"empty", "song.wav", Failure::Unreadable},
        {"a folder", "song.wav", Failure::Unreadable},
        {"a FIFO", "song.wav", Failure::Unreadable},
        {"a link to /dev/zero", "song.wav", Failure::Unreadable},
        {"text", "notes.wav", Failure::UnsupportedFormat},
        {"text", "notes.au", Failure::UnsupportedFormat},
        {"random bytes", "song.mp3", Failure::UnsupportedFormat},
        {"0 channels", "song.wav", Failure::UnsupportedFormat},
        {"65535 channels", "song.wav", Failure::UnsupportedFormat},
        // Audio all the same: the rate is what is wrong, or that it is empty.
        {"2147483647 Hz", "song.wav", Failure::UnsupportedRate},
        {"10000000 Hz", "song.wav", Failure::UnsupportedRate},
        {"769000 Hz", "song.wav", Failure::UnsupportedRate},
        {"3999 Hz", "song.wav", Failure::UnsupportedRate},
        {"no samples", "song.wav", Failure::NoSound},
        {"3 seconds of clicks", "song.wav", Failure::TooShort},
        {"2^31 frames claimed, 1 s held", "song.wav", Failure::TooShort},
        {"silence", "song.wav", Failure::NoSteadyBeat},
        {"noise", "song.wav", Failure::NoSteadyBeat},
        {"held chord", "song.wav", Failure::NoSteadyBeat},
        {"dithered tone", "song.wav", Failure::NoSteadyBeat},
    };
    for (const auto& row : rows)
        QTest::addRow("%s, %s", row.kind, row.name)
            << QString(row.kind) << QString(row.name) << row.failure;
}

void TestSongTempo::filesWithoutTempo()
{
    QFETCH(QString, kind);
    QFETCH(QString, name);
    QFETCH(analysis::Failure, failure);

    const QString path = m_dir.filePath(QByteArray(QTest::currentDataTag()).toHex() + '-' + name);
    QVERIFY(Make(kind, path));
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
