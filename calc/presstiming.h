#pragma once

#include <cstdint>

namespace calc {

// Clock readings of presses, in milliseconds. Readings may lie anywhere in
// the 64-bit range; nothing here overflows, however far apart they are.

// Milliseconds from an earlier reading to a later one (later >= earlier).
std::uint64_t TicksBetween(std::int64_t earlier, std::int64_t later);

// A press three whole seconds or more after the previous one ends a series
// of presses; so does one earlier than it (a clock that wrapped or was set
// back).
bool IsPause(std::int64_t previous, std::int64_t now);

} // namespace calc
