#pragma once

#include <QString>

class Figures;

// The tempo of real music: songs rendered, on first use, by their own
// programs from the demo projects that Debian ships with them (Hydrogen's
// with h2cli, LMMS's with lmms), the true tempo read from each project;
// versions of some of them time-stretched to drift as a live band does; and
// files with no beat at all. Beatwise's answers beside those of `aubio
// tempo` on the same files. The files are kept in folder.
void BenchRealMusic(const QString& folder, Figures& figures);
