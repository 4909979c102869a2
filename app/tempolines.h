#pragma once

#include <vector>

// What --tempo is asked for besides the files.
struct TempoOptions {
    double low = 0, high = 0; // the range, 0 for none
    bool verbose = false;
    bool writeTags = false, force = false, dryRun = false;
};

// Prints the tempo of each file, a line each in the order given, the files
// analysed side by side on the machine's cores; the exit status.
int PrintTempos(const std::vector<const char*>& paths, const TempoOptions& options);
