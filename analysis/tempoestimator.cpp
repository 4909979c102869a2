#include "analysis/tempoestimator.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <numbers>

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
constexpr float kClear = 0.2f;
constexpr float kLively = 0.02f;
constexpr double kShortestTatumSeconds = 0.09;
constexpr double kStrongPeak = 0.5; // of the highest
constexpr double kSwing = 0.1;
constexpr double kLikeliest = 130; // bpm
constexpr double kCompression = 0.5;
constexpr size_t kPeaksKept = 16;
// Beats this uneven, with this little between them, are eighths; half
// beats this even are beats, up to a tempo that few songs pass.
constexpr double kUneven = 0.8, kSilentBetween = 0.1, kEven = 0.8;
constexpr double kFastestDoubled = 200.5;
constexpr double kOnsetsStandOut = 2; // times the mean of the folded envelope

double Percentile(const std::vector<double>& sorted, double share)
{
    const double at = share * double(sorted.size() - 1);
    const auto below = size_t(at);
    const size_t above = std::min(below + 1, sorted.size() - 1);
    return sorted[below] + (sorted[above] - sorted[below]) * (at - double(below));
}

// A lag at which the music repeats itself, and how closely.
struct Repeat {
    double lag, height;
};

// The positive peaks of an autocorrelation from a lag on, each placed
// between whole lags by the parabola through it and its neighbours.
std::vector<Repeat> Peaks(const std::vector<double>& r, size_t first)
{
    std::vector<Repeat> peaks;
    for (size_t lag = std::max<size_t>(first, 1); lag + 1 < r.size(); ++lag) {
        if (r[lag] > r[lag - 1] && r[lag] >= r[lag + 1] && r[lag] > 0) {
            const double curve = r[lag - 1] - 2 * r[lag] + r[lag + 1];
            const double shift = curve < 0 ? 0.5 * (r[lag - 1] - r[lag + 1]) / curve : 0;
            peaks.push_back(
                {double(lag) + shift, r[lag] - 0.25 * (r[lag - 1] - r[lag + 1]) * shift});
        }
    }
    return peaks;
}

// The grid the music moves on (its fastest regular pulse, the tatum): the
// longest period of which every strong repeat is a whole multiple. 0 for
// none as long as the shortest.
double Tatum(const std::vector<Repeat>& strong, double shortest)
{
    double tatum = 0;
    for (const Repeat& peak : strong) {
        for (int k = 1; k <= 8; ++k) {
            const double grid = peak.lag / k;
            if (grid < shortest || grid <= tatum)
                continue;
            double lags = 0, multiples = 0;
            bool all = true;
            for (const Repeat& other : strong) {
                const double n = std::round(other.lag / grid);
                if (n < 1 || std::abs(other.lag - n * grid) > std::max(1.5, 0.03 * other.lag)) {
                    all = false;
                    break;
                }
                lags += other.lag;
                multiples += n;
            }
            if (all)
                tatum = lags / multiples;
        }
    }
    return tatum;
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

void TempoEstimator::Add(const float* values, const float* lows, size_t count)
{
    const auto stored = size_t(kStoredSeconds * m_fineFramesPerSecond);
    for (size_t i = 0; i < count; ++i) {
        if (m_envelope.size() < stored)
            m_envelope.push_back(values[i]);
        // The windows look at a coarser envelope: beat periods need no more.
        m_coarseSum += values[i];
        m_coarseLowSum += lows[i];
        if (++m_coarseCount < m_fine)
            continue;
        if (m_lowEnvelope.size() < stored / m_fine)
            m_lowEnvelope.push_back(m_coarseLowSum / float(m_fine));
        m_coarseLowSum = 0;
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

    double mean = 0;
    for (double value : x)
        mean += value;
    mean /= double(count);
    double power = 0;
    for (double& value : x) {
        value -= mean;
        power += value * value;
    }
    if (!(power > 0) || !std::isfinite(power))
        return;

    // The autocorrelation, 1 at lag 0, corrected for the shrinking overlap.
    const size_t longest = std::min(m_longestLag, count / 2);
    std::vector<double> r(longest + 1, 0.0);
    for (size_t lag = 0; lag <= longest; ++lag) {
        double sum = 0;
        for (size_t t = 0; t + lag < count; ++t)
            sum += x[t] * x[t + lag];
        r[lag] = sum / power * double(count) / double(count - lag);
    }
    for (const Repeat& peak : Peaks(r, 2))
        window.peaks.push_back({float(peak.lag), float(peak.height)});

    // Clear when some beat period repeats at its multiples too.
    const auto near = [&](double lag) {
        const auto at = size_t(std::lround(lag));
        if (at + 1 > longest)
            return 0.0;
        return std::max({r[at - 1], r[at], r[at + 1]});
    };
    double clarity = 0;
    for (size_t lag = m_shortestBeat; lag <= std::min(m_longestBeat, longest - 1); ++lag) {
        double sum = 0;
        int multiples = 0;
        for (int k = 1; k <= 4 && double(k * lag) + 1 <= double(longest); ++k, ++multiples)
            sum += near(double(k * lag));
        if (multiples > 0)
            clarity = std::max(clarity, sum / multiples);
    }
    window.clarity = liveliness >= kLively ? float(clarity) : 0.0f;
    // The highest peaks are enough to follow the beat: memory stays small.
    if (window.peaks.size() > kPeaksKept) {
        std::nth_element(window.peaks.begin(), window.peaks.begin() + kPeaksKept,
            window.peaks.end(), [](const Peak& a, const Peak& b) { return a.height > b.height; });
        window.peaks.resize(kPeaksKept);
    }
    if (window.clarity >= kClear) {
        for (size_t lag = 0; lag <= longest; ++lag)
            m_beatAutocorrelation[lag] += r[lag];
    }
}

double TempoEstimator::ChooseBeatLag() const
{
    const std::vector<double>& s = m_beatAutocorrelation;
    if (!(s[0] > 0))
        return 0;
    // The autocorrelation between whole frames, by linear interpolation.
    const auto at = [&](double lag) {
        const auto below = size_t(lag);
        if (below + 1 >= s.size())
            return 0.0;
        const double part = lag - double(below);
        return (s[below] * (1 - part) + s[below + 1] * part) / s[0];
    };
    const auto nearMax = [&](double lag) { return std::max({at(lag - 1), at(lag), at(lag + 1)}); };

    // The peaks: the lags at which the music repeats itself.
    const auto shortestTatum = size_t(kShortestTatumSeconds * m_framesPerSecond);
    std::vector<Repeat> peaks = Peaks(s, std::max<size_t>(shortestTatum, 2));
    for (Repeat& peak : peaks)
        peak.height /= s[0];
    if (peaks.empty())
        return 0;
    double highest = 0;
    for (const Repeat& peak : peaks)
        highest = std::max(highest, peak.height);

    std::vector<Repeat> strong;
    for (const Repeat& peak : peaks) {
        if (peak.height >= kStrongPeak * highest)
            strong.push_back(peak);
    }
    const double tatum = Tatum(strong, double(shortestTatum));
    if (!(tatum > 0))
        return 0;

    // Beats group the grid in twos, or in threes where the music swings:
    // in threes only where the multiples of three stand out from the grid
    // more clearly than those of two.
    const auto standsOut = [&](int group) {
        double on = 0, off = 0;
        int ons = 0, offs = 0;
        for (int k = 1; double(k) * tatum + 1 < double(s.size()); ++k) {
            const double height = nearMax(k * tatum);
            if (k % group == 0) {
                on += height;
                ++ons;
            } else {
                off += height;
                ++offs;
            }
        }
        return (ons ? on / ons : 0) - (offs ? off / offs : 0);
    };
    const bool swings = standsOut(3) > standsOut(2) + kSwing;

    // The beat: of the grid's groupings by powers of two (or three times
    // those, in swing), the one the music repeats at most strongly, weighed
    // by how likely it is as a tempo (most music is set between 80 and 180
    // bpm, around 130).
    double best = 0, bestScore = -1;
    std::vector<double> candidates;
    for (double lag = tatum / 4; lag <= double(m_longestBeat); lag *= 2)
        candidates.push_back(lag);
    for (double lag = 3 * tatum; swings && lag <= double(m_longestBeat); lag *= 2)
        candidates.push_back(lag);
    for (double lag : candidates) {
        if (lag < double(m_shortestBeat) || lag + 1 >= double(s.size()))
            continue;
        const double bpm = 60 * m_framesPerSecond / lag;
        const double octaves = std::log2(bpm / kLikeliest);
        const double score = nearMax(lag) * std::exp(-0.5 * octaves * octaves);
        if (score > bestScore) {
            best = lag;
            bestScore = score;
        }
    }
    return best;
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

double TempoEstimator::Refine(double coarseLag, size_t coarseFirst, size_t coarseCount) const
{
    const double lag = coarseLag * double(m_fine);
    const size_t first = coarseFirst * m_fine;
    const size_t count = std::min(coarseCount * m_fine, m_envelope.size() - first);
    // The period whose beats, eighths, triplets and sixteenths together
    // agree best with the envelope over the stretch: exact on music set to a
    // grid, to a small part of a frame.
    std::vector<double> y(m_envelope.begin() + std::ptrdiff_t(first),
        m_envelope.begin() + std::ptrdiff_t(first + count));
    double mean = 0;
    for (double value : y)
        mean += value;
    mean /= double(count);
    // Tapered at both ends, so that the stretch's own edges and the bars'
    // rhythms beside the beat do not pull the peak aside.
    for (size_t t = 0; t < count; ++t)
        y[t] = (y[t] - mean)
            * (0.5 - 0.5 * std::cos(2 * std::numbers::pi * double(t) / double(count)));
    const auto agreement = [&](double frequency) {
        double sum = 0;
        for (int harmonic = 1; harmonic <= 4; ++harmonic) {
            const std::complex<double> step
                = std::polar(1.0, -2 * std::numbers::pi * harmonic * frequency);
            std::complex<double> turn = 1, total = 0;
            for (double value : y) {
                total += value * turn;
                turn *= step;
            }
            sum += std::abs(total);
        }
        return sum;
    };
    const double center = 1 / lag;
    const double step = 0.5 / double(count); // a quarter of the peak's width
    const auto steps = long(0.015 * center / step);
    double best = -1, bestFrequency = center;
    for (long i = -steps; i <= steps; ++i) {
        const double frequency = center + double(i) * step;
        if (const double value = agreement(frequency); value > best) {
            best = value;
            bestFrequency = frequency;
        }
    }
    // Then the top of that peak, by golden sections.
    constexpr double kGolden = 0.6180339887498949;
    double low = bestFrequency - step, high = bestFrequency + step;
    double left = high - kGolden * (high - low), right = low + kGolden * (high - low);
    double atLeft = agreement(left), atRight = agreement(right);
    while (high - low > 1e-7 * center) {
        if (atLeft < atRight) {
            low = left;
            left = right;
            atLeft = atRight;
            right = low + kGolden * (high - low);
            atRight = agreement(right);
        } else {
            high = right;
            right = left;
            atRight = atLeft;
            left = high - kGolden * (high - low);
            atLeft = agreement(left);
        }
    }
    bestFrequency = (low + high) / 2;
    return 1 / bestFrequency / double(m_fine);
}

double TempoEstimator::Evenness(
    double coarseLag, size_t coarseFirst, size_t coarseCount, bool low) const
{
    const std::vector<float>& envelope = low ? m_lowEnvelope : m_envelope;
    const size_t fine = low ? 1 : m_fine;
    const double lag = coarseLag * double(fine);
    const size_t first = coarseFirst * fine;
    const size_t count = std::min(coarseCount * fine, envelope.size() - first);
    // The envelope folded over two beats: how loud the weaker of them is
    // against the louder.
    constexpr int kBins = 16;
    std::array<double, kBins> sums {}, counts {};
    const double cycle = 2 * lag;
    for (size_t t = first; t < first + count; ++t) {
        const auto bin = size_t(std::fmod(double(t), cycle) / cycle * kBins) % kBins;
        sums[bin] += envelope[t];
        counts[bin] += 1;
    }
    size_t loudest = 0;
    double mean = 0;
    for (size_t bin = 0; bin < kBins; ++bin) {
        sums[bin] = counts[bin] > 0 ? sums[bin] / counts[bin] : 0;
        mean += sums[bin] / kBins;
        if (sums[bin] > sums[loudest])
            loudest = bin;
    }
    // Without clear onsets (a bass that hums, or no bass) the beats cannot
    // be told apart, so they do not count as even.
    if (!(sums[loudest] >= kOnsetsStandOut * mean))
        return 0;
    const size_t other = loudest + kBins / 2;
    const double weaker
        = std::max({sums[(other - 1) % kBins], sums[other % kBins], sums[(other + 1) % kBins]});
    return weaker / sums[loudest];
}

double TempoEstimator::Level(double lag, size_t first, size_t count) const
{
    // A beat is heard where every beat is about as strong as the next: a
    // snare between kicks is a beat, whatever its sound, and so is a kick on
    // every one of them (four on the floor). The finest pulse, loud and soft
    // by turns with nothing between and a kick only on the loud ones, is the
    // eighth note of a beat twice as long (hi-hats between kicks and snares).
    const double even = Evenness(lag, first, count), between = Evenness(lag / 2, first, count);
    if (60 * m_framesPerSecond / (2 * lag) >= kSlowest && even < kUneven && between < kSilentBetween
        && Evenness(lag, first, count, true) < kEven)
        return 0.5;
    if (60 * m_framesPerSecond * 2 / lag <= kFastestDoubled
        && (between >= kEven || Evenness(lag / 2, first, count, true) >= kEven))
        return 2;
    return 1;
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

TempoEstimate TempoEstimator::EstimateFromWindows() const
{
    TempoEstimate estimate;
    estimate.windows = int(m_windows.size());
    for (const Window& window : m_windows)
        estimate.beatWindows += window.clarity >= kClear ? 1 : 0;
    if (estimate.beatWindows == 0)
        return estimate;
    const double beatLag = ChooseBeatLag();
    if (!(beatLag > 0))
        return estimate;

    std::vector<double> tempos;
    std::vector<double> local(m_windows.size(), 0.0);
    for (size_t i = 0; i < m_windows.size(); ++i) {
        if (m_windows[i].clarity < kClear)
            continue;
        if (const double lag = LocalLag(m_windows[i], beatLag); lag > 0) {
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

    double level = 1;
    if (!estimate.drifts) {
        // The longest run of windows that keep the median's beat.
        size_t bestFirst = 0, bestCount = 0;
        for (size_t i = 0; i < m_windows.size();) {
            size_t j = i;
            while (
                j < m_windows.size() && local[j] > 0 && std::abs(local[j] - bpm) <= kSteady * bpm)
                ++j;
            if (j - i > bestCount) {
                bestFirst = i;
                bestCount = j - i;
            }
            i = std::max(j, i + 1);
        }
        if (bestCount > 0) {
            const size_t first = m_windowStarts[bestFirst];
            size_t end = std::min(m_envelope.size() / m_fine,
                m_windowStarts[bestFirst + bestCount - 1] + m_windowFrames);
            end = std::min(end, first + m_refined);
            if (end > first + std::min(m_windowFrames / 2, m_shortest)) {
                const double lag = Refine(60 * m_framesPerSecond / bpm, first, end - first);
                level = Level(lag, first, end - first);
                bpm = 60 * m_framesPerSecond / lag;
            }
        }
    } else {
        // A drifting beat is heard window by window, each at its own tempo:
        // the level most windows hear.
        int votes[3] = {}; // half, as is, double
        for (size_t i = 0; i < m_windows.size(); ++i) {
            if (local[i] > 0 && m_windowStarts[i] + m_windowFrames <= m_envelope.size() / m_fine) {
                const double heard
                    = Level(60 * m_framesPerSecond / local[i], m_windowStarts[i], m_windowFrames);
                ++votes[heard < 1 ? 0 : heard > 1 ? 2 : 1];
            }
        }
        if (votes[0] > votes[1] + votes[2])
            level = 0.5;
        else if (votes[2] > votes[0] + votes[1])
            level = 2;
    }
    bpm *= level;
    estimate.lowest *= level;
    estimate.highest *= level;
    estimate.found = true;
    estimate.bpm = std::round(bpm * 100) / 100;
    estimate.lowest = std::round(estimate.lowest * 100) / 100;
    estimate.highest = std::round(estimate.highest * 100) / 100;
    return estimate;
}

} // namespace analysis
