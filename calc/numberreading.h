#pragma once

#include <string_view>

namespace calc {

// The leading decimal number of a text, read the way users' tempo and beat
// texts have always been read: C white space skipped, an optional sign,
// digits with an optional point, an optional exponent introduced by e, E, d
// or D; the rest of the text is ignored and a text without a number reads 0.
// Hexadecimal, infinity and not-a-number spellings are not numbers. A value
// beyond the double range reads as an infinity of its sign, one below it as
// zero. Exact for texts of any length, rounded once to the nearest double.
// Independent of the process locale: the point is always '.'.
double ReadNumber(std::string_view text);

// The leading whole number of a text: C white space skipped, an optional
// sign, the decimal digits up to the first other character; 0 when there are
// none. Runs beyond the int range clamp to its limits.
int ReadWholeNumber(std::string_view text);

// The C locale's white space: blank, tab, newline, vertical tab, form feed
// and carriage return.
bool IsBlank(char c);
bool IsDigit(char c);

} // namespace calc
