#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace calc {

// Tap tempo: one press per beat; from the second press of a series on, the
// tempo is 60 over the mean of the last (up to 49) intervals between presses.
// A pause of three whole seconds or more starts a new series, announced by a
// tone; the first interval of that series is timed from a clock reading
// taken after the tone.
class TapTempo {
public:
    static constexpr int kSlots = 50;

    // Sounds the tone, waits for it to end and returns a fresh clock reading.
    using BeepThenReadClock = std::function<std::int64_t()>;

    // A press at clock reading now (milliseconds). Returns the tempo text to
    // show, or nothing for the first press of a series. Readings are taken
    // to be monotonic; one earlier than the previous press (a clock that
    // wrapped or was set back) is taken as a pause. When every interval in
    // the window is zero (presses within one tick) no tempo is formed.
    std::optional<std::string> Press(std::int64_t now, const BeepThenReadClock& beepThenReadClock);

    int Count() const { return m_nTapCount; }

private:
    bool IsPause(std::int64_t now) const;
    float AverageInterval() const;

    int m_nTapCount = 0;
    int m_nTapIndex = 0;
    std::array<std::int64_t, kSlots> m_tapTimes {};
    std::int64_t m_lastTapTime = 0;
};

} // namespace calc
