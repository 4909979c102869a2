#pragma once

#include "analysis/songtempo.h"

#include <sndfile.h>
#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

namespace analysis {

class Mp4Audio;

// A song file opened for analysis: decoded by libsndfile (an M4A by
// FFmpeg's libraries), mixed down to one
// channel and brought down to a rate that beats need (about 11 kHz), block
// by block. Every file is taken as hostile until read: only regular files
// are opened, absurd headers are refused, and samples that are not finite
// numbers are read as silence, so nothing downstream sees an overflow. No
// file costs more than a long song: the samples decoded are bounded, only
// the front two channels are mixed, and tags ahead of the audio (ID3v2,
// which may hold anything) are stepped over unread.
class AudioFile {
public:
    // The most samples decoded from a file, channels counted: half an hour
    // of a CD, enough for the tempo of any song and of most of a DJ's mix.
    // Past that a file costs more than a long song does, however small it is
    // (a FLAC of constant subframes at 768 kHz unpacks to hours).
    static constexpr sf_count_t kMostSamples = sf_count_t(30) * 60 * 44100 * 2;

    // Opens the file; Failure() says why when it cannot be analysed.
    explicit AudioFile(const std::string& path, sf_count_t mostSamples = kMostSamples);
    ~AudioFile();
    AudioFile(const AudioFile&) = delete;
    AudioFile& operator=(const AudioFile&) = delete;

    analysis::Failure Failure() const { return m_failure; }
    double Rate() const { return m_rate; } // of the samples Read gives
    double Seconds() const; // as the header claims
    double Done() const; // the share of the claimed length read, 0 to 1
    int FileRate() const { return m_info.samplerate; } // as the header says

    // Up to count samples at Rate(); 0 at the end. A file that breaks off
    // early ends there.
    size_t Read(float* samples, size_t count);
    // The file broke off before most of it was read.
    bool BrokeOff() const;
    // Where reading stopped short of the end, as the file would have cost
    // more than a long song: the seconds read; 0 when the file was read whole.
    double CutShortAt() const { return m_cutShort ? double(m_framesRead) / m_info.samplerate : 0; }

private:
    sf_count_t ReadFrames(float* frames, sf_count_t count);

    analysis::Failure m_failure = analysis::Failure::None;
    int m_fd = -1;
    SNDFILE* m_file = nullptr;
    std::unique_ptr<Mp4Audio> m_mp4;
    SF_INFO m_info {};
    int m_factor = 1; // input frames to each sample given
    double m_rate = 0;
    sf_count_t m_framesRead = 0;
    sf_count_t m_mostFrames = 0; // to be decoded, at the most
    bool m_cutShort = false;
    off_t m_audioStart = 0; // past the tags ahead of the audio
    off_t m_size = 0;
    std::vector<float> m_frames;

    friend struct AudioFileIo;
};

// A sample as the analysis takes it, from a file or a sound server alike:
// clipped far beyond full scale, and silence where it is not a number.
float GuardedSample(float sample);

} // namespace analysis
