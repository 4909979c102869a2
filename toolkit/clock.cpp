#include "toolkit/clock.h"

#include "toolkit/replaceable.h"

#include <QElapsedTimer>

namespace tk {

namespace {

class SteadyClock final : public Clock {
public:
    SteadyClock() { m_timer.start(); }
    std::int64_t Milliseconds() override { return m_timer.elapsed(); }

private:
    QElapsedTimer m_timer; // monotonic: unaffected by changes to the wall clock
};

using ReplaceableClock = Replaceable<Clock, SteadyClock>;

} // namespace

void Clock::ObserveEvent(std::uint64_t timestamp)
{
    if (timestamp != 0)
        m_events.Observe(static_cast<std::uint32_t>(timestamp), Milliseconds());
}

std::int64_t Clock::EventTime(std::uint64_t timestamp)
{
    if (timestamp == 0)
        return Milliseconds();
    if (!m_events.HasObserved())
        ObserveEvent(timestamp);
    // Window systems count event time in 32 bits; the timeline unwraps it.
    return m_events.ToClock(static_cast<std::uint32_t>(timestamp));
}

Clock& CurrentClock()
{
    return ReplaceableClock::Current();
}

Clock* ReplaceClock(Clock* clock)
{
    return ReplaceableClock::Replace(clock);
}

} // namespace tk
