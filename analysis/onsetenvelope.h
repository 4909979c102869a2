#pragma once

#include <aubio/aubio.h>

#include <cstddef>
#include <vector>

namespace analysis {

// The envelopes of onsets, frame by frame: over all bands, over the kick and
// bass bands alone, and over the middle bands where chords sound.
struct OnsetFrames {
    std::vector<float> values, lows, mids;

    void clear()
    {
        values.clear();
        lows.clear();
        mids.clear();
    }
};

// How much new sound starts at each moment, 400 times a second:
// the rise in loudness, band by band on a log scale, summed over the bands.
// A kick, a snare and a hi-hat each count by how suddenly they start, not by
// how loud they are or where their sound lies, and the result does not
// depend on the level of the recording. Fed with samples block by block.
class OnsetEnvelope {
public:
    explicit OnsetEnvelope(double sampleRate);
    ~OnsetEnvelope();
    OnsetEnvelope(const OnsetEnvelope&) = delete;
    OnsetEnvelope& operator=(const OnsetEnvelope&) = delete;

    double FramesPerSecond() const { return m_framesPerSecond; }

    // Takes samples (any number) and appends a frame for each one completed.
    void Add(const float* samples, size_t count, OnsetFrames& frames);

private:
    void Frame(OnsetFrames& frames);

    size_t m_hop;
    double m_framesPerSecond;
    aubio_fft_t* m_fft = nullptr;
    fvec_t* m_in = nullptr; // the window's samples, tapered
    fvec_t* m_spectrum = nullptr;
    std::vector<float> m_samples; // the last window's worth
    std::vector<float> m_taper; // a Hann window
    size_t m_filled = 0;
    float m_norm; // brings a full-scale sine to a level of about 1
    size_t m_lowEdge = 0; // bins below it are low
    size_t m_midEdge = 0; // bins from the low edge to it are the middle
    std::vector<size_t> m_bandEdges; // bins, band b is [edge b, edge b+1)
    std::vector<float> m_energies; // of the frame, band by band
    std::vector<std::vector<float>> m_previous; // the log levels of the last frames, by turns
    long m_frames = 0;
};

} // namespace analysis
