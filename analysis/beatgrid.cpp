#include "analysis/beatgrid.h"

#include <algorithm>
#include <cmath>

namespace analysis {

namespace {

constexpr double kShortestTatumSeconds = 0.09;
// The repeats the grid must fit: those this high of the highest; where no
// grid fits them all (a stray repeat a bar and a third long), the stronger
// ones, up to the highest alone.
constexpr double kStrongPeaks[] = {0.5, 0.65, 0.8, 1};
// A grid step divides further where the music also repeats at its half or
// third this clearly (of the highest repeat): a waltz whose bars repeat
// more than its beats still moves on its beats.
constexpr double kHeardPeak = 0.2;
constexpr double kPeakReach = 0.03; // how far from a division a peak may lie
// Most music is set between 80 and 180 bpm, around 130: the pulse is
// sought there, an octave either way costing as much as a weaker repeat.
constexpr double kLikeliest = 130;
constexpr double kOctaveSpread = 1;

} // namespace

BeatGrid FindGrid(
    const LagProfile& profile, double framesPerSecond, double shortestBeat, double longestBeat)
{
    BeatGrid grid;
    const auto shortestTatum = size_t(kShortestTatumSeconds * framesPerSecond);
    const std::vector<Repeat> peaks = profile.PeaksFrom(shortestTatum);
    if (peaks.empty())
        return grid;
    double highest = 0;
    for (const Repeat& peak : peaks)
        highest = std::max(highest, peak.height);
    for (double strength : kStrongPeaks) {
        std::vector<Repeat> strong;
        for (const Repeat& peak : peaks) {
            if (peak.height >= strength * highest)
                strong.push_back(peak);
        }
        grid.tatum = Tatum(strong, double(shortestTatum));
        if (grid.tatum > 0)
            break;
    }
    if (!(grid.tatum > 0))
        return grid;
    for (bool divided = true; divided;) {
        divided = false;
        for (int division : {2, 3}) {
            const double step = grid.tatum / division;
            if (step < double(shortestTatum))
                continue;
            for (const Repeat& peak : peaks) {
                if (peak.height >= kHeardPeak * highest
                    && std::abs(peak.lag - step) <= std::max(1.0, kPeakReach * step)) {
                    grid.tatum = step;
                    divided = true;
                    break;
                }
            }
            if (divided)
                break;
        }
    }

    // Whether the grid groups in threes rather than twos: the multiples of
    // each against the rest.
    const auto standsOut = [&](int group) {
        double on = 0, off = 0;
        int ons = 0, offs = 0;
        for (int k = 1; double(k) * grid.tatum + 1 < profile.Longest(); ++k) {
            const double height = profile.Near(k * grid.tatum);
            if (k % group == 0) {
                on += height;
                ++ons;
            } else {
                off += height;
                ++offs;
            }
        }
        return (ons ? on / ons : 0) - (offs ? off / offs : 0);
    };
    grid.threes = standsOut(3) - standsOut(2);

    std::vector<double> candidates;
    for (double lag = grid.tatum / 4; lag <= longestBeat; lag *= 2)
        candidates.push_back(lag);
    for (double lag = 3 * grid.tatum; grid.InThrees() && lag <= longestBeat; lag *= 2)
        candidates.push_back(lag);
    double bestScore = -1;
    for (double lag : candidates) {
        if (lag < shortestBeat || lag + 1 >= profile.Longest())
            continue;
        const double octaves = std::log2(60 * framesPerSecond / lag / kLikeliest) / kOctaveSpread;
        const double score = profile.Near(lag) * std::exp(-0.5 * octaves * octaves);
        if (score > bestScore) {
            grid.pulse = lag;
            bestScore = score;
        }
    }
    return grid;
}

} // namespace analysis
