#pragma once

#include "toolkit/clock.h"
#include "toolkit/tone.h"

#include <QList>
#include <QPair>

#include <cstdint>

// A clock that reads what the test set, and stays in place for the life of
// the object.
class FakeClock final : public tk::Clock {
public:
    FakeClock() { m_previous = tk::ReplaceClock(this); }
    ~FakeClock() override { tk::ReplaceClock(m_previous); }

    std::int64_t Milliseconds() override
    {
        ++readings;
        return now;
    }

    std::int64_t now = 0;
    int readings = 0;

private:
    tk::Clock* m_previous;
};

// A tone that records each beep.
class RecordingTone final : public tk::Tone {
public:
    RecordingTone() { m_previous = tk::ReplaceTone(this); }
    ~RecordingTone() override { tk::ReplaceTone(m_previous); }

    void Beep(int frequencyHz, int durationMs) override
    {
        beeps << qMakePair(frequencyHz, durationMs);
    }

    QList<QPair<int, int>> beeps;

private:
    tk::Tone* m_previous;
};
