#include "calc/taptempo.h"

#include "calc/numbertext.h"
#include "calc/wholepart.h"

namespace calc {

namespace {

constexpr float kSecondsPerTick = 0.001f;
constexpr std::int64_t kTicksPerSecond = 1000;
constexpr std::int64_t kPauseSeconds = 2; // a pause is more than this many whole seconds

} // namespace

bool TapTempo::IsPause(std::int64_t now) const
{
    const std::int64_t elapsed = now - m_lastTapTime;
    return elapsed < 0 || elapsed / kTicksPerSecond > kPauseSeconds;
}

std::optional<std::string> TapTempo::Press(
    std::int64_t now, const BeepThenReadClock& beepThenReadClock)
{
    ++m_nTapCount;
    m_tapTimes[static_cast<size_t>(m_nTapIndex)] = now;
    // The very first press of the run begins a series silently.
    if (m_nTapCount > 1 && IsPause(now)) {
        m_nTapIndex = 0;
        m_tapTimes[0] = beepThenReadClock();
        m_nTapCount = 1;
    }
    m_lastTapTime = m_tapTimes[static_cast<size_t>(m_nTapIndex)];
    ++m_nTapIndex;

    std::optional<float> average;
    if (m_nTapCount >= 2)
        average = AverageInterval();
    if (m_nTapIndex == kSlots)
        m_nTapIndex = 0;

    if (!average || *average == 0.0f)
        return std::nullopt;
    const float tempo = ToSingle(60.0 / *average);
    return FormatNumber(tempo);
}

float TapTempo::AverageInterval() const
{
    const int intervals = m_nTapCount < kSlots ? m_nTapCount - 1 : kSlots - 1;
    double sum = 0.0;
    int slot = m_nTapIndex - 1; // the press just stored
    for (int i = 0; i < intervals; ++i) {
        const int earlier = slot == 0 ? kSlots - 1 : slot - 1;
        const auto ticks
            = m_tapTimes[static_cast<size_t>(slot)] - m_tapTimes[static_cast<size_t>(earlier)];
        const float seconds = ToSingle(static_cast<double>(ticks) * kSecondsPerTick);
        sum += seconds;
        slot = earlier;
    }
    const float total = ToSingle(sum);
    return ToSingle(static_cast<double>(total) / intervals);
}

} // namespace calc
