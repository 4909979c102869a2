#pragma once

#include <atomic>
#include <string>

// The tempo of a recording, from its audio: decoded by libsndfile, the
// onsets measured with aubio's spectra, the beat period found window by
// window across the whole song. No Qt.
namespace analysis {

enum class Failure {
    None,
    Unreadable, // missing, not readable, empty or broken off
    UnsupportedFormat, // not audio in a format the decoder knows
    TooShort, // too little audio to find a tempo in
    NoSteadyBeat, // audio, but no beat that keeps time
    Cancelled,
};

struct SongTempo {
    Failure failure = Failure::None;
    double bpm = 0; // rounded to 0.01
    // Where the tempo drifts, as a live band's does: the range of the local
    // tempos (their 10th to 90th percentiles), to 0.01.
    bool drifts = false;
    double lowest = 0, highest = 0;
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
