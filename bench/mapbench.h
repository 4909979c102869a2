#pragma once

#include <QString>

class Figures;

// What the tempo map gives a musician, on the songs of bench/beat-corpus in
// folder: the MIDI file as a player reads it (fluidsynth plays it and its
// clicks are found in the sound) and the click track, each against the
// beats found; how soon listening shows a step's new tempo; and what the
// map costs over the tempo alone on a five-minute song.
void BenchMapFiles(const QString& program, const QString& folder, Figures& figures);
