// FormatNumber over arbitrary doubles against a form built from the C
// library's "%.5e" in the C locale, and read back within its six digits.
#include "calc/numberreading.h"
#include "calc/numbertext.h"
#include "calc/wholepart.h"
#include "fuzz/checks.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <string>

namespace {

std::string ScientificInCLocale(double magnitude)
{
    static const locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
    const locale_t previous = uselocale(c);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.5e", magnitude);
    uselocale(previous);
    return buffer;
}

void DropTrailingZeros(std::string& digits)
{
    while (!digits.empty() && digits.back() == '0')
        digits.pop_back();
}

std::string Reference(double value)
{
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value < 0 ? "-inf" : "inf";
    if (value == 0)
        return "0";
    const std::string scientific = ScientificInCLocale(std::fabs(value)); // d.ddddde±xx
    const std::string digits = scientific.substr(0, 1) + scientific.substr(2, 5);
    const int exponent = std::atoi(scientific.c_str() + 8);
    const std::string sign = value < 0 ? "-" : "";
    if (exponent < -1 || exponent >= 6) {
        std::string fraction = digits.substr(1);
        DropTrailingZeros(fraction);
        char exponentText[8];
        std::snprintf(exponentText, sizeof exponentText, "%c%03d", exponent < 0 ? '-' : '+',
            std::abs(exponent));
        return sign + digits.substr(0, 1) + "." + fraction + "e" + exponentText;
    }
    std::string whole = exponent < 0 ? "0" : digits.substr(0, size_t(exponent) + 1);
    std::string fraction = exponent < 0 ? digits : digits.substr(size_t(exponent) + 1);
    DropTrailingZeros(fraction);
    return sign + whole + (fraction.empty() ? "" : "." + fraction);
}

void CheckValue(double value)
{
    const std::string text = calc::FormatNumber(value);
    fuzz::CheckNumberText(text, "FormatNumber gives a number text");
    fuzz::Check(text == Reference(value), "FormatNumber agrees with %.5e", text);
    if (std::isfinite(value) && value != 0) {
        // Six significant digits: within half a unit of the sixth digit, and
        // twice that where the reading rounds to a coarse subnormal.
        const double back = calc::ReadNumber(text);
        const double tolerance = std::isnormal(value) ? 5.0000001e-6 : 1.0000001e-5;
        fuzz::Check(std::fabs(back - value) <= tolerance * std::fabs(value),
            "FormatNumber reads back within six digits", text);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    if (size >= sizeof(double)) {
        double value;
        std::memcpy(&value, data, sizeof value);
        CheckValue(value);
        CheckValue(calc::ToSingle(value)); // tempos go through single precision
    }
    // And the values that typed texts make.
    CheckValue(calc::ReadNumber(std::string(reinterpret_cast<const char*>(data), size)));
    return 0;
}
