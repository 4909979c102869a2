// Link as a module of its own, loaded when Link is first switched on: the
// program starts without it, and without a socket until then.
#include "link/linksession.h"

#include <cstdio>
#include <exception>

#define BEATWISE_EXPORT extern "C" __attribute__((visibility("default")))

BEATWISE_EXPORT tempolink::LinkSession* beatwise_link_open(
    double bpm, tempolink::Listener listener, char* error, std::size_t size)
{
    try {
        return new tempolink::LinkSession(bpm, listener);
    } catch (const std::exception& failure) {
        if (error && size > 0)
            std::snprintf(error, size, "%s", failure.what());
        return nullptr;
    }
}

BEATWISE_EXPORT void beatwise_link_close(tempolink::LinkSession* session)
{
    delete session;
}

BEATWISE_EXPORT void beatwise_link_set_tempo(tempolink::LinkSession* session, double bpm)
{
    session->SetTempo(bpm);
}

BEATWISE_EXPORT double beatwise_link_beat_at(void* session, std::int64_t micros, double quantum)
{
    return static_cast<tempolink::LinkSession*>(session)->BeatAt(micros, quantum);
}

BEATWISE_EXPORT std::int64_t beatwise_link_time_at(void* session, double beat, double quantum)
{
    return static_cast<tempolink::LinkSession*>(session)->TimeAt(beat, quantum);
}
