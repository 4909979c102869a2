#include "analysis/songtempo.h"

#include "analysis/audiofile.h"
#include "analysis/barsinthree.h"
#include "analysis/onsetenvelope.h"
#include "analysis/tempoestimator.h"
#include "analysis/tempomap.h"

#include <algorithm>
#include <cmath>

#include <vector>

namespace analysis {

namespace {

constexpr double kShortest = 6; // seconds of audio needed to find a tempo
constexpr size_t kBlock = 4096; // samples decoded at a time
// The beats are followed at this many frames a second: finer than any
// listener hears a beat placed. The decoded audio is bounded, so the
// envelopes kept for them are too.
constexpr double kMapFramesPerSecond = 100;
// Beats whose tempos spread this many times wider than the windows' move
// from bar to bar: each window hears a mix of them.
constexpr double kFurther = 2;

// The envelopes brought down to the tempo map's rate, frame by frame.
class MapFrames {
public:
    // Room is made at once for as long as the song may be, so that growing
    // never holds two copies.
    MapFrames(double framesPerSecond, double mostSeconds)
        : m_fine(std::max<size_t>(1, size_t(std::lround(framesPerSecond / kMapFramesPerSecond))))
    {
        m_envelopes.framesPerSecond = framesPerSecond / double(m_fine);
        const size_t frames = size_t(mostSeconds * m_envelopes.framesPerSecond) + 1;
        m_envelopes.all.reserve(frames);
        m_envelopes.lows.reserve(frames);
    }

    void Add(const OnsetFrames& frames)
    {
        for (size_t i = 0; i < frames.values.size(); ++i) {
            m_all += frames.values[i];
            m_lows += frames.lows[i];
            if (++m_count == m_fine) {
                m_envelopes.Add(m_all / float(m_fine), m_lows / float(m_fine));
                m_all = m_lows = 0;
                m_count = 0;
            }
        }
    }
    const SongEnvelopes& Envelopes() const { return m_envelopes; }

private:
    size_t m_fine, m_count = 0;
    float m_all = 0, m_lows = 0;
    SongEnvelopes m_envelopes;
};

bool Cancelled(const Progress* progress)
{
    return progress && progress->cancel.load();
}

} // namespace

SongTempo AnalyseSongFile(const std::string& path, Progress* progress)
{
    SongTempo result;
    AudioFile file(path);
    result.sampleRate = file.FileRate();
    if (file.Failure() != Failure::None) {
        result.failure = file.Failure();
        return result;
    }
    // Block by block: the song is never in memory as a whole.
    OnsetEnvelope onsets(file.Rate());
    TempoEstimator estimator(onsets.FramesPerSecond());
    // No more than the decoder gives, whatever the header claims.
    const double claimed = file.Seconds(), most = double(AudioFile::kMostSamples) / file.FileRate();
    MapFrames mapped(onsets.FramesPerSecond(), claimed > 0 && claimed < most ? claimed : most);
    std::vector<float> samples(kBlock);
    OnsetFrames frames;
    size_t read = 0;
    for (;;) {
        if (Cancelled(progress)) {
            result.failure = Failure::Cancelled;
            return result;
        }
        const size_t count = file.Read(samples.data(), samples.size());
        if (count == 0)
            break;
        read += count;
        frames.clear();
        onsets.Add(samples.data(), count, frames);
        estimator.Add(frames);
        mapped.Add(frames);
        if (progress)
            progress->done.store(file.Done());
    }
    if (file.BrokeOff()) {
        result.failure = Failure::Unreadable;
        return result;
    }
    if (double(read) / file.Rate() < kShortest) {
        result.failure = Failure::TooShort;
        return result;
    }
    const TempoEstimate estimate = estimator.Estimate();
    if (Cancelled(progress)) {
        result.failure = Failure::Cancelled;
        return result;
    }
    if (!estimate.found) {
        result.failure = Failure::NoSteadyBeat;
        return result;
    }
    result.seconds = double(read) / file.Rate();
    result.bpm = estimate.bpm;
    result.drifts = estimate.drifts;
    result.lowest = estimate.lowest;
    result.highest = estimate.highest;
    result.meter = estimate.meter;
    result.cutShortAt = file.CutShortAt();
    result.runnerUp = estimate.runnerUp;
    result.sureness = estimate.sureness;
    result.map = MapTempo(mapped.Envelopes(), result.bpm, result.meter);
    // A waltz whose tempo moves is heard in threes beat by beat.
    if (result.meter == Meter::Common && BarsInThree(mapped.Envelopes(), result.map)) {
        result.meter = Meter::ThreeFour;
        result.map = MapTempo(mapped.Envelopes(), result.bpm, result.meter);
    }
    // A step from one tempo to another is no drift: the stretches between
    // the steps tell whether the band drifts; a tempo that changes too
    // often to map drifts over all it wanders; and beats that move from
    // bar to bar drift, though the windows hear little of it.
    const bool beatsWander = result.map.drifts
        && (!result.drifts
            || result.map.highest - result.map.lowest
                > kFurther * (result.highest - result.lowest));
    if (!result.map.changes.empty() || result.map.wanders || beatsWander) {
        result.drifts = result.map.drifts;
        result.lowest = result.map.lowest;
        result.highest = result.map.highest;
    }
    if (progress)
        progress->done.store(1);
    return result;
}

} // namespace analysis
