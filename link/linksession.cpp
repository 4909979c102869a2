#include "link/linksession.h"

#include <ableton/Link.hpp>

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

std::size_t LinkSession::Peers() const
{
    return m_link->numPeers();
}

} // namespace tempolink
