#include "analysis/onsetenvelope.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace analysis {

namespace {

// Four hundred frames a second time onsets to 2.5 ms, which the tempo of a
// minute of music needs to be right to 0.01 bpm.
constexpr double kFramesPerSecond = 400;
constexpr double kWindowSeconds = 0.04; // at least
// The rise is measured over 20 ms, so that a soft attack counts too.
constexpr double kRiseSeconds = 0.02;
constexpr double kLowestBand = 30, kHighestBand = 8000; // Hz
constexpr double kBandsPerOctave = 4;
constexpr double kLowest = 160; // Hz: below it kicks and bass
constexpr double kMiddle = 2000; // Hz: up to it the chords, above it cymbals and hi-hats
// Quieter than anything but dither: below it a band counts as silent, so
// that the dither of a quiet passage is not heard as onsets.
constexpr float kSilence = 1e-9f;
constexpr float kBelowLoudest = 1e-5f; // 50 dB

} // namespace

OnsetEnvelope::OnsetEnvelope(double sampleRate)
    : m_hop(std::max<size_t>(1, size_t(std::lround(sampleRate / kFramesPerSecond))))
    , m_framesPerSecond(sampleRate / double(m_hop))
{
    // A window of about 40 to 90 ms, whatever the rate.
    size_t window = 16;
    while (double(window) < kWindowSeconds * sampleRate)
        window *= 2;
    m_fft = new_aubio_fft(uint_t(window));
    m_in = new_fvec(uint_t(window));
    m_spectrum = new_fvec(uint_t(window));
    m_samples.assign(window, 0.0f);
    m_taper.resize(window);
    for (size_t i = 0; i < window; ++i)
        m_taper[i] = float(0.5 - 0.5 * std::cos(2 * std::numbers::pi * double(i) / double(window)));
    m_norm = 4.0f / float(window);

    const double binWidth = sampleRate / double(window);
    const double highest = std::min(kHighestBand, sampleRate / 2);
    const size_t bins = window / 2 + 1;
    m_bandEdges.push_back(std::max<size_t>(1, size_t(kLowestBand / binWidth)));
    for (double edge = kLowestBand * std::exp2(1 / kBandsPerOctave); edge < highest;
         edge *= std::exp2(1 / kBandsPerOctave)) {
        const size_t bin = std::min(bins, size_t(std::lround(edge / binWidth)));
        if (bin > m_bandEdges.back())
            m_bandEdges.push_back(bin);
    }
    const size_t last = std::min(bins, size_t(highest / binWidth) + 1);
    if (last > m_bandEdges.back())
        m_bandEdges.push_back(last);
    m_lowEdge = size_t(std::lround(kLowest / binWidth));
    m_midEdge = size_t(std::lround(kMiddle / binWidth));
    m_energies.assign(m_bandEdges.size() - 1, 0.0f);
    m_previous.assign(std::max<size_t>(1, size_t(std::lround(kRiseSeconds * m_framesPerSecond))),
        std::vector<float>(m_bandEdges.size() - 1, std::log(kSilence)));
}

OnsetEnvelope::~OnsetEnvelope()
{
    if (m_fft)
        del_aubio_fft(m_fft);
    if (m_in)
        del_fvec(m_in);
    if (m_spectrum)
        del_fvec(m_spectrum);
}

void OnsetEnvelope::Add(const float* samples, size_t count, OnsetFrames& frames)
{
    if (!m_fft || !m_in || !m_spectrum)
        return;
    // The newest samples at the end of a window that slides by a hop.
    while (count > 0) {
        const size_t taken = std::min(count, m_hop - m_filled);
        const size_t window = m_samples.size();
        std::copy_n(samples, taken, m_samples.begin() + std::ptrdiff_t(window - m_hop + m_filled));
        m_filled += taken;
        samples += taken;
        count -= taken;
        if (m_filled == m_hop) {
            Frame(frames);
            std::copy(
                m_samples.begin() + std::ptrdiff_t(m_hop), m_samples.end(), m_samples.begin());
            m_filled = 0;
        }
    }
}

void OnsetEnvelope::Frame(OnsetFrames& frames)
{
    for (size_t i = 0; i < m_samples.size(); ++i)
        m_in->data[i] = m_samples[i] * m_taper[i];
    // Real and imaginary parts, the imaginary in reverse order after the
    // real: powers need no square roots and no phases.
    aubio_fft_do_complex(m_fft, m_in, m_spectrum);
    const size_t size = m_samples.size();
    const auto power = [&](size_t bin) {
        const float re = m_spectrum->data[bin] * m_norm;
        const float im = bin > 0 && bin < size / 2 ? m_spectrum->data[size - bin] * m_norm : 0.0f;
        return re * re + im * im;
    };
    const size_t bands = m_bandEdges.size() - 1;
    float rise = 0, lowRise = 0, midRise = 0;
    size_t lowBands = 0, midBands = 0;
    std::vector<float>& older = m_previous[size_t(m_frames) % m_previous.size()];
    float loudest = 0;
    for (size_t band = 0; band < bands; ++band) {
        float energy = 0;
        for (size_t bin = m_bandEdges[band]; bin < m_bandEdges[band + 1]; ++bin)
            energy += power(bin);
        m_energies[band] = energy;
        loudest = std::max(loudest, energy);
    }
    // Bands far below the loudest hold only the window's leakage of it,
    // which flickers with the phase of a held note: they count as silent.
    const float floor = std::max(kSilence, loudest * kBelowLoudest);
    for (size_t band = 0; band < bands; ++band) {
        const float level = std::log(std::max(m_energies[band], floor));
        rise += std::max(0.0f, level - older[band]);
        if (m_bandEdges[band + 1] <= m_lowEdge) {
            lowRise += std::max(0.0f, level - older[band]);
            ++lowBands;
        } else if (m_bandEdges[band + 1] <= m_midEdge) {
            midRise += std::max(0.0f, level - older[band]);
            ++midBands;
        }
        older[band] = level; // the oldest again, that many frames from now
    }
    // The first frames have nothing to rise from.
    const bool risen = size_t(m_frames) >= m_previous.size();
    frames.values.push_back(risen ? rise / float(bands) : 0.0f);
    frames.lows.push_back(risen && lowBands > 0 ? lowRise / float(lowBands) : 0.0f);
    frames.mids.push_back(risen && midBands > 0 ? midRise / float(midBands) : 0.0f);
    ++m_frames;
}

} // namespace analysis
