#include "tagbench.h"

#include "figures.h"
#include "songcorpus.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>

#include <csignal>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// Every format a tag is written into, as FFmpeg encodes it: small, and at
// the quality a library holds, with each format's share of such a library
// (mostly MP3 and AAC, some FLAC, few of the rest).
const struct {
    const char* extension;
    QStringList small;
    QStringList library;
    int share;
} kFormats[] = {
    {"mp3", {"-c:a", "libmp3lame", "-b:a", "64k"}, {"-c:a", "libmp3lame", "-b:a", "256k"}, 9},
    {"flac", {}, {}, 3},
    {"ogg", {"-c:a", "libvorbis", "-q:a", "0"}, {"-c:a", "libvorbis", "-q:a", "6"}, 1},
    {"opus", {"-c:a", "libopus", "-b:a", "32k"}, {"-c:a", "libopus", "-b:a", "128k"}, 1},
    {"m4a", {"-c:a", "aac", "-b:a", "64k"}, {"-c:a", "aac", "-b:a", "256k"}, 4},
    {"wav", {}, {}, 1},
    {"aiff", {}, {}, 1},
};

struct Run {
    double seconds = 0;
    double peakKb = 0;
    int status = -1;
    bool killed = false;
};

// Runs the program with its output thrown away; killed with SIGKILL after
// killAfter seconds, if that is given. Its time and its peak memory.
Run Measured(const QString& program, const QStringList& arguments, double killAfter = -1)
{
    std::vector<QByteArray> words {program.toLocal8Bit()};
    for (const QString& argument : arguments)
        words.push_back(QFile::encodeName(argument));
    std::vector<char*> argv;
    for (QByteArray& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    Run run;
    timespec start {}, now {};
    clock_gettime(CLOCK_MONOTONIC, &start);
    pid_t child = 0;
    if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        return run;
    posix_spawn_file_actions_destroy(&actions);
    if (killAfter >= 0) {
        usleep(useconds_t(killAfter * 1e6));
        run.killed = ::kill(child, SIGKILL) == 0;
    }
    int status = 0;
    rusage usage {};
    wait4(child, &status, 0, &usage);
    clock_gettime(CLOCK_MONOTONIC, &now);
    run.seconds = double(now.tv_sec - start.tv_sec) + double(now.tv_nsec - start.tv_nsec) / 1e9;
    run.peakKb = double(usage.ru_maxrss);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.killed = run.killed && WIFSIGNALED(status);
    return run;
}

// Measured once the writes of what ran before are on disk, so that no run
// pays for the one before it.
Run Settled(const QString& program, const QStringList& arguments)
{
    ::sync();
    return Measured(program, arguments);
}

QByteArray Digest(const QString& path)
{
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    return file.open(QIODevice::ReadOnly) && hash.addData(&file) ? hash.result() : QByteArray();
}

// One song of clicks in each format, seconds long, in folder: their paths,
// each as often as its share of a library if asked.
QStringList WriteSongs(const QString& folder, double seconds, bool library = false)
{
    QDir().mkpath(folder);
    corpus::Song clicks {"clicks", 128, corpus::Pattern::Clicks};
    clicks.seconds = seconds;
    const QString source = folder + "/source.wav";
    corpus::Write(clicks, source.toStdString());
    QStringList songs;
    for (const auto& format : kFormats) {
        const QString song = folder + "/song." + format.extension;
        QProcess::execute("ffmpeg",
            QStringList {"-v", "error", "-y", "-i", source}
                + (library ? format.library : format.small) + QStringList {song});
        for (int i = 0; i < (library ? format.share : 1) && QFileInfo(song).size() > 0; ++i)
            songs += song;
    }
    QFile::remove(source);
    return songs;
}

// Fresh copies of the songs in folder, as many as count, their paths.
QStringList Copies(const QStringList& songs, const QString& folder, int count)
{
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    QStringList copies;
    for (int i = 0; i < count; ++i) {
        const QString& song = songs[i % songs.size()];
        const QString copy
            = QStringLiteral("%1/%2-%3").arg(folder).arg(i).arg(QFileInfo(song).fileName());
        QFile::copy(song, copy);
        copies += copy;
    }
    return copies;
}

// Kills a run that tags every format at a random moment, again and again:
// each file must be the old one or the new one, and nothing else is left.
void BenchKills(const QString& beatwise, const QStringList& songs, const QString& folder, int kills,
    Figures& figures)
{
    const QStringList tagging = {"--tempo", "--write-tags", "--force"};
    QStringList copies = Copies(songs, folder, int(songs.size()));
    const Run whole = Measured(beatwise, tagging + copies);
    std::vector<QByteArray> before, after;
    for (int i = 0; i < songs.size(); ++i) {
        before.push_back(Digest(songs[i]));
        after.push_back(Digest(copies[i]));
    }
    int broken = 0, left = 0, old = 0, fresh = 0, killed = 0;
    for (int kill = 0; kill < kills; ++kill) {
        copies = Copies(songs, folder, int(songs.size()));
        const double moment = QRandomGenerator::global()->bounded(whole.seconds * 1.1);
        killed += Measured(beatwise, tagging + copies, moment).killed;
        for (int i = 0; i < songs.size(); ++i) {
            const QByteArray now = Digest(copies[i]);
            old += now == before[size_t(i)];
            fresh += now == after[size_t(i)];
            broken += now != before[size_t(i)] && now != after[size_t(i)];
        }
        left += int(QDir(folder).entryList(QDir::Files | QDir::Hidden).size() - songs.size());
    }
    std::printf("%d of %d runs killed: %d files old, %d new\n", killed, kills, old, fresh);
    figures.Add({QStringLiteral("Tags: files broken by %1 kills").arg(kills), "files",
        double(broken), {}, {}, 0.5, {}});
    figures.Add({QStringLiteral("Tags: files left beside them by %1 kills").arg(kills), "files",
        double(left), {}, {}, 0.5, {}});
}

// Tags count files in one run, against the same run finding their tempo only.
// The time is judged only where the songs are a library's mix.
void BenchScale(const QString& beatwise, const QStringList& songs, const QString& folder, int count,
    const QString& what, bool judged, Figures& figures)
{
    std::vector<double> ratios, again;
    double smallPeak = 0, peak = 0;
    const QStringList few = Copies(songs, folder, count / 10);
    smallPeak = Measured(beatwise, QStringList {"--tempo", "--write-tags", "--force"} + few).peakKb;
    const QStringList copies = Copies(songs, folder, count);
    // Side by side, in turn first, so that the machine's own drift cancels.
    for (int round = 0; round < 5; ++round) {
        const QStringList tagging = {"--tempo", "--write-tags", "--force"};
        const Run first
            = Settled(beatwise, (round % 2 ? tagging : QStringList {"--tempo"}) + copies);
        const Run second
            = Settled(beatwise, (round % 2 ? QStringList {"--tempo"} : tagging) + copies);
        const Run& found = round % 2 ? second : first;
        const Run& tagged = round % 2 ? first : second;
        // Run again, every tag is kept: only read, never written.
        const Run kept = Settled(beatwise, QStringList {"--tempo", "--write-tags"} + copies);
        ratios.push_back(tagged.seconds / found.seconds);
        again.push_back(kept.seconds / found.seconds);
        peak = std::max(peak, tagged.peakKb);
        std::printf("%d %s: %.1f s found, %.1f s tagged, %.1f s kept\n", count, qPrintable(what),
            found.seconds, tagged.seconds, kept.seconds);
    }
    const QString name = QStringLiteral("Tags: %1 %2").arg(count).arg(what);
    figures.Add({name + ", time over finding their tempo", "ratio", Median(ratios), {}, {},
        judged ? std::optional(1.05) : std::nullopt, {}});
    figures.Add({name + ", run again (every tag kept), time over finding their tempo", "ratio",
        Median(again), {}, {}, 1.05, {}});
    figures.Add({name + QStringLiteral(", peak memory over %1").arg(count / 10), "ratio",
        peak / smallPeak, {}, {}, 1.1, {}});
}

} // namespace

void BenchTags(
    const QString& beatwise, const QString& folder, int kills, int files, Figures& figures)
{
    const QStringList longSongs = WriteSongs(folder + "/long", 60);
    // Without a song in every format the figures would measure nothing.
    figures.Add({QStringLiteral("Tags: formats FFmpeg encoded the songs in"), "formats",
        double(longSongs.size()), {}, {}, {}, double(std::size(kFormats))});
    if (longSongs.size() < qsizetype(std::size(kFormats)))
        return;
    BenchKills(beatwise, longSongs, folder + "/kills", kills, figures);
    // A library's songs, at full length: the time the tags add is judged there.
    const QStringList library = WriteSongs(folder + "/library", 240, true);
    BenchScale(
        beatwise, library, folder + "/scale", 100, "songs in a library's mix", true, figures);
    // Short files, so that a file's own costs (opening, shifting the audio
    // behind a grown tag, flushing, renaming) weigh far more: memory must
    // stay flat however many there are.
    const QStringList clips = WriteSongs(folder + "/clips", 8, true);
    BenchScale(
        beatwise, clips, folder + "/scale", files, "clips in a library's mix", false, figures);
}
