#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <initializer_list>
#include <utility>
#include <vector>

// What the tempo benchmarks share: running a tool, the other tempo
// estimators beside Beatwise, and how an answer is judged.

// Runs a program to its end within the minutes given; true when it exits 0.
// Its standard output goes to output when asked for, else with its errors.
bool Run(const QString& program, const QStringList& arguments, QByteArray* output = nullptr,
    int minutes = 2);

// Whether every tool is installed; where one is not, says that the
// benchmark named is skipped.
bool HaveTools(const char* benchmark, std::initializer_list<const char*> tools);

// Another estimator's tempo of a file, 0 for none, and its time.
struct OtherAnswer {
    double bpm = 0;
    double seconds = 0;
};
OtherAnswer AubioTempo(const QString& path);
// The Queen Mary tempo tracker, driven as Mixxx drives it: the complex
// spectral difference detection function, then TempoTrackV2's beats, the
// tempo their median interval.
OtherAnswer QueenMaryTempo(const QString& path);

// The beats other trackers find in a file, in seconds: aubio's, and the
// Queen Mary tracker's as above.
std::vector<double> AubioBeats(const QString& path);
std::vector<double> QueenMaryBeats(const QString& path);

bool Within(double found, double truth, double share);
// Within 1% of the tempo, its half, double, third or triple.
bool OnALevel(double found, double truth);

// Writes index.tsv into a folder of songs, in the form bench/groove-corpus
// writes it (file, true bpm, meter, library), for bench/train-level.
void WriteIndex(const QString& folder, const QString& library,
    const std::vector<std::pair<QString, double>>& songs);
