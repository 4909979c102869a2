#pragma once

#include <optional>
#include <vector>

namespace analysis {

// An onset found in the audio: when, and how loud.
struct Onset {
    double time;
    double strength;
};

struct BeatFit {
    double period = 0; // seconds per beat
    double confidence = 0; // the share of the beats found that keep to the fit
    double coverage = 0; // the share of the song's beats found and kept
    std::vector<double> beats; // every beat on the fitted line, from the first found to the last
};

// The beat period over the whole song, from the tracker's estimate of it and
// the onsets found at a finer resolution (in time order). A tracker that
// counted every other beat, or half beats, is corrected when the onsets say
// so. A grid of beats is laid over the onsets, each beat moves to the
// loudest onset near it, and a line through beat number and time, fitted by
// least squares and refitted without the beats far from it, gives the
// period. Nothing when fewer than eight beats keep time.
std::optional<BeatFit> FitBeats(double trackerPeriod, const std::vector<Onset>& onsets);

} // namespace analysis
