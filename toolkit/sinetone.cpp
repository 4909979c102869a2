#include "toolkit/sinetone.h"

#include "toolkit/replaceable.h"
#include "toolkit/runtimemodule.h"

#include "sound/soundoutput.h"

#include <QApplication>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tk {

namespace {

using ReplaceableTone = Replaceable<Tone, SineTone>;

} // namespace

SineTone::SineTone() = default;

SineTone::~SineTone() = default;

std::vector<float> SineTone::Samples(int sampleRate, int frequencyHz, int durationMs)
{
    const auto count = static_cast<int>(std::int64_t(sampleRate) * std::max(0, durationMs) / 1000);
    const int fade = std::min(count / 2, sampleRate / 500); // 2 ms
    const double step = 2.0 * std::numbers::pi * frequencyHz / sampleRate;
    std::vector<float> samples(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const int edge = std::min(i, count - 1 - i);
        const double envelope = fade > 0 && edge < fade ? double(edge) / fade : 1.0;
        samples[static_cast<size_t>(i)] = static_cast<float>(0.5 * envelope * std::sin(step * i));
    }
    return samples;
}

void SineTone::RingBell(void* tone)
{
    // Called from the sound library's thread: the bell rings on this one.
    QMetaObject::invokeMethod(
        &static_cast<SineTone*>(tone)->m_bell, [] { QApplication::beep(); }, Qt::QueuedConnection);
}

void SineTone::Beep(int frequencyHz, int durationMs)
{
    if (!m_opened) {
        m_opened = true;
        const auto open = reinterpret_cast<sound::OpenSoundOutput>(
            SoundModule().Function(sound::kOpenSoundOutput));
        m_output.reset(open ? open(&SineTone::RingBell, this) : nullptr);
    }
    if (!m_output) {
        QApplication::beep();
        return;
    }
    if (frequencyHz != m_cachedHz || durationMs != m_cachedMs || m_cached.empty()) {
        m_cached = Samples(sound::SoundOutput::kSampleRate, frequencyHz, durationMs);
        m_cachedHz = frequencyHz;
        m_cachedMs = durationMs;
    }
    if (!m_cached.empty())
        m_output->Play(m_cached);
}

std::int64_t SineTone::LastHandedOver() const
{
    return m_output ? m_output->LastHandedOver() : 0;
}

void PreloadTone()
{
    SoundModule().Preload();
}

Tone& CurrentTone()
{
    return ReplaceableTone::Current();
}

Tone* ReplaceTone(Tone* tone)
{
    return ReplaceableTone::Replace(tone);
}

} // namespace tk
