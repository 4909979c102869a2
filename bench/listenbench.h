#pragma once

#include <QString>

#include <vector>

class Figures;

// Listening: how many seconds of music the live analysis needs, and what
// listening through a private sound server costs the window (a keystroke
// while listening against one while not) and the processor.
void BenchListening(int batches, int perBatch, Figures& figures);

// The tempos the live analysis shows while a sound file plays from its
// start, one every half second of it (0 where there is none yet), up to
// the given length.
std::vector<double> TemposHeard(const QString& path, double seconds);
