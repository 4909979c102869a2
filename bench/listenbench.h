#pragma once

class Figures;

// Listening: how many seconds of music the live analysis needs, and what
// listening through a private sound server costs the window (a keystroke
// while listening against one while not) and the processor.
void BenchListening(int batches, int perBatch, Figures& figures);
