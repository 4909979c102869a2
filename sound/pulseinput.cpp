#include "sound/pulseinput.h"

#include "sound/pulseloop.h"

#include <pulse/error.h>

#include <cstdint>

namespace sound {

namespace {

// Samples come in parts this long: often enough to follow the beat, seldom
// enough to cost nothing.
constexpr int kPartMs = 50;

} // namespace

PulseInput::PulseInput(InputSource source, int sampleRate, InputListener& listener)
    : m_source(source)
    , m_rate(sampleRate)
    , m_listener(listener)
{
    m_loop = pa_threaded_mainloop_new();
    if (!m_loop || pa_threaded_mainloop_start(m_loop) < 0) {
        if (m_loop)
            pa_threaded_mainloop_free(m_loop);
        m_loop = nullptr;
        End(InputEnd::NoServer);
        return;
    }
    LoopLock lock(m_loop);
    m_context = pa_context_new(pa_threaded_mainloop_get_api(m_loop), "Beatwise");
    if (!m_context) {
        End(InputEnd::NoServer);
        return;
    }
    pa_context_set_state_callback(m_context, &PulseInput::OnContextState, this);
    // Never start a server: listening says there is none instead.
    if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        Close();
        End(InputEnd::NoServer);
    }
}

PulseInput::~PulseInput()
{
    if (!m_loop)
        return;
    {
        LoopLock lock(m_loop);
        m_ended = true; // nothing more to tell
        Close();
    }
    pa_threaded_mainloop_stop(m_loop);
    pa_threaded_mainloop_free(m_loop);
}

void PulseInput::OpenStream()
{
    const pa_sample_spec format {PA_SAMPLE_FLOAT32NE, std::uint32_t(m_rate), 1};
    m_stream = pa_stream_new(m_context, "Listening for the tempo", &format, nullptr);
    if (!m_stream) {
        End(InputEnd::NoSource);
        return;
    }
    pa_stream_set_state_callback(m_stream, &PulseInput::OnStreamState, this);
    pa_stream_set_read_callback(m_stream, &PulseInput::OnRead, this);
    const auto unset = static_cast<std::uint32_t>(-1);
    const auto part = static_cast<std::uint32_t>(pa_usec_to_bytes(kPartMs * 1000, &format));
    const pa_buffer_attr buffer {unset, unset, unset, unset, part};
    // The server's own names for the monitor of the default output and for
    // the default input.
    const char* device = m_source == InputSource::Playing ? "@DEFAULT_MONITOR@" : nullptr;
    if (pa_stream_connect_record(m_stream, device, &buffer, PA_STREAM_ADJUST_LATENCY) < 0)
        End(InputEnd::NoSource);
}

void PulseInput::End(InputEnd why)
{
    if (m_ended)
        return;
    m_ended = true;
    m_listener.Ended(why);
}

void PulseInput::Close()
{
    Disconnect(m_stream, m_context);
}

void PulseInput::OnContextState(pa_context* context, void* self)
{
    auto* input = static_cast<PulseInput*>(self);
    const pa_context_state_t state = pa_context_get_state(context);
    if (state == PA_CONTEXT_READY && !input->m_stream) {
        input->m_connected = true;
        input->OpenStream();
    } else if (IsGone(state)) {
        input->End(input->m_connected ? InputEnd::ServerGone : InputEnd::NoServer);
    }
}

void PulseInput::OnStreamState(pa_stream* stream, void* self)
{
    auto* input = static_cast<PulseInput*>(self);
    const pa_stream_state_t state = pa_stream_get_state(stream);
    if (state == PA_STREAM_READY) {
        input->m_recording = true;
    } else if (IsGone(state)) {
        // A stream also fails when its server goes; that is told by the
        // context, which fails with it.
        if (IsGone(pa_context_get_state(input->m_context))
            || pa_context_errno(input->m_context) == PA_ERR_CONNECTIONTERMINATED)
            input->End(InputEnd::ServerGone);
        else
            input->End(input->m_recording ? InputEnd::SourceGone : InputEnd::NoSource);
    }
}

void PulseInput::OnRead(pa_stream* stream, size_t /*bytes*/, void* self)
{
    auto* input = static_cast<PulseInput*>(self);
    const void* data = nullptr;
    size_t bytes = 0;
    while (pa_stream_readable_size(stream) > 0) {
        if (pa_stream_peek(stream, &data, &bytes) < 0)
            return;
        if (bytes == 0)
            return;
        // A hole (no data, only a length) is sound lost, not silence heard.
        if (data && !input->m_ended)
            input->m_listener.Heard(static_cast<const float*>(data), bytes / sizeof(float));
        pa_stream_drop(stream);
    }
}

} // namespace sound
