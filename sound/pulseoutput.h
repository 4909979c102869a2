#pragma once

#include "sound/soundoutput.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

struct pa_context;
struct pa_stream;
struct pa_threaded_mainloop;

namespace sound {

// One playback stream on the desktop's sound server (PulseAudio, or
// PipeWire's PulseAudio service), run from the sound
// library's own thread, so that nothing here ever waits for the server: the
// caller's thread only hands the samples over. The connection opens on the
// first sound, stays (paused between sounds) and is opened afresh on the next
// sound after the server or the device went away.
class PulseOutput final : public SoundOutput {
public:
    // onNoOutput runs, on the sound library's thread, for every sound that
    // cannot be played: no server, no device, a connection that failed.
    explicit PulseOutput(std::function<void()> onNoOutput);
    ~PulseOutput() override;
    PulseOutput(const PulseOutput&) = delete;
    PulseOutput& operator=(const PulseOutput&) = delete;

    // Plays mono samples at kSampleRate, cutting short whatever still plays.
    // Returns at once.
    void Play(std::vector<float> samples) override;
    std::int64_t LastHandedOver() const override { return m_handedOver.load(); }

private:
    static void OnContextState(pa_context* context, void* self);
    static void OnStreamState(pa_stream* stream, void* self);
    static void OnDrained(pa_stream* stream, int success, void* self);

    void Connect();
    void OpenStream();
    void WritePending();
    void GiveUpPending();
    void Close();

    std::function<void()> m_onNoOutput;
    pa_threaded_mainloop* m_loop = nullptr;
    // Everything below belongs to whoever holds the loop's lock.
    pa_context* m_context = nullptr;
    pa_stream* m_stream = nullptr;
    std::vector<float> m_pending; // a sound waiting for the stream to be ready
    bool m_hasPending = false;
    int m_drainsUnderWay = 0; // the stream pauses once the last has ended
    std::atomic<std::int64_t> m_handedOver {0};
};

} // namespace sound
