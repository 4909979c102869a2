#include "midi/clockgrid.h"

#include <cmath>

namespace midi {

namespace {

// The offset in a cycle of the frame nearest an exact one, clipped to the
// cycle: a frame only just before it belongs to its first.
std::uint32_t OffsetOf(double frame, std::uint64_t first, std::uint32_t count)
{
    const double at = std::nearbyint(frame) - double(first);
    if (!(at > 0))
        return 0;
    return at < double(count) ? std::uint32_t(at) : count - 1;
}

} // namespace

ClockGrid::ClockGrid(double framesPerSecond)
    : m_rate(framesPerSecond)
    , m_interval(framesPerSecond * 60 / (kClocksPerBeat * m_bpm))
{
}

void ClockGrid::SetTempo(double bpm)
{
    if (!(bpm > 0) || bpm == m_bpm)
        return;
    if (m_since > 0) {
        m_anchor += double(m_since - 1) * m_interval;
        m_since = 1;
    }
    m_bpm = bpm;
    m_interval = m_rate * 60 / (kClocksPerBeat * bpm);
}

void ClockGrid::Cycle(std::uint64_t first, std::uint32_t count, Sink& sink)
{
    if (count == 0)
        return;
    if (m_stopAsked) {
        sink.Send(0, kStop);
        m_stopAsked = false;
    }
    if (m_beats.beatAt && m_beats.frameAt)
        CycleOnBeats(first, count, sink);
    else
        CycleOnTempo(first, count, sink);
}

void ClockGrid::CycleOnTempo(std::uint64_t first, std::uint32_t count, Sink& sink)
{
    if (!m_running) {
        m_running = true;
        m_anchor = double(first);
        m_since = 0;
    }
    const double end = double(first + count);
    for (;;) {
        const double exact = m_anchor + double(m_since) * m_interval;
        if (std::nearbyint(exact) >= end)
            break;
        const std::uint32_t offset = OffsetOf(exact, first, count);
        if (m_startAsked) {
            sink.Send(offset, kStart);
            m_startAsked = false;
        }
        sink.Send(offset, kClock);
        ++m_since;
    }
}

void ClockGrid::CycleOnBeats(std::uint64_t first, std::uint32_t count, Sink& sink)
{
    const double from = m_beats.beatAt(m_beats.context, double(first)) * kClocksPerBeat;
    const double to = m_beats.beatAt(m_beats.context, double(first + count)) * kClocksPerBeat;
    if (!std::isfinite(from) || !std::isfinite(to) || !(to > from))
        return;
    // A clock already sent is not sent again, unless the grid jumped back
    // by more than a beat (the session was reset).
    double tick = std::ceil(from);
    if (m_running && m_nextTick > tick && m_nextTick - tick <= kClocksPerBeat)
        tick = m_nextTick;
    m_running = true;
    const double bar = m_beats.quantum > 0 ? m_beats.quantum * kClocksPerBeat : kClocksPerBeat;
    for (; tick < to; ++tick) {
        const double frame = m_beats.frameAt(m_beats.context, tick / kClocksPerBeat);
        const std::uint32_t offset = OffsetOf(frame, first, count);
        if (m_startAsked && tick - bar * std::floor(tick / bar) == 0) {
            sink.Send(offset, kStart);
            m_startAsked = false;
        }
        sink.Send(offset, kClock);
    }
    m_nextTick = tick;
}

} // namespace midi
