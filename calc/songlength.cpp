#include "calc/songlength.h"

#include "calc/delays.h"
#include "calc/numberreading.h"
#include "calc/wholepart.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>

namespace calc {

namespace {

constexpr std::int64_t kIntMax = std::numeric_limits<int>::max();
constexpr std::int64_t kIntMin = std::numeric_limits<int>::min();

int Saturate(std::int64_t value)
{
    return static_cast<int>(std::clamp(value, kIntMin, kIntMax));
}

bool IsFieldSeparator(char c)
{
    return c == ':' || c == '.' || c == '/' || c == ',';
}

// Value of a field's digits in written order, other characters skipped,
// clamped to the int range like any whole-number reading.
std::int64_t FieldValue(std::string_view field)
{
    std::int64_t value = 0;
    for (char c : field) {
        if (IsDigit(c))
            value = std::min(kIntMax, value * 10 + (c - '0'));
    }
    return value;
}

// The values of the last N fields, field 0 being the rightmost.
template <size_t N> std::array<std::int64_t, N> ReadFieldsFromRight(std::string_view text)
{
    std::array<std::int64_t, N> fields {};
    size_t end = text.size();
    for (size_t field = 0; field < N; ++field) {
        size_t start = end;
        while (start > 0 && !IsFieldSeparator(text[start - 1]))
            --start;
        fields[field] = FieldValue(text.substr(start, end - start));
        if (start == 0)
            break;
        end = start - 1;
    }
    return fields;
}

std::string TwoDigits(std::int64_t value)
{
    return {static_cast<char>('0' + value / 10), static_cast<char>('0' + value % 10)};
}

} // namespace

int ParseSongTime(std::string_view timeText)
{
    const auto [seconds, minutes, hours] = ReadFieldsFromRight<3>(timeText);
    const std::int64_t total = (hours * 60 + std::min<std::int64_t>(minutes, 59)) * 60
        + std::min<std::int64_t>(seconds, 59);
    return Saturate(total);
}

int ParseSongBars(std::string_view barsText, int beatsPerBar)
{
    const std::int64_t perBar = std::max(beatsPerBar, 1);
    const auto [beat, bars] = ReadFieldsFromRight<2>(barsText);
    return Saturate(bars * perBar + std::min(beat, perBar));
}

std::string FormatSongTime(int seconds)
{
    const std::int64_t span = seconds;
    const std::int64_t magnitude = span < 0 ? -span : span;
    const std::string text = TwoDigits(magnitude / 3600 % 24) + ":" + TwoDigits(magnitude / 60 % 60)
        + ":" + TwoDigits(magnitude % 60);
    return span < 0 ? "-" + text : text;
}

std::string FormatSongBars(int beats, int beatsPerBar)
{
    // Zero beats is the placeholder in every signature; in one beat to the
    // bar the arithmetic below would give "-1:1", which reads back as 2.
    if (beats == 0)
        return "0:0";
    const std::int64_t perBar = std::max(beatsPerBar, 1);
    const std::int64_t before = std::int64_t {beats} - 1;
    const std::int64_t bars = before / perBar;
    const std::int64_t beat = before - bars * perBar + 1;
    return WholeNumberText(bars) + ":" + WholeNumberText(beat);
}

int SecondsFromBeats(int beats, std::string_view tempoText)
{
    const double beatsPerSecond = ReadNumber(tempoText) * kOneSixtieth;
    return WholePart(beats / beatsPerSecond);
}

int BeatsFromSeconds(int seconds, std::string_view tempoText)
{
    const double beatsPerSecond = ReadNumber(tempoText) * kOneSixtieth;
    return WholePart(seconds * beatsPerSecond);
}

float TempoFromLength(int beats, int seconds)
{
    const double beatsPerSecond = static_cast<double>(beats) / seconds;
    return ToSingle(beatsPerSecond * 60.0);
}

} // namespace calc
