#include "link/linksession.h"

#include <ableton/Link.hpp>

#include <time.h>

namespace tempolink {

LinkSession::LinkSession(double bpm, Listener listener)
    : m_link(std::make_unique<ableton::Link>(bpm))
{
    if (listener.peers)
        m_link->setNumPeersCallback(
            [listener](std::size_t count) { listener.peers(listener.context, count); });
    if (listener.tempo)
        m_link->setTempoCallback(
            [listener](double tempo) { listener.tempo(listener.context, tempo); });
    m_link->enable(true);
}

LinkSession::~LinkSession()
{
    // Leaves the session; Link's threads end before the listener goes.
    m_link->enable(false);
    m_link.reset();
}

void LinkSession::SetTempo(double bpm)
{
    if (!(bpm >= kSlowest && bpm <= kFastest))
        return;
    auto state = m_link->captureAppSessionState();
    state.setTempo(bpm, m_link->clock().micros());
    m_link->commitAppSessionState(state);
}

double LinkSession::Tempo() const
{
    return m_link->captureAppSessionState().tempo();
}

namespace {

std::int64_t Micros(clockid_t clock)
{
    timespec now {};
    ::clock_gettime(clock, &now);
    return std::int64_t(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

// Link keeps the raw monotonic clock, which the clock servers do not slew;
// audio servers keep the slewed one. The two part by parts per million, so
// the distance between them is read at each asking.
std::int64_t RawLessMonotonic()
{
    return Micros(CLOCK_MONOTONIC_RAW) - Micros(CLOCK_MONOTONIC);
}

} // namespace

double LinkSession::BeatAt(std::int64_t micros, double quantum) const
{
    const auto state = m_link->captureAudioSessionState();
    return state.beatAtTime(std::chrono::microseconds(micros + RawLessMonotonic()), quantum);
}

std::int64_t LinkSession::TimeAt(double beat, double quantum) const
{
    const auto state = m_link->captureAudioSessionState();
    return std::int64_t(state.timeAtBeat(beat, quantum).count()) - RawLessMonotonic();
}

std::size_t LinkSession::Peers() const
{
    return m_link->numPeers();
}

} // namespace tempolink
