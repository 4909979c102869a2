#pragma once

#include "midi/clockfollower.h"
#include "midi/clockgrid.h"
#include "midi/midiclock.h"

#include <jack/jack.h>
#include <jack/ringbuffer.h>

#include <atomic>
#include <string>

namespace midi {

// MIDI clock through JACK's MIDI API, which PipeWire's JACK service offers
// too: each clock is written at its own frame of the audio cycle, never at
// the cycle's start.
class JackClock : public MidiClock {
public:
    // Throws, saying why, when there is no server.
    explicit JackClock(const char* name);
    ~JackClock() override;
    JackClock(const JackClock&) = delete;
    JackClock& operator=(const JackClock&) = delete;

    std::vector<std::string> Destinations() override;
    bool Drive(const std::string& port, std::string& why) override;
    void SetSending(bool on) override { m_sending = on; }
    void SetTempo(double bpm) override { m_bpm = bpm; }
    void Start() override { m_startAsked = true; }
    void Stop() override { m_stopAsked = true; }
    void SetTimeline(const Timeline* timeline) override;
    void SetFollowing(bool on) override;
    Report Poll() override;

private:
    // What the audio thread hands the window's of the clock coming in.
    struct Heard {
        std::uint64_t frame;
        std::uint8_t message;
    };

    static int Process(jack_nframes_t frames, void* self);
    static void ShutDown(jack_status_t, const char*, void* self);
    void Send(jack_nframes_t frames, std::uint64_t first);
    void Hear(jack_nframes_t frames, std::uint64_t first);
    std::vector<std::string> Ports(unsigned long flags);
    std::string OwnPrefix() const;
    static double BeatAtFrame(void* self, double frame);
    static double FrameAtBeat(void* self, double beat);

    jack_client_t* m_client = nullptr;
    jack_port_t* m_out = nullptr;
    jack_port_t* m_in = nullptr;
    jack_ringbuffer_t* m_heard = nullptr;
    std::string m_driven;
    // Asked from the window's thread, done on the audio thread.
    std::atomic<bool> m_sending {false}, m_startAsked {false}, m_stopAsked {false};
    std::atomic<bool> m_serverGone {false};
    std::atomic<double> m_bpm {120};
    std::atomic<std::uint64_t> m_heardTo {0}; // the frame after the last cycle heard
    std::atomic<const Timeline*> m_timeline {nullptr}, m_timelineInUse {nullptr};
    // The audio thread's alone: the grid, and the cycle it lays clocks in.
    ClockGrid m_grid;
    const Timeline* m_following = nullptr;
    // The first frame of the cycle, counted on past JACK's 32 bits, which
    // wrap within a day.
    std::uint64_t m_cycle = 0;
    std::int64_t m_cycleMicros = 0;
    ClockFollower m_follower; // the window thread's alone
};

} // namespace midi
