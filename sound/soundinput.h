#pragma once

#include <cstddef>

namespace sound {

// What to listen to.
enum class InputSource {
    Playing, // what the desktop plays: the monitor of its default output
    Microphone, // the default input
};

// Why listening ended by itself.
enum class InputEnd {
    NoServer, // no sound server to connect to
    NoSource, // the server has no such source
    SourceGone, // the source went away while listening
    ServerGone, // the server went away while listening
};

// Hears what an input records. Heard runs on the sound library's thread;
// Ended runs once at most, on any thread, and nothing follows it.
class InputListener {
public:
    virtual void Heard(const float* samples, size_t count) = 0;
    virtual void Ended(InputEnd why) = 0;

protected:
    ~InputListener() = default;
};

// Recording from the desktop's sound server, mono, in memory only. It starts
// when made and stops when destroyed: once the destructor has returned the
// listener hears nothing more.
class SoundInput {
public:
    virtual ~SoundInput() = default;
};

// The module's entry point: starts recording mono samples at sampleRate.
using OpenSoundInput = SoundInput* (*)(InputSource source, int sampleRate, InputListener* listener);
inline constexpr const char* kOpenSoundInput = "beatwise_open_sound_input";

} // namespace sound
