#pragma once

#include <atomic>
#include <string>
#include <vector>

// The tempo of a recording, from its audio: decoded by libsndfile, the
// onsets measured with aubio's spectra, the beat period found window by
// window across the whole song. No Qt.
namespace analysis {

enum class Failure {
    None,
    Unreadable, // missing, not readable, empty or broken off
    UnsupportedFormat, // not audio in a format the decoder knows
    UnsupportedRate, // audio at a sample rate outside what audio uses
    NoSound, // audio, but no samples at all
    TooShort, // too little audio to find a tempo in
    NoSteadyBeat, // audio, but no beat that keeps time
    Cancelled,
};

// How the beats group into bars, where the music makes it clear: two or
// four beats to the bar, three, or beats that divide in three (6/8, 12/8).
enum class Meter { Common, ThreeFour, SixEight, TwelveEight };

// "4/4", "3/4", "6/8" or "12/8"; inline, as the program names meters
// without loading the analysis.
inline const char* MeterText(Meter meter)
{
    switch (meter) {
    case Meter::ThreeFour:
        return "3/4";
    case Meter::SixEight:
        return "6/8";
    case Meter::TwelveEight:
        return "12/8";
    case Meter::Common:
        break;
    }
    return "4/4";
}

// A beat of the song: when it comes, in seconds from the start; the bar it
// belongs to, from 1 (0 for the beats before the first downbeat) and its
// place in the bar, from 1; and the local tempo around it, to 0.01.
struct Beat {
    double seconds = 0;
    int bar = 0, beat = 1;
    double bpm = 0;
};

// Where the tempo moves to another and stays there: from the beat at that
// time on, the new tempo, to 0.01.
struct TempoChange {
    double seconds = 0;
    int bar = 0;
    double bpm = 0;
};

// The beats through the song, in order, and where its tempo changes.
struct TempoMap {
    std::vector<Beat> beats;
    std::vector<TempoChange> changes;
    int beatsPerBar = 4;
    double firstBpm = 0; // the tempo up to the first change, to 0.01
    // Whether the tempo drifts within the stretches between changes, and
    // the range of the local tempos (10th to 90th percentiles) where it does.
    bool drifts = false;
    double lowest = 0, highest = 0;
    // The tempo changes too often to map (free time, a change every bar):
    // no beats, only the range it wanders over.
    bool wanders = false;
};

struct SongTempo {
    Failure failure = Failure::None;
    double bpm = 0; // rounded to 0.01
    // Where the tempo drifts, as a live band's does: the range of the local
    // tempos (their 10th to 90th percentiles), to 0.01.
    bool drifts = false;
    double lowest = 0, highest = 0;
    Meter meter = Meter::Common;
    // The level of the beat the next likeliest, to 0.01, and how sure the
    // choice was, from 0 (a toss-up) to 1.
    double runnerUp = 0;
    double sureness = 0;
    // Where only the first part of the file was analysed, as it would cost
    // more than a long song does (a very high rate, many channels, hours of
    // sound): the seconds analysed. 0 for the whole file.
    double cutShortAt = 0;
    int sampleRate = 0; // of the file, as its header says
    double seconds = 0; // of audio analysed
    // The beats and bars through the song; empty where none could be followed.
    TempoMap map;
};

// Shared with the thread that analyses: how far it has got (0 to 1), and a
// request to stop.
struct Progress {
    std::atomic<double> done {0};
    std::atomic<bool> cancel {false};
};

// Reads the file in blocks as it goes, so that memory does not grow with
// the length of the song. progress may be null.
SongTempo AnalyseSongFile(const std::string& path, Progress* progress = nullptr);

// The module's entry point, for a program that loads the analysis only when
// it is first wanted: AnalyseSongFile under a name found at run time.
using AnalyseSongFileFunction = void (*)(const char* path, Progress* progress, SongTempo* result);
inline constexpr const char* kAnalyseSongFile = "beatwise_analyse_song_file";

} // namespace analysis
