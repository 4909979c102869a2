#pragma once

#include <cstdint>

namespace tk {

// Milliseconds of real time since the program started, never going back.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::int64_t Milliseconds() = 0;
};

// The clock the pages read: the real one unless a test put its own in place.
Clock& CurrentClock();

// Puts a clock in place (nullptr: the real one again) and returns the one it
// replaces.
Clock* ReplaceClock(Clock* clock);

} // namespace tk
