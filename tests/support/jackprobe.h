#pragma once

#include <jack/jack.h>
#include <jack/midiport.h>
#include <jack/transport.h>

#include <unistd.h>

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QTest>

#include <atomic>
#include <cstdint>
#include <ctime>
#include <vector>

// A real JACK server of the test's own (the dummy driver, under a private
// name that this process's clients find through JACK_DEFAULT_SERVER), and
// a probe client on it: "probe:in" records each MIDI byte with its frame,
// as jack_midi_dump shows them, and "probe:out" sends one byte at each
// frame of a plan, counted from when the plan is started.
class JackServer {
public:
    static constexpr int kRate = 48000;

    ~JackServer() { Stop(); }

    static QString Name() { return QStringLiteral("beatwise-test-%1").arg(::getpid()); }

    // Empty on success, otherwise why the server is not there. Realtime
    // where the machine allows it, as a studio runs it.
    QString Start(int period, bool realtime = false)
    {
        if (QStandardPaths::findExecutable(QStringLiteral("jackd")).isEmpty())
            return QStringLiteral("jackd is not installed (scripts/install-deps)");
        qputenv("JACK_DEFAULT_SERVER", Name().toUtf8());
        qputenv("JACK_NO_AUDIO_RESERVATION", "1");
        m_jackd.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_jackd.setStandardOutputFile(QProcess::nullDevice());
        m_jackd.start(QStringLiteral("jackd"),
            {realtime ? "--realtime" : "--no-realtime", "-n", Name(), "-d", "dummy", "-r",
                QString::number(kRate), "-p", QString::number(period)});
        if (!m_jackd.waitForStarted())
            return QStringLiteral("jackd did not start");
        // Ready once a client can join.
        for (int attempt = 0; attempt < 100; ++attempt) {
            jack_status_t status {};
            if (jack_client_t* client = jack_client_open("ready", JackNoStartServer, &status)) {
                jack_client_close(client);
                return {};
            }
            QTest::qWait(50);
        }
        return QStringLiteral("jackd took no clients");
    }

    void Stop()
    {
        if (m_jackd.state() != QProcess::NotRunning) {
            m_jackd.terminate();
            if (!m_jackd.waitForFinished(3000))
                m_jackd.kill();
            m_jackd.waitForFinished();
        }
    }

private:
    QProcess m_jackd;
};

class JackProbe {
public:
    struct Byte {
        std::uint64_t frame;
        std::uint8_t message;
        // The frame's time on the raw monotonic clock (Link's), as the
        // server put it in the cycle the byte was heard: later its estimate
        // of a past frame drifts with the rate it has measured since.
        std::int64_t rawMicros;
    };

    JackProbe()
    {
        jack_status_t status {};
        m_client = jack_client_open("probe", JackNoStartServer, &status);
        if (!m_client)
            return;
        m_in = jack_port_register(m_client, "in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
        m_out = jack_port_register(m_client, "out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
        m_heard.resize(1 << 16);
        jack_set_process_callback(m_client, &Process, this);
        jack_set_xrun_callback(
            m_client, [](void* self) { return ++static_cast<JackProbe*>(self)->m_xruns, 0; }, this);
        jack_activate(m_client);
    }
    ~JackProbe() { Close(); }

    bool IsOpen() const { return m_client != nullptr; }
    void Close()
    {
        if (m_client)
            jack_client_close(m_client);
        m_client = nullptr;
    }
    std::uint64_t Now() const { return jack_frame_time(m_client); }

    // The bytes heard since the last Clear.
    std::vector<Byte> Heard() const { return {m_heard.begin(), m_heard.begin() + m_count}; }
    void Clear() { m_count = m_xruns = 0; }
    // Cycles the server missed since the last Clear, when bytes may be lost.
    int Xruns() const { return m_xruns; }

    // Sends a byte at each of these frames from the next cycle on; the
    // plan is the probe's until Send is called again.
    void Send(std::vector<std::uint64_t> frames, std::uint8_t message = 0xF8)
    {
        m_sending = false;
        QTest::qWait(100); // the audio thread lets go of the old plan
        m_plan = std::move(frames);
        m_message = message;
        m_next = 0;
        m_started = false;
        m_sending = true;
    }
    void StopSending() { m_sending = false; }
    // Rolls the server's transport, which some clock generators wait for.
    void RollTransport() { jack_transport_start(m_client); }

private:
    static std::int64_t RawMicrosAt(jack_client_t* client, std::uint64_t frame)
    {
        const auto micros = [](clockid_t id) {
            timespec now {};
            clock_gettime(id, &now);
            return std::int64_t(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
        };
        return std::int64_t(jack_frames_to_time(client, jack_nframes_t(frame)))
            + micros(CLOCK_MONOTONIC_RAW) - micros(CLOCK_MONOTONIC);
    }

    static int Process(jack_nframes_t frames, void* self)
    {
        auto* probe = static_cast<JackProbe*>(self);
        const std::uint64_t first = jack_last_frame_time(probe->m_client);
        void* in = jack_port_get_buffer(probe->m_in, frames);
        for (std::uint32_t i = 0; i < jack_midi_get_event_count(in); ++i) {
            jack_midi_event_t event;
            if (jack_midi_event_get(&event, in, i) == 0 && event.size == 1
                && probe->m_count < probe->m_heard.size())
                probe->m_heard[probe->m_count++] = {first + event.time, event.buffer[0],
                    RawMicrosAt(probe->m_client, first + event.time)};
        }
        void* out = jack_port_get_buffer(probe->m_out, frames);
        jack_midi_clear_buffer(out);
        if (probe->m_sending) {
            if (!probe->m_started) {
                probe->m_origin = first;
                probe->m_started = true;
            }
            auto& plan = probe->m_plan;
            while (probe->m_next < plan.size()
                && probe->m_origin + plan[probe->m_next] < first + frames) {
                const std::uint64_t at = probe->m_origin + plan[probe->m_next++];
                if (at >= first)
                    jack_midi_event_write(out, jack_nframes_t(at - first), &probe->m_message, 1);
            }
        }
        return 0;
    }

    jack_client_t* m_client = nullptr;
    jack_port_t* m_in = nullptr;
    jack_port_t* m_out = nullptr;
    std::vector<Byte> m_heard;
    std::atomic<std::size_t> m_count {0};
    std::atomic<int> m_xruns {0};
    std::vector<std::uint64_t> m_plan;
    std::uint8_t m_message = 0xF8;
    std::atomic<bool> m_sending {false};
    bool m_started = false;
    std::uint64_t m_origin = 0;
    std::size_t m_next = 0;
};
