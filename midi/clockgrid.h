#pragma once

#include <cstdint>

namespace midi {

// MIDI's real-time messages.
inline constexpr std::uint8_t kClock = 0xF8, kStart = 0xFA, kContinue = 0xFB, kStop = 0xFC;
inline constexpr int kClocksPerBeat = 24;

// Where MIDI clock falls in a stream of audio frames: 24 to a beat at the
// tempo given, each at the frame nearest its exact time, so that the error
// is half a frame at most and never grows. Fed one audio cycle at a time on
// the audio thread: nothing here allocates or blocks.
class ClockGrid {
public:
    // Receives each message of a cycle, in order, at its offset in the cycle.
    class Sink {
    public:
        virtual void Send(std::uint32_t offset, std::uint8_t message) = 0;

    protected:
        ~Sink() = default;
    };

    explicit ClockGrid(double framesPerSecond);

    // From the next clock on: the next comes one new interval after the last.
    void SetTempo(double bpm);
    // Start goes just before the next clock, which is the first beat; Stop
    // goes at once.
    void Start() { m_startAsked = true; }
    void Stop() { m_stopAsked = true; }
    // Clock stops, and resumes with the next cycle fed after it.
    void Halt() { m_running = false; }

    // The messages in the frames [first, first + count).
    void Cycle(std::uint64_t first, std::uint32_t count, Sink& sink);

    // A beat grid to follow instead of the tempo (a Link session's): the
    // beat at each frame, and the frame of each beat. Null goes back to
    // the tempo. Start then waits for the next bar of quantum beats.
    struct Beats {
        void* context = nullptr;
        double (*beatAt)(void* context, double frame) = nullptr;
        double (*frameAt)(void* context, double beat) = nullptr;
        double quantum = 4;
    };
    void Follow(const Beats& beats)
    {
        m_beats = beats;
        m_running = false;
    }

private:
    void CycleOnTempo(std::uint64_t first, std::uint32_t count, Sink& sink);
    void CycleOnBeats(std::uint64_t first, std::uint32_t count, Sink& sink);

    double m_rate;
    double m_bpm = 120;
    double m_interval; // frames from clock to clock
    bool m_running = false;
    double m_anchor = 0; // the exact frame of the clock last sent
    std::uint64_t m_since = 0; // clocks from the anchor to the next
    bool m_startAsked = false, m_stopAsked = false;
    Beats m_beats;
    double m_nextTick = 0; // on beats: the next clock, in 24ths of a beat
};

} // namespace midi
