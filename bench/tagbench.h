#pragma once

class Figures;
class QString;

// BPM tags written by the batch command, in folder: a run over every format
// killed at random moments kills times, every file checked old or new and
// nothing left beside them; then files files tagged in one run, its time
// against finding their tempo alone, and its peak memory against a tenth
// as many files.
void BenchTags(
    const QString& beatwise, const QString& folder, int kills, int files, Figures& figures);
