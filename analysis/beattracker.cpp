#include "analysis/beattracker.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace analysis {

namespace {

// A long song's beats are followed this many seconds at a time, each
// stretch overlapping the last by the second figure.
constexpr double kStretchSeconds = 180, kOverlapSeconds = 20;

// Windows long enough to hold a few bars at a slow tempo, and a hop short
// enough to place a change of tempo within a bar or two.
constexpr double kWindowSeconds = 6, kHopSeconds = 0.5;
// How far a local beat may lie from the song's: as far as a band that
// speeds up from a verse to a chorus, or a medley's next song, not as far as
// the half or the double of the beat.
constexpr double kWidest = 0.4; // octaves
// How strictly a beat keeps the local period: a gap this many octaves off it
// costs as much as an onset of the mean height.
constexpr double kTightness = 0.1;
// How far a gap may stray from the local period either way, as a share of it.
constexpr double kReach = 0.3;
// A beat with less onset than this share of the mean, at either end of the
// song, is not heard: the music has not begun or has ended.
constexpr double kLeastOnset = 0.1;

// How strongly a window of the envelope repeats at a lag, between whole lags.
double RepeatAt(const std::vector<double>& x, size_t first, size_t count, double lag)
{
    const auto whole = size_t(lag);
    const double part = lag - double(whole);
    double sum = 0;
    size_t pairs = 0;
    for (size_t t = first; t + whole + 1 < first + count; ++t, ++pairs)
        sum += x[t] * ((1 - part) * x[t + whole] + part * x[t + whole + 1]);
    return pairs > 0 ? sum / double(pairs) : 0;
}

} // namespace

std::vector<double> LocalPeriods(
    const std::vector<float>& envelope, double framesPerSecond, double beatPeriod)
{
    const size_t count = envelope.size();
    std::vector<double> periods(count, beatPeriod);
    const auto window = size_t(kWindowSeconds * framesPerSecond);
    const auto hop = std::max<size_t>(1, size_t(kHopSeconds * framesPerSecond));
    if (count < window || !(beatPeriod >= 2))
        return periods;
    double mean = 0;
    for (float value : envelope)
        mean += value / double(count);
    std::vector<double> x(count);
    for (size_t t = 0; t < count; ++t)
        x[t] = envelope[t] - mean;

    // Each window's period, at its middle; windows with no clear repeat keep
    // the song's beat.
    std::vector<double> centres, found;
    const double shortest = beatPeriod * std::exp2(-kWidest),
                 longest = beatPeriod * std::exp2(kWidest);
    for (size_t first = 0; first + window <= count; first += hop) {
        const double zero = RepeatAt(x, first, window, 0);
        double best = 0, bestLag = beatPeriod;
        for (auto lag = size_t(std::floor(shortest)); double(lag) <= longest; ++lag) {
            // The beat and its double together: a bar's worth of repeats
            // tells the beat better than one.
            const double heard = RepeatAt(x, first, window, double(lag))
                + RepeatAt(x, first, window, 2.0 * double(lag)) / 2;
            if (heard > best) {
                best = heard;
                bestLag = double(lag);
            }
        }
        if (zero > 0 && best > 0.1 * zero) {
            // Between whole lags, by the parabola through the peak.
            const double before = RepeatAt(x, first, window, bestLag - 1),
                         at = RepeatAt(x, first, window, bestLag),
                         after = RepeatAt(x, first, window, bestLag + 1);
            const double bend = before - 2 * at + after;
            if (bend < 0)
                bestLag += std::clamp(0.5 * (before - after) / bend, -0.5, 0.5);
        } else {
            bestLag = found.empty() ? beatPeriod : found.back();
        }
        centres.push_back(double(first) + double(window) / 2);
        found.push_back(bestLag);
    }
    // A stray window between two that agree is heard as they are.
    for (size_t i = 1; i + 1 < found.size(); ++i) {
        const double a = found[i - 1], b = found[i], c = found[i + 1];
        found[i] = std::max(std::min(a, b), std::min(std::max(a, b), c));
    }
    // Each frame takes the period of the window whose middle is nearest.
    for (size_t t = 0, i = 0; t < count; ++t) {
        while (i + 1 < centres.size()
            && std::abs(centres[i + 1] - double(t)) < std::abs(centres[i] - double(t)))
            ++i;
        periods[t] = found[i];
    }
    return periods;
}

std::vector<double> TrackBeats(
    const std::vector<float>& envelope, const std::vector<double>& periods)
{
    std::vector<double> beats;
    const size_t count = std::min(envelope.size(), periods.size());
    if (count < 4)
        return beats;
    // Onsets relative to their mean, so that the penalty means the same in
    // any song.
    double mean = 0;
    for (size_t t = 0; t < count; ++t)
        mean += envelope[t] / double(count);
    if (!(mean > 0))
        return beats;
    std::vector<double> onset(count), score(count);
    std::vector<long> previous(count, -1);
    for (size_t t = 0; t < count; ++t)
        onset[t] = envelope[t] / mean;
    for (size_t t = 0; t < count; ++t) {
        const double period = periods[t];
        if (!(period >= 2)) {
            score[t] = onset[t];
            continue;
        }
        const auto shortest = size_t(std::floor(period * (1 - kReach)));
        const auto longest = size_t(std::ceil(period * (1 + kReach)));
        double best = 0;
        long from = -1;
        for (size_t gap = std::max<size_t>(1, shortest); gap <= longest && gap <= t; ++gap) {
            const double octaves = std::log2(double(gap) / period);
            const double candidate = score[t - gap] - octaves * octaves / (kTightness * kTightness);
            if (candidate > best) {
                best = candidate;
                from = long(t - gap);
            }
        }
        score[t] = onset[t] + best;
        previous[t] = from;
    }
    // The last beat: the best score within a period of the end.
    const auto lastPeriod = size_t(std::max(1.0, periods[count - 1]));
    size_t last = count - 1;
    for (size_t t = count - std::min(count, lastPeriod); t < count; ++t) {
        if (score[t] > score[last])
            last = t;
    }
    std::vector<size_t> path;
    for (long t = long(last); t >= 0; t = previous[size_t(t)])
        path.push_back(size_t(t));
    std::reverse(path.begin(), path.end());
    // Silence at either end holds no beats.
    size_t begin = 0, end = path.size();
    while (begin < end && onset[path[begin]] < kLeastOnset)
        ++begin;
    while (end > begin && onset[path[end - 1]] < kLeastOnset)
        --end;
    for (size_t i = begin; i < end; ++i) {
        const size_t t = path[i];
        // Between frames, where the onset peaks between them.
        double at = double(t);
        if (t > 0 && t + 1 < count) {
            const double bend = onset[t - 1] - 2 * onset[t] + onset[t + 1];
            if (bend < 0)
                at += std::clamp(0.5 * (onset[t - 1] - onset[t + 1]) / bend, -0.5, 0.5);
        }
        beats.push_back(at);
    }
    return beats;
}

std::vector<double> FollowBeats(const std::vector<std::uint16_t>& envelope, float step,
    double framesPerSecond, double beatPeriod)
{
    const auto stretch = size_t(kStretchSeconds * framesPerSecond);
    const auto overlap = size_t(kOverlapSeconds * framesPerSecond);
    std::vector<double> beats;
    std::vector<float> part;
    for (size_t first = 0; first < envelope.size(); first += stretch - overlap) {
        const size_t end = std::min(envelope.size(), first + stretch);
        part.resize(end - first);
        for (size_t t = first; t < end; ++t)
            part[t - first] = float(envelope[t]) * step;
        // Each stretch keeps its beats up to the middle of the overlap; the
        // next takes over from the beat after the last kept.
        for (const double beat :
            TrackBeats(part, LocalPeriods(part, framesPerSecond, beatPeriod))) {
            const double at = beat + double(first);
            if (end < envelope.size() && at >= double(end - overlap / 2))
                break;
            if (beats.empty() || at > beats.back() + beatPeriod / 2)
                beats.push_back(at);
        }
        if (end == envelope.size())
            break;
    }
    return beats;
}

} // namespace analysis
