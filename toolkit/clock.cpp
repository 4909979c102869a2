#include "toolkit/clock.h"

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

Clock* g_replacement = nullptr;

} // namespace

Clock& CurrentClock()
{
    static SteadyClock steady;
    return g_replacement ? *g_replacement : steady;
}

Clock* ReplaceClock(Clock* clock)
{
    Clock* previous = g_replacement;
    g_replacement = clock;
    return previous;
}

} // namespace tk
