#pragma once

#include "sound/soundinput.h"

struct pa_context;
struct pa_stream;
struct pa_threaded_mainloop;

namespace sound {

// One recording stream on the desktop's sound server (PulseAudio, or
// PipeWire's PulseAudio service), run from the sound library's own thread as
// the tone's stream is: the samples go to the listener as they come, and
// nothing is kept or written anywhere.
class PulseInput final : public SoundInput {
public:
    PulseInput(InputSource source, int sampleRate, InputListener& listener);
    ~PulseInput() override;
    PulseInput(const PulseInput&) = delete;
    PulseInput& operator=(const PulseInput&) = delete;

private:
    static void OnContextState(pa_context* context, void* self);
    static void OnStreamState(pa_stream* stream, void* self);
    static void OnRead(pa_stream* stream, size_t bytes, void* self);

    void OpenStream();
    void End(InputEnd why);
    void Close();

    InputSource m_source;
    int m_rate;
    InputListener& m_listener;
    pa_threaded_mainloop* m_loop = nullptr;
    // Everything below belongs to whoever holds the loop's lock.
    pa_context* m_context = nullptr;
    pa_stream* m_stream = nullptr;
    bool m_connected = false; // the server answered
    bool m_recording = false; // the source answered
    bool m_ended = false;
};

} // namespace sound
