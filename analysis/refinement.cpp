#include "analysis/refinement.h"

#include <cmath>
#include <complex>
#include <numbers>

namespace analysis {

namespace {

constexpr int kHarmonics = 4; // the beat, its eighths, triplets and sixteenths
constexpr double kReach = 0.015; // how far from the lag given the period is sought
constexpr double kPrecision = 1e-7; // of the period, relative

} // namespace

double RefinedLag(const std::vector<float>& envelope, size_t first, size_t count, double lag)
{
    std::vector<double> y(
        envelope.begin() + std::ptrdiff_t(first), envelope.begin() + std::ptrdiff_t(first + count));
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
        for (int harmonic = 1; harmonic <= kHarmonics; ++harmonic) {
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
    const auto steps = long(kReach * center / step);
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
    while (high - low > kPrecision * center) {
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
    return 2 / (low + high);
}

} // namespace analysis
