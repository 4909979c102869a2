#include "calc/presstiming.h"

namespace calc {

namespace {

constexpr std::uint64_t kTicksPerSecond = 1000;
constexpr std::uint64_t kPauseSeconds = 2; // a pause is more than this many whole seconds

} // namespace

std::uint64_t TicksBetween(std::int64_t earlier, std::int64_t later)
{
    // Exact in unsigned arithmetic: the true difference lies in 0 .. 2^64 - 1.
    return static_cast<std::uint64_t>(later) - static_cast<std::uint64_t>(earlier);
}

bool IsPause(std::int64_t previous, std::int64_t now)
{
    return now < previous || TicksBetween(previous, now) / kTicksPerSecond > kPauseSeconds;
}

} // namespace calc
