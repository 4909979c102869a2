#pragma once

#include <cstddef>
#include <vector>

namespace analysis {

// A lag at which the music repeats itself, and how closely.
struct Repeat {
    double lag, height;
};

// The positive peaks of an autocorrelation from a lag on, each placed
// between whole lags by the parabola through it and its neighbours.
std::vector<Repeat> Peaks(const std::vector<double>& r, size_t first);

// The kept highest of the peaks up to a lag, and the kept highest beyond it.
// Kept apart: in a short window, the few overlapping frames of the long lags
// make peaks there high enough to crowd out every beat.
std::vector<Repeat> HighestPeaks(std::vector<Repeat> peaks, size_t kept, double upTo);

// The autocorrelation of a window of the envelope up to a lag (and half the
// window), 1 at lag 0 and corrected for the shrinking overlap; empty where
// the window does not change at all.
std::vector<double> Autocorrelation(std::vector<double> x, size_t longestLag);

// How clearly an autocorrelation repeats at some beat period between the
// lags given and at its multiples too: below about 0.2 it is noise, speech
// or a held sound.
double Clarity(const std::vector<double>& r, size_t shortestBeat, size_t longestBeat);

// How the onset envelope repeats itself at each lag: the autocorrelation
// summed over the windows with a beat, read between whole frames.
class LagProfile {
public:
    explicit LagProfile(const std::vector<double>& sums)
        : m_sums(sums)
    {
    }

    bool Empty() const { return !(m_sums.size() > 1 && m_sums[0] > 0); }
    double Longest() const { return double(m_sums.size()) - 1; }
    // 1 at lag 0; 0 beyond the longest lag.
    double At(double lag) const;
    // The highest of the lag and its neighbours: a peak a frame aside counts.
    double Near(double lag) const;
    // The peaks from a lag on, heights relative to lag 0.
    std::vector<Repeat> PeaksFrom(size_t first) const;

private:
    const std::vector<double>& m_sums;
};

// The grid the music moves on (its fastest regular pulse, the tatum): the
// longest period of which every strong repeat is a whole multiple. 0 for
// none as long as the shortest.
double Tatum(const std::vector<Repeat>& strong, double shortest);

} // namespace analysis
