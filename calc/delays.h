#pragma once

#include <string>
#include <string_view>

namespace calc {

// The double nearest to 1/60 (0x3F91111111111111). Tempos are multiplied by
// it, never divided by 60: the truncated delays depend on that rounding.
inline constexpr double kOneSixtieth = 0x1.1111111111111p-6;

// One beat in seconds at the tempo text: 1 / (tempo * kOneSixtieth).
double SecondsPerBeat(std::string_view tempoText);

// Echo delay in whole milliseconds of the note length at lengthIndex (see
// NoteLengthBeats). "0" for a tempo reading 0, where the delay is endless;
// the exact whole number for delays beyond any integer type.
std::string DelayText(std::string_view tempoText, int lengthIndex);

// Modulation rate in hertz for the cycles per beat, as FormatNumber text.
std::string FrequencyText(std::string_view tempoText, std::string_view cyclesText);

// Multi-tap delay in whole milliseconds for a beat-multiplier label: "N/A"
// for an empty label and for any delay that is not at least 1 ms (zero,
// negative, endless or undefined); large delays are shown exactly.
std::string TapDelayText(std::string_view tempoText, std::string_view labelText);

} // namespace calc
