#include "midi/jackclock.h"

#include <jack/midiport.h>

#include <chrono>
#include <cmath>
#include <stdexcept>
#include <thread>

namespace midi {

namespace {

jack_client_t* OpenClient(const char* name)
{
    // libjack tells of every failure on standard error: the window says why.
    jack_set_error_function([](const char*) {});
    jack_set_info_function([](const char*) {});
    jack_status_t status {};
    jack_client_t* client = jack_client_open(name, JackNoStartServer, &status);
    if (!client) {
        if (status & (JackServerFailed | JackServerError))
            throw std::runtime_error("no JACK or PipeWire server is running.");
        throw std::runtime_error("the MIDI server refused a client.");
    }
    return client;
}

// Fills the output port's buffer of one cycle.
class PortSink : public ClockGrid::Sink {
public:
    explicit PortSink(void* buffer)
        : m_buffer(buffer)
    {
    }
    void Send(std::uint32_t offset, std::uint8_t message) override
    {
        jack_midi_event_write(m_buffer, offset, &message, 1);
    }

private:
    void* m_buffer;
};

constexpr std::size_t kHeardRoom = 4096; // messages, a second's worth at most

} // namespace

JackClock::JackClock(const char* name)
    : m_client(OpenClient(name))
    , m_grid(jack_get_sample_rate(m_client))
    , m_follower(jack_get_sample_rate(m_client))
{
    m_out = jack_port_register(m_client, "clock out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    m_in = jack_port_register(m_client, "clock in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    m_heard = jack_ringbuffer_create(kHeardRoom * sizeof(Heard));
    if (!m_out || !m_in || !m_heard || jack_set_process_callback(m_client, &Process, this) != 0) {
        jack_client_close(m_client);
        if (m_heard)
            jack_ringbuffer_free(m_heard);
        throw std::runtime_error("the MIDI server gave no ports.");
    }
    jack_on_info_shutdown(m_client, &ShutDown, this);
    if (jack_activate(m_client) != 0) {
        jack_client_close(m_client);
        jack_ringbuffer_free(m_heard);
        throw std::runtime_error("the MIDI server would not run the clock.");
    }
}

JackClock::~JackClock()
{
    // The audio thread is over once the client is closed.
    if (!m_serverGone)
        jack_deactivate(m_client);
    jack_client_close(m_client);
    jack_ringbuffer_free(m_heard);
}

int JackClock::Process(jack_nframes_t frames, void* self)
{
    auto* clock = static_cast<JackClock*>(self);
    const std::uint64_t last = clock->m_cycle;
    const std::uint64_t first
        = last + std::uint32_t(jack_last_frame_time(clock->m_client) - std::uint32_t(last));
    clock->m_cycle = first;
    clock->Send(frames, first);
    clock->Hear(frames, first);
    clock->m_heardTo = first + frames;
    return 0;
}

void JackClock::ShutDown(jack_status_t, const char*, void* self)
{
    static_cast<JackClock*>(self)->m_serverGone = true;
}

void JackClock::Send(jack_nframes_t frames, std::uint64_t first)
{
    void* buffer = jack_port_get_buffer(m_out, frames);
    jack_midi_clear_buffer(buffer);
    if (!m_sending) {
        m_grid.Halt();
        return;
    }
    // The frame of a cycle's start is the audio server's time of it.
    const Timeline* timeline = m_timeline;
    if (timeline != m_following) {
        ClockGrid::Beats beats;
        if (timeline)
            beats = {this, &BeatAtFrame, &FrameAtBeat, timeline->quantum};
        m_grid.Follow(beats);
        m_following = timeline;
    }
    m_cycleMicros = std::int64_t(jack_frames_to_time(m_client, jack_nframes_t(first)));
    m_grid.SetTempo(m_bpm);
    if (m_stopAsked.exchange(false))
        m_grid.Stop();
    if (m_startAsked.exchange(false))
        m_grid.Start();
    PortSink sink(buffer);
    m_grid.Cycle(first, frames, sink);
    m_timelineInUse = timeline;
}

void JackClock::Hear(jack_nframes_t frames, std::uint64_t first)
{
    void* buffer = jack_port_get_buffer(m_in, frames);
    const std::uint32_t count = jack_midi_get_event_count(buffer);
    for (std::uint32_t i = 0; i < count; ++i) {
        jack_midi_event_t event;
        if (jack_midi_event_get(&event, buffer, i) != 0 || event.size != 1)
            continue;
        const std::uint8_t message = event.buffer[0];
        if (message != kClock && message != kStart && message != kContinue && message != kStop)
            continue;
        const Heard heard {first + event.time, message};
        // A window too slow to take them loses the newest, never blocks.
        if (jack_ringbuffer_write_space(m_heard) >= sizeof heard)
            jack_ringbuffer_write(m_heard, reinterpret_cast<const char*>(&heard), sizeof heard);
    }
}

std::vector<std::string> JackClock::Ports(unsigned long flags)
{
    std::vector<std::string> names;
    const std::string own = OwnPrefix();
    if (const char** ports = jack_get_ports(m_client, nullptr, JACK_DEFAULT_MIDI_TYPE, flags)) {
        for (const char** port = ports; *port; ++port) {
            if (std::string(*port).rfind(own, 0) != 0)
                names.emplace_back(*port);
        }
        jack_free(ports);
    }
    return names;
}

std::string JackClock::OwnPrefix() const
{
    return std::string(jack_get_client_name(m_client)) + ':';
}

std::vector<std::string> JackClock::Destinations()
{
    return Ports(JackPortIsInput);
}

bool JackClock::Drive(const std::string& port, std::string& why)
{
    const std::string own = jack_port_name(m_out);
    if (!m_driven.empty())
        jack_disconnect(m_client, own.c_str(), m_driven.c_str());
    m_driven.clear();
    if (port.empty())
        return true;
    const int failure = jack_connect(m_client, own.c_str(), port.c_str());
    if (failure != 0 && failure != EEXIST) {
        why = jack_port_by_name(m_client, port.c_str()) ? port + " refused the clock."
                                                        : port + " is not there.";
        return false;
    }
    m_driven = port;
    return true;
}

double JackClock::BeatAtFrame(void* self, double frame)
{
    auto* clock = static_cast<JackClock*>(self);
    const double micros = double(clock->m_cycleMicros)
        + (frame - double(clock->m_cycle)) * 1e6 / jack_get_sample_rate(clock->m_client);
    return clock->m_following->beatAt(clock->m_following->context, std::llround(micros));
}

double JackClock::FrameAtBeat(void* self, double beat)
{
    auto* clock = static_cast<JackClock*>(self);
    const std::int64_t micros = clock->m_following->timeAt(clock->m_following->context, beat);
    return double(clock->m_cycle)
        + double(micros - clock->m_cycleMicros) * jack_get_sample_rate(clock->m_client) / 1e6;
}

void JackClock::SetTimeline(const Timeline* timeline)
{
    m_timeline = timeline;
    // The audio thread takes it up within a cycle, or has ended; it runs
    // only while sending.
    for (int waited = 0;
         waited < 200 && m_sending && !m_serverGone && m_timelineInUse.load() != timeline; ++waited)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void JackClock::SetFollowing(bool on)
{
    const std::string own = jack_port_name(m_in);
    jack_port_disconnect(m_client, m_in);
    if (on) {
        for (const std::string& source : Ports(JackPortIsOutput))
            jack_connect(m_client, source.c_str(), own.c_str());
    }
    m_follower = ClockFollower(jack_get_sample_rate(m_client));
}

Report JackClock::Poll()
{
    Report report;
    if (m_serverGone) {
        report.ended = Ended::ServerGone;
        return report;
    }
    if (!m_driven.empty() && !jack_port_by_name(m_client, m_driven.c_str())) {
        report.ended = Ended::PortGone;
        return report;
    }
    // Silence is counted to the end of the last cycle heard, not to the
    // wall clock: after a missed cycle JACK's estimate of the frame now can
    // run far ahead until the next, and a clock would seem to have stopped.
    const std::uint64_t heardTo = m_heardTo;
    Heard heard;
    while (jack_ringbuffer_read(m_heard, reinterpret_cast<char*>(&heard), sizeof heard)
        == sizeof heard) {
        if (heard.message == kClock)
            m_follower.Clock(heard.frame);
        else if (heard.message == kStop)
            m_follower.Stop();
        else
            m_follower.Start();
    }
    report.in = m_follower.At(heardTo);
    if (const char** sources = jack_port_get_connections(m_in)) {
        for (const char** source = sources; *source; ++source)
            report.source += (report.source.empty() ? "" : ", ") + std::string(*source);
        jack_free(sources);
    }
    return report;
}

} // namespace midi
