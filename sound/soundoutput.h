#pragma once

#include <cstdint>
#include <vector>

namespace sound {

// Where the tone's samples go: the desktop's sound server, reached through a
// module of its own (libbeatwise_sound) that the program loads only once its
// window is up, so that no audio library slows its start.
class SoundOutput {
public:
    static constexpr int kSampleRate = 48000;

    virtual ~SoundOutput() = default;

    // Plays mono samples at kSampleRate, cutting short whatever still plays.
    // Returns at once.
    virtual void Play(std::vector<float> samples) = 0;

    // When the latest sound's samples went to the server, in nanoseconds of
    // std::chrono::steady_clock; 0 before the first.
    virtual std::int64_t LastHandedOver() const = 0;
};

// The module's entry point: a new output whose sounds that cannot be
// played (no server, no device) call noOutput(context), from any thread.
using OpenSoundOutput = SoundOutput* (*)(void (*noOutput)(void*), void* context);
inline constexpr const char* kOpenSoundOutput = "beatwise_open_sound_output";

} // namespace sound
