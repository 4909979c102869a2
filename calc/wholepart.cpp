#include "calc/wholepart.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace calc {

int WholePart(double value)
{
    if (!std::isfinite(value))
        return 0;
    if (value >= 2147483648.0)
        return std::numeric_limits<int>::max();
    if (value <= -2147483649.0)
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

float ToSingle(double value)
{
    // Halfway between FLT_MAX and the next power of two (2^128) is where
    // round-to-nearest starts giving infinity.
    constexpr double kOverflow = 0x1.ffffffp127;
    if (value >= kOverflow)
        return std::numeric_limits<float>::infinity();
    if (value <= -kOverflow)
        return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

std::string WholeNumberText(std::int64_t value)
{
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string TruncatedText(double value)
{
    const double whole = std::trunc(value) + 0.0; // + 0.0 turns -0 into 0
    char buffer[400]; // 309 digits and a sign at most
    const auto result
        = std::to_chars(buffer, buffer + sizeof buffer, whole, std::chars_format::fixed, 0);
    return std::string(buffer, result.ptr);
}

} // namespace calc
