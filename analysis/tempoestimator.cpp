#include "analysis/tempoestimator.h"

#include "analysis/refinement.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

namespace analysis {

namespace {

constexpr double kWindowSeconds = 12, kHopSeconds = 3;
constexpr double kFastest = 250, kSlowest = 40; // bpm
constexpr double kLongestLagSeconds = 4.2; // reaches four beats at 57 bpm
constexpr double kCoarseFramesPerSecond = 100; // of the windows' envelope
constexpr double kStoredSeconds = 10 * 60;
constexpr double kDrift = 0.02; // a spread of local tempos beyond this is drift
constexpr double kSteady = 0.015; // a window this near the median keeps the beat
constexpr double kNear = 0.08; // how far a local beat may stray from the song's
// A window has a beat when its envelope repeats at a beat period and at its
// multiples this clearly, and changes at least this much: below that it is
// noise, speech or a held sound.
constexpr float kClear = 0.2f, kLively = 0.02f;
constexpr double kCompression = 0.5;
constexpr size_t kPeaksKept = 16; // of each window's repeats

double Percentile(const std::vector<double>& sorted, double share)
{
    const double at = share * double(sorted.size() - 1);
    const size_t below = size_t(at), above = std::min(below + 1, sorted.size() - 1);
    return sorted[below] + (sorted[above] - sorted[below]) * (at - double(below));
}

} // namespace

TempoEstimator::TempoEstimator(double framesPerSecond, EstimatorSettings settings)
    : m_fineFramesPerSecond(framesPerSecond)
    , m_fine(std::max<size_t>(1, size_t(std::lround(framesPerSecond / kCoarseFramesPerSecond))))
    , m_framesPerSecond(framesPerSecond / double(m_fine))
    , m_shortest(size_t(settings.shortestSeconds * m_framesPerSecond))
    , m_refined(size_t(settings.refinedSeconds * m_framesPerSecond))
    , m_windowFrames(size_t(kWindowSeconds * m_framesPerSecond))
    , m_hopFrames(size_t(kHopSeconds * m_framesPerSecond))
    , m_longestLag(size_t(kLongestLagSeconds * m_framesPerSecond))
    , m_shortestBeat(size_t(std::floor(60 / kFastest * m_framesPerSecond)))
    , m_longestBeat(size_t(std::ceil(60 / kSlowest * m_framesPerSecond)))
    , m_nextWindowEnd(m_windowFrames)
    , m_beatAutocorrelation(m_longestLag + 1, 0.0)
{
}

void TempoEstimator::Add(const OnsetFrames& frames)
{
    const float* values = frames.values.data();
    const float* lows = frames.lows.data();
    const float* mids = frames.mids.data();
    const size_t count = frames.values.size();
    const auto stored = size_t(kStoredSeconds * m_fineFramesPerSecond);
    for (size_t i = 0; i < count; ++i) {
        if (m_envelope.size() < stored)
            m_envelope.push_back(values[i]);
        // The windows look at a coarser envelope: beat periods need no more.
        m_coarseSum += values[i];
        m_coarseLowSum += lows[i];
        m_coarseMidSum += mids[i];
        if (++m_coarseCount < m_fine)
            continue;
        if (m_lowEnvelope.size() < stored / m_fine) {
            m_lowEnvelope.push_back(m_coarseLowSum / float(m_fine));
            m_midEnvelope.push_back(m_coarseMidSum / float(m_fine));
        }
        m_coarseLowSum = 0;
        m_coarseMidSum = 0;
        m_recent.push_back(m_coarseSum / float(m_fine));
        m_coarseSum = 0;
        m_coarseCount = 0;
        if (m_recent.size() > m_windowFrames)
            m_recent.pop_front();
        if (++m_total == m_nextWindowEnd) {
            AnalyseWindow(m_total - m_windowFrames, m_windowFrames);
            m_nextWindowEnd += m_hopFrames;
        }
    }
}

void TempoEstimator::AnalyseWindow(size_t first, size_t count)
{
    // Smoothed a little, so that onsets falling between frames still line
    // up with each other, and compressed, so that a soft snare repeats a
    // loud kick as a beat does.
    std::vector<double> x(count, 0.0);
    const auto recent = m_recent.end() - std::ptrdiff_t(count);
    double liveliness = 0; // how much the sound changes, on average
    for (size_t t = 0; t < count; ++t) {
        liveliness += recent[std::ptrdiff_t(t)] / double(count);
        const double before = t > 0 ? recent[std::ptrdiff_t(t) - 1] : recent[0];
        const double after
            = t + 1 < count ? recent[std::ptrdiff_t(t) + 1] : recent[std::ptrdiff_t(t)];
        x[t] = std::pow((before + 2 * recent[std::ptrdiff_t(t)] + after) / 4, kCompression);
    }
    m_windowStarts.push_back(first);
    m_lastWindowEnd = first + count;
    Window& window = m_windows.emplace_back(Window {0, {}});

    const std::vector<double> r = Autocorrelation(std::move(x), m_longestLag);
    if (r.empty())
        return;
    const size_t longest = r.size() - 1;
    const double clarity = Clarity(r, m_shortestBeat, m_longestBeat);
    window.clarity = liveliness >= kLively ? float(clarity) : 0.0f;
    // The highest peaks are enough to follow the beat: memory stays small.
    for (const Repeat& peak :
        HighestPeaks(Peaks(r, 2), kPeaksKept, (1 + kNear) * double(m_longestBeat)))
        window.peaks.push_back({float(peak.lag), float(peak.height)});
    if (window.clarity >= kClear) {
        for (size_t lag = 0; lag <= longest; ++lag)
            m_beatAutocorrelation[lag] += r[lag];
    }
}

double TempoEstimator::LocalLag(const Window& window, double beatLag) const
{
    // The window's own peak near the song's beat, then its multiples too,
    // which tell the period more finely.
    const auto peakNear = [&](double lag, double reach) -> const Peak* {
        const Peak* best = nullptr;
        for (const Peak& peak : window.peaks) {
            if (std::abs(peak.lag - lag) <= reach * lag && (!best || peak.height > best->height))
                best = &peak;
        }
        return best;
    };
    const Peak* beat = peakNear(beatLag, kNear);
    if (!beat)
        return 0;
    double lags = beat->lag, beats = 1;
    for (int k = 2; k <= 4; ++k) {
        if (const Peak* multiple = peakNear(k * beat->lag, 0.03)) {
            lags += multiple->lag;
            beats += k;
        }
    }
    return lags / beats;
}

TempoEstimate TempoEstimator::Estimate()
{
    // The end of the music gets a window of its own, if the last one left
    // much of it out: for this estimate only, as more music may follow.
    if (m_total < m_shortest || m_total <= m_lastWindowEnd + m_hopFrames / 2)
        return EstimateFromWindows();
    const size_t lastWindowEnd = m_lastWindowEnd;
    const std::vector<double> beatAutocorrelation = m_beatAutocorrelation;
    const bool early = m_windows.empty();
    AnalyseWindow(m_total - std::min(m_total, m_windowFrames), std::min(m_total, m_windowFrames));
    if (early) {
        // Asked again and again before a first whole window (as music is
        // heard), the beat is chosen from all the music's beginnings so far:
        // one alone would favour the beat or its half by where in the bar
        // the music ends.
        m_earlyAutocorrelation.resize(m_beatAutocorrelation.size(), 0.0);
        for (size_t lag = 0; lag < m_beatAutocorrelation.size(); ++lag)
            m_earlyAutocorrelation[lag] += m_beatAutocorrelation[lag];
        m_beatAutocorrelation = m_earlyAutocorrelation;
    }
    const TempoEstimate estimate = EstimateFromWindows();
    m_windows.pop_back();
    m_windowStarts.pop_back();
    m_lastWindowEnd = lastWindowEnd;
    m_beatAutocorrelation = beatAutocorrelation;
    return estimate;
}

std::pair<size_t, size_t> TempoEstimator::SteadyStretch(
    const std::vector<double>& local, double bpm) const
{
    size_t bestFirst = 0, bestCount = 0;
    for (size_t i = 0; i < m_windows.size();) {
        size_t j = i;
        while (j < m_windows.size() && local[j] > 0 && std::abs(local[j] - bpm) <= kSteady * bpm)
            ++j;
        if (j - i > bestCount) {
            bestFirst = i;
            bestCount = j - i;
        }
        i = std::max(j, i + 1);
    }
    if (bestCount == 0)
        return {0, 0};
    const size_t first = m_windowStarts[bestFirst];
    size_t end = std::min(
        m_envelope.size() / m_fine, m_windowStarts[bestFirst + bestCount - 1] + m_windowFrames);
    end = std::min(end, first + m_refined);
    if (end <= first + std::min(m_windowFrames / 2, m_shortest))
        return {0, 0};
    return {first, end - first};
}

TempoEstimate TempoEstimator::EstimateFromWindows() const
{
    TempoEstimate estimate;
    estimate.windows = int(m_windows.size());
    for (const Window& window : m_windows)
        estimate.beatWindows += window.clarity >= kClear ? 1 : 0;
    if (estimate.beatWindows == 0)
        return estimate;
    const LagProfile profile(m_beatAutocorrelation);
    const BeatGrid grid
        = FindGrid(profile, m_framesPerSecond, double(m_shortestBeat), double(m_longestBeat));
    if (!(grid.pulse > 0))
        return estimate;

    std::vector<double> tempos;
    std::vector<double> local(m_windows.size(), 0.0);
    for (size_t i = 0; i < m_windows.size(); ++i) {
        if (m_windows[i].clarity < kClear)
            continue;
        if (const double lag = LocalLag(m_windows[i], grid.pulse); lag > 0) {
            local[i] = 60 * m_framesPerSecond / lag;
            tempos.push_back(local[i]);
        }
    }
    if (tempos.empty())
        return estimate;
    std::sort(tempos.begin(), tempos.end());
    double bpm = Percentile(tempos, 0.5);
    estimate.lowest = Percentile(tempos, 0.1);
    estimate.highest = Percentile(tempos, 0.9);
    estimate.drifts = (estimate.highest - estimate.lowest) / bpm > kDrift;

    // Over the longest steady stretch the pulse is refined, and what comes
    // on and between its beats is heard there.
    LevelChoice level;
    double pulse = 60 * m_framesPerSecond / bpm;
    bool keepsTime = true;
    const auto choose = [&](double lag, size_t first, size_t count) {
        const Accents accents(m_envelope, m_fine, m_lowEnvelope, m_midEnvelope, first, count);
        keepsTime = accents.KeepsTime(lag);
        return ChooseLevel({grid, lag * grid.tatum / grid.pulse, lag, profile, accents,
            m_framesPerSecond, double(m_shortestBeat), double(m_longestBeat)});
    };
    if (!estimate.drifts) {
        auto [first, count] = SteadyStretch(local, bpm);
        if (count > 0) {
            const double fine = double(m_fine);
            pulse = RefinedLag(m_envelope, first * m_fine, count * m_fine, pulse * fine) / fine;
            bpm = 60 * m_framesPerSecond / pulse;
        } else {
            first = 0;
            count = m_envelope.size() / m_fine;
        }
        level = choose(pulse, first, count);
        if (!keepsTime)
            return estimate;
    } else {
        // A drifting beat is heard window by window, each at its own tempo:
        // the level most windows that keep time hear, if more than half do.
        std::map<long, std::pair<int, LevelChoice>> votes; // by sixths of the pulse
        int voters = 0, heardWhole = 0;
        for (size_t i = 0; i < m_windows.size(); ++i) {
            if (local[i] > 0 && m_windowStarts[i] + m_windowFrames <= m_envelope.size() / m_fine) {
                ++heardWhole;
                const double lag = 60 * m_framesPerSecond / local[i];
                LevelChoice heard = choose(lag, m_windowStarts[i], m_windowFrames);
                if (heard.lag > 0 && keepsTime) {
                    auto& vote = votes[std::lround(6 * heard.lag / lag)];
                    heard.lag *= pulse / lag;
                    heard.runnerUpLag *= pulse / lag;
                    vote = {vote.first + 1, heard};
                    ++voters;
                }
            }
        }
        // Speech said over and over repeats, but keeps no time in any window.
        if (heardWhole > 0 && voters == 0)
            return estimate;
        level.lag = pulse;
        for (const auto& [sixths, vote] : votes) {
            if (2 * vote.first > voters)
                level = vote.second;
        }
    }
    const double ratio = pulse / level.lag;
    const auto rounded = [](double value) { return std::round(value * 100) / 100; };
    estimate.found = true;
    estimate.meter = level.meter;
    estimate.sureness = level.sureness;
    estimate.bpm = rounded(bpm * ratio);
    estimate.lowest = rounded(estimate.lowest * ratio);
    estimate.highest = rounded(estimate.highest * ratio);
    if (level.runnerUpLag > 0)
        estimate.runnerUp = rounded(bpm * pulse / level.runnerUpLag);
    return estimate;
}

} // namespace analysis
