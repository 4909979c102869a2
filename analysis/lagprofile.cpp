#include "analysis/lagprofile.h"

#include <algorithm>
#include <cmath>

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
