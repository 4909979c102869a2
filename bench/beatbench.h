#pragma once

#include <QString>

#include <vector>

class Figures;

// A song of bench/beat-corpus: grooves whose every beat time is known,
// steady, drifting or stepping from one tempo to another at a bar line.
struct BeatSong {
    QString name, path, kind, meter;
    double bpm = 0, then = 0, from = -1; // a step: the tempo then, from that second
    std::vector<double> beats, downbeats;
    int beatsPerBar = 0;
};
std::vector<BeatSong> ReadBeatSongs(const QString& folder);

// The beat F-measure at 70 ms, the first five seconds left out as a
// tracker may take them to settle: the share of beats found that are
// true, against the share of true beats found.
double BeatF(const std::vector<double>& truth, const std::vector<double>& found);

// The beats and bars of a tempo map on those songs, beside aubio's and the
// Queen Mary tracker's beats: F-measures by kind, the downbeats, and where
// a step is placed. The songs are rendered into folder on first use.
void BenchBeats(const QString& folder, Figures& figures, bool withOthers = true);
