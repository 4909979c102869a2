#pragma once

class Figures;

// Single user events, each through to pixels, on Beatwise's sheet and on the
// bare baseline: a keystroke in the tempo of each page, a Tap Tempo press
// within a long series, a slider step and a page switch.
void BenchEvents(int batches, int perBatch, Figures& figures);
