#include "analysis/songtempo.h"

#include "analysis/audiofile.h"
#include "analysis/onsetenvelope.h"
#include "analysis/tempoestimator.h"

#include <vector>

namespace analysis {

namespace {

constexpr double kShortest = 6; // seconds of audio needed to find a tempo
constexpr size_t kBlock = 4096; // samples decoded at a time

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
    result.bpm = estimate.bpm;
    result.drifts = estimate.drifts;
    result.lowest = estimate.lowest;
    result.highest = estimate.highest;
    result.meter = estimate.meter;
    result.cutShortAt = file.CutShortAt();
    result.runnerUp = estimate.runnerUp;
    result.sureness = estimate.sureness;
    if (progress)
        progress->done.store(1);
    return result;
}

} // namespace analysis
