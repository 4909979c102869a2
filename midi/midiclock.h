#pragma once

#include "midi/clockfollower.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// MIDI clock for outboard gear, out and in, through the desktop's MIDI
// server. No Qt.
namespace midi {

// The tempos the clock carries.
inline constexpr double kSlowest = 20, kFastest = 999;

// Why the clock ended by itself.
enum class Ended {
    No,
    ServerGone, // the server quit
    PortGone, // the port it drove went away
};

// What the window shows, as polled a few times a second.
struct Report {
    Ended ended = Ended::No;
    Followed in; // the clock coming in, while following
    std::string source; // where it comes from
};

// Beats to keep the clock on (a Link session's): the beat at a time of
// the system's monotonic clock, in microseconds, and the time of a beat,
// asked from the audio thread.
struct Timeline {
    void* context = nullptr;
    double (*beatAt)(void* context, std::int64_t micros) = nullptr;
    std::int64_t (*timeAt)(void* context, double beat) = nullptr;
    double quantum = 4; // beats to a bar, where Start waits
};

// A client of the server with a port that sends clock and one that hears
// it. It runs from when it is made until it is destroyed; every call comes
// from one thread, the window's.
class MidiClock {
public:
    virtual ~MidiClock() = default;

    // The system's MIDI inputs, which the clock can drive.
    virtual std::vector<std::string> Destinations() = 0;
    // Drives this port alone (none when empty); false, and why, when it
    // cannot.
    virtual bool Drive(const std::string& port, std::string& why) = 0;
    // Clock goes out while sending, at the tempo last set, which takes
    // effect from the next clock.
    virtual void SetSending(bool on) = 0;
    virtual void SetTempo(double bpm) = 0;
    // Start goes out just before the next clock; Stop at once.
    virtual void Start() = 0;
    virtual void Stop() = 0;
    // Clocks fall on these beats, and Start on the next bar of them; null
    // goes back to the tempo. The timeline is let go of once this returns.
    virtual void SetTimeline(const Timeline* timeline) = 0;
    // Hears the clock of every other MIDI output there is, or none.
    virtual void SetFollowing(bool on) = 0;
    virtual Report Poll() = 0;
};

// The module's entry point. Null, and why in error, when there is no
// server to join: one is never started.
using OpenMidiClock = MidiClock* (*)(const char* name, char* error, std::size_t size);
inline constexpr const char* kOpenMidiClock = "beatwise_open_midi_clock";

} // namespace midi
