#pragma once

#include "analysis/songtempo.h"
#include "analysis/tempomap.h"

namespace analysis {

// Whether the beats followed through the song group in threes: one beat in
// three accented bar after bar, and more clearly than one in two or four.
// Heard beat by beat, it holds where the tempo drifts or steps, as a fold
// at one lag over a few bars does not.
bool BarsInThree(const SongEnvelopes& envelopes, const TempoMap& map);

} // namespace analysis
