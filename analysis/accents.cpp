#include "analysis/accents.h"

#include <algorithm>
#include <cmath>

namespace analysis {

namespace {

// Onsets stand out where the loudest of the fold rises this many times more
// above its quietest part than its mean does: enough for a beat, too much
// for speech said over and over, which keeps no time.
constexpr double kOnsetsStandOut = 2.5;

} // namespace

Accents::Accents(const std::vector<float>& envelope, size_t fine, const std::vector<float>& lows,
    const std::vector<float>& mids, size_t first, size_t count)
    : m_envelope(envelope)
    , m_lows(lows)
    , m_mids(mids)
    , m_fine(fine)
    , m_first(first)
    , m_count(count)
{
}

Accents::Fold Accents::Folded(double coarseLag, Bands bands, size_t bins) const
{
    double mean = 0;
    return Folded(coarseLag, bands, bins, mean);
}

Accents::Fold Accents::Sums(double coarseLag, Bands bands, size_t bins) const
{
    const std::vector<float>& envelope = bands == Bands::Lows ? m_lows
        : bands == Bands::Mids                                ? m_mids
                                                              : m_envelope;
    const size_t fine = bands == Bands::All ? m_fine : 1;
    const double cycle = coarseLag * double(fine);
    const size_t first = m_first * fine;
    if (!(cycle >= 1) || first >= envelope.size())
        return {};
    const size_t end = std::min(envelope.size(), first + m_count * fine);
    std::vector<double> sums(bins, 0.0), counts(bins, 0.0);
    for (size_t t = first; t < end; ++t) {
        const auto bin = size_t(std::fmod(double(t), cycle) / cycle * double(bins)) % bins;
        sums[bin] += envelope[t];
        counts[bin] += 1;
    }
    for (size_t bin = 0; bin < bins; ++bin)
        sums[bin] = counts[bin] > 0 ? sums[bin] / counts[bin] : 0;
    return sums;
}

Accents::Fold Accents::Folded(double coarseLag, Bands bands, size_t bins, double& mean) const
{
    Fold sums = Sums(coarseLag, bands, bins);
    if (sums.empty())
        return {};
    double loudest = 0;
    mean = 0;
    for (size_t bin = 0; bin < bins; ++bin) {
        mean += sums[bin] / double(bins);
        loudest = std::max(loudest, sums[bin]);
    }
    // What every moment of the cycle holds (the hum of a dense, compressed
    // mix) says nothing of where the beats fall: onsets must stand out above
    // it, not above silence.
    const double floor = *std::min_element(sums.begin(), sums.end());
    if (!(loudest - floor >= kOnsetsStandOut * (mean - floor)) || !(loudest > floor))
        return {};
    // Turned so that the loudest bin comes first.
    const auto at = size_t(std::max_element(sums.begin(), sums.end()) - sums.begin());
    std::rotate(sums.begin(), sums.begin() + std::ptrdiff_t(at), sums.end());
    return sums;
}

double Accents::Around(const Fold& fold, size_t bin)
{
    const size_t bins = fold.size();
    return std::max({fold[(bin + bins - 1) % bins], fold[bin % bins], fold[(bin + 1) % bins]});
}

double Accents::Evenness(double lag, Bands bands) const
{
    const Fold fold = Folded(2 * lag, bands, kBins);
    return fold.empty() ? 0 : Around(fold, kBins / 2) / fold[0];
}

double Accents::Between(double lag, int division) const
{
    if (division != 3)
        return Evenness(lag / 2);
    const Fold fold = Folded(lag, Bands::All, kThirdBins);
    if (fold.empty())
        return 0;
    return std::max(Around(fold, kThirdBins / 3), Around(fold, 2 * kThirdBins / 3)) / fold[0];
}

double Accents::LateThird(double lag) const
{
    const Fold fold = Folded(lag, Bands::All, kThirdBins);
    return fold.empty() ? 0 : Around(fold, 2 * kThirdBins / 3) / fold[0];
}

double Accents::BarClarity(double lag, int beats) const
{
    double mean = 0;
    Fold fold = Folded(beats * lag, Bands::Lows, kBeatBins * size_t(beats), mean);
    if (fold.empty())
        fold = Folded(beats * lag, Bands::All, kBeatBins * size_t(beats), mean);
    return fold.empty() || !(mean > 0) ? 0 : fold[0] / mean;
}

double Accents::MiddleThird(double lag) const
{
    const Fold fold = Folded(lag, Bands::All, kThirdBins);
    if (fold.empty())
        return 0;
    const double second = Around(fold, 2 * kThirdBins / 3);
    return second > 0 ? std::min(1.0, Around(fold, kThirdBins / 3) / second) : 0;
}

double Accents::Backbeat(double lag) const
{
    // The louder beat of the pair and the one opposite it, each heard in
    // the kick and bass bands against the chords' bands.
    const Fold all = Sums(2 * lag, Bands::All, kPairBins);
    const Fold lows = Sums(2 * lag, Bands::Lows, kPairBins);
    const Fold mids = Sums(2 * lag, Bands::Mids, kPairBins);
    if (all.empty() || lows.empty() || mids.empty())
        return 0;
    const auto on = size_t(std::max_element(all.begin(), all.end()) - all.begin());
    const size_t off = on + kPairBins / 2;
    const double louder = Around(all, on), softer = Around(all, off);
    const double colour = Around(lows, on) * Around(mids, off);
    const double otherColour = Around(mids, on) * Around(lows, off);
    if (!(louder > 0 && colour > 0 && otherColour > 0))
        return 0;
    return std::abs(std::log(colour / otherColour)) * std::min(louder, softer)
        / std::max(louder, softer);
}

} // namespace analysis
