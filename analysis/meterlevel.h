#pragma once

#include "analysis/accents.h"
#include "analysis/beatgrid.h"
#include "analysis/songtempo.h"

namespace analysis {

struct LevelChoice {
    double lag = 0; // the beat, in frames; 0 for none
    Meter meter = Meter::Common;
    double runnerUpLag = 0; // the next likeliest level, 0 for none
    double sureness = 0; // 0 for a toss-up with the runner-up, to 1
};

// Which level of the pulse is the beat a musician would count, and how the
// beats group into bars: from whether the grid moves in threes, from where
// the accents and the kicks fall and what comes between the beats, and
// from the tempos music is written at. tatum and pulse are exact, in
// frames of framesPerSecond; beats lie between shortestBeat and longestBeat.
struct LevelQuestion {
    const BeatGrid& grid;
    double tatum, pulse;
    const LagProfile& profile;
    const Accents& accents;
    double framesPerSecond, shortestBeat, longestBeat;
};
LevelChoice ChooseLevel(const LevelQuestion& question);

} // namespace analysis
