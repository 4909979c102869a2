#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

// A WAV file written byte by byte, so that its header can say anything.
struct Wav {
    int format = 1; // 1: 16-bit integers, 3: 32-bit floats
    int channels = 1;
    uint32_t rate = 44100;
    std::vector<float> samples; // interleaved
    int64_t claimedBytes = -1; // the data size the header claims; -1: the truth
    int64_t keptBytes = -1; // the data actually written; -1: all

    bool Write(const QString& path) const
    {
        QByteArray data;
        for (float sample : samples) {
            if (format == 3) {
                data.append(reinterpret_cast<const char*>(&sample), 4);
            } else {
                const auto value = int16_t(std::lround(std::clamp(sample, -1.0f, 1.0f) * 32767));
                data.append(reinterpret_cast<const char*>(&value), 2);
            }
        }
        if (keptBytes >= 0)
            data.truncate(qsizetype(keptBytes));
        const int bytesPerSample = format == 3 ? 4 : 2;
        QByteArray header;
        const auto add = [&](uint32_t value, int size) {
            header.append(reinterpret_cast<const char*>(&value), size);
        };
        const auto dataSize = uint32_t(claimedBytes >= 0 ? claimedBytes : data.size());
        header.append("RIFF");
        add(36 + dataSize, 4);
        header.append("WAVEfmt ");
        add(16, 4);
        add(uint32_t(format), 2);
        add(uint32_t(channels), 2);
        add(rate, 4);
        add(rate * uint32_t(channels * bytesPerSample), 4);
        add(uint32_t(channels * bytesPerSample), 2);
        add(uint32_t(8 * bytesPerSample), 2);
        header.append("data");
        add(dataSize, 4);
        QFile file(path);
        return file.open(QIODevice::WriteOnly)
            && file.write(header + data) == header.size() + data.size();
    }
};
