#include "app/commandline.h"

#include "app/songanalysis.h"
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
    = "Usage: beatwise [--link] [--listen | FILE]\n"
      "       beatwise --tempo FILE...\n"
      "\n"
      "Echo delays, modulation rates and song lengths from a tempo.\n"
      "\n"
      "  FILE              start with the tempo of this song file\n"
      "  --link            start in the network's Link session, sharing the tempo\n"
      "                    with every app and device that joins it\n"
      "  --listen          start by listening for the tempo of what is playing\n"
      "  --tempo FILE...   print the tempo of each song file, a line each, with no\n"
      "                    window: \"FILE: 128.00 bpm\", \"FILE: 98.00 bpm (drifts\n"
      "                    95.10 to 101.30)\" or \"FILE: no tempo: REASON\"; the exit\n"
      "                    status is 0 when every file has a tempo, 1 when any has\n"
      "                    none, 2 for a usage error\n"
      "  -h, --help        show this help and exit\n"
      "  --version         show the version and exit\n";

QString Number(double value)
{
    return QString::number(value, 'f', 2); // never the user's decimal comma
}

// The line for one file, and whether it has a tempo.
std::pair<QByteArray, bool> TempoLine(const char* path)
{
    const QString name = QFileInfo(QFile::decodeName(path)).fileName();
    const std::optional<analysis::SongTempo> result = AnalyseSong(QFile::decodeName(path), nullptr);
    QString said;
    if (!result)
        said = QStringLiteral("no tempo: ") + SongTempoWords::NoAnalysis(name);
    else if (result->failure != analysis::Failure::None)
        said = QStringLiteral("no tempo: ") + SongTempoWords::Said(*result, name);
    else if (result->drifts)
        said = QStringLiteral("%1 bpm (drifts %2 to %3)")
                   .arg(Number(result->bpm), Number(result->lowest), Number(result->highest));
    else
        said = QStringLiteral("%1 bpm").arg(Number(result->bpm));
    // The path as given, byte for byte, so that a script can match it.
    return {QByteArray(path) + ": " + said.toUtf8() + '\n',
        result && result->failure == analysis::Failure::None};
}

int PrintTempos(const std::vector<const char*>& paths)
{
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
            auto line = TempoLine(paths[index]);
            const std::lock_guard lock(mutex);
            lines[index] = std::move(line);
            done[index] = true;
            finished.notify_one();
        }
    };
    const size_t threads = std::clamp<size_t>(std::thread::hardware_concurrency(), 1, paths.size());
    std::vector<std::thread> pool;
    for (size_t i = 0; i < threads; ++i)
        pool.emplace_back(work);
    bool all = true;
    for (size_t index = 0; index < paths.size(); ++index) {
        std::unique_lock lock(mutex);
        finished.wait(lock, [&] { return bool(done[index]); });
        std::fwrite(lines[index].first.constData(), 1, size_t(lines[index].first.size()), stdout);
        std::fflush(stdout);
        all = all && lines[index].second;
    }
    for (std::thread& thread : pool)
        thread.join();
    return all ? 0 : 1;
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
        if (argc < 3) {
            std::fputs("beatwise: --tempo needs at least one song file\n\n", stderr);
            std::fputs(kUsage, stderr);
            return 2;
        }
        // No window, and so no display: only the core of Qt, which finds the
        // analysis module beside the program.
        QCoreApplication application(argc, argv);
        return PrintTempos(std::vector<const char*>(argv + 2, argv + argc));
    }
    if (first == "--link" || first == "--listen")
        return std::nullopt; // the window, in the Link session or listening
    if (first.size() > 1 && first[0] == '-') {
        std::fprintf(stderr, "beatwise: unknown option %s\n\n", argv[1]);
        std::fputs(kUsage, stderr);
        return 2;
    }
    return std::nullopt;
}
