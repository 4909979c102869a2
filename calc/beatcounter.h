#pragma once

#include <cstdint>

namespace calc {

// Timing of the beat counter: one press per beat of a playing song. The beat
// total itself belongs to the page (the length fields set it too); this
// keeps the clock readings and tells when a pause ended a count.
class BeatCounter {
public:
    // A press at clock reading now (milliseconds). Returns true when it comes
    // three whole seconds or more after the previous press of a count under
    // way (or earlier than it, for a clock set back): that count is over,
    // the caller sounds the tone and clears the beat total, and this press
    // begins the next count.
    bool Press(std::int64_t now);

    // The next press takes the start time of a new count, without a tone.
    void WaitForFirstBeat() { m_bNewCount = true; }
    bool IsWaitingForFirstBeat() const { return m_bNewCount; }

    // Whole seconds from the first beat of the count to the latest press.
    int ElapsedSeconds() const;

    // Tempo measured from the beat total once more than five seconds of the
    // count have passed, in single precision; 0 before that.
    float MeasuredTempo(int beats) const;

private:
    bool m_bNewCount = true;
    std::int64_t m_nStartTicks = 0;
    std::int64_t m_nPressTicks = 0;
    std::int64_t m_nLastTicks = 0;
};

} // namespace calc
