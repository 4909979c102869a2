#pragma once

#include "analysis/songtempo.h"

#include <vector>

namespace analysis {

// The onset envelopes of a whole song, as the tempo map reads them: over all
// bands, over the kick and bass bands, and how loud the onsets are, at
// framesPerSecond.
struct SongEnvelopes {
    std::vector<float> all, lows, weights;
    double framesPerSecond = 0;
};

// The beats of a song found at the tempo and in the meter of its analysis,
// grouped into bars, with the places where the tempo changes. Empty where
// no beat keeps time well enough to follow, or where the tempo changes so
// often that no map could be trusted: the song's drift tells it better.
TempoMap MapTempo(const SongEnvelopes& envelopes, double bpm, Meter meter);

// How many beats make a bar: 6/8 and 12/8 counted in dotted quarters.
int BeatsPerBar(Meter meter);

} // namespace analysis
