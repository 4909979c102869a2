#include "calc/numbertext.h"

#include <charconv>
#include <cmath>
#include <string_view>

namespace calc {

namespace {

constexpr int kSignificantDigits = 6;

void DropTrailingZeros(std::string& digits)
{
    while (!digits.empty() && digits.back() == '0')
        digits.pop_back();
}

} // namespace

std::string FormatNumber(double value)
{
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value < 0 ? "-inf" : "inf";
    if (value == 0.0)
        return "0";

    // "d.ddddde±xx", rounded once from the exact binary value.
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
        std::chars_format::scientific, kSignificantDigits - 1);
    const std::string_view scientific(buffer, static_cast<size_t>(result.ptr - buffer));
    const size_t e = scientific.find('e');
    const std::string digits
        = std::string(1, scientific[0]) + std::string(scientific.substr(2, e - 2));
    int exponent = 0;
    std::from_chars(scientific.data() + e + 2, scientific.data() + scientific.size(), exponent);
    if (scientific[e + 1] == '-')
        exponent = -exponent;

    std::string text = value < 0 ? "-" : "";
    if (exponent < -1 || exponent >= kSignificantDigits) {
        std::string fraction = digits.substr(1);
        DropTrailingZeros(fraction);
        const std::string exponentDigits = std::to_string(std::abs(exponent));
        text += digits.substr(0, 1) + "." + fraction + "e" + (exponent < 0 ? "-" : "+")
            + std::string(3 - exponentDigits.size(), '0') + exponentDigits;
        return text;
    }

    const size_t integerDigits = exponent < 0 ? 0 : static_cast<size_t>(exponent) + 1;
    std::string fraction = exponent < 0 ? digits : digits.substr(integerDigits);
    DropTrailingZeros(fraction);
    text += exponent < 0 ? "0" : digits.substr(0, integerDigits);
    if (!fraction.empty())
        text += "." + fraction;
    return text;
}

} // namespace calc
