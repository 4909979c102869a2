#include "toolkit/eventtimeline.h"

namespace tk {

namespace {

// An event handled this much later than its time says is taken to mean that
// the window system's clock jumped, not that the program was this slow.
constexpr std::int64_t kLongestDelay = 10'000;

// The difference congruent to eventDelta (modulo 2^32) nearest to expected.
// Arithmetic is modular, so that no reading, however far off, overflows.
std::int64_t Unwrap(std::uint32_t eventDelta, std::int64_t expected)
{
    const auto offBy = static_cast<std::int32_t>(eventDelta - static_cast<std::uint32_t>(expected));
    return static_cast<std::int64_t>(
        static_cast<std::uint64_t>(expected) + static_cast<std::uint64_t>(offBy));
}

std::int64_t Add(std::int64_t a, std::int64_t b)
{
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) + static_cast<std::uint64_t>(b));
}

std::int64_t Subtract(std::int64_t a, std::int64_t b)
{
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) - static_cast<std::uint64_t>(b));
}

} // namespace

void EventTimeline::Observe(std::uint32_t eventTime, std::int64_t now)
{
    std::int64_t happened = now;
    if (m_observed) {
        const std::int64_t sinceLatest = Subtract(now, m_latestClock);
        happened = Add(m_latestClock, Unwrap(eventTime - m_latestEvent, sinceLatest));
        // Later than now: the offset so far was too large. Far earlier: the
        // window system's clock jumped. Either way now is the better guess.
        const std::int64_t delay = Subtract(now, happened);
        if (delay < 0 || delay > kLongestDelay)
            happened = now;
    }
    m_observed = true;
    m_latestEvent = eventTime;
    m_latestClock = happened;
}

std::int64_t EventTimeline::ToClock(std::uint32_t eventTime) const
{
    return Add(m_latestClock, Unwrap(eventTime - m_latestEvent, 0));
}

} // namespace tk
