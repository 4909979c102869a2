#pragma once

#include "analysis/songtempo.h"

#include <sndfile.h>

#include <memory>
#include <string>
#include <vector>

namespace analysis {

// A song file opened for analysis: decoded by libsndfile, mixed down to one
// channel and brought down to a rate that beats need (about 11 kHz), block
// by block. Every file is taken as hostile until read: only regular files
// are opened, absurd headers are refused, and samples that are not finite
// numbers are read as silence, so nothing downstream sees an overflow.
class AudioFile {
public:
    // Opens the file; Failure() says why when it cannot be analysed.
    explicit AudioFile(const std::string& path);
    ~AudioFile();
    AudioFile(const AudioFile&) = delete;
    AudioFile& operator=(const AudioFile&) = delete;

    analysis::Failure Failure() const { return m_failure; }
    double Rate() const { return m_rate; } // of the samples Read gives
    double Seconds() const; // as the header claims
    double Done() const; // the share of the claimed length read, 0 to 1

    // Up to count samples at Rate(); 0 at the end. A file that breaks off
    // early ends there.
    size_t Read(float* samples, size_t count);
    // The file broke off before most of it was read.
    bool BrokeOff() const;

private:
    analysis::Failure m_failure = analysis::Failure::None;
    int m_fd = -1;
    SNDFILE* m_file = nullptr;
    SF_INFO m_info {};
    int m_factor = 1; // input frames to each sample given
    double m_rate = 0;
    sf_count_t m_framesRead = 0;
    std::vector<float> m_frames;
};

// A sample as the analysis takes it, from a file or a sound server alike:
// clipped far beyond full scale, and silence where it is not a number.
float GuardedSample(float sample);

} // namespace analysis
