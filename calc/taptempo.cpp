#include "calc/taptempo.h"

#include "calc/numbertext.h"
#include "calc/presstiming.h"
#include "calc/wholepart.h"

namespace calc {

namespace {

constexpr float kSecondsPerTick = 0.001f;

} // namespace

TapTempo::Result TapTempo::Press(std::int64_t pressTime)
{
    Result result;
    ++m_nTapCount;
    // The very first press of the run begins a series silently.
    if (m_nTapCount > 1 && IsPause(m_lastTapTime, pressTime)) {
        result.newSeries = true;
        m_nTapIndex = 0;
        m_nTapCount = 1;
    }
    m_tapTimes[static_cast<size_t>(m_nTapIndex)] = pressTime;
    m_lastTapTime = pressTime;
    ++m_nTapIndex;

    std::optional<float> average;
    if (m_nTapCount >= 2)
        average = AverageInterval();
    if (m_nTapIndex == kSlots)
        m_nTapIndex = 0;

    if (average && *average != 0.0f)
        result.tempo = FormatNumber(ToSingle(60.0 / *average));
    return result;
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
