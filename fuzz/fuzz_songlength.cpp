// The song-length parsers and formatters, alone and in round trips.
#include "calc/songlength.h"
#include "fuzz/checks.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <string>

namespace {

bool IsSongTimeText(std::string_view text)
{
    if (!text.empty() && text.front() == '-')
        text.remove_prefix(1);
    return text.size() == 8 && text[2] == ':' && text[5] == ':' && fuzz::IsDigits(text.substr(0, 2))
        && fuzz::IsDigits(text.substr(3, 2)) && fuzz::IsDigits(text.substr(6, 2))
        && text.substr(3, 1) < "6" && text.substr(6, 1) < "6" && text.substr(0, 2) < "24";
}

bool IsSongBarsText(std::string_view text)
{
    const size_t colon = text.find(':');
    return colon != std::string_view::npos && fuzz::IsWholeNumberText(text.substr(0, colon))
        && fuzz::IsWholeNumberText(text.substr(colon + 1));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const int number = input.ConsumeIntegral<int>();
    const int beatsPerBar
        = input.PickValueInArray({4, 3, 6, 2, 5, 7, 1, 0, -1, input.ConsumeIntegral<int>()});
    const std::string tempo = input.ConsumeRandomLengthString();
    const std::string text = input.ConsumeRemainingBytesAsString();

    const std::string time = calc::FormatSongTime(number);
    fuzz::Check(IsSongTimeText(time), "a song time is [-]hh:mm:ss", time);
    const std::string bars = calc::FormatSongBars(number, beatsPerBar);
    fuzz::Check(IsSongBarsText(bars), "a bars text is bars:beat", bars);
    if (number >= 0) {
        fuzz::Check(calc::ParseSongTime(time) == number % 86400, "a time reads back", time);
        fuzz::Check(calc::ParseSongBars(bars, beatsPerBar) == number, "bars read back", bars);
    }

    const int seconds = calc::ParseSongTime(text);
    const int beats = calc::ParseSongBars(text, beatsPerBar);
    fuzz::Check(seconds >= 0 && beats >= 0, "a typed length is never negative", text);
    const std::string shown = calc::FormatSongBars(beats, beatsPerBar);
    fuzz::Check(
        calc::ParseSongBars(shown, beatsPerBar) == beats, "typed bars reshown read back", shown);

    // Conversions with the tempo: defined whatever the texts (the sanitizers
    // watch the float-to-int steps).
    (void)calc::SecondsFromBeats(beats, tempo);
    (void)calc::BeatsFromSeconds(seconds, tempo);
    const float derived = calc::TempoFromLength(beats, seconds);
    fuzz::Check(std::isnan(derived) || derived >= 0, "a derived tempo is never negative");
    return 0;
}
