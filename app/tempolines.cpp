#include "app/tempolines.h"

#include "app/lineoutput.h"
#include "app/quietdecoders.h"
#include "app/songanalysis.h"
#include "app/songtags.h"
#include "app/tagwriters.h"

#include <QFileInfo>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

// A file's line, and whether it has a tempo; where a tag is still to be
// written, the line without the tag's outcome and the line's end.
struct TempoLineParts {
    QByteArray line;
    bool found = false;
    double tagBpm = 0; // the tempo for its tag; 0 for none
    tags::FileStamp analysed;
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

// The line for one file, up to the outcome of its tag where one is to be
// written.
TempoLineParts TempoLine(const char* path, const TempoOptions& options)
{
    TempoLineParts parts;
    // The file as analysed: a tag goes only into that file, unchanged since.
    if (options.writeTags)
        parts.analysed = songtags::Stamp(path);
    // A name with a line break in it stays on the file's one line.
    const QString name = QString::fromUtf8(
        CLineOutput::Quoted(QFile::encodeName(QFileInfo(QFile::decodeName(path)).fileName())));
    const std::optional<analysis::SongTempo> result = AnalyseSong(QFile::decodeName(path), nullptr);
    QString said;
    if (!result) {
        said = QStringLiteral("no tempo: ") + SongTempoWords::NoAnalysis(name);
    } else if (result->failure != analysis::Failure::None) {
        said = QStringLiteral("no tempo: ") + SongTempoWords::Said(*result, name);
    } else {
        const double factor = IntoRange(result->bpm, options);
        // Where the tempo changes, the line and the tag give its first.
        const double bpm
            = (result->map.changes.empty() ? result->bpm : result->map.firstBpm) * factor;
        said = QStringLiteral("%1 bpm").arg(Number(bpm));
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
        if (options.writeTags)
            parts.tagBpm = bpm;
    }
    // The path as given, byte for byte, so that a script can match it; quoted
    // only where it holds a control character.
    parts.line = CLineOutput::Quoted(path) + ": " + said.toUtf8();
    parts.found = result && result->failure == analysis::Failure::None;
    return parts;
}

// The line ended, with the outcome of its tag where one is to be written.
std::pair<QByteArray, bool> EndedLine(
    TempoLineParts parts, const char* path, const TempoOptions& options)
{
    if (parts.tagBpm > 0) {
        bool failed = false;
        parts.line += " ("
            + songtags::Write(
                path, parts.tagBpm, parts.analysed, options.force, options.dryRun, &failed)
                  .toUtf8()
            + ")";
        parts.found = parts.found && !failed;
    }
    return {parts.line + '\n', parts.found};
}

} // namespace

int PrintTempos(const std::vector<const char*>& paths, const TempoOptions& options)
{
    // An analysis a core, each thread going from file to file. Writing a
    // tag waits on the disk (each copy is flushed before it replaces its
    // file), on threads of its own, as many as let flushes share the file
    // system's commits.
    constexpr size_t kWritesWaiting = 16;
    const bool writing = options.writeTags && !options.dryRun;
    // The lines in the order given, each as soon as it and those before it
    // are done.
    std::vector<std::pair<QByteArray, bool>> lines(paths.size());
    std::vector<bool> done(paths.size(), false);
    std::mutex mutex;
    std::condition_variable finished;
    size_t next = 0;
    const auto ended = [&](size_t index, std::pair<QByteArray, bool> line) {
        const std::lock_guard lock(mutex);
        lines[index] = std::move(line);
        done[index] = true;
        finished.notify_one();
    };
    CTagWriters writers(writing ? kWritesWaiting : 0, kWritesWaiting);
    const auto work = [&] {
        for (;;) {
            size_t index;
            {
                const std::lock_guard lock(mutex);
                if (next == paths.size())
                    return;
                index = next++;
            }
            TempoLineParts parts = TempoLine(paths[index], options);
            if (writing && parts.tagBpm > 0) {
                writers.Submit([&, index, parts = std::move(parts)] {
                    ended(index, EndedLine(parts, paths[index], options));
                });
            } else {
                ended(index, EndedLine(std::move(parts), paths[index], options));
            }
        }
    };
    CLineOutput output;
    const CQuietDecoders quiet;
    const size_t cores = std::max<size_t>(std::thread::hardware_concurrency(), 1);
    const size_t threads = std::clamp<size_t>(cores, 1, std::max<size_t>(paths.size(), 1));
    std::vector<std::thread> pool;
    for (size_t i = 0; i < threads; ++i)
        pool.emplace_back(work);
    bool all = true, lost = false;
    for (size_t index = 0; index < paths.size() && !lost; ++index) {
        std::unique_lock lock(mutex);
        finished.wait(lock, [&] { return bool(done[index]); });
        lost = !output.Write(lines[index].first);
        if (lost)
            next = paths.size(); // no more files: their results would be lost
        all = all && lines[index].second;
    }
    if (lost)
        writers.DropWaiting();
    for (std::thread& thread : pool)
        thread.join();
    return all && !lost && !output.Failed() ? 0 : 1;
}
