#pragma once

#include <cstddef>
#include <cstdint>

namespace midi {

// What a clock from elsewhere says, as last heard.
struct Followed {
    enum class State {
        None, // no clock heard yet
        Steady, // bpm is the tempo it keeps
        Unsteady, // clocks come, but keep no tempo from 20 to 999
        Stopped, // no clock for a second
    };
    State state = State::None;
    double bpm = 0; // to 0.01 bpm; 0 unless steady
    bool playing = false; // a Start or Continue came, and no Stop since
};

// The tempo of an incoming MIDI clock, from the frames its clocks came at:
// the mean interval over the last two seconds, so that the jitter of a
// real MIDI cable averages away. A burst, clocks at one frame, or two
// masters at once keep no interval and drive no tempo.
class ClockFollower {
public:
    explicit ClockFollower(double framesPerSecond);

    void Clock(std::uint64_t frame);
    void Start() { m_playing = true; }
    void Stop() { m_playing = false; }

    // What the clock says at this frame.
    Followed At(std::uint64_t now) const;

private:
    static constexpr std::size_t kKept = 1024; // clocks; two seconds at 999 bpm is 800

    double m_rate;
    std::uint64_t m_frames[kKept] = {};
    std::size_t m_count = 0, m_newest = 0;
    bool m_playing = false;
};

} // namespace midi
