#include "app/commandline.h"

#include "app/lineoutput.h"
#include "app/mapcommands.h"
#include "app/tempolines.h"
#include "res/versioninfo.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstring>
#include <string>
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
