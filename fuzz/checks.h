#pragma once

// What every fuzz target checks, whatever the input: a check that fails
// aborts, and libFuzzer keeps the input that made it fail.

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

// The process runs in the locale the environment names (LC_ALL=de_DE.UTF-8
// gives a decimal comma), so that every run also proves that nothing here
// depends on it.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    const char* name = std::setlocale(LC_ALL, "");
    std::fprintf(stderr, "process locale %s, decimal point '%s'\n", name ? name : "C",
        std::localeconv()->decimal_point);
    return 0;
}

namespace fuzz {

inline void Check(bool holds, const char* what, std::string_view detail = {})
{
    if (holds)
        return;
    std::fprintf(stderr, "check failed: %s [%.*s]\n", what, int(detail.size()), detail.data());
    std::abort();
}

inline bool IsDigits(std::string_view text)
{
    if (text.empty())
        return false;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

// Decimal digits, a '-' when negative, no leading zeros, never "-0".
inline bool IsWholeNumberText(std::string_view text)
{
    const bool negative = !text.empty() && text.front() == '-';
    const std::string_view digits = negative ? text.substr(1) : text;
    return IsDigits(digits) && (digits.size() == 1 || digits.front() != '0')
        && !(negative && digits == "0");
}

// A number text as the pages show computed values: "inf", "-inf", "nan", or
// at most six significant digits in plain form ("0.1" to "999999") or in
// exponent form ("8.33333e-002", "1.e+006"), with no zero ending a fraction.
inline bool IsNumberText(std::string_view text)
{
    if (text == "inf" || text == "-inf" || text == "nan" || text == "0")
        return true;
    if (!text.empty() && text.front() == '-')
        text.remove_prefix(1);
    const size_t e = text.find('e');
    const std::string_view mantissa = text.substr(0, e);
    const size_t point = mantissa.find('.');
    const std::string_view whole = mantissa.substr(0, point);
    const std::string_view fraction
        = point == std::string_view::npos ? std::string_view() : mantissa.substr(point + 1);
    if (!IsDigits(whole) || (whole.size() > 1 && whole.front() == '0'))
        return false;
    if (!fraction.empty() && (!IsDigits(fraction) || fraction.back() == '0'))
        return false;
    if (e == std::string_view::npos) {
        const bool leadingZero = whole == "0";
        const size_t significant = (leadingZero ? 0 : whole.size()) + fraction.size();
        return point != mantissa.size() - 1 && significant >= 1 && significant <= 6
            && (!leadingZero || !fraction.empty());
    }
    const std::string_view exponent = text.substr(e + 1);
    return whole.size() == 1 && whole != "0" && point != std::string_view::npos
        && fraction.size() <= 5 && exponent.size() == 4
        && (exponent.front() == '+' || exponent.front() == '-') && IsDigits(exponent.substr(1));
}

inline void CheckNumberText(const std::string& text, const char* what)
{
    Check(text.find(',') == std::string::npos, "no comma in a number text", text);
    Check(IsNumberText(text), what, text);
}

inline void CheckWholeNumberText(const std::string& text, const char* what)
{
    Check(text.find(',') == std::string::npos, "no comma in a number text", text);
    Check(IsWholeNumberText(text), what, text);
}

} // namespace fuzz
