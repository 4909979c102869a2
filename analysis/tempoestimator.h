#pragma once

#include "analysis/meterlevel.h"
#include "analysis/onsetenvelope.h"

#include <cstddef>
#include <deque>
#include <vector>

namespace analysis {

// What the estimator makes of the music heard so far.
struct TempoEstimate {
    bool found = false; // a beat was heard somewhere
    double bpm = 0; // the median of the local tempos, refined where the beat is steady
    double lowest = 0, highest = 0; // the 10th and 90th percentiles of the local tempos
    bool drifts = false; // the local tempos spread by more than 2%
    int windows = 0; // windows heard
    int beatWindows = 0; // of which had a beat
    Meter meter = Meter::Common;
    double runnerUp = 0; // the next likeliest level of the beat, bpm
    double sureness = 0; // of the level chosen, 0 to 1
};

// How much music the estimator needs, and how much of it refines the tempo.
struct EstimatorSettings {
    double shortestSeconds = 6; // less has too few beats to tell
    double refinedSeconds = 5 * 60; // enough to fix the tempo to 0.01 bpm
};

// The tempo of music from its onset envelope, fed frame by frame: the beat
// period is estimated in overlapping windows of about ten seconds, each from
// how the envelope repeats itself, and the tempo is the median of the local
// ones, at the level a producer would set (the beat, not the bar or the
// eighth note). Over a steady stretch it is refined by the period whose
// grid of beats, eighths and sixteenths agrees best with the whole stretch.
// Memory stays bounded however long the music: a few numbers per window,
// and the envelope of at most the first ten minutes for the refinement.
class TempoEstimator {
public:
    explicit TempoEstimator(double framesPerSecond, EstimatorSettings settings = {});

    void Add(const OnsetFrames& frames);
    // The estimate over everything added so far; more may be added after.
    TempoEstimate Estimate();

private:
    struct Peak {
        float lag; // in frames, between frames where the peak lies between them
        float height; // of the window's autocorrelation, 1 at lag 0
    };
    struct Window {
        float clarity; // how clearly the envelope repeats at some beat period
        std::vector<Peak> peaks;
    };

    void AnalyseWindow(size_t first, size_t count);
    TempoEstimate EstimateFromWindows() const;
    double LocalLag(const Window& window, double beatLag) const;
    // The longest run of windows whose local tempo keeps near bpm, as the
    // first frame and the count of frames; a count of 0 for none.
    std::pair<size_t, size_t> SteadyStretch(const std::vector<double>& local, double bpm) const;

    double m_fineFramesPerSecond; // of the envelope added
    size_t m_fine; // frames added to each frame of the windows
    double m_framesPerSecond; // of the windows' frames
    size_t m_shortest, m_refined; // in the windows' frames
    float m_coarseSum = 0, m_coarseLowSum = 0, m_coarseMidSum = 0;
    size_t m_coarseCount = 0;
    size_t m_windowFrames, m_hopFrames, m_longestLag;
    size_t m_shortestBeat, m_longestBeat; // beat lags considered, in frames
    std::vector<float> m_envelope; // the first ten minutes as added, for refining
    std::vector<float> m_lowEnvelope; // the same for kicks and bass, coarser
    std::vector<float> m_midEnvelope; // and for chords
    std::deque<float> m_recent; // the last window's worth, coarser
    size_t m_total = 0; // frames added
    size_t m_nextWindowEnd;
    size_t m_lastWindowEnd = 0;
    std::vector<Window> m_windows;
    std::vector<size_t> m_windowStarts;
    std::vector<double> m_beatAutocorrelation; // summed over the windows with a beat
    std::vector<double> m_earlyAutocorrelation; // the same over the estimates before a window
};

} // namespace analysis
