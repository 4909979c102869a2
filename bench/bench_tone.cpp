// How long the tap tone keeps the window, and how soon it reaches the sound
// server: run against a private PulseAudio server, as `make bench` does.
#include "res/resource.h"
#include "support/fakes.h"
#include "support/pulseserver.h"
#include "support/sheetharness.h"
#include "support/uitest.h"
#include "toolkit/sinetone.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::int64_t Nanoseconds(Clock::time_point time)
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch()).count();
}

struct Figures {
    double median = 0;
    double worst = 0;
};

Figures Summarise(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return {values[values.size() / 2], values.back()};
}

void Report(const char* what, const Figures& figures, double goal)
{
    std::printf("%-58s median %8.3f ms  worst %8.3f ms  goal < %g ms  %s\n", what, figures.median,
        figures.worst, goal, figures.median < goal ? "met" : "MISSED");
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

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    PrepareWidgetTests();
    PulseServer server;
    if (const QString failure = server.Start(); !failure.isEmpty()) {
        std::fprintf(stderr, "no sound server: %s\n", qPrintable(failure));
        return 1;
    }

    constexpr int kRuns = 200;
    FakeClock clock; // lets each press come after a pause without waiting for one
    PageDriver simple(0);
    if (!simple.Show())
        return 1;
    QWidget* tap = simple.page.GetDlgItem(IDC_TAP_TEMPO);
    ClickAt(tap, 0); // the run's first press never sounds the tone

    // Every press starts a new series, so every one sounds the tone.
    std::vector<double> clickToServer;
    double firstClickToServer = 0;
    for (int run = 0; run <= kRuns; ++run) {
        clock.now += 5000;
        const std::int64_t before = RealTone().LastHandedOver();
        const auto clicked = Clock::now();
        ClickAt(tap, 0);
        const std::int64_t handed = HandedOverAfter(before);
        if (handed == 0) {
            std::fprintf(stderr, "the tone never reached the server\n");
            return 1;
        }
        const double ms = double(handed - Nanoseconds(clicked)) / 1e6;
        if (run == 0)
            firstClickToServer = ms; // includes connecting to the server
        else
            clickToServer.push_back(ms);
        QTest::qWait(5); // some tones cut the last one short, some follow silence
    }

    std::vector<double> beepReturns;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = Clock::now();
        RealTone().Beep(512, 75);
        beepReturns.push_back(double(Nanoseconds(Clock::now()) - Nanoseconds(start)) / 1e6);
        QTest::qWait(run % 2 ? 100 : 5);
    }

    std::printf("Tap tone against a private PulseAudio server, %d runs each\n", kRuns);
    Report("Beep returns", Summarise(beepReturns), 1.0);
    Report("Tap press (a quick click) to first tone sample at the server", Summarise(clickToServer),
        30.0);
    std::printf(
        "%-58s %8.3f ms (connects to the server)\n", "  the run's first tone", firstClickToServer);
    return 0;
}
