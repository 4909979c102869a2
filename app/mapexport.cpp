#include "app/mapexport.h"

#include <QCoreApplication>
#include <QSaveFile>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace mapexport {

namespace {

constexpr int kTicksPerQuarter = 480;
constexpr quint32 kSlowestQuarter = 0xFFFFFF; // microseconds: what a tempo event holds
// The click: a tone this long, in seconds, at these pitches and levels.
constexpr double kClickSeconds = 0.015;
constexpr double kDownbeatHz = 1600, kBeatHz = 1000;
constexpr double kDownbeatLevel = 0.8, kBeatLevel = 0.45;
// Channel 10's wood blocks, high on the downbeats.
constexpr char kDownbeatKey = 76, kBeatKey = 77, kNoteTicks = 60;
// Samples of the click track written at a time: memory stays flat however
// long the song.
constexpr quint32 kBlock = 65536;

void Number(QByteArray& out, quint32 value, int bytes)
{
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
        out.append(char((value >> shift) & 0xFF));
}

// The gap to the next event as MIDI writes it: seven bits a byte, the
// highest first.
void Delta(QByteArray& out, quint32 ticks)
{
    char bytes[5];
    int count = 0;
    do {
        bytes[count++] = char(ticks & 0x7F);
        ticks >>= 7;
    } while (ticks > 0);
    while (count > 1)
        out.append(char(bytes[--count] | 0x80));
    out.append(bytes[0]);
}

void Meta(QByteArray& out, quint32 delta, char type, const QByteArray& data)
{
    Delta(out, delta);
    out.append(char(0xFF));
    out.append(type);
    Delta(out, quint32(data.size()));
    out.append(data);
}

QByteArray Tempo(qint64 microseconds)
{
    QByteArray data;
    Number(data, quint32(std::clamp<qint64>(microseconds, 1, kSlowestQuarter)), 3);
    return data;
}

// A bar of that many notes of 1 / 2^power.
QByteArray Signature(int notes, int power)
{
    QByteArray signature;
    signature.append(char(notes));
    signature.append(char(power));
    signature.append(char(24)); // MIDI clocks a click
    signature.append(char(8)); // 32nds a quarter
    return signature;
}

QByteArray Track(const QByteArray& events)
{
    QByteArray track("MTrk");
    Number(track, quint32(events.size()), 4);
    return track + events;
}

qint64 Microseconds(double seconds)
{
    return std::llround(std::clamp(seconds, 0.0, 1e9) * 1e6);
}

QString Reason(const QSaveFile& file)
{
    return QCoreApplication::translate("SongTempoWords", "%1 cannot be written: %2")
        .arg(file.fileName(), file.errorString());
}

} // namespace

QByteArray Midi(const analysis::TempoMap& map)
{
    const std::vector<analysis::Beat>& beats = map.beats;
    const int perBar = std::max(1, map.beatsPerBar);
    QByteArray tempo, clicks;
    if (!beats.empty()) {
        // Before the first full bar, in a short bar of their own: the time
        // until the music starts, at about the song's tempo (players keep
        // time by the millisecond and choke on a squeezed quarter), then
        // the beats of a pickup.
        size_t firstDownbeat = 0;
        while (firstDownbeat < beats.size() && beats[firstDownbeat].beat != 1)
            ++firstDownbeat;
        if (firstDownbeat >= size_t(perBar))
            firstDownbeat = 0;
        const qint64 start = Microseconds(beats[0].seconds);
        const double beat = beats.size() > 1 ? beats[1].seconds - beats[0].seconds : 0.5;
        // In quarters, or in 64ths where the music starts within half a beat.
        const bool fine = start > 0 && beats[0].seconds < beat / 2;
        const int unit = fine ? kTicksPerQuarter / 16 : kTicksPerQuarter;
        const double units = beats[0].seconds / (fine ? beat / 16 : beat);
        const int lead
            = start > 0 ? int(std::clamp(std::round(units), 1.0, fine ? 8.0 : 200.0)) : 0;
        const int before = lead + int(firstDownbeat) * (fine ? 16 : 1);
        Meta(tempo, 0, 0x58, before > 0 ? Signature(before, fine ? 6 : 2) : Signature(perBar, 2));
        Meta(tempo, 0, 0x51,
            Tempo(lead > 0 ? start * kTicksPerQuarter / (qint64(lead) * unit) : 500000));
        const auto leadTicks = quint32(lead * unit);
        quint32 pending = leadTicks; // ticks to the next tempo event
        size_t change = 0;
        for (size_t i = 0; i < beats.size(); ++i) {
            // Each beat's quarter lasts until the next beat, rounded so that
            // the rounding never adds up.
            const qint64 next = i + 1 < beats.size() ? Microseconds(beats[i + 1].seconds)
                                                     : Microseconds(beats[i].seconds)
                    + 60000000 / std::max<qint64>(1, std::llround(beats[i].bpm));
            if (change < map.changes.size()
                && map.changes[change].seconds <= beats[i].seconds + 1e-6) {
                Meta(tempo, pending, 0x06,
                    QByteArray::number(map.changes[change].bpm, 'f', 2) + " bpm");
                pending = 0;
                ++change;
            }
            if (before > 0 && i == firstDownbeat) {
                Meta(tempo, pending, 0x58, Signature(perBar, 2));
                pending = 0;
            }
            Meta(tempo, pending, 0x51, Tempo(next - Microseconds(beats[i].seconds)));
            pending = kTicksPerQuarter;
        }
        Meta(tempo, pending, 0x2F, {});

        Delta(clicks, leadTicks);
        for (size_t i = 0; i < beats.size(); ++i) {
            const bool down = beats[i].beat == 1;
            if (i > 0)
                Delta(clicks, kTicksPerQuarter - kNoteTicks);
            clicks.append(char(0x99));
            clicks.append(down ? kDownbeatKey : kBeatKey);
            clicks.append(char(down ? 110 : 80));
            Delta(clicks, kNoteTicks);
            clicks.append(char(0x89));
            clicks.append(down ? kDownbeatKey : kBeatKey);
            clicks.append(char(0));
        }
        Meta(clicks, 0, 0x2F, {});
    } else {
        Meta(tempo, 0, 0x2F, {});
        Meta(clicks, 0, 0x2F, {});
    }
    QByteArray file("MThd");
    Number(file, 6, 4);
    Number(file, 1, 2); // type 1: tracks played together
    Number(file, 2, 2);
    Number(file, kTicksPerQuarter, 2);
    return file + Track(tempo) + Track(clicks);
}

QByteArray WavHeader(int sampleRate, quint32 samples)
{
    const quint32 bytes = samples * 2;
    QByteArray header;
    const auto little = [&](quint32 value, int size) {
        for (int i = 0; i < size; ++i)
            header.append(char((value >> (8 * i)) & 0xFF));
    };
    header.append("RIFF");
    little(36 + bytes, 4);
    header.append("WAVEfmt ");
    little(16, 4);
    little(1, 2); // PCM
    little(1, 2); // mono
    little(quint32(sampleRate), 4);
    little(quint32(sampleRate) * 2, 4);
    little(2, 2);
    little(16, 2);
    header.append("data");
    little(bytes, 4);
    return header;
}

QByteArray ClickSamples(const analysis::TempoMap& map, int sampleRate, quint64 first, quint32 count)
{
    std::vector<qint16> samples(count, 0);
    const double rate = sampleRate;
    const auto length = quint64(kClickSeconds * rate);
    // The beats that sound in these samples: from the first whose click
    // may still ring.
    const auto begin = std::lower_bound(map.beats.begin(), map.beats.end(),
        (double(first) - double(length)) / rate,
        [](const analysis::Beat& beat, double seconds) { return beat.seconds < seconds; });
    for (auto beat = begin; beat != map.beats.end(); ++beat) {
        const auto at = quint64(std::llround(beat->seconds * rate));
        if (at >= first + count)
            break;
        const bool down = beat->beat == 1;
        const double pitch = down ? kDownbeatHz : kBeatHz,
                     level = down ? kDownbeatLevel : kBeatLevel;
        for (quint64 i = std::max(at, first); i < std::min(at + length, first + count); ++i) {
            const double t = double(i - at) / rate;
            const double fade = 1 - t / kClickSeconds;
            samples[i - first] = qint16(
                std::lround(32767 * level * fade * std::sin(2 * std::numbers::pi * pitch * t)));
        }
    }
    QByteArray bytes(qsizetype(count) * 2, Qt::Uninitialized);
    for (quint32 i = 0; i < count; ++i)
        qToLittleEndian(samples[i], bytes.data() + 2 * i);
    return bytes;
}

QString WriteMidi(const analysis::TempoMap& map, const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Reason(file);
    file.write(Midi(map));
    return file.commit() ? QString() : Reason(file);
}

QString WriteClickTrack(const analysis::SongTempo& song, const QString& path)
{
    const int rate = song.sampleRate;
    QSaveFile file(path);
    if (!(rate > 0 && song.seconds > 0) || !file.open(QIODevice::WriteOnly))
        return Reason(file);
    // A WAV holds at most 4 GB.
    const auto samples = quint32(std::min(song.seconds * rate, 2e9 - 64));
    file.write(WavHeader(rate, samples));
    for (quint64 first = 0; first < samples && file.error() == QFileDevice::NoError;
         first += kBlock)
        file.write(ClickSamples(
            song.map, rate, first, quint32(std::min<quint64>(kBlock, samples - first))));
    return file.commit() ? QString() : Reason(file);
}

} // namespace mapexport
