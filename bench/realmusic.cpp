#include "realmusic.h"

#include "analysis/songtempo.h"
#include "demosongs.h"
#include "figures.h"
#include "listenbench.h"
#include "tempotools.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <thread>

namespace {

// A live band's drift: the tempo factor of each 8 s piece in turn.
constexpr double kDrift[]
    = {1.00, 1.01, 1.02, 1.03, 1.02, 1.01, 1.00, 0.99, 0.98, 0.97, 0.98, 0.99};

enum class Kind { Song, Drifting, Beatless };

struct Piece {
    QString name;
    QString path;
    double bpm = 0; // the project's own; 0 for none
    Kind kind = Kind::Song;
};

struct Answer {
    double bpm = 0; // 0 for none
    double seconds = 0;
    bool rangeShown = false;
};

// A song stretched in 8-second pieces, each to its own tempo.
bool MakeDrifting(const Piece& song, const QString& path)
{
    if (QFile::exists(path))
        return true;
    const double seconds = Seconds(song.path);
    QStringList pieces;
    for (int i = 0; 8.0 * i < seconds; ++i) {
        const QString piece = path + QStringLiteral(".%1.wav").arg(i, 4, 10, QLatin1Char('0'));
        if (!Run("sox",
                {song.path, piece, "trim", QString::number(8 * i), "8", "tempo", "-m",
                    QString::number(kDrift[i % std::size(kDrift)])}))
            return false;
        pieces << piece;
    }
    const bool made = Run("sox", pieces + QStringList {path});
    for (const QString& piece : pieces)
        QFile::remove(piece);
    return made;
}

std::vector<Piece> MakeBeatless(const QDir& folder)
{
    const QString text = QStringLiteral(
        "The tempo of a song is the speed of its beat. Musicians count it in beats per minute, "
        "and a producer sets it in the sequencer before the first note is played. Speech has a "
        "rhythm of its own, but it keeps no steady beat: syllables come quickly or slowly as the "
        "speaker pleases, with pauses between phrases and sentences.");
    const QStringList noSound {"-n", "-r", "44100", "-c", "2"};
    const struct {
        const char* name;
        QStringList sox;
    } made[] = {
        {"silence", {"trim", "0", "30"}},
        {"white noise", {"synth", "30", "whitenoise", "vol", "0.3"}},
        {"pink noise", {"synth", "30", "pinknoise", "vol", "0.3"}},
        {"held chord",
            {"synth", "30", "sine", "261.63", "sine", "329.63", "sine", "392", "remix", "-", "vol",
                "0.3"}},
        {"dithered tone", {"synth", "30", "sine", "440", "vol", "0.5", "dither"}},
    };
    std::vector<Piece> pieces;
    for (const auto& each : made) {
        const QString path = folder.filePath(QString("beatless-%1.wav").arg(each.name));
        if (QFile::exists(path) || Run("sox", noSound + QStringList {path} + each.sox))
            pieces.push_back({each.name, path, 0, Kind::Beatless});
    }
    const QString speech = folder.filePath("beatless-speech.wav");
    const QString spoken = folder.filePath("beatless-speech.part.wav");
    if (QFile::exists(speech)
        || (Run("espeak-ng", {"-w", spoken, text}) && Run("sox", {spoken, "-r", "44100", speech})))
        pieces.push_back({"speech", speech, 0, Kind::Beatless});
    // One sentence said eight times: it repeats, but keeps no time.
    const QString repeated = folder.filePath("beatless-speech-repeated.wav");
    if (QFile::exists(repeated)
        || (Run("espeak-ng",
                {"-w", spoken, "The quick brown fox jumps over the lazy dog near the river bank."})
            && Run("sox", QStringList(8, spoken) + QStringList {"-r", "44100", repeated})))
        pieces.push_back({"speech repeated", repeated, 0, Kind::Beatless});
    QFile::remove(spoken);
    return pieces;
}

Answer Beatwise(const Piece& piece)
{
    QElapsedTimer timer;
    timer.start();
    const analysis::SongTempo tempo = analysis::AnalyseSongFile(piece.path.toStdString());
    return {tempo.failure == analysis::Failure::None ? tempo.bpm : 0, timer.nsecsElapsed() / 1e9,
        tempo.drifts};
}

struct Tally {
    int songs = 0, within = 0, onARatio = 0, unanswered = 0;
    int drifting = 0, driftWithin = 0, driftRangeShown = 0;
    int beatless = 0, refused = 0;
    std::vector<double> seconds;

    void Count(const Piece& piece, const Answer& answer)
    {
        seconds.push_back(answer.seconds);
        switch (piece.kind) {
        case Kind::Song:
            ++songs;
            within += Within(answer.bpm, piece.bpm, 0.01);
            onARatio += OnALevel(answer.bpm, piece.bpm);
            unanswered += answer.bpm <= 0;
            break;
        case Kind::Drifting:
            ++drifting;
            driftWithin += Within(answer.bpm, piece.bpm, 0.02);
            driftRangeShown += answer.rangeShown;
            break;
        case Kind::Beatless:
            ++beatless;
            refused += answer.bpm <= 0;
            break;
        }
    }
};

} // namespace

void BenchRealMusic(const QString& folder, Figures& figures)
{
    if (!HaveTools("real music", {"h2cli", "lmms", "sox", "espeak-ng", "aubio"}))
        return;
    QDir dir(folder);
    dir.mkpath(QStringLiteral("."));
    std::vector<Piece> pieces;
    for (const DemoSong& song : RenderDemoSongs(dir))
        pieces.push_back({song.name, song.path, song.bpm, Kind::Song});
    std::vector<std::pair<QString, double>> index;
    for (const Piece& piece : pieces)
        index.push_back({QFileInfo(piece.path).fileName(), piece.bpm});
    WriteIndex(folder, "demos", index);
    if (pieces.empty()) {
        std::printf("real music: no demo project could be rendered; skipped\n\n");
        return;
    }
    // Six songs of 40 s or more, spread over the list, made to drift.
    std::vector<Piece> longSongs;
    for (const Piece& piece : pieces) {
        if (Seconds(piece.path) >= 40)
            longSongs.push_back(piece);
    }
    constexpr size_t kDrifting = 6;
    for (size_t i = 0; i < std::min(kDrifting, longSongs.size()); ++i) {
        const Piece& song = longSongs[i * longSongs.size() / kDrifting];
        const QString path = dir.filePath("drifting-" + song.name + ".wav");
        if (MakeDrifting(song, path))
            pieces.push_back({"drifting " + song.name, path, song.bpm, Kind::Drifting});
    }
    for (const Piece& piece : MakeBeatless(dir))
        pieces.push_back(piece);

    // Listening to each song from its start, as it plays.
    int liveAt8 = 0, liveAt20 = 0, songs = 0;
    for (const Piece& piece : pieces) {
        if (piece.kind != Kind::Song)
            continue;
        const std::vector<double> heard = TemposHeard(piece.path, 20);
        // What the window shows then: the latest tempo heard (a song that
        // has ended leaves its own).
        const auto at = [&](size_t seconds) {
            for (size_t i = std::min(heard.size(), 2 * seconds); i > 0; --i) {
                if (heard[i - 1] > 0)
                    return heard[i - 1];
            }
            return 0.0;
        };
        ++songs;
        liveAt8 += Within(at(8), piece.bpm, 0.01);
        liveAt20 += Within(at(20), piece.bpm, 0.01);
    }
    figures.Add(
        {QStringLiteral("Real songs within 1% after 8 s of listening (%1 songs)").arg(songs), "",
            double(liveAt8), {}, {}, {}, {}});
    figures.Add(
        {"Real songs within 1% after 20 s of listening", "", double(liveAt20), {}, {}, {}, {}});

    Tally ours, theirs;
    std::printf("%-52s %8s %9s %9s\n", "real music", "true", "Beatwise", "aubio");
    for (const Piece& piece : pieces) {
        const Answer mine = Beatwise(piece);
        const OtherAnswer other = AubioTempo(piece.path);
        const Answer aubio {other.bpm, other.seconds, false};
        ours.Count(piece, mine);
        theirs.Count(piece, aubio);
        const bool right = piece.kind == Kind::Beatless ? mine.bpm <= 0
            : piece.kind == Kind::Drifting              ? Within(mine.bpm, piece.bpm, 0.02)
                                                        : Within(mine.bpm, piece.bpm, 0.01);
        std::printf("%-52s %8.2f %9.2f %9.2f%s%s\n", qPrintable(piece.name), piece.bpm, mine.bpm,
            aubio.bpm, mine.rangeShown ? "  drifts" : "", right ? "" : "  off");
    }
    std::printf("\n");

    const auto share = [](int part, int whole) { return whole ? 100.0 * part / whole : 0; };
    figures.Add({QStringLiteral("Real songs within 1% of their tempo (%1 songs)").arg(ours.songs),
        "%", share(ours.within, ours.songs), share(theirs.within, theirs.songs), {}, {},
        share(28, 32)});
    figures.Add({"Real songs within 1% of the tempo, half, double, third or triple", "%",
        share(ours.onARatio, ours.songs), share(theirs.onARatio, theirs.songs), {}, {},
        share(31, 32)});
    figures.Add({"Real songs unanswered", "", double(ours.unanswered), double(theirs.unanswered),
        {}, 1.5, {}});
    figures.Add({QStringLiteral("Drifting songs: median within 2% (%1 songs)").arg(ours.drifting),
        "", double(ours.driftWithin), double(theirs.driftWithin), {}, {},
        double(ours.drifting - 1)});
    figures.Add({"Drifting songs: range shown", "", double(ours.driftRangeShown), {}, {}, {},
        double(ours.drifting - 1)});
    figures.Add({QStringLiteral("Beatless files refused (%1 files)").arg(ours.beatless), "",
        double(ours.refused), double(theirs.refused), {}, {}, double(ours.beatless)});
    figures.Add({"Seconds per real song, against aubio tempo", "s", Median(ours.seconds),
        Median(theirs.seconds), 1.0, {}, {}});
}
