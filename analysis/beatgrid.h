#pragma once

#include "analysis/lagprofile.h"

namespace analysis {

// The grid the music moves on, and the pulse on it that the music repeats
// at most strongly near the likeliest tempos: the period the local tempos
// are measured at. Which level of that pulse is the beat is decided later.
// A grid whose multiples of three stand out this much more than those of
// two moves in threes: swing, shuffles, 6/8 and 12/8, fast waltzes.
inline constexpr double kThreesHeard = 0.1;

struct BeatGrid {
    double tatum = 0; // the finest regular pulse, in frames; 0 for none
    // How much more clearly the grid's multiples of three stand out than
    // those of two: above 0 in swing, shuffles, 6/8 and 12/8.
    double threes = 0;
    bool InThrees() const { return threes > kThreesHeard; }
    // A power of two times the tatum, or times three tatums where the grid
    // moves in threes; in frames.
    double pulse = 0;
};

// lags in frames of framesPerSecond; beats between shortestBeat and
// longestBeat frames.
BeatGrid FindGrid(
    const LagProfile& profile, double framesPerSecond, double shortestBeat, double longestBeat);

} // namespace analysis
