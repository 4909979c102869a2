#pragma once

#include "analysis/songtempo.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace analysis {

// The onset envelopes of a whole song, over all bands and over the kick and
// bass bands, as the tempo map reads them, at framesPerSecond: in steps of
// kStep, so that hours of them stay small.
struct SongEnvelopes {
    static constexpr float kStep = 1.0f / 1024;
    std::vector<std::uint16_t> all, lows; // as OnsetFrames' values and lows
    double framesPerSecond = 0;

    void Add(float value, float low)
    {
        all.push_back(Stepped(value));
        lows.push_back(Stepped(low));
    }
    static std::uint16_t Stepped(float value)
    {
        return std::uint16_t(std::clamp(value / kStep, 0.0f, 65535.0f) + 0.5f);
    }
};

// The beats of a song found at the tempo and in the meter of its analysis,
// grouped into bars, with the places where the tempo changes. Empty where
// no beat keeps time well enough to follow, or where the tempo changes so
// often that no map could be trusted: the song's drift tells it better.
TempoMap MapTempo(const SongEnvelopes& envelopes, double bpm, Meter meter);

// How many beats make a bar: 6/8 and 12/8 counted in dotted quarters.
int BeatsPerBar(Meter meter);

} // namespace analysis
