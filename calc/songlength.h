#pragma once

#include <string>
#include <string_view>

namespace calc {

// Song lengths as seconds and as a beat total. Fields are read from the
// right: ':' '.' '/' ',' separate them, digits join across any other
// character. All results are saturated to the int range.

// "hh:mm:ss" (or fewer fields) as whole seconds; seconds and minutes above
// 59 count as 59, a fourth field from the right and beyond are ignored.
int ParseSongTime(std::string_view timeText);

// "bars:beat" as a beat total; the beat is capped at beatsPerBar, a third
// field and beyond are ignored. A beatsPerBar below 1 counts as 1.
int ParseSongBars(std::string_view barsText, int beatsPerBar);

// "hh:mm:ss" of the time of day that many seconds span (whole days
// dropped); negative spans read "-hh:mm:ss".
std::string FormatSongTime(int seconds);

// The beat total as completed bars, ':' and the beat within the current bar
// counted from 1; zero beats read "0:0". A beatsPerBar below 1 counts as 1.
std::string FormatSongBars(int beats, int beatsPerBar);

// Whole seconds that the beats last at the tempo text, truncated; 0 when the
// tempo reads 0.
int SecondsFromBeats(int beats, std::string_view tempoText);

// Whole beats that fit the seconds at the tempo text, truncated.
int BeatsFromSeconds(int seconds, std::string_view tempoText);

// Tempo from a beat total and a time, rounded to single precision; an
// infinity for 0 seconds.
float TempoFromLength(int beats, int seconds);

} // namespace calc
