#pragma once

class Figures;
class QString;

// The tempo of music by many authors in many styles and meters: songs
// written on the groove libraries of mma and rendered by fluidsynth with
// several sound sets (bench/groove-corpus), each with the tempo a musician
// would count. Beatwise beside aubio and the Queen Mary tracker, by meter
// and by tempo band; the grooves of mma's own standard library are those
// the rules were tried on, the other libraries are held back and reported
// apart. The same songs mastered as loud records (folder/mastered) stand
// in for band recordings. The files are kept in folder.
void BenchGrooves(const QString& folder, Figures& figures, bool withOthers = true);
