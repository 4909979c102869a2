#include "calc/beatcounter.h"

#include "calc/presstiming.h"
#include "calc/wholepart.h"

namespace calc {

namespace {

constexpr std::uint64_t kTicksPerSecond = 1000;
constexpr std::uint64_t kMeasuringTicks = 5000; // measured only after more than this
constexpr float kSecondsPerMinute = 60.0f;

} // namespace

bool BeatCounter::Press(std::int64_t now)
{
    m_nPressTicks = now;
    const bool pause = !m_bNewCount && IsPause(m_nLastTicks, now);
    if (pause)
        m_bNewCount = true;
    if (m_bNewCount) {
        m_bNewCount = false;
        m_nStartTicks = m_nPressTicks;
    }
    m_nLastTicks = m_nPressTicks;
    return pause;
}

int BeatCounter::ElapsedSeconds() const
{
    return WholePart(
        static_cast<double>(TicksBetween(m_nStartTicks, m_nPressTicks) / kTicksPerSecond));
}

float BeatCounter::MeasuredTempo(int beats) const
{
    const std::uint64_t elapsed = TicksBetween(m_nStartTicks, m_nPressTicks);
    if (elapsed <= kMeasuringTicks)
        return 0.0f;
    const auto wholeSeconds = static_cast<double>(elapsed / kTicksPerSecond);
    return ToSingle(kSecondsPerMinute / wholeSeconds * beats);
}

} // namespace calc
