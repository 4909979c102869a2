#pragma once

#include "toolkit/tone.h"

#include <QAudioFormat>
#include <QByteArray>

namespace tk {

// Plays a sine wave on the default audio output and waits for it to end.
// Without an audio output (a headless machine) it rings the desktop's bell
// instead, at once and quietly.
class SineTone final : public Tone {
public:
    void Beep(int frequencyHz, int durationMs) override;

    // Samples of the tone in the given format (16-bit or float), faded in and
    // out over a millisecond or two so that it starts and stops without a click.
    static QByteArray Samples(const QAudioFormat& format, int frequencyHz, int durationMs);
};

} // namespace tk
