#include "toolkit/sinetone.h"

#include "toolkit/replaceable.h"

#include <QApplication>
#include <QAudioDevice>
#include <QAudioSink>
#include <QBuffer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMediaDevices>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace tk {

namespace {

using ReplaceableTone = Replaceable<Tone, SineTone>;

QAudioFormat PreferredFormat(const QAudioDevice& device)
{
    QAudioFormat format = device.preferredFormat();
    format.setChannelCount(1);
    if (format.sampleRate() <= 0)
        format.setSampleRate(48000);
    if (format.sampleFormat() != QAudioFormat::Float)
        format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format)) {
        format.setSampleFormat(QAudioFormat::Int16);
        format.setSampleRate(44100);
    }
    return format;
}

// The default output, asked for without the console message that Qt's
// audio layer prints when there is no sound server: such a machine simply
// gets the bell.
QAudioDevice QuietDefaultOutput()
{
    static QtMessageHandler s_previous = nullptr;
    s_previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& text) {
            if (!text.startsWith(QLatin1String("PulseAudioService")))
                s_previous(type, context, text);
        });
    QAudioDevice device = QMediaDevices::defaultAudioOutput();
    qInstallMessageHandler(s_previous);
    return device;
}

} // namespace

QByteArray SineTone::Samples(const QAudioFormat& format, int frequencyHz, int durationMs)
{
    const int rate = format.sampleRate();
    const int count = int(qint64(rate) * qMax(0, durationMs) / 1000);
    const int fade = qMin(count / 2, rate / 500); // 2 ms
    const double step = 2.0 * std::numbers::pi * frequencyHz / rate;
    const bool isFloat = format.sampleFormat() == QAudioFormat::Float;
    QByteArray bytes(qsizetype(count) * format.bytesPerSample(), Qt::Uninitialized);
    for (int i = 0; i < count; ++i) {
        const int edge = qMin(i, count - 1 - i);
        const double envelope = fade > 0 && edge < fade ? double(edge) / fade : 1.0;
        const double value = 0.5 * envelope * std::sin(step * i);
        if (isFloat) {
            const float sample = float(value);
            std::memcpy(bytes.data() + qsizetype(i) * 4, &sample, 4);
        } else {
            const qint16 sample = qint16(std::lround(value * 32767.0));
            std::memcpy(bytes.data() + qsizetype(i) * 2, &sample, 2);
        }
    }
    return bytes;
}

void SineTone::Beep(int frequencyHz, int durationMs)
{
    const QAudioDevice device = QuietDefaultOutput();
    if (device.isNull()) {
        QApplication::beep();
        return;
    }
    const QAudioFormat format = PreferredFormat(device);
    QByteArray samples = Samples(format, frequencyHz, durationMs);
    QBuffer buffer(&samples);
    buffer.open(QIODevice::ReadOnly);

    QAudioSink sink(device, format);
    sink.start(&buffer);
    if (sink.error() != QAudio::NoError) {
        QApplication::beep();
        return;
    }
    // The sink takes the samples long before they are heard; it has played
    // them once it has gone idle and the time they take has passed.
    QElapsedTimer elapsed;
    elapsed.start();
    const qint64 audible
        = durationMs + std::min<qint64>(format.durationForBytes(sink.bufferSize()) / 1000, 500);
    const qint64 giveUp = durationMs + 1500; // never hang on an audio system that stops answering
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        const bool drained = sink.state() != QAudio::ActiveState;
        if ((drained && elapsed.elapsed() >= audible) || elapsed.elapsed() >= giveUp)
            loop.quit();
    });
    poll.start(5);
    // Input waits until the tone has ended, as the press that sounded it does.
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    sink.stop();
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
