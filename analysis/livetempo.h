#pragma once

#include <cstddef>

namespace analysis {

// What has been heard so far.
struct LiveEstimate {
    double seconds = 0; // of sound heard
    bool found = false; // a beat was heard
    double bpm = 0; // to 0.01
    bool steady = false; // the same tempo, to half a percent, for the last two seconds heard
    bool drifts = false; // the local tempos spread by more than 2%
};

// The tempo of sound as it is heard, fed block by block: the song analysis
// over what has come so far, answering after a few seconds of music. No Qt,
// and no thread of its own: whoever feeds it asks for estimates.
class LiveTempo {
public:
    static constexpr int kSampleRate = 44100; // of the samples Add takes, mono

    virtual ~LiveTempo() = default;

    virtual void Add(const float* samples, size_t count) = 0;
    virtual LiveEstimate Estimate() = 0;
};

LiveTempo* NewLiveTempo();

// The module's entry point for NewLiveTempo.
using NewLiveTempoFunction = LiveTempo* (*)();
inline constexpr const char* kNewLiveTempo = "beatwise_new_live_tempo";

} // namespace analysis
