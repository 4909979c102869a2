#pragma once

#include <cstddef>
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

private:
    std::unique_ptr<ableton::Link> m_link;
};

// The module's entry points, for a program that loads Link only when it is
// first switched on. Open gives null, and says why in error, when Link
// cannot start.
using OpenFunction = LinkSession* (*)(double bpm, Listener listener, char* error, std::size_t size);
using CloseFunction = void (*)(LinkSession* session);
using SetTempoFunction = void (*)(LinkSession* session, double bpm);
inline constexpr const char* kOpen = "beatwise_link_open";
inline constexpr const char* kClose = "beatwise_link_close";
inline constexpr const char* kSetTempo = "beatwise_link_set_tempo";

} // namespace tempolink
