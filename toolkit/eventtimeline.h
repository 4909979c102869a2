#pragma once

#include <cstdint>

namespace tk {

// Places the window system's input-event times on the program's clock.
// Event times are milliseconds held in 32 bits: they wrap about every 49.7
// days and start from a zero point of the window system's own. Each event
// seen while the clock reads now bounds its own time from above (it cannot
// have happened later than now), so the best offset between the two clocks
// is the smallest seen; the clock's readings, not the event times, decide
// how many wraps lie between two events far apart.
class EventTimeline {
public:
    // An event stamped eventTime, seen when the clock read now.
    void Observe(std::uint32_t eventTime, std::int64_t now);

    // The clock reading at which an event stamped eventTime happened; meant
    // for an event seen recently (within 24 days of the latest one).
    std::int64_t ToClock(std::uint32_t eventTime) const;

    bool HasObserved() const { return m_observed; }

private:
    bool m_observed = false;
    std::uint32_t m_latestEvent = 0; // the latest event seen
    std::int64_t m_latestClock = 0; // when it happened, on the clock
};

} // namespace tk
