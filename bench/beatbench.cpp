#include "beatbench.h"

#include "analysis/songtempo.h"
#include "figures.h"
#include "tempotools.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <map>

namespace {

constexpr double kTolerance = 0.07; // seconds either side of a true beat
constexpr double kSettling = 5; // seconds left out at the start

std::vector<double> Trimmed(const std::vector<double>& beats)
{
    std::vector<double> kept;
    std::copy_if(beats.begin(), beats.end(), std::back_inserter(kept),
        [](double seconds) { return seconds >= kSettling; });
    return kept;
}

// The true beats at other levels: twice and three times as fast, and half
// and a third as fast in every phase.
std::vector<std::vector<double>> Levels(const std::vector<double>& beats)
{
    std::vector<std::vector<double>> levels {beats};
    for (const int parts : {2, 3}) {
        std::vector<double> faster;
        for (size_t i = 0; i + 1 < beats.size(); ++i) {
            for (int part = 0; part < parts; ++part)
                faster.push_back(beats[i] + (beats[i + 1] - beats[i]) * part / parts);
        }
        levels.push_back(faster);
        for (int phase = 0; phase < parts; ++phase) {
            std::vector<double> slower;
            for (size_t i = size_t(phase); i < beats.size(); i += size_t(parts))
                slower.push_back(beats[i]);
            levels.push_back(slower);
        }
    }
    return levels;
}

struct Found {
    analysis::SongTempo tempo;
    std::vector<double> beats, downbeats, aubio, queenMary;
};

// Means of a kind of song.
struct Tally {
    int songs = 0;
    double beatwise = 0, anyLevel = 0, downbeats = 0, aubio = 0, queenMary = 0;
    int rightBeats = 0; // songs with beat F of 0.9 or more
    double rightDownbeats = 0;
    double Mean(double sum) const { return songs ? sum / songs : 0; }
};

} // namespace

std::vector<BeatSong> ReadBeatSongs(const QString& folder)
{
    std::vector<BeatSong> songs;
    const QDir dir(folder);
    QFile index(dir.filePath("index.tsv"));
    if (!index.open(QIODevice::ReadOnly))
        return songs;
    index.readLine(); // the names of the columns
    while (!index.atEnd()) {
        const QStringList cells = QString::fromUtf8(index.readLine()).trimmed().split('\t');
        if (cells.size() < 4)
            continue;
        BeatSong song;
        song.name = cells[0];
        song.path = dir.filePath(cells[0]);
        song.kind = cells[1];
        song.meter = cells[2];
        song.bpm = cells[3].toDouble();
        if (cells.size() >= 6) {
            song.then = cells[4].toDouble();
            song.from = cells[5].toDouble();
        }
        QFile beats(dir.filePath(QString(cells[0]).replace(".wav", ".beats")));
        if (!beats.open(QIODevice::ReadOnly))
            continue;
        while (!beats.atEnd()) {
            const QList<QByteArray> beat = beats.readLine().trimmed().split('\t');
            if (beat.size() < 3)
                continue;
            song.beats.push_back(beat[0].toDouble());
            if (beat[2].toInt() == 1)
                song.downbeats.push_back(beat[0].toDouble());
            song.beatsPerBar = std::max(song.beatsPerBar, beat[2].toInt());
        }
        songs.push_back(song);
    }
    return songs;
}

double BeatF(const std::vector<double>& allTruth, const std::vector<double>& allFound)
{
    const std::vector<double> truth = Trimmed(allTruth), found = Trimmed(allFound);
    size_t hits = 0, next = 0;
    for (const double beat : found) {
        while (next < truth.size() && truth[next] < beat - kTolerance)
            ++next;
        if (next < truth.size() && std::abs(truth[next] - beat) <= kTolerance) {
            ++hits;
            ++next;
        }
    }
    return hits == 0 ? 0 : 2.0 * double(hits) / double(truth.size() + found.size());
}

void BenchBeats(const QString& folder, Figures& figures, bool withOthers)
{
    if (!HaveTools("beats", {"mma", "fluidsynth", "aubio"}))
        return;
    if (!QFile::exists(folder + "/index.tsv")
        && !Run(QStringLiteral(BEATWISE_SOURCE_DIR "/bench/beat-corpus"), {folder}, nullptr, 60)) {
        std::printf("beats: the songs could not be rendered; skipped\n\n");
        return;
    }
    const std::vector<BeatSong> songs = ReadBeatSongs(folder);
    std::vector<Found> found(songs.size());
    std::atomic<size_t> next = 0;
    const auto work = [&] {
        for (size_t i; (i = next++) < songs.size();) {
            Found& it = found[i];
            it.tempo = analysis::AnalyseSongFile(songs[i].path.toStdString());
            for (const analysis::Beat& beat : it.tempo.map.beats) {
                it.beats.push_back(beat.seconds);
                if (beat.beat == 1)
                    it.downbeats.push_back(beat.seconds);
            }
            if (withOthers) {
                it.aubio = AubioBeats(songs[i].path);
                it.queenMary = QueenMaryBeats(songs[i].path);
            }
        }
    };
    OnEveryCore(work);

    std::map<QString, Tally> tallies;
    std::vector<double> misplaced; // bars between a true step and the change found
    int placed = 0, steps = 0, falseChanges = 0, unchanging = 0;
    std::printf("%-40s %5s %7s %7s %6s %6s %6s %6s  %s\n", "beat song", "meter", "bpm", "found",
        "F", "level", "down", "qm", "changes");
    for (size_t i = 0; i < songs.size(); ++i) {
        const BeatSong& song = songs[i];
        const Found& it = found[i];
        double anyLevel = 0;
        for (const std::vector<double>& level : Levels(song.beats))
            anyLevel = std::max(anyLevel, BeatF(level, it.beats));
        const double f = BeatF(song.beats, it.beats), down = BeatF(song.downbeats, it.downbeats);
        for (const QString& kind : {song.kind, QStringLiteral("all")}) {
            Tally& tally = tallies[kind];
            ++tally.songs;
            tally.beatwise += f;
            tally.anyLevel += anyLevel;
            tally.downbeats += down;
            tally.rightBeats += f >= 0.9;
            tally.rightDownbeats += f >= 0.9 ? down : 0;
            tally.aubio += BeatF(song.beats, it.aubio);
            tally.queenMary += BeatF(song.beats, it.queenMary);
        }
        QString changes;
        for (const analysis::TempoChange& change : it.tempo.map.changes)
            changes += QStringLiteral("%1 at %2s ").arg(change.bpm).arg(change.seconds, 0, 'f', 1);
        if (song.from < 0) {
            ++unchanging;
            falseChanges += !it.tempo.map.changes.empty();
        } else {
            ++steps;
            // Bars of the tempo after the step.
            double bars = 1e9;
            for (const analysis::TempoChange& change : it.tempo.map.changes)
                bars = std::min(
                    bars, std::abs(change.seconds - song.from) * song.then / 60 / song.beatsPerBar);
            placed += bars <= 2;
            if (bars < 1e9)
                misplaced.push_back(bars);
        }
        std::printf("%-40s %5s %7.2f %7.2f %6.3f %6.3f %6.3f %6.3f  %s\n",
            qPrintable(song.name.left(40)), qPrintable(song.meter), song.bpm, it.tempo.bpm, f,
            anyLevel, down, BeatF(song.beats, it.queenMary), qPrintable(changes));
    }
    std::printf("\n%-10s %6s %9s %9s %9s %9s %9s\n", "beats", "songs", "Beatwise", "any level",
        "downbeat", "aubio", "qm");
    for (const auto& [kind, tally] : tallies)
        std::printf("%-10s %6d %9.3f %9.3f %9.3f %9.3f %9.3f\n", qPrintable(kind), tally.songs,
            tally.Mean(tally.beatwise), tally.Mean(tally.anyLevel), tally.Mean(tally.downbeats),
            tally.Mean(tally.aubio), tally.Mean(tally.queenMary));
    std::printf("\n");

    const std::map<QString, double> goals {{"steady", 0.95}, {"drifting", 0.9}, {"stepping", 0.9}};
    for (const auto& [kind, goal] : goals) {
        const Tally& tally = tallies[kind];
        figures.Add({QStringLiteral("Beat F at 70 ms, %1 songs (%2), against qm")
                         .arg(kind)
                         .arg(tally.songs),
            "", tally.Mean(tally.beatwise),
            withOthers ? std::optional(tally.Mean(tally.queenMary)) : std::nullopt, {}, {}, goal});
    }
    const Tally& all = tallies["all"];
    figures.Add({"Beat F at 70 ms on a level (x2, x1/2, x3, x1/3)", "", all.Mean(all.anyLevel), {},
        {}, {}, {}});
    figures.Add({"Downbeat F at 70 ms", "", all.Mean(all.downbeats), {}, {}, {}, 0.8});
    figures.Add({QStringLiteral("Downbeat F where the beat F is 0.9 or more (%1 songs)")
                     .arg(all.rightBeats),
        "", all.rightBeats ? all.rightDownbeats / all.rightBeats : 0, {}, {}, {}, {}});
    figures.Add({QStringLiteral("Steps placed within 2 bars (%1 songs)").arg(steps), "%",
        steps ? 100.0 * placed / steps : 0, {}, {}, {}, 90.0});
    figures.Add({"Bars from a step to the change found", "bars",
        misplaced.empty() ? 0 : Median(misplaced), {}, {}, 2.0, {}});
    figures.Add(
        {QStringLiteral("Steady and drifting songs with a change (%1 songs)").arg(unchanging), "%",
            unchanging ? 100.0 * falseChanges / unchanging : 0, {}, {}, 5.0, {}});
}
