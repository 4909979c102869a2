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

Clock& CurrentClock()
{
    return ReplaceableClock::Current();
}

Clock* ReplaceClock(Clock* clock)
{
    return ReplaceableClock::Replace(clock);
}

} // namespace tk
