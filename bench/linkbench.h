#pragma once

#include <QString>

class Figures;

// How long a tempo set in Beatwise takes to reach another Link peer (the
// real LinkHut, read from its screen), in a private network made for the
// measurement by a child process of its own.
void BenchLink(const QString& self, Figures& figures);

// The child's side: measures and prints the median in milliseconds.
int MeasureLinkLatency(int changes);
