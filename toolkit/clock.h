#pragma once

#include "toolkit/eventtimeline.h"

#include <cstdint>

namespace tk {

// Milliseconds of real time since the program started, never going back.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::int64_t Milliseconds() = 0;

    // Input events carry the window system's own time (0 for none, as in
    // events the program makes itself). ObserveEvent learns from each event
    // how that time relates to this clock; EventTime gives the reading at
    // which an event happened, or the reading now for an event without a time.
    void ObserveEvent(std::uint64_t timestamp);
    std::int64_t EventTime(std::uint64_t timestamp);

private:
    EventTimeline m_events;
};

// The clock the pages read: the real one unless a test put its own in place.
Clock& CurrentClock();

// Puts a clock in place (nullptr: the real one again) and returns the one it
// replaces.
Clock* ReplaceClock(Clock* clock);

} // namespace tk
