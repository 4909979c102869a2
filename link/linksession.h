#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace ableton {
class Link;
}

// Beatwise in a Link session: the studio's shared tempo, with every other
// app and device on the network that joins it. No Qt.
namespace tempolink {

// Called on Link's own threads: hand them on, never block in them.
struct Listener {
    void* context = nullptr;
    void (*peers)(void* context, std::size_t count) = nullptr;
    void (*tempo)(void* context, double bpm) = nullptr;
};

// The tempos a session takes.
inline constexpr double kSlowest = 20, kFastest = 999;

class LinkSession {
public:
    // Joins at once, with this tempo if no session is there to join; a
    // session that is there keeps its own, and the listener hears it.
    LinkSession(double bpm, Listener listener);
    ~LinkSession();
    LinkSession(const LinkSession&) = delete;
    LinkSession& operator=(const LinkSession&) = delete;

    // Sets the session's tempo; one outside what Link takes is ignored.
    void SetTempo(double bpm);
    double Tempo() const;
    std::size_t Peers() const;

    // The session's beat at a time of the system's monotonic clock (in
    // microseconds), with its phase in bars of quantum beats, and the time
    // of a beat. For one audio thread alone, which may ask at every cycle.
    double BeatAt(std::int64_t micros, double quantum) const;
    std::int64_t TimeAt(double beat, double quantum) const;

private:
    std::unique_ptr<ableton::Link> m_link;
};

// The module's entry points, for a program that loads Link only when it is
// first switched on. Open gives null, and says why in error, when Link
// cannot start.
using OpenFunction = LinkSession* (*)(double bpm, Listener listener, char* error, std::size_t size);
using CloseFunction = void (*)(LinkSession* session);
using SetTempoFunction = void (*)(LinkSession* session, double bpm);
// The session's beats for an audio thread, as LinkSession::BeatAt and TimeAt.
using BeatAtFunction = double (*)(void* session, std::int64_t micros, double quantum);
using TimeAtFunction = std::int64_t (*)(void* session, double beat, double quantum);
inline constexpr const char* kOpen = "beatwise_link_open";
inline constexpr const char* kClose = "beatwise_link_close";
inline constexpr const char* kSetTempo = "beatwise_link_set_tempo";
inline constexpr const char* kBeatAt = "beatwise_link_beat_at";
inline constexpr const char* kTimeAt = "beatwise_link_time_at";

// A session's beats as a clock's audio thread follows them.
struct Timeline {
    void* session = nullptr;
    BeatAtFunction beatAt = nullptr;
    TimeAtFunction timeAt = nullptr;
};

} // namespace tempolink
