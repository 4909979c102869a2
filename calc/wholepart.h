#pragma once

#include <cstdint>
#include <string>

namespace calc {

// Float-to-integer conversions that are defined for every input: truncation
// toward zero, saturated to the int range; infinities and NaN give 0, which
// is what the pages show for an endless duration.
int WholePart(double value);

// The double rounded to single precision, defined for every input: values
// beyond the float range become an infinity of their sign.
float ToSingle(double value);

// Decimal digits of a whole number, with a leading '-' when negative, no
// leading zeros and no grouping.
std::string WholeNumberText(std::int64_t value);

// Exact decimal digits of value truncated toward zero, for any finite double
// (a delay may lie far beyond every integer type); "0" for negative zero.
std::string TruncatedText(double value);

} // namespace calc
