#include "analysis/songtempo.h"

#include "analysis/beatfit.h"

#include <aubio/aubio.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <numbers>

namespace analysis {

namespace {

constexpr double kShortest = 6; // seconds of audio needed to find a tempo
constexpr double kSteady = 0.6; // the least share of the beats found that must keep time
constexpr double kCovered = 0.5; // the least share of the song's beats that must be found
// Beats need nothing above 11 kHz: faster rates are halved before analysis.
constexpr int kHalveAbove = 32000;
constexpr uint_t kTempoWindow = 512, kTempoHop = 256; // for the beat tracker, at 22.05 kHz
constexpr uint_t kOnsetWindow = 256, kOnsetHop = 128; // finer, for the beats' times

struct CloseFile {
    void operator()(SNDFILE* file) const { sf_close(file); }
};

struct Aubio {
    aubio_tempo_t* tempo = nullptr;
    aubio_onset_t* onset = nullptr;
    fvec_t* tempoIn = nullptr;
    fvec_t* tempoOut = nullptr;
    fvec_t* onsetIn = nullptr;
    fvec_t* onsetOut = nullptr;

    explicit Aubio(uint_t rate)
        : tempo(new_aubio_tempo("default", kTempoWindow, kTempoHop, rate))
        , onset(new_aubio_onset("specflux", kOnsetWindow, kOnsetHop, rate))
        , tempoIn(new_fvec(kTempoHop))
        , tempoOut(new_fvec(2))
        , onsetIn(new_fvec(kOnsetHop))
        , onsetOut(new_fvec(1))
    {
    }
    ~Aubio()
    {
        if (tempo)
            del_aubio_tempo(tempo);
        if (onset)
            del_aubio_onset(onset);
        for (fvec_t* vector : {tempoIn, tempoOut, onsetIn, onsetOut}) {
            if (vector)
                del_fvec(vector);
        }
    }
    Aubio(const Aubio&) = delete;
    Aubio& operator=(const Aubio&) = delete;
};

// The loudness of the last second or so, part by part, and the onsets that
// wait for the 50 ms after them to be heard before they get their weight.
// Loudness is measured below about 1.5 kHz: kicks and snares make the beat,
// hi-hats and other hiss only decorate it.
class LoudnessHistory {
public:
    LoudnessHistory(double secondsPerPart, int sampleRate)
        : m_secondsPerPart(secondsPerPart)
        , m_smoothing(float(1 - std::exp(-2 * std::numbers::pi * 1500.0 / sampleRate)))
        , m_parts(size_t(1.0 / secondsPerPart) + 1, 0.0f)
    {
    }

    void Add(long part, const float* samples, uint_t count)
    {
        float sum = 0;
        for (uint_t i = 0; i < count; ++i) {
            m_low += m_smoothing * (samples[i] - m_low);
            sum += m_low * m_low;
        }
        m_parts[size_t(part) % m_parts.size()] = sum / float(count);
        m_latest = part;
    }

    // Weighs the onsets whose 50 ms have passed by now, in seconds.
    void Settle(std::vector<double>& pending, std::vector<Onset>& onsets, double now)
    {
        size_t settled = 0;
        for (; settled < pending.size() && pending[settled] + kListen <= now; ++settled) {
            const double time = pending[settled];
            const long first = std::max(0L, long(time / m_secondsPerPart));
            const long last = std::min(m_latest, long((time + kListen) / m_secondsPerPart));
            float loudest = 0;
            for (long part = std::max(first, m_latest - long(m_parts.size()) + 1); part <= last;
                 ++part)
                loudest = std::max(loudest, m_parts[size_t(part) % m_parts.size()]);
            onsets.push_back({time, loudest});
        }
        pending.erase(pending.begin(), pending.begin() + std::ptrdiff_t(settled));
    }

private:
    static constexpr double kListen = 0.05;
    double m_secondsPerPart;
    float m_smoothing; // of a one-pole low-pass filter
    float m_low = 0;
    std::vector<float> m_parts;
    long m_latest = -1;
};

Failure OpenFailure(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)
        || std::filesystem::file_size(path, error) == 0)
        return Failure::Unreadable;
    const int reason = sf_error(nullptr);
    return reason == SF_ERR_UNRECOGNISED_FORMAT || reason == SF_ERR_UNSUPPORTED_ENCODING
        ? Failure::UnsupportedFormat
        : Failure::Unreadable;
}

} // namespace

SongTempo AnalyseSongFile(const std::string& path, Progress* progress)
{
    SongTempo result;
    SF_INFO info {};
    const std::unique_ptr<SNDFILE, CloseFile> file(sf_open(path.c_str(), SFM_READ, &info));
    if (!file) {
        result.failure = OpenFailure(path);
        return result;
    }
    if (info.samplerate <= 0 || info.channels <= 0 || info.frames <= 0) {
        result.failure = Failure::UnsupportedFormat;
        return result;
    }
    if (double(info.frames) / info.samplerate < kShortest) {
        result.failure = Failure::TooShort;
        return result;
    }

    // Block by block, mixed down to one channel: the whole song is never in
    // memory. The beat tracker gives the tempo roughly; the onset detector,
    // twice as fine, gives the times of the events, each weighed by the
    // loudest moment of the 50 ms after it (the onset detector's own measure
    // favours hi-hats over kicks).
    const int factor = info.samplerate > kHalveAbove ? 2 : 1;
    const int rate = info.samplerate / factor;
    Aubio aubio(static_cast<uint_t>(rate));
    if (!aubio.tempo || !aubio.onset) {
        result.failure = Failure::UnsupportedFormat; // a rate aubio cannot work at
        return result;
    }
    const double secondsPerPart = double(kOnsetHop) / rate;
    LoudnessHistory loudness(secondsPerPart, rate);
    std::vector<double> pending; // onsets waiting for their 50 ms
    std::vector<Onset> onsets;
    const sf_count_t blockFrames = sf_count_t(kTempoHop) * factor;
    std::vector<float> block(size_t(blockFrames) * size_t(info.channels));
    sf_count_t read = 0;
    long part = 0;
    for (;;) {
        if (progress && progress->cancel.load()) {
            result.failure = Failure::Cancelled;
            return result;
        }
        const sf_count_t frames = sf_readf_float(file.get(), block.data(), blockFrames);
        if (frames <= 0)
            break;
        // One channel, and the mean of each pair of frames where the rate is halved.
        std::fill_n(block.begin() + std::ptrdiff_t(frames * info.channels),
            size_t((blockFrames - frames) * info.channels), 0.0f);
        const float scale = 1.0f / float(info.channels * factor);
        for (uint_t i = 0; i < kTempoHop; ++i) {
            float sum = 0;
            for (size_t sample = size_t(i) * size_t(factor * info.channels);
                 sample < size_t(i + 1) * size_t(factor * info.channels); ++sample)
                sum += block[sample];
            aubio.tempoIn->data[i] = sum * scale;
        }
        aubio_tempo_do(aubio.tempo, aubio.tempoIn, aubio.tempoOut);
        for (uint_t offset = 0; offset < kTempoHop; offset += kOnsetHop, ++part) {
            std::copy_n(aubio.tempoIn->data + offset, kOnsetHop, aubio.onsetIn->data);
            loudness.Add(part, aubio.onsetIn->data, kOnsetHop);
            aubio_onset_do(aubio.onset, aubio.onsetIn, aubio.onsetOut);
            if (aubio.onsetOut->data[0] != 0)
                pending.push_back(aubio_onset_get_last_s(aubio.onset));
            loudness.Settle(pending, onsets, double(part + 1) * secondsPerPart);
        }
        read += frames;
        if (progress)
            progress->done.store(double(read) / double(info.frames));
    }
    loudness.Settle(pending, onsets, 1e300);
    if (sf_error(file.get()) != SF_ERR_NO_ERROR && read < info.frames / 2) {
        result.failure = Failure::Unreadable; // broken off early
        return result;
    }

    const smpl_t trackerBpm = aubio_tempo_get_bpm(aubio.tempo);
    const std::optional<BeatFit> fit = FitBeats(trackerBpm > 0 ? 60.0 / trackerBpm : 0, onsets);
    if (!fit || fit->confidence < kSteady || fit->coverage < kCovered || fit->period <= 0) {
        result.failure = Failure::NoSteadyBeat;
        return result;
    }
    result.bpm = std::round(60.0 / fit->period * 100) / 100;
    result.confidence = fit->confidence;
    result.beats = fit->beats;
    return result;
}

} // namespace analysis
