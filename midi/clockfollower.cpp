#include "midi/clockfollower.h"

#include "midi/clockgrid.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace midi {

namespace {

// Clocks to hear before there is a tempo to tell.
constexpr std::size_t kFewestClocks = 6;
constexpr double kHeardOver = 2; // seconds
constexpr double kStoppedAfter = 1; // second
// The most the intervals may spread (10th to 90th percentile) and keep a
// tempo: a share of the interval, or the jitter of a USB MIDI cable.
constexpr double kSpread = 0.5, kJitter = 0.002; // seconds
constexpr double kSlowest = 20, kFastest = 999;

} // namespace

ClockFollower::ClockFollower(double framesPerSecond)
    : m_rate(framesPerSecond)
{
}

void ClockFollower::Clock(std::uint64_t frame)
{
    m_newest = (m_newest + 1) % kKept;
    m_frames[m_newest] = frame;
    m_count = std::min(m_count + 1, kKept);
}

Followed ClockFollower::At(std::uint64_t now) const
{
    Followed said;
    said.playing = m_playing;
    if (m_count == 0)
        return said;
    const std::uint64_t newest = m_frames[m_newest];
    if (now > newest && double(now - newest) > kStoppedAfter * m_rate) {
        said.state = Followed::State::Stopped;
        return said;
    }
    // The intervals of the last two seconds, newest first.
    std::array<double, kKept> intervals;
    std::size_t count = 0;
    std::uint64_t later = newest, oldest = newest;
    for (std::size_t back = 1; back < m_count; ++back) {
        const std::uint64_t earlier = m_frames[(m_newest + kKept - back) % kKept];
        if (earlier > later || double(newest - earlier) > kHeardOver * m_rate)
            break;
        intervals[count++] = double(later - earlier);
        later = oldest = earlier;
    }
    if (count + 1 < kFewestClocks)
        return said;
    said.state = Followed::State::Unsteady;
    const auto end = intervals.begin() + std::ptrdiff_t(count);
    const auto low = intervals.begin() + std::ptrdiff_t(count / 10);
    const auto middle = intervals.begin() + std::ptrdiff_t(count / 2);
    const auto high = intervals.begin() + std::ptrdiff_t(count - 1 - count / 10);
    std::nth_element(intervals.begin(), low, end);
    const double lowest = *low;
    std::nth_element(intervals.begin(), high, end);
    const double highest = *high;
    std::nth_element(intervals.begin(), middle, end);
    const double median = *middle;
    if (!(median > 0))
        return said;
    // A clock lost to a missed audio cycle leaves an interval of two (or
    // more) within a quarter of one: it counts as that many, so that a
    // loaded machine does not slow the tempo. Up to 1.75 intervals is jitter.
    double spanned = 0;
    for (auto interval = intervals.begin(); interval != end; ++interval) {
        const double periods = std::round(*interval / median);
        spanned
            += periods > 1 && std::abs(*interval - periods * median) <= median / 4 ? periods : 1;
    }
    const double mean = double(newest - oldest) / spanned;
    const double bpm = 60 * m_rate / (kClocksPerBeat * mean);
    if (highest - lowest > std::max(kSpread * mean, kJitter * m_rate) || bpm < kSlowest
        || bpm > kFastest)
        return said;
    said.state = Followed::State::Steady;
    said.bpm = std::round(bpm * 100) / 100;
    return said;
}

} // namespace midi
