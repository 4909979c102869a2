#include "calc/delays.h"

#include "calc/notelengths.h"
#include "calc/numberreading.h"
#include "calc/numbertext.h"
#include "calc/wholepart.h"

#include <cmath>

namespace calc {

double SecondsPerBeat(std::string_view tempoText)
{
    const double beatsPerSecond = ReadNumber(tempoText) * kOneSixtieth;
    return 1.0 / beatsPerSecond;
}

std::string DelayText(std::string_view tempoText, int lengthIndex)
{
    const double delay = SecondsPerBeat(tempoText) * NoteLengthBeats(lengthIndex) * 1000.0;
    if (!std::isfinite(delay))
        return "0";
    return TruncatedText(delay);
}

std::string FrequencyText(std::string_view tempoText, std::string_view cyclesText)
{
    const double secondsPerBeat = 60.0 / ReadNumber(tempoText);
    const double secondsPerCycle = secondsPerBeat / ReadNumber(cyclesText);
    return FormatNumber(1.0 / secondsPerCycle);
}

std::string TapDelayText(std::string_view tempoText, std::string_view labelText)
{
    if (labelText.empty())
        return "N/A";
    const double delay = ReadNumber(labelText) * SecondsPerBeat(tempoText) * 1000.0;
    if (!std::isfinite(delay) || delay < 1.0)
        return "N/A";
    return TruncatedText(delay);
}

} // namespace calc
