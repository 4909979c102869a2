#include "calc/numberreading.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace calc {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

namespace {

size_t SkipBlanks(std::string_view text, size_t i)
{
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    return i;
}

size_t SkipDigits(std::string_view text, size_t i)
{
    while (i < text.size() && IsDigit(text[i]))
        ++i;
    return i;
}

// Power of ten of the leading significant digit of mantissa * 10^exponent,
// used only to tell overflow from underflow. The exponent saturates beyond
// the length of any text that fits in memory, so that the sum stays exact in
// sign however many digits the mantissa has.
std::int64_t DecimalMagnitude(std::string_view mantissa, std::string_view exponent)
{
    constexpr std::int64_t kFar = std::int64_t {1} << 61;
    std::int64_t exp = 0;
    bool negativeExp = false;
    size_t i = 0;
    if (i < exponent.size() && (exponent[i] == '-' || exponent[i] == '+'))
        negativeExp = exponent[i++] == '-';
    for (; i < exponent.size(); ++i)
        exp = exp >= kFar / 10 ? kFar : exp * 10 + (exponent[i] - '0');
    if (negativeExp)
        exp = -exp;

    std::int64_t position = 0; // power of ten of the digit being looked at
    const size_t point = mantissa.find('.');
    const size_t integerDigits = point == std::string_view::npos ? mantissa.size() : point;
    position = static_cast<std::int64_t>(integerDigits) - 1;
    for (char c : mantissa) {
        if (c == '.')
            continue;
        if (c != '0')
            return exp + position;
        --position;
    }
    return 0; // all zeros: never out of range
}

} // namespace

double ReadNumber(std::string_view text)
{
    size_t i = SkipBlanks(text, 0);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';

    const size_t mantissaStart = i;
    const size_t integerEnd = SkipDigits(text, i);
    size_t mantissaEnd = integerEnd;
    bool anyDigit = integerEnd > mantissaStart;
    if (mantissaEnd < text.size() && text[mantissaEnd] == '.') {
        const size_t fractionEnd = SkipDigits(text, mantissaEnd + 1);
        anyDigit = anyDigit || fractionEnd > mantissaEnd + 1;
        mantissaEnd = fractionEnd;
    }
    if (!anyDigit)
        return 0.0;
    const std::string_view mantissa = text.substr(mantissaStart, mantissaEnd - mantissaStart);

    // An exponent counts only when a digit follows its letter and sign.
    std::string_view exponent;
    if (mantissaEnd < text.size()) {
        const char letter = text[mantissaEnd];
        if (letter == 'e' || letter == 'E' || letter == 'd' || letter == 'D') {
            size_t j = mantissaEnd + 1;
            if (j < text.size() && (text[j] == '+' || text[j] == '-'))
                ++j;
            const size_t exponentEnd = SkipDigits(text, j);
            if (exponentEnd > j)
                exponent = text.substr(mantissaEnd + 1, exponentEnd - mantissaEnd - 1);
        }
    }

    std::string normalised;
    normalised.reserve(mantissa.size() + exponent.size() + 1);
    normalised.append(mantissa);
    if (!exponent.empty()) {
        normalised.push_back('e');
        normalised.append(exponent);
    }

    double magnitude = 0.0;
    const char* first = normalised.data();
    const char* last = first + normalised.size();
    const auto [end, error] = std::from_chars(first, last, magnitude, std::chars_format::general);
    if (error == std::errc::result_out_of_range) {
        magnitude = DecimalMagnitude(mantissa, exponent) > 0
            ? std::numeric_limits<double>::infinity()
            : 0.0;
    } else if (error != std::errc() || end != last) {
        magnitude = 0.0; // cannot happen for the normalised form; stay defined anyway
    }
    return negative ? -magnitude : magnitude;
}

int ReadWholeNumber(std::string_view text)
{
    size_t i = SkipBlanks(text, 0);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';

    // Accumulate in 64 bits and stop growing just past the int range, so that
    // a digit run of any length clamps instead of overflowing.
    constexpr std::int64_t kCap = std::int64_t {std::numeric_limits<int>::max()} + 1;
    std::int64_t value = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i)
        value = std::min(kCap, value * 10 + (text[i] - '0'));
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    return static_cast<int>(value); // -kCap is exactly INT_MIN
}

} // namespace calc
