#include "analysis/tempomap.h"

#include "analysis/beattracker.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

// GCC 12 warns, wrongly, that a vector freed after Steps is inlined was not
// from the heap; nothing here frees by an offset.
#if defined(__GNUC__) && !defined(__clang__) && __GNUC__ == 12
#pragma GCC diagnostic ignored "-Wfree-nonheap-object"
#endif

namespace analysis {

namespace {

// A change of tempo is heard over this many beats either side: two bars.
constexpr size_t kHeardOver = 8;
// The smallest step from one tempo to another that is a change, not drift.
constexpr double kStep = 0.03;
// The fewest beats a tempo holds for between changes: four bars of 4/4.
constexpr size_t kShortestStretch = 16;
// A step stands this many times above the drift within either side of it:
// a ritardando slows all through, a change steps once.
constexpr double kAboveDrift = 3;
// Fewer bars than this between changes, on average, is no tempo to map but
// free time, or a tempo that wanders too much to follow.
constexpr double kFewestBarsPerChange = 8;
// The local tempo of a beat is heard over this many beats either side.
constexpr size_t kLocalBeats = 2;
// How late the envelope peaks after an onset starts: its window and the
// rise it measures, as clicks and kicks show it.
constexpr double kEnvelopeDelay = 0.009; // seconds
// Local tempos that spread by more than this about a stretch's own drift.
constexpr double kDrift = 0.02;
// The tempo that drift is judged by is heard over this many beats either side.
constexpr size_t kDriftBeats = 4;

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    const auto middle = values.begin() + std::ptrdiff_t(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

// The median of gaps[first, end), clipped to the gaps there are.
double MedianOf(const std::vector<double>& gaps, long first, long end)
{
    first = std::max(first, 0L);
    end = std::min(end, long(gaps.size()));
    if (first >= end)
        return 0;
    return Median({gaps.begin() + first, gaps.begin() + end});
}

double Percentile(std::vector<double> values, double share)
{
    const auto at = values.begin() + std::ptrdiff_t(share * double(values.size() - 1));
    std::nth_element(values.begin(), at, values.end());
    return *at;
}

double Rounded(double value)
{
    return std::round(value * 100) / 100;
}

// The mean of gaps[first, end), clipped to the gaps there are.
double MeanOf(const std::vector<double>& gaps, long first, long end)
{
    first = std::max(first, 0L);
    end = std::min(end, long(gaps.size()));
    if (first >= end)
        return 0;
    double sum = 0;
    for (long k = first; k < end; ++k)
        sum += gaps[size_t(k)];
    return sum / double(end - first);
}

// How far the tempo jumps at each gap, where it steps rather than ramps.
// Heard by the mean gap, the span of so many beats: a loose drummer's early
// and late beats cancel out in it, as they do not in a median. (A beat lost
// makes two steps close together, and their stretch is joined later.)
std::vector<double> Jumps(const std::vector<double>& gaps)
{
    const auto over = long(kHeardOver);
    std::vector<double> step(gaps.size(), 0.0);
    for (long k = over; k + over <= long(gaps.size()); ++k) {
        const double before = MeanOf(gaps, k - over, k), after = MeanOf(gaps, k, k + over);
        if (!(before > 0) || !(after > 0))
            continue;
        const double jump = std::abs(std::log(after / before));
        // The drift over as many beats again either side: a ramp moves as
        // much there as across k, a step leaves both sides steady.
        const double earlier = MeanOf(gaps, k - 2 * over, k - over),
                     later = MeanOf(gaps, k + over, k + 2 * over);
        const double driftBefore = earlier > 0 ? std::abs(std::log(before / earlier)) : 0;
        const double driftAfter = later > 0 ? std::abs(std::log(later / after)) : 0;
        if (jump > std::log1p(kStep) && jump > kAboveDrift * std::max(driftBefore, driftAfter))
            step[size_t(k)] = jump;
    }
    return step;
}

// The gaps at which the tempo steps from one steady tempo to another: the
// index of the first gap at the new tempo.
std::vector<size_t> Steps(const std::vector<double>& gaps)
{
    const auto over = long(kHeardOver), half = over / 2;
    const std::vector<double> step = Jumps(gaps);
    // The highest step of those near each other.
    std::vector<size_t> steps;
    for (size_t k = 0; k < step.size(); ++k) {
        if (!(step[k] > 0))
            continue;
        bool highest = true;
        for (size_t j = k > kHeardOver ? k - kHeardOver : 0;
             j < std::min(step.size(), k + kHeardOver + 1); ++j)
            highest = highest && (step[j] < step[k] || (step[j] == step[k] && j >= k));
        if (!highest)
            continue;
        // The medians agree on a step over a few gaps: it comes at the first
        // gap nearer the new tempo than the old.
        const double before = MedianOf(gaps, long(k) - over, long(k)),
                     after = MedianOf(gaps, long(k), long(k) + over);
        size_t first = k > size_t(half) ? k - size_t(half) : 0;
        while (first + 1 < std::min(gaps.size(), k + size_t(half))
            && std::abs(std::log(gaps[first] / after)) >= std::abs(std::log(gaps[first] / before)))
            ++first;
        steps.push_back(first);
    }
    return steps;
}

// The tempo at beat i of the stretch [first, end), heard over kLocalBeats
// either side.
double LocalBpm(const std::vector<double>& gaps, size_t i, size_t first, size_t end, double fps)
{
    const double gap = MedianOf(gaps, long(std::max(i, first + kLocalBeats) - kLocalBeats),
        long(std::min(i + kLocalBeats, end - 1)));
    return gap > 0 ? Rounded(60 * fps / gap) : 0;
}

// The range of local tempos, 10th to 90th percentile.
void SetRange(TempoMap& map, const std::vector<double>& local)
{
    map.lowest = Rounded(Percentile(local, 0.1));
    map.highest = Rounded(Percentile(local, 0.9));
}

// The loudness of an envelope at a beat: its highest within two frames.
double At(const std::vector<std::uint16_t>& envelope, double frame)
{
    const auto t = long(std::lround(frame));
    double highest = 0;
    for (long i = std::max(0L, t - 2); i <= t + 2 && i < long(envelope.size()); ++i)
        highest = std::max(highest, double(envelope[size_t(i)]));
    return highest;
}

// The first beat of the music: the first as loud as a quarter of the median.
size_t FirstHeard(const std::vector<std::uint16_t>& envelope, const std::vector<double>& frames)
{
    std::vector<double> loudness;
    for (double frame : frames)
        loudness.push_back(At(envelope, frame));
    const double threshold = Median(loudness) / 4;
    size_t first = 0;
    while (first + 1 < frames.size() && loudness[first] < threshold)
        ++first;
    return first;
}

} // namespace

int BeatsPerBar(Meter meter)
{
    switch (meter) {
    case Meter::ThreeFour:
        return 3;
    case Meter::SixEight:
        return 2;
    case Meter::TwelveEight:
    case Meter::Common:
        break;
    }
    return 4;
}

TempoMap MapTempo(const SongEnvelopes& envelopes, double bpm, Meter meter)
{
    TempoMap map;
    map.beatsPerBar = BeatsPerBar(meter);
    const double fps = envelopes.framesPerSecond;
    if (!(bpm > 0) || !(fps > 0))
        return map;
    const std::vector<double> frames
        = FollowBeats(envelopes.all, SongEnvelopes::kStep, fps, 60 * fps / bpm);
    const size_t perBar = size_t(map.beatsPerBar);
    if (frames.size() < 2 * kHeardOver + 2)
        return map;
    std::vector<double> gaps(frames.size() - 1);
    for (size_t i = 0; i + 1 < frames.size(); ++i)
        gaps[i] = frames[i + 1] - frames[i];

    // Stretches of one tempo between the changes, as ranges of beats.
    std::vector<size_t> starts {0};
    for (size_t gap : Steps(gaps))
        starts.push_back(gap);
    starts.push_back(frames.size());
    // A step that leaves a stretch too short to keep a tempo, or two that
    // hardly differ, is the beat lost and found again: the stretches are one.
    for (;;) {
        size_t weakest = 0;
        double least = 0;
        for (size_t k = 1; k + 1 < starts.size(); ++k) {
            const double before = MedianOf(gaps, long(starts[k - 1]), long(starts[k]) - 1),
                         after = MedianOf(gaps, long(starts[k]), long(starts[k + 1]) - 1);
            double jump = before > 0 && after > 0 ? std::abs(std::log(after / before)) : 0;
            if (starts[k] - starts[k - 1] < kShortestStretch
                || starts[k + 1] - starts[k] < kShortestStretch)
                jump = 0;
            if (jump < std::log1p(kStep) && (weakest == 0 || jump < least)) {
                weakest = k;
                least = jump;
            }
        }
        if (weakest == 0)
            break;
        starts.erase(starts.begin() + std::ptrdiff_t(weakest));
    }
    starts.pop_back();
    if (double(starts.size() - 1) * kFewestBarsPerChange * double(perBar) > double(frames.size())) {
        // No map, but how far the tempo wanders.
        map.wanders = map.drifts = true;
        std::vector<double> local;
        for (size_t i = 0; i < frames.size(); ++i)
            local.push_back(LocalBpm(gaps, i, 0, frames.size(), fps));
        SetRange(map, local);
        return map;
    }
    starts.push_back(frames.size());

    // Music mostly starts on a downbeat, and a band that changes tempo
    // keeps its bars. (Neither the kick and bass nor the loudest onsets
    // nor the sound's colour by bands told the downbeat better.)
    const size_t phase = FirstHeard(envelopes.all, frames) % perBar;
    for (size_t part = 0; part + 1 < starts.size(); ++part) {
        const size_t first = starts[part], end = starts[part + 1];
        for (size_t i = first; i < end; ++i) {
            Beat beat;
            beat.seconds = std::max(0.0, frames[i] / fps - kEnvelopeDelay);
            // The downbeats are at beats phase, phase + perBar...
            beat.beat = int((i + perBar - phase) % perBar) + 1;
            beat.bar = i >= phase ? int((i - phase) / perBar) + 1 : 0;
            beat.bpm = LocalBpm(gaps, i, first, end, fps);
            map.beats.push_back(beat);
        }
        const double tempo = MedianOf(gaps, long(first), long(end) - 1);
        const double partBpm = tempo > 0 ? Rounded(60 * fps / tempo) : 0;
        // Drift is judged over two bars at a time, so that a loose drummer's
        // early and late beats cancel out, and only the tempo moves.
        std::vector<double> local;
        for (size_t i = first; i < end; ++i) {
            const double gap = MeanOf(gaps, long(std::max(i, first + kDriftBeats) - kDriftBeats),
                long(std::min(i + kDriftBeats, end - 1)));
            local.push_back(gap > 0 ? 60 * fps / gap : 0);
        }
        if (Percentile(local, 0.9) - Percentile(local, 0.1) > kDrift * partBpm)
            map.drifts = true;
        if (part == 0)
            map.firstBpm = partBpm;
        else
            map.changes.push_back({map.beats[first].seconds, map.beats[first].bar, partBpm});
    }
    std::vector<double> local;
    for (const Beat& beat : map.beats)
        local.push_back(beat.bpm);
    SetRange(map, local);
    return map;
}

} // namespace analysis
