#include "analysis/barsinthree.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace analysis {

namespace {

// The accented beat of a bar stands this much above the mean beat...
constexpr double kAccented = 1.2;
// ...and this much more than the loudest beat of every two or four does,
// as a waltz's does, and no 4/4 bar's.
constexpr double kClearer = 0.1;
// An onset belongs to the beat within this many seconds of it.
constexpr double kNear = 0.02;
// Sixteen bars of three at the least: over a short song's few bars, one
// place in three stands out by chance.
constexpr size_t kFewestBeats = 48;

// How loud the loudest place of a bar of perBar beats is, against the mean.
double Clarity(const std::vector<double>& loudness, size_t perBar, double mean)
{
    double loudest = 0;
    for (size_t place = 0; place < perBar; ++place) {
        double sum = 0;
        size_t count = 0;
        for (size_t i = place; i < loudness.size(); i += perBar, ++count)
            sum += loudness[i];
        if (count > 0)
            loudest = std::max(loudest, sum / double(count));
    }
    return loudest / mean;
}

// Whether one beat in three stands out of the envelope, beat by beat.
bool InThree(const std::vector<std::uint16_t>& envelope, double fps, const TempoMap& map)
{
    const auto near = long(std::ceil(kNear * fps));
    std::vector<double> loudness;
    double mean = 0;
    for (const Beat& beat : map.beats) {
        const long at = std::lround(beat.seconds * fps);
        double highest = 0;
        for (long t = std::max(0L, at - near); t <= at + near && t < long(envelope.size()); ++t)
            highest = std::max(highest, double(envelope[size_t(t)]));
        loudness.push_back(highest);
        mean += highest;
    }
    if (loudness.size() < kFewestBeats || !(mean > 0))
        return false;
    mean /= double(loudness.size());
    const double threes = Clarity(loudness, 3, mean);
    return threes >= kAccented && threes >= Clarity(loudness, 2, mean) + kClearer
        && threes >= Clarity(loudness, 4, mean) + kClearer;
}

} // namespace

bool BarsInThree(const SongEnvelopes& envelopes, const TempoMap& map)
{
    // In all bands, or in the kicks and bass alone where a snare or a chord
    // starts as suddenly as the kick on the downbeat.
    return InThree(envelopes.all, envelopes.framesPerSecond, map)
        || InThree(envelopes.lows, envelopes.framesPerSecond, map);
}

} // namespace analysis
