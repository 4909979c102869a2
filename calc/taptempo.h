#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace calc {

// Tap tempo: one press per beat; from the second press of a series on, the
// tempo is 60 over the mean of the last (up to 49) intervals between presses.
// A pause of three whole seconds or more starts a new series, announced by a
// tone; the press after the pause is the first time of that series.
class TapTempo {
public:
    static constexpr int kSlots = 50;

    struct Result {
        bool newSeries = false; // a pause ended the last series: sound the tone
        std::optional<std::string> tempo; // the text to show, if any
    };

    // A press at pressTime (milliseconds). The first press of a series shows
    // nothing; the very first press of the run begins a series silently.
    // Times are taken to be monotonic; one earlier than the previous press
    // (a clock that wrapped or was set back) is taken as a pause. When every
    // interval in the window is zero (presses within one tick) no tempo is
    // formed.
    Result Press(std::int64_t pressTime);

    int Count() const { return m_nTapCount; }

private:
    float AverageInterval() const;

    int m_nTapCount = 0;
    int m_nTapIndex = 0;
    std::array<std::int64_t, kSlots> m_tapTimes {};
    std::int64_t m_lastTapTime = 0;
};

} // namespace calc
