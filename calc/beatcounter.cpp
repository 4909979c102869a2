#include "calc/beatcounter.h"

#include "calc/wholepart.h"

namespace calc {

namespace {

constexpr std::int64_t kTicksPerSecond = 1000;
constexpr std::int64_t kPauseSeconds = 2; // a pause is more than this many whole seconds
constexpr std::int64_t kMeasuringTicks = 5000; // measured only after more than this
constexpr float kSecondsPerMinute = 60.0f;

} // namespace

bool BeatCounter::Press(std::int64_t now)
{
    m_nPressTicks = now;
    const std::int64_t sinceLast = now - m_nLastTicks;
    const bool pause
        = !m_bNewCount && (sinceLast < 0 || sinceLast / kTicksPerSecond > kPauseSeconds);
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
    return WholePart(static_cast<double>((m_nPressTicks - m_nStartTicks) / kTicksPerSecond));
}

float BeatCounter::MeasuredTempo(int beats) const
{
    const std::int64_t elapsed = m_nPressTicks - m_nStartTicks;
    if (elapsed <= kMeasuringTicks)
        return 0.0f;
    const auto wholeSeconds = static_cast<double>(elapsed / kTicksPerSecond);
    return ToSingle(kSecondsPerMinute / wholeSeconds * beats);
}

} // namespace calc
