#pragma once

#include <cstddef>
#include <vector>

namespace analysis {

// Where in the beat the onsets fall, over a steady stretch of the music:
// the envelope folded over one or two beats, to hear which beats are
// accented and what comes between them. Lags are in the frames of the
// estimator's windows; the envelopes may be finer by a whole factor.
class Accents {
public:
    enum class Bands { All, Lows, Mids };

    Accents(const std::vector<float>& envelope, size_t fine, const std::vector<float>& lows,
        const std::vector<float>& mids, size_t first, size_t count);

    // Whether onsets stand out of the envelope folded over the beat: music
    // keeps time there, speech and noise do not, whatever repeats in them.
    // A loud mix may bury them in all bands together, but not its kicks and
    // bass, which speech has none of.
    bool KeepsTime(double lag) const
    {
        return !Folded(lag, Bands::All, kBins).empty() || !Folded(lag, Bands::Lows, kBins).empty();
    }
    // How loud the weaker of two beats is against the louder, 0 to 1; 0 where
    // no onsets stand out of the envelope (a bass that hums, or no bass). In
    // the kick and bass bands alone, or the chords' bands, as asked.
    double Evenness(double lag, Bands bands = Bands::All) const;
    // How loud the onsets between beats are against those on them, at the
    // halves of the beat (division 2) or its thirds (division 3).
    double Between(double lag, int division) const;
    // How loud the onsets two thirds into the beat are against those on it:
    // a shuffle's or swing's late eighth.
    double LateThird(double lag) const;
    // How clearly the bars stand out when the music is folded over that
    // many beats: the loudest part of the fold against its mean, in the kick
    // and bass bands where they hold onsets, else in all.
    double BarClarity(double lag, int beats) const;
    // The onsets on the first third of a beat against those on its second:
    // near 0 where eighths swing long-short, near 1 in 6/8 and 12/8.
    double MiddleThird(double lag) const;
    // How differently the two beats of a pair sound where both are played:
    // a kick against a snare, a bass note against a chord. Near 0 where they
    // sound alike, or where one of them is hardly played.
    double Backbeat(double lag) const;

private:
    // Bins of a fold over two beats, and over one beat in thirds.
    static constexpr size_t kBins = 16, kThirdBins = 18, kBeatBins = 12, kPairBins = 24;
    using Fold = std::vector<double>;
    // The envelope's mean in each bin of cycles of the lag, as they fall.
    Fold Sums(double lag, Bands bands, size_t bins) const;
    // The envelope's mean in each bin of cycles of the lag, turned so that
    // the loudest comes first; empty where no onsets stand out.
    Fold Folded(double lag, Bands bands, size_t bins) const;
    // The same, with the fold's mean.
    Fold Folded(double lag, Bands bands, size_t bins, double& mean) const;
    static double Around(const Fold& fold, size_t bin);

    const std::vector<float>& m_envelope;
    const std::vector<float>& m_lows;
    const std::vector<float>& m_mids;
    size_t m_fine, m_first, m_count;
};

} // namespace analysis
