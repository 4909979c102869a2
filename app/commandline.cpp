#include "app/commandline.h"

#include "app/analysisslots.h"
#include "app/lineoutput.h"
#include "app/mapcommands.h"
#include "app/quietdecoders.h"
#include "app/songanalysis.h"
#include "app/songtags.h"
#include "res/versioninfo.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr const char* kUsage
    = "Usage: beatwise [--link] [--midi-clock[=PORT]] [--listen | FILE]\n"
      "       beatwise --tempo [--range LOW:HIGH] [--verbose]\n"
      "                [--write-tags [--force] [--dry-run]] [--] FILE...\n"
      "       beatwise --beats FILE\n"
      "       beatwise (--tempo-map | --click) FILE -o OUT [--force]\n"
      "\n"
      "Echo delays, modulation rates and song lengths from a tempo.\n"
      "\n"
      "  FILE              start with the tempo of this song file\n"
      "  --link            start in the network's Link session, sharing the tempo\n"
      "                    with every app and device that joins it\n"
      "  --midi-clock[=PORT]\n"
      "                    start sending MIDI clock at the tempo through the JACK\n"
      "                    or PipeWire server, to PORT or the port chosen last\n"
      "  --listen          start by listening for the tempo of what is playing\n"
      "  --tempo FILE...   print the tempo of each song file, a line each, with no\n"
      "                    window: \"FILE: 128.00 bpm\", \"FILE: 98.00 bpm (drifts\n"
      "                    95.10 to 101.30)\" or \"FILE: no tempo: REASON\"; the exit\n"
      "                    status is 0 when every file has a tempo, 1 when any has\n"
      "                    none, 2 for a usage error; a meter other than 4/4 is\n"
      "                    named: \"FILE: 162.00 bpm in 3/4\", and so are changes of\n"
      "                    tempo: \"FILE: 128.00 bpm, then 100.00 bpm from 4:58\"\n"
      "  --range LOW:HIGH  with --tempo, halve or double each tempo into LOW to\n"
      "                    HIGH bpm (HIGH at least twice LOW), as DJ software does\n"
      "  --verbose         with --tempo, add the next likeliest level of the beat\n"
      "                    and how sure the choice was, from 0 to 1\n"
      "  --write-tags      with --tempo, write each tempo into the file's own tag\n"
      "                    (ID3v2 TBPM, the Vorbis comment BPM, MP4 tmpo), safely:\n"
      "                    \"FILE: 128.00 bpm (tag written)\", \"(tag kept: 127)\" or\n"
      "                    \"(tag not written: REASON)\"; a tag there already is kept\n"
      "                    unless --force; --dry-run says what would happen\n"
      "  --beats FILE      print a line for each beat of the song, tab-separated:\n"
      "                    its time in seconds, its bar, its beat in the bar and\n"
      "                    the local tempo\n"
      "  --tempo-map FILE  write the song's beats as a MIDI file (-o OUT.mid): a\n"
      "                    quarter note on each beat, a marker at each change\n"
      "  --click FILE      write a click track as long as the song (-o OUT.wav),\n"
      "                    the downbeats accented\n"
      "  -o, --output OUT  the file --tempo-map or --click writes; an existing\n"
      "                    file is replaced only with --force\n"
      "  -h, --help        show this help and exit\n"
      "  --version         show the version and exit\n";

// What --tempo is asked for besides the files.
struct TempoOptions {
    double low = 0, high = 0; // the range, 0 for none
    bool verbose = false;
    bool writeTags = false, force = false, dryRun = false;
    // Where set, the analyses that may run at once: one a core.
    CAnalysisSlots* analyses = nullptr;
};

QString Number(double value)
{
    return QString::number(value, 'f', 2); // never the user's decimal comma
}

// The factor, a power of two, that brings a tempo into the range.
double IntoRange(double bpm, const TempoOptions& options)
{
    double factor = 1;
    if (!(options.high > 0) || !(bpm > 0))
        return factor;
    while (bpm * factor < options.low)
        factor *= 2;
    while (bpm * factor > options.high)
        factor /= 2;
    return factor;
}

// The line for one file, and whether it has a tempo.
std::pair<QByteArray, bool> TempoLine(const char* path, const TempoOptions& options)
{
    // A name with a line break in it stays on the file's one line.
    // The file as analysed: a tag goes only into that file, unchanged since.
    const tags::FileStamp analysed = options.writeTags ? songtags::Stamp(path) : tags::FileStamp {};
    const QString name = QString::fromUtf8(
        CLineOutput::Quoted(QFile::encodeName(QFileInfo(QFile::decodeName(path)).fileName())));
    if (options.analyses)
        options.analyses->Take();
    const std::optional<analysis::SongTempo> result = AnalyseSong(QFile::decodeName(path), nullptr);
    if (options.analyses)
        options.analyses->Give();
    QString said;
    if (!result) {
        said = QStringLiteral("no tempo: ") + SongTempoWords::NoAnalysis(name);
    } else if (result->failure != analysis::Failure::None) {
        said = QStringLiteral("no tempo: ") + SongTempoWords::Said(*result, name);
    } else {
        const double factor = IntoRange(result->bpm, options);
        const bool changes = !result->map.changes.empty();
        said = QStringLiteral("%1 bpm").arg(
            Number((changes ? result->map.firstBpm : result->bpm) * factor));
        if (result->meter != analysis::Meter::Common)
            said += QStringLiteral(" in ") + QLatin1String(analysis::MeterText(result->meter));
        analysis::TempoMap scaled = result->map;
        for (analysis::TempoChange& change : scaled.changes)
            change.bpm *= factor;
        said += SongTempoWords::Changes(scaled, &Number);
        if (result->drifts)
            said += QStringLiteral(" (drifts %1 to %2)")
                        .arg(Number(result->lowest * factor), Number(result->highest * factor));
        if (result->cutShortAt > 0)
            said += QStringLiteral(" (from its first %1 only)")
                        .arg(SongTempoWords::Clock(result->cutShortAt));
        if (options.verbose)
            said += QStringLiteral(" (next likeliest %1 bpm, sure %2)")
                        .arg(result->runnerUp > 0 ? Number(result->runnerUp * factor)
                                                  : QStringLiteral("none"),
                            Number(result->sureness));
        if (options.writeTags) {
            bool failed = false;
            said += QStringLiteral(" (%1)").arg(
                songtags::Write(path, (changes ? result->map.firstBpm : result->bpm) * factor,
                    analysed, options.force, options.dryRun, &failed));
            if (failed)
                return {CLineOutput::Quoted(path) + ": " + said.toUtf8() + '\n', false};
        }
    }
    // The path as given, byte for byte, so that a script can match it; quoted
    // only where it holds a control character.
    return {CLineOutput::Quoted(path) + ": " + said.toUtf8() + '\n',
        result && result->failure == analysis::Failure::None};
}

// LOW:HIGH, read as C reads numbers whatever the user's locale; false
// where it is no range that every tempo can be brought into.
bool ReadRange(const QByteArray& text, TempoOptions& options)
{
    const QList<QByteArray> ends = text.split(':');
    bool lowRead = false, highRead = false;
    if (ends.size() != 2)
        return false;
    const double low = ends[0].toDouble(&lowRead), high = ends[1].toDouble(&highRead);
    if (!lowRead || !highRead || !(low > 0) || !(high >= 2 * low) || !(high <= 10000))
        return false;
    options.low = low;
    options.high = high;
    return true;
}

int UsageError(const char* what)
{
    std::fprintf(stderr, "beatwise: %s\n\n", what);
    std::fputs(kUsage, stderr);
    return 2;
}

int PrintTempos(const std::vector<const char*>& paths, const TempoOptions& options)
{
    // Writing a tag waits on the disk (each copy is flushed before it
    // replaces its file): threads beyond the cores wait there, as many as
    // let flushes share the file system's commits, while no more analyses
    // than cores run, so that the cores are neither idle nor shared.
    constexpr size_t kWritesWaiting = 16;
    const size_t cores = std::max<size_t>(std::thread::hardware_concurrency(), 1);
    const bool writing = options.writeTags && !options.dryRun;
    CAnalysisSlots analyses(cores);
    TempoOptions pooled = options;
    pooled.analyses = writing ? &analyses : nullptr;
    // Each file on a thread of the pool; the lines in the order given, each
    // as soon as it and those before it are done.
    std::vector<std::pair<QByteArray, bool>> lines(paths.size());
    std::vector<bool> done(paths.size(), false);
    std::mutex mutex;
    std::condition_variable finished;
    size_t next = 0;
    const auto work = [&] {
        for (;;) {
            size_t index;
            {
                const std::lock_guard lock(mutex);
                if (next == paths.size())
                    return;
                index = next++;
            }
            auto line = TempoLine(paths[index], pooled);
            const std::lock_guard lock(mutex);
            lines[index] = std::move(line);
            done[index] = true;
            finished.notify_one();
        }
    };
    CLineOutput output;
    const CQuietDecoders quiet;
    const size_t threads = std::clamp<size_t>(
        writing ? cores + kWritesWaiting : cores, 1, std::max<size_t>(paths.size(), 1));
    std::vector<std::thread> pool;
    for (size_t i = 0; i < threads; ++i)
        pool.emplace_back(work);
    bool all = true;
    for (size_t index = 0; index < paths.size(); ++index) {
        std::unique_lock lock(mutex);
        finished.wait(lock, [&] { return bool(done[index]); });
        if (!output.Write(lines[index].first)) {
            next = paths.size(); // no more files: their results would be lost
            break;
        }
        all = all && lines[index].second;
    }
    for (std::thread& thread : pool)
        thread.join();
    return all && !output.Failed() ? 0 : 1;
}

} // namespace

std::optional<int> RunCommandLine(int argc, char* argv[])
{
    if (argc < 2)
        return std::nullopt;
    const std::string first = argv[1];
    if (first == "-h" || first == "--help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (first == "--version") {
        std::printf("%s %s\n", res::kProductName, res::kVersion);
        return 0;
    }
    if (first == "--tempo") {
        TempoOptions options;
        std::vector<const char*> paths;
        bool onlyFiles = false; // after --, a file may be called --verbose
        for (int i = 2; i < argc; ++i) {
            const QByteArray word = argv[i];
            if (onlyFiles || !word.startsWith("--") || word.size() == 2) {
                if (!onlyFiles && word == "--")
                    onlyFiles = true;
                else
                    paths.push_back(argv[i]);
            } else if (word == "--verbose") {
                options.verbose = true;
            } else if (word == "--write-tags") {
                options.writeTags = true;
            } else if (word == "--force") {
                options.force = true;
            } else if (word == "--dry-run") {
                options.dryRun = true;
            } else if (word == "--range" || word.startsWith("--range=")) {
                const QByteArray range = word == "--range"
                    ? (i + 1 < argc ? QByteArray(argv[++i]) : QByteArray())
                    : word.mid(8);
                if (!ReadRange(range, options))
                    return UsageError("--range needs LOW:HIGH in bpm, HIGH at least twice LOW, "
                                      "as in --range 70:140");
            } else {
                return UsageError(("unknown option " + word).constData());
            }
        }
        if (paths.empty())
            return UsageError("--tempo needs at least one song file");
        if (!CLineOutput::IsOpen())
            return 1;
        // No window, and so no display: only the core of Qt, which finds the
        // analysis module beside the program.
        QCoreApplication application(argc, argv);
        return PrintTempos(paths, options);
    }
    if (first == "--beats" || first == "--tempo-map" || first == "--click")
        return RunMapCommand(argc, argv);
    if (first == "--link" || first == "--listen" || first == "--midi-clock"
        || first.rfind("--midi-clock=", 0) == 0)
        return std::nullopt; // the window, in the Link session, on MIDI clock or listening
    if (first.size() > 1 && first[0] == '-')
        return UsageError(("unknown option " + first).c_str());
    return std::nullopt;
}
