#pragma once

#include <optional>

// What Beatwise does from the command line without a window: --help, and
// --tempo FILE... for scripts (the tempo of each file, a line each, the
// files analysed side by side on the machine's cores). Nothing when the
// arguments ask for the window; otherwise the exit status.
std::optional<int> RunCommandLine(int argc, char* argv[]);
