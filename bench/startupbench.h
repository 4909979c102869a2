#pragma once

class Figures;
class QString;

// Whole-process start-up: Beatwise and the bare baseline, run alternately,
// each from its start to its first painted window; the time, the peak
// memory and the shared libraries loaded by then.
void BenchStartup(const QString& beatwise, const QString& baseline, int runs, Figures& figures);
