#pragma once

#include "toolkit/tone.h"

#include <QObject>

#include <cstdint>
#include <memory>
#include <vector>

namespace sound {
class SoundOutput;
}

namespace tk {

// Plays a sine wave on the desktop's sound server without waiting for it.
// The sound module and the server connection open with the first tone, if
// nothing loaded them sooner. Where no tone can be played (no module, no
// server, no device) it rings the desktop's bell instead, quietly.
class SineTone final : public Tone {
public:
    SineTone();
    ~SineTone() override;

    void Beep(int frequencyHz, int durationMs) override;

    // When the latest tone's samples went to the sound server, in
    // nanoseconds of std::chrono::steady_clock; 0 before the first.
    std::int64_t LastHandedOver() const;

    // Mono samples of the tone, faded in and out over a millisecond or two so
    // that it starts and stops without a click.
    static std::vector<float> Samples(int sampleRate, int frequencyHz, int durationMs);

private:
    static void RingBell(void* tone);

    QObject m_bell; // rings the bell on the thread that made the tone
    std::unique_ptr<sound::SoundOutput> m_output; // goes before the bell it rings
    bool m_opened = false;
    int m_cachedHz = 0;
    int m_cachedMs = 0;
    std::vector<float> m_cached;
};

} // namespace tk
