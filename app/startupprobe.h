#pragma once

#include <QString>

// For the start-up benchmark: when the first window has painted, writes to
// reportPath the process's peak memory and the shared libraries it has
// loaded, and ends the process at once, so that the time from its start to
// its end is the time to its first paint.
void ReportFirstPaintAndExit(const QString& reportPath);
