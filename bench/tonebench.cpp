#include "tonebench.h"

#include "figures.h"
#include "res/resource.h"
#include "support/fakes.h"
#include "support/pulseserver.h"
#include "support/sheetharness.h"
#include "support/uitest.h"
#include "toolkit/sinetone.h"

#include <chrono>
#include <cstdio>

namespace {

using SteadyClock = std::chrono::steady_clock;

std::int64_t Nanoseconds(SteadyClock::time_point time)
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch()).count();
}

tk::SineTone& RealTone()
{
    return dynamic_cast<tk::SineTone&>(tk::CurrentTone());
}

// Waits for the tone's samples to reach the server; their time, or 0.
std::int64_t HandedOverAfter(std::int64_t before)
{
    if (!QTest::qWaitFor([before] { return RealTone().LastHandedOver() > before; }, 2000))
        return 0;
    return RealTone().LastHandedOver();
}

} // namespace

bool BenchTone(int runs, Figures& figures)
{
    PulseServer server;
    if (const QString failure = server.Start(); !failure.isEmpty()) {
        std::fprintf(stderr, "no sound server for the tone figures: %s\n", qPrintable(failure));
        return false;
    }
    FakeClock clock; // lets each press come after a pause without waiting for one
    PageDriver simple(0);
    if (!simple.Show())
        return false;
    QWidget* tap = simple.page.GetDlgItem(IDC_TAP_TEMPO);
    ClickAt(tap, 0); // the run's first press never sounds the tone

    // Every press starts a new series, so every one sounds the tone.
    std::vector<double> pressToServer;
    double firstPressToServer = 0;
    for (int run = 0; run <= runs; ++run) {
        clock.now += 5000;
        const std::int64_t before = RealTone().LastHandedOver();
        const auto pressed = SteadyClock::now();
        ClickAt(tap, 0);
        const std::int64_t handed = HandedOverAfter(before);
        if (handed == 0) {
            std::fprintf(stderr, "the tone never reached the sound server\n");
            return false;
        }
        const double ms = double(handed - Nanoseconds(pressed)) / 1e6;
        if (run == 0)
            firstPressToServer = ms; // includes the module's load and the connection
        else
            pressToServer.push_back(ms);
        QTest::qWait(5); // some tones cut the last one short, some follow silence
    }

    std::vector<double> beepReturns;
    for (int run = 0; run < runs; ++run) {
        const auto start = SteadyClock::now();
        RealTone().Beep(512, 75);
        beepReturns.push_back(double(Nanoseconds(SteadyClock::now()) - Nanoseconds(start)) / 1e6);
        QTest::qWait(run % 2 ? 100 : 5);
    }

    figures.Add({"Beep returns", "ms", Median(beepReturns), {}, {}, 1.0, {}});
    figures.Add({"Tap press to first tone sample at the server", "ms", Median(pressToServer), {},
        {}, 30.0, {}});
    figures.Add({"  the same, first tone of the run", "ms", firstPressToServer, {}, {}, 30.0, {}});
    return true;
}
