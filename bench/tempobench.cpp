#include "tempobench.h"

#include "analysis/songtempo.h"

#include "figures.h"
#include "songcorpus.h"
#include "tempotools.h"
#include <sndfile.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <cmath>
#include <cstdio>

namespace {

QString Ensure(const QDir& folder, const corpus::Song& song)
{
    const QString path = folder.filePath(QString::fromStdString(song.name) + ".wav");
    if (!QFile::exists(path) && !corpus::Write(song, path.toStdString()))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return path;
}

struct Peak {
    double kb = 0; // the most memory the analysis held
    double done = 0; // where the progress bar ended
};

Peak PeakKb(const QString& self, const QString& path)
{
    QProcess child;
    child.start(self, {"--analyse-for-memory", path});
    if (!child.waitForFinished(600000))
        return {};
    const QList<QByteArray> words = child.readAllStandardOutput().simplified().split(' ');
    return {words.value(0).toDouble(), words.value(1).toDouble()};
}

// The median time to analyse a file, over runs.
double MedianMs(const QString& path, int runs)
{
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        analysis::AnalyseSongFile(path.toStdString());
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    return Median(times);
}

} // namespace

int AnalyseForMemory(const char* path)
{
    analysis::Progress progress;
    analysis::AnalyseSongFile(path, &progress);
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            std::printf("%s %g\n", line.mid(6).trimmed().split(' ').first().constData(),
                progress.done.load());
    }
    return 0;
}

void BenchSongTempo(const QString& self, const QString& folder, Figures& figures)
{
    QDir dir(folder);
    dir.mkpath(QStringLiteral("."));
    int right = 0, total = 0, octaveErrors = 0;
    std::printf("%-36s %8s %8s %8s\n", "song (made up)", "true", "found", "error");
    std::vector<std::pair<QString, double>> index;
    for (const corpus::Song& song : corpus::Corpus()) {
        index.push_back({QString::fromStdString(song.name) + ".wav", song.bpm});
        const analysis::SongTempo tempo
            = analysis::AnalyseSongFile(Ensure(dir, song).toStdString());
        const double error = (tempo.bpm - song.bpm) / song.bpm;
        const bool within = tempo.failure == analysis::Failure::None && std::abs(error) <= 0.01;
        const bool octave = std::abs(tempo.bpm - 2 * song.bpm) <= 0.02 * song.bpm
            || std::abs(tempo.bpm - song.bpm / 2) <= 0.005 * song.bpm;
        right += within ? 1 : 0;
        ++total;
        if (song.pattern == corpus::Pattern::FourOnTheFloor && octave)
            ++octaveErrors;
        std::printf("%-36s %8.2f %8.2f %+7.2f%%%s\n", song.name.c_str(), song.bpm, tempo.bpm,
            error * 100, within ? "" : "  off");
    }
    WriteIndex(folder, "made-up", index);
    figures.Add({QStringLiteral("Songs within 1% of their tempo (%1 songs)").arg(total), "%",
        100.0 * right / total, {}, {}, {}, 97.0});
    figures.Add(
        {"Octave errors on four-on-the-floor songs", "", double(octaveErrors), {}, {}, 0.5, {}});

    const QString fourMinutes = Ensure(dir,
        {"four-minutes-126", 126, corpus::Pattern::FourOnTheFloor, 0.1, 0.05, 4, 240, 44100, 2, 7});
    figures.Add({"Four-minute stereo 44.1 kHz song analysed", "ms", MedianMs(fourMinutes, 5), {},
        {}, 1500.0, {}});

    // Memory must not grow with the song: one minute against eight.
    const QString oneMinute = Ensure(
        dir, {"one-minute-126", 126, corpus::Pattern::FourOnTheFloor, 0, 0.05, 0, 60, 44100, 2, 1});
    const QString eightMinutes = Ensure(dir,
        {"eight-minutes-126", 126, corpus::Pattern::FourOnTheFloor, 0, 0.05, 0, 480, 44100, 2, 1});
    const Peak shortPeak = PeakKb(self, oneMinute), longPeak = PeakKb(self, eightMinutes);
    figures.Add({"Peak memory analysing 8 minutes, against 1 minute", "MiB", longPeak.kb / 1024,
        shortPeak.kb / 1024, 1.05, {}, {}});
    // Three hours against ten minutes, as FLACs made of the minute: past the
    // envelope kept for refining, memory stays where it is, and the progress
    // bar goes all the way.
    const auto repeated = [&](const char* name, int times) {
        const QString path = dir.filePath(name);
        if (!QFile::exists(path))
            QProcess::execute("sox",
                {"-V1", oneMinute, "-r", "22050", "-c", "1", path, "repeat",
                    QString::number(times - 1)});
        return PeakKb(self, path);
    };
    const Peak tenMinutesPeak = repeated("ten-minutes-126.flac", 10);
    const Peak hoursPeak = repeated("three-hours-126.flac", 180);
    figures.Add({"Peak memory analysing 3 hours, against 10 minutes", "MiB", hoursPeak.kb / 1024,
        tenMinutesPeak.kb / 1024, 1.05, {}, {}});
    figures.Add(
        {"Progress bar at the end of 3 hours", "%", 100 * hoursPeak.done, {}, {}, {}, 100.0});

    // Small files that unpack to much: ten minutes of silence at 768 kHz in
    // eight channels, a few megabytes of FLAC, costs no more than a song; an
    // MP3 behind a 256 MB tag costs no memory for the tag.
    const QString dense = dir.filePath("768khz-8-channels.flac");
    if (!QFile::exists(dense))
        QProcess::execute("sox",
            {"-D", "-n", "-r", "768000", "-c", "8", "-b", "16", dense, "synth", "600", "sine", "0",
                "vol", "0"});
    figures.Add({QStringLiteral("Ten minutes at 768 kHz in 8 channels (%1 MB of FLAC) analysed")
                     .arg(QFileInfo(dense).size() >> 20),
        "ms", MedianMs(dense, 3), {}, {}, 1500.0, {}});
    const QString tagged = dir.filePath("behind-a-256mb-tag.mp3");
    if (!QFile::exists(tagged)) {
        const QString mp3 = dir.filePath("one-minute.mp3");
        corpus::Write({"mp3", 126, corpus::Pattern::FourOnTheFloor, 0, 0, 0, 60}, mp3.toStdString(),
            SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III);
        QFile out(tagged), in(mp3);
        if (out.open(QIODevice::WriteOnly) && in.open(QIODevice::ReadOnly)) {
            const qint64 size = (qint64(256) << 20) - 10;
            QByteArray header("ID3\x03\x00\x00", 6);
            for (int shift = 21; shift >= 0; shift -= 7)
                header.append(char((size >> shift) & 0x7f));
            out.write(header);
            out.resize(out.size() + size);
            out.seek(out.size());
            out.write(in.readAll());
        }
    }
    figures.Add({"Peak memory analysing an MP3 behind a 256 MB ID3v2 tag", "MiB",
        PeakKb(self, tagged).kb / 1024, {}, {}, 100.0, {}});
}
