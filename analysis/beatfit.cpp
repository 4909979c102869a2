#include "analysis/beatfit.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace analysis {

namespace {

constexpr size_t kFewestBeats = 8;
constexpr double kSnap = 0.12; // an onset this near a beat (in periods) is that beat
constexpr double kKeep = 0.05; // a beat this far from the fitted line (in periods) is dropped

// Where the onsets, the loud ones most, fall within a period: their mean
// position as an angle, and how closely they agree on it.
std::complex<double> Agreement(double period, const std::vector<Onset>& onsets)
{
    std::complex<double> sum;
    for (const Onset& onset : onsets)
        sum += onset.strength * std::polar(1.0, 2 * std::numbers::pi * onset.time / period);
    return sum;
}

// The time of beat 0 of a grid with this period.
double Phase(double period, const std::vector<Onset>& onsets)
{
    const double angle = std::arg(Agreement(period, onsets));
    return (angle < 0 ? angle + 2 * std::numbers::pi : angle) / (2 * std::numbers::pi) * period;
}

// The strongest onset within reach of a time, by index; -1 for none.
long Nearest(const std::vector<Onset>& onsets, double time, double reach)
{
    auto it = std::lower_bound(onsets.begin(), onsets.end(), time - reach,
        [](const Onset& onset, double t) { return onset.time < t; });
    long best = -1;
    for (; it != onsets.end() && it->time <= time + reach; ++it) {
        if (best < 0 || it->strength > onsets[size_t(best)].strength)
            best = long(it - onsets.begin());
    }
    return best;
}

// How loud the onsets are on a grid of beats, on average over its beats: a
// beat with no onset near it counts as silence.
double GridLoudness(double period, const std::vector<Onset>& onsets)
{
    const double start = Phase(period, onsets);
    const double first = onsets.front().time, last = onsets.back().time;
    double sum = 0;
    long count = 0;
    for (long k = long(std::ceil((first - start) / period));; ++k) {
        const double time = start + double(k) * period;
        if (time > last)
            break;
        const long onset = Nearest(onsets, time, kSnap * period);
        sum += onset < 0 ? 0 : onsets[size_t(onset)].strength;
        ++count;
    }
    return count ? sum / double(count) : 0;
}

struct Candidate {
    double period;
    double loudness;
};

// The period near a rough one whose grid is loudest: over a whole song a
// period a fraction off drifts away from the beats.
Candidate Sharpen(double rough, const std::vector<Onset>& onsets)
{
    constexpr int kSteps = 400;
    constexpr double kReach = 0.04;
    Candidate best {rough, -1};
    for (int step = -kSteps; step <= kSteps; ++step) {
        const double period = rough * (1 + kReach * step / kSteps);
        const double loudness = GridLoudness(period, onsets);
        if (loudness > best.loudness)
            best = {period, loudness};
    }
    return best;
}

// The beat period: of the grids near simple ratios of the tracker's period,
// the shortest that is about as loud as the loudest (any multiple of the
// beat is as loud as the beat itself), then halved while the events between
// its beats are loud enough to be beats too: a snare between kicks is, a
// hi-hat (a tenth as loud, measured where the beat is) is not.
double ChoosePeriod(double trackerPeriod, const std::vector<Onset>& onsets)
{
    constexpr double kShortest = 0.28, kLongest = 1.1; // about 215 to 55 bpm
    std::vector<Candidate> candidates;
    for (double ratio : {1.0 / 4, 1.0 / 3, 1.0 / 2, 2.0 / 3, 1.0, 3.0 / 2, 2.0, 3.0, 4.0}) {
        const double period = trackerPeriod * ratio;
        if (period >= kShortest * 0.96 && period <= kLongest * 1.04)
            candidates.push_back(Sharpen(period, onsets));
    }
    if (candidates.empty())
        return 0;
    double loudest = 0;
    for (const Candidate& candidate : candidates)
        loudest = std::max(loudest, candidate.loudness);
    Candidate chosen {1e9, 0};
    for (const Candidate& candidate : candidates) {
        if (candidate.loudness >= 0.75 * loudest && candidate.period < chosen.period)
            chosen = candidate;
    }
    while (chosen.period / 2 >= kShortest * 0.96) {
        const Candidate half = Sharpen(chosen.period / 2, onsets);
        if (half.loudness < 0.55 * chosen.loudness)
            break;
        chosen = half;
    }
    return chosen.period;
}

struct Line {
    double start;
    double period;
};

// Least squares through (beat number, time).
Line Fit(const std::vector<std::pair<double, double>>& points)
{
    double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (const auto& [x, y] : points) {
        n += 1;
        sx += x;
        sy += y;
        sxx += x * x;
        sxy += x * y;
    }
    const double period = (n * sxy - sx * sy) / (n * sxx - sx * sx);
    return {(sy - period * sx) / n, period};
}

} // namespace

std::optional<BeatFit> FitBeats(double trackerPeriod, const std::vector<Onset>& onsets)
{
    if (!(trackerPeriod > 0) || onsets.size() < kFewestBeats)
        return std::nullopt;

    const double period = ChoosePeriod(trackerPeriod, onsets);
    if (period <= 0)
        return std::nullopt;
    const double start = Phase(period, onsets);

    // Each beat on its onset, then a line through them; beats far from it
    // are dropped and the line drawn again.
    Line line {start, period};
    std::vector<std::pair<double, double>> snapped, kept;
    for (int round = 0; round < 4; ++round) {
        snapped.clear();
        const double first = onsets.front().time, last = onsets.back().time;
        for (long k = long(std::ceil((first - line.start) / line.period));; ++k) {
            const double time = line.start + double(k) * line.period;
            if (time > last)
                break;
            if (const long onset = Nearest(onsets, time, kSnap * line.period); onset >= 0)
                snapped.emplace_back(double(k), onsets[size_t(onset)].time);
        }
        if (snapped.size() < kFewestBeats)
            return std::nullopt;
        const Line fitted = Fit(snapped);
        kept.clear();
        for (const auto& point : snapped) {
            if (std::abs(point.second - (fitted.start + fitted.period * point.first))
                <= kKeep * fitted.period)
                kept.push_back(point);
        }
        if (kept.size() < kFewestBeats)
            return std::nullopt;
        line = Fit(kept);
    }

    // Steady when the beats found keep time and are found on most beats (a
    // detector misses the odd one).
    BeatFit fit;
    fit.period = line.period;
    const double span = kept.back().first - kept.front().first + 1;
    fit.confidence = double(kept.size()) / double(snapped.size());
    fit.coverage = double(kept.size()) / span;
    for (double k = kept.front().first; k <= kept.back().first; ++k)
        fit.beats.push_back(line.start + line.period * k);
    return fit;
}

} // namespace analysis
