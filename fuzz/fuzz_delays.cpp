// The delay, frequency and multi-tap texts from arbitrary tempo, cycles and
// label texts.
#include "calc/delays.h"
#include "calc/notelengths.h"
#include "fuzz/checks.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    // Every list index, and a few outside the list (-1 is no selection).
    const int lengthIndex = input.ConsumeIntegralInRange<int>(-2, int(calc::kNoteLengths.size()));
    const std::string tempo = input.ConsumeRandomLengthString();
    const std::string other = input.ConsumeRemainingBytesAsString();

    fuzz::CheckWholeNumberText(calc::DelayText(tempo, lengthIndex), "a delay is a whole number");
    fuzz::CheckNumberText(calc::FrequencyText(tempo, other), "a frequency is a number text");
    const std::string tap = calc::TapDelayText(tempo, other);
    if (tap != "N/A") {
        fuzz::CheckWholeNumberText(tap, "a multi-tap delay is a whole number");
        fuzz::Check(tap.front() != '-' && tap != "0", "a multi-tap delay is at least 1 ms", tap);
    }
    fuzz::Check(!other.empty() || tap == "N/A", "an empty label has no delay", tap);
    return 0;
}
