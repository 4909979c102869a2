#include "sound/pulseoutput.h"

#include "sound/pulseloop.h"

#include <chrono>

namespace sound {

namespace {

// Short enough for the tone to sound at once, long enough not to run dry.
constexpr int kTargetLatencyMs = 20;

} // namespace

PulseOutput::PulseOutput(std::function<void()> onNoOutput)
    : m_onNoOutput(std::move(onNoOutput))
{
}

PulseOutput::~PulseOutput()
{
    if (!m_loop)
        return;
    {
        LoopLock lock(m_loop);
        Close();
    }
    pa_threaded_mainloop_stop(m_loop);
    pa_threaded_mainloop_free(m_loop);
}

void PulseOutput::Play(std::vector<float> samples)
{
    if (!m_loop) {
        m_loop = pa_threaded_mainloop_new();
        if (!m_loop || pa_threaded_mainloop_start(m_loop) < 0) {
            if (m_loop)
                pa_threaded_mainloop_free(m_loop);
            m_loop = nullptr;
            m_onNoOutput();
            return;
        }
    }
    LoopLock lock(m_loop);
    m_pending = std::move(samples);
    m_hasPending = true;
    if (m_context && IsGone(pa_context_get_state(m_context)))
        Close(); // the server went away since the last sound: start afresh
    if (!m_context) {
        Connect();
        return; // the sound follows once the stream is ready
    }
    if (pa_context_get_state(m_context) != PA_CONTEXT_READY)
        return;
    if (m_stream && IsGone(pa_stream_get_state(m_stream))) {
        pa_stream_unref(m_stream); // the device went away: open another stream
        m_stream = nullptr;
    }
    if (!m_stream)
        OpenStream();
    else if (pa_stream_get_state(m_stream) == PA_STREAM_READY)
        WritePending();
}

void PulseOutput::Connect()
{
    m_context = pa_context_new(pa_threaded_mainloop_get_api(m_loop), "Beatwise");
    if (!m_context) {
        GiveUpPending();
        return;
    }
    pa_context_set_state_callback(m_context, &PulseOutput::OnContextState, this);
    // A desktop without a sound server gets the bell; never start a server.
    if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        Close();
        GiveUpPending();
    }
}

void PulseOutput::OpenStream()
{
    const pa_sample_spec format {PA_SAMPLE_FLOAT32NE, kSampleRate, 1};
    m_stream = pa_stream_new(m_context, "Tap tone", &format, nullptr);
    if (!m_stream) {
        GiveUpPending();
        return;
    }
    pa_stream_set_state_callback(m_stream, &PulseOutput::OnStreamState, this);
    const auto bytes
        = static_cast<std::uint32_t>(pa_usec_to_bytes(kTargetLatencyMs * 1000, &format));
    const auto unset = static_cast<std::uint32_t>(-1);
    const pa_buffer_attr buffer {unset, bytes, unset, unset, unset};
    const auto flags
        = static_cast<pa_stream_flags_t>(PA_STREAM_ADJUST_LATENCY | PA_STREAM_START_CORKED);
    if (pa_stream_connect_playback(m_stream, nullptr, &buffer, flags, nullptr, nullptr) < 0) {
        pa_stream_unref(m_stream);
        m_stream = nullptr;
        GiveUpPending();
    }
}

void PulseOutput::WritePending()
{
    m_hasPending = false;
    // Drop what is still queued of the last sound, so that this one starts now.
    Release(pa_stream_flush(m_stream, nullptr, nullptr));
    const size_t bytes = m_pending.size() * sizeof(float);
    if (pa_stream_write(m_stream, m_pending.data(), bytes, nullptr, 0, PA_SEEK_RELATIVE) < 0) {
        m_onNoOutput();
        return;
    }
    m_handedOver.store(std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch())
                           .count());
    Release(pa_stream_cork(m_stream, 0, nullptr, nullptr));
    if (pa_operation* drain = pa_stream_drain(m_stream, &PulseOutput::OnDrained, this)) {
        ++m_drainsUnderWay;
        pa_operation_unref(drain);
    }
}

void PulseOutput::GiveUpPending()
{
    if (!m_hasPending)
        return;
    m_hasPending = false;
    m_pending.clear();
    m_onNoOutput();
}

void PulseOutput::Close()
{
    Disconnect(m_stream, m_context);
    m_drainsUnderWay = 0;
}

void PulseOutput::OnContextState(pa_context* context, void* self)
{
    auto* output = static_cast<PulseOutput*>(self);
    const pa_context_state_t state = pa_context_get_state(context);
    if (state == PA_CONTEXT_READY && output->m_hasPending && !output->m_stream)
        output->OpenStream();
    else if (IsGone(state))
        output->GiveUpPending();
}

void PulseOutput::OnStreamState(pa_stream* stream, void* self)
{
    auto* output = static_cast<PulseOutput*>(self);
    const pa_stream_state_t state = pa_stream_get_state(stream);
    if (state == PA_STREAM_READY && output->m_hasPending)
        output->WritePending();
    else if (IsGone(state))
        output->GiveUpPending();
}

void PulseOutput::OnDrained(pa_stream* stream, int /*success*/, void* self)
{
    auto* output = static_cast<PulseOutput*>(self);
    if (output->m_stream != stream || --output->m_drainsUnderWay > 0)
        return;
    // Played to the end and nothing newer under way: pause the stream, so
    // that the device may sleep until the next sound.
    Release(pa_stream_cork(stream, 1, nullptr, nullptr));
}

} // namespace sound
