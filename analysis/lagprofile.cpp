#include "analysis/lagprofile.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace analysis {

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

std::vector<Repeat> HighestPeaks(std::vector<Repeat> peaks, size_t kept, double upTo)
{
    const auto beyond = std::stable_partition(
        peaks.begin(), peaks.end(), [&](const Repeat& peak) { return peak.lag <= upTo; });
    std::vector<Repeat> highest;
    for (auto [from, to] : {std::pair {peaks.begin(), beyond}, std::pair {beyond, peaks.end()}}) {
        if (to - from > std::ptrdiff_t(kept)) {
            std::nth_element(from, from + std::ptrdiff_t(kept), to,
                [](const Repeat& a, const Repeat& b) { return a.height > b.height; });
            to = from + std::ptrdiff_t(kept);
        }
        highest.insert(highest.end(), from, to);
    }
    return highest;
}

std::vector<double> Autocorrelation(std::vector<double> x, size_t longestLag)
{
    const size_t count = x.size();
    double mean = 0;
    for (double value : x)
        mean += value;
    mean /= double(count);
    double power = 0;
    for (double& value : x) {
        value -= mean;
        power += value * value;
    }
    if (count < 4 || !(power > 0) || !std::isfinite(power))
        return {};
    const size_t longest = std::min(longestLag, count / 2);
    std::vector<double> r(longest + 1, 0.0);
    for (size_t lag = 0; lag <= longest; ++lag) {
        double sum = 0;
        for (size_t t = 0; t + lag < count; ++t)
            sum += x[t] * x[t + lag];
        r[lag] = sum / power * double(count) / double(count - lag);
    }
    return r;
}

double Clarity(const std::vector<double>& r, size_t shortestBeat, size_t longestBeat)
{
    const size_t longest = r.size() - 1;
    const auto near = [&](double lag) {
        const auto at = size_t(std::lround(lag));
        if (at + 1 > longest || at == 0)
            return 0.0;
        return std::max({r[at - 1], r[at], r[at + 1]});
    };
    double clarity = 0;
    for (size_t lag = shortestBeat; lag <= std::min(longestBeat, longest - 1); ++lag) {
        double sum = 0;
        int multiples = 0;
        for (int k = 1; k <= 4 && double(k * lag) + 1 <= double(longest); ++k, ++multiples)
            sum += near(double(k * lag));
        if (multiples > 0)
            clarity = std::max(clarity, sum / multiples);
    }
    return clarity;
}

double LagProfile::At(double lag) const
{
    if (Empty() || !(lag >= 0))
        return 0;
    const auto below = size_t(lag);
    if (below + 1 >= m_sums.size())
        return 0;
    const double part = lag - double(below);
    return (m_sums[below] * (1 - part) + m_sums[below + 1] * part) / m_sums[0];
}

double LagProfile::Near(double lag) const
{
    return std::max({At(lag - 1), At(lag), At(lag + 1)});
}

std::vector<Repeat> LagProfile::PeaksFrom(size_t first) const
{
    if (Empty())
        return {};
    std::vector<Repeat> peaks = Peaks(m_sums, std::max<size_t>(first, 2));
    for (Repeat& peak : peaks)
        peak.height /= m_sums[0];
    return peaks;
}

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

} // namespace analysis
