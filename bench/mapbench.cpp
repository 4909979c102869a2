#include "mapbench.h"

#include "analysis/audiofile.h"
#include "analysis/onsetenvelope.h"
#include "analysis/songtempo.h"
#include "analysis/tempoestimator.h"
#include "beatbench.h"
#include "figures.h"
#include "listenbench.h"
#include "tempotools.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

namespace {

// Where clicks start in a sound file: the sound crosses a tenth of its
// loudest after a quiet of 120 ms.
std::vector<double> ClickTimes(const QString& path)
{
    SF_INFO info {};
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!file)
        return {};
    std::vector<float> samples(size_t(info.frames) * size_t(info.channels));
    sf_readf_float(file, samples.data(), info.frames);
    sf_close(file);
    float loudest = 0;
    for (const float sample : samples)
        loudest = std::max(loudest, std::abs(sample));
    std::vector<double> clicks;
    const auto quiet = sf_count_t(0.12 * info.samplerate);
    sf_count_t last = -quiet;
    for (sf_count_t i = 0; i < info.frames; ++i) {
        float sound = 0;
        for (int c = 0; c < info.channels; ++c)
            sound = std::max(sound, std::abs(samples[size_t(i * info.channels + c)]));
        if (sound < loudest / 10)
            continue;
        if (i - last >= quiet)
            clicks.push_back(double(i) / info.samplerate);
        last = i;
    }
    return clicks;
}

// The farthest any beat is from the click nearest it, in milliseconds.
double WorstMs(const std::vector<analysis::Beat>& beats, const std::vector<double>& clicks)
{
    double worst = beats.empty() || clicks.empty() ? 1e9 : 0;
    for (const analysis::Beat& beat : beats) {
        const auto after = std::lower_bound(clicks.begin(), clicks.end(), beat.seconds);
        double nearest = 1e9;
        if (after != clicks.end())
            nearest = *after - beat.seconds;
        if (after != clicks.begin())
            nearest = std::min(nearest, beat.seconds - *(after - 1));
        worst = std::max(worst, nearest * 1000);
    }
    return worst;
}

// Seconds of the tempo alone: decoding, onsets and the estimate, no map.
double TempoAloneSeconds(const QString& path)
{
    QElapsedTimer timer;
    timer.start();
    analysis::AudioFile file(path.toStdString());
    analysis::OnsetEnvelope onsets(file.Rate());
    analysis::TempoEstimator estimator(onsets.FramesPerSecond());
    std::vector<float> samples(4096);
    analysis::OnsetFrames frames;
    for (size_t count; (count = file.Read(samples.data(), samples.size())) > 0;) {
        frames.clear();
        onsets.Add(samples.data(), count, frames);
        estimator.Add(frames);
    }
    estimator.Estimate();
    return timer.nsecsElapsed() / 1e9;
}

double MapSeconds(const QString& path)
{
    QElapsedTimer timer;
    timer.start();
    analysis::AnalyseSongFile(path.toStdString());
    return timer.nsecsElapsed() / 1e9;
}

// Seconds after a step until listening shows the new tempo and keeps it
// (on any level: which level is the tempo's own question); -1 where it
// never does, none where it did not show the old one a second before.
std::optional<double> SecondsToFollow(const BeatSong& song, const std::vector<double>& heard)
{
    const auto before = size_t(std::max(0.0, 2 * song.from - 2)); // a tempo every half second
    if (before >= heard.size() || song.beats.empty() || !OnALevel(heard[before], song.bpm))
        return std::nullopt;
    // Up to the last beat: silence after the music starts listening afresh.
    const size_t end = std::min(heard.size(), size_t(2 * song.beats.back()));
    double settled = -1;
    for (size_t i = before; i < end; ++i) {
        if (!OnALevel(heard[i], song.then))
            settled = -1;
        else if (settled < 0)
            settled = double(i + 1) / 2 - song.from;
    }
    return settled;
}

} // namespace

void BenchMapFiles(const QString& program, const QString& folder, Figures& figures)
{
    std::vector<BeatSong> songs;
    for (const BeatSong& song : ReadBeatSongs(folder)) {
        if (song.kind == QLatin1String("stepping"))
            songs.push_back(song);
    }
    QTemporaryDir dir;
    if (songs.empty() || !dir.isValid() || !HaveTools("map files", {"fluidsynth", "sox"}))
        return;

    // The files of a few songs, each read back.
    double midiWorst = 0, clickWorst = 0;
    const size_t some = std::min<size_t>(8, songs.size());
    for (size_t i = 0; i < some; ++i) {
        const analysis::SongTempo found = analysis::AnalyseSongFile(songs[i].path.toStdString());
        const QString midi = dir.filePath("map.mid"), played = dir.filePath("played.wav"),
                      click = dir.filePath("click.wav");
        if (!Run(program, {"--tempo-map", songs[i].path, "-o", midi, "--force"})
            || !Run(program, {"--click", songs[i].path, "-o", click, "--force"})
            || !Run("fluidsynth",
                {"-ni", "-q", "-R", "0", "-C", "0", "-r", "44100", "-F", played, midi}))
            continue;
        midiWorst = std::max(midiWorst, WorstMs(found.map.beats, ClickTimes(played)));
        clickWorst = std::max(clickWorst, WorstMs(found.map.beats, ClickTimes(click)));
    }
    figures.Add(
        {QStringLiteral("MIDI map played by fluidsynth: farthest beat (%1 songs)").arg(some), "ms",
            midiWorst, {}, {}, 20.0, {}});
    figures.Add({"Click track: farthest beat from its click", "ms", clickWorst, {}, {}, 5.0, {}});

    // Listening, the songs brought to the rate it hears at.
    std::vector<double> follow; // a step never followed counts as a minute
    int followed = 0;
    for (const BeatSong& song : songs) {
        const QString live = dir.filePath("live.wav");
        if (!Run("sox", {song.path, "-r", "44100", live}))
            continue;
        const std::optional<double> seconds = SecondsToFollow(song, TemposHeard(live, 600));
        if (!seconds)
            continue;
        follow.push_back(*seconds < 0 ? 60 : *seconds);
        followed += *seconds >= 0 && *seconds <= 8;
    }
    figures.Add({QStringLiteral("Listening: a step's new tempo shown within 8 s (%1 songs)")
                     .arg(follow.size()),
        "%", follow.empty() ? 0 : 100.0 * followed / double(follow.size()), {}, {}, {}, 90.0});
    figures.Add({"Listening: seconds from a step to its new tempo", "s",
        follow.empty() ? 0 : Median(follow), {}, {}, 8.0, {}});

    // Five minutes of a stepping song, the map against the tempo alone.
    const QString five = dir.filePath("five.wav");
    if (!Run("sox", {songs[0].path, five, "repeat", "4"}))
        return;
    std::vector<double> alone, mapped;
    for (int run = 0; run < 5; ++run) {
        alone.push_back(TempoAloneSeconds(five));
        mapped.push_back(MapSeconds(five));
    }
    figures.Add({"Five-minute song with its map, against the tempo alone", "s", Median(mapped),
        Median(alone), 1.5, {}, {}});
}
