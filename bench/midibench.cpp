#include "midibench.h"

#include "figures.h"
#include "midi/midiclock.h"
#include "support/jackprobe.h"
#include "toolkit/runtimemodule.h"

#include <sys/resource.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <random>

namespace {

constexpr double kRate = JackServer::kRate;

double Interval(double bpm)
{
    return kRate * 60 / (24 * bpm);
}

std::vector<std::uint64_t> Clocks(const JackProbe& probe)
{
    std::vector<std::uint64_t> clocks;
    for (const JackProbe::Byte& byte : probe.Heard()) {
        if (byte.message == 0xF8)
            clocks.push_back(byte.frame);
    }
    return clocks;
}

struct Timing {
    double worst = 0; // frames from the ideal grid, at its best phase
    double rate = 0; // parts per million from the ideal interval
};

Timing Measure(const std::vector<std::uint64_t>& clocks, double bpm)
{
    Timing timing;
    if (clocks.size() < 3)
        return {1e9, 1e9};
    const double ideal = Interval(bpm);
    std::vector<double> offsets;
    for (size_t k = 0; k < clocks.size(); ++k)
        offsets.push_back(double(clocks[k] - clocks[0]) - double(k) * ideal);
    const double phase = Median(offsets);
    for (double offset : offsets)
        timing.worst = std::max(timing.worst, std::abs(offset - phase));
    const double mean = double(clocks.back() - clocks.front()) / double(clocks.size() - 1);
    timing.rate = std::abs(mean / ideal - 1) * 1e6;
    return timing;
}

double CpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double ProcessSeconds(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = stat.readAll().split(' ');
    // utime and stime, in clock ticks.
    return fields.size() > 15 ? (fields[13].toDouble() + fields[14].toDouble()) / 100 : 0;
}

std::unique_ptr<midi::MidiClock> OpenClock();

// Ten seconds of sending at 120 bpm with the probe gone: this process's
// processor time, and jack_midi_clock's, as a share of a core.
Figure Processor(int period)
{
    QElapsedTimer wall;
    double ours = 0;
    {
        auto clock = OpenClock();
        clock->SetTempo(120);
        clock->SetSending(true);
        const double before = CpuSeconds();
        wall.start();
        QThread::msleep(10000);
        ours = (CpuSeconds() - before) / (double(wall.nsecsElapsed()) / 1e9) * 100;
    }
    QProcess anchor;
    anchor.start("jack_midi_clock", {"-b", "120", "-B", "-T", "-P"});
    anchor.waitForStarted();
    QThread::msleep(1000);
    const double before = ProcessSeconds(anchor.processId());
    wall.start();
    QThread::msleep(10000);
    const double theirs
        = (ProcessSeconds(anchor.processId()) - before) / (double(wall.nsecsElapsed()) / 1e9) * 100;
    anchor.terminate();
    anchor.waitForFinished();
    std::printf("MIDI clock, processor while sending (%d-frame buffers): %.2f%% of a core "
                "(jack_midi_clock %.2f%%)\n",
        period, ours, theirs);
    Figure figure {
        QStringLiteral("MIDI clock: processor while sending, %1-frame buffers").arg(period),
        "% of a core", ours, theirs, {}, {}, {}};
    // A desktop's server runs 256 frames or more; 64 is a studio's lowest.
    if (period >= 256)
        figure.maxValue = 1.0;
    return figure;
}

std::unique_ptr<midi::MidiClock> OpenClock()
{
    static tk::RuntimeModule module(QStringLiteral("libbeatwise_midi.so"));
    const auto open = reinterpret_cast<midi::OpenMidiClock>(module.Function(midi::kOpenMidiClock));
    char error[256] = {};
    return std::unique_ptr<midi::MidiClock>(open ? open("Beatwise", error, sizeof error) : nullptr);
}

// Beatwise and jack_midi_clock at each buffer size and tempo: the worst
// clock off its grid and the rate's error.
void Timings(Figures& figures, std::vector<Figure>& cpu)
{
    Timing ours, theirs;
    int spoilt = 0; // runs with a cycle missed, whose bytes may be lost
    for (const int period : {64, 256, 1024, 2048}) {
        JackServer server;
        if (!server.Start(period, true).isEmpty())
            return;
        JackProbe probe;
        for (const double bpm : {20.0, 120.0, 333.0, 999.0}) {
            const auto Keep = [&](Timing& worst) {
                const Timing timing = Measure(Clocks(probe), bpm);
                if (probe.Xruns() > 0) {
                    ++spoilt;
                    return;
                }
                worst.worst = std::max(worst.worst, timing.worst);
                worst.rate = std::max(worst.rate, timing.rate);
            };
            const int wait = bpm < 60 ? 6000 : 2500;
            auto clock = OpenClock();
            std::string why;
            if (!clock || !clock->Drive("probe:in", why))
                return;
            clock->SetTempo(bpm);
            probe.Clear();
            clock->SetSending(true);
            QThread::msleep(wait);
            clock.reset();
            Keep(ours);

            QProcess anchor;
            anchor.start(
                "jack_midi_clock", {"-b", QString::number(bpm), "-B", "-T", "-P", "probe:in"});
            anchor.waitForStarted();
            probe.RollTransport();
            QThread::msleep(500);
            probe.Clear();
            QThread::msleep(wait);
            anchor.terminate();
            anchor.waitForFinished();
            Keep(theirs);
        }
        if (period == 64 || period == 256) {
            probe.Close();
            cpu.push_back(Processor(period));
        }
    }
    std::printf(
        "MIDI clock: %d of 32 runs had a cycle missed by the server, and are left out\n", spoilt);
    std::printf("MIDI clock, worst clock off its grid: %.2f frames (jack_midi_clock %.2f)\n",
        ours.worst, theirs.worst);
    std::printf(
        "MIDI clock, worst rate error: %.2f ppm (jack_midi_clock %.2f)\n", ours.rate, theirs.rate);
    figures.Add({"MIDI clock: worst clock off the grid, buffers 64-2048, 20-999 bpm", "frames",
        ours.worst, theirs.worst, {}, 1.0, {}});
    figures.Add({"MIDI clock: worst error of the mean interval", "ppm", ours.rate, theirs.rate, {},
        100.0, {}});
}

// Clocks from a change of tempo to the first interval at the new one.
void TempoChanges(Figures& figures)
{
    JackServer server;
    if (!server.Start(256, true).isEmpty())
        return;
    JackProbe probe;
    auto clock = OpenClock();
    std::string why;
    if (!clock || !clock->Drive("probe:in", why))
        return;
    clock->SetTempo(120);
    clock->SetSending(true);
    double worst = 0;
    for (int change = 0; change < 20; ++change) {
        const double from = 120 + change, to = from + 1;
        QThread::msleep(300);
        probe.Clear();
        QThread::msleep(100);
        const std::uint64_t asked = probe.Now();
        clock->SetTempo(to);
        QThread::msleep(200);
        const auto clocks = Clocks(probe);
        // Clocks still on the old interval once the cycles under way when it
        // was asked (the one running and the one queued) are out.
        int before = 0;
        for (size_t k = 1; k < clocks.size(); ++k) {
            if (clocks[k - 1] <= asked + 2 * 256)
                continue;
            if (std::abs(double(clocks[k] - clocks[k - 1]) - Interval(to)) <= 1)
                break;
            ++before;
        }
        worst = std::max(worst, double(before));
    }
    std::printf(
        "MIDI clock, a change of tempo: %g clocks on the old tempo after the cycles under way\n",
        worst);
    figures.Add({"MIDI clock: old-tempo clocks after the cycles under way at a change (of 20)",
        "clocks", worst, {}, {}, 0.5, {}});
}

// A clock coming in, steady or with a USB cable's millisecond of jitter.
void Following(Figures& figures)
{
    JackServer server;
    if (!server.Start(256, true).isEmpty())
        return;
    JackProbe probe;
    auto clock = OpenClock();
    if (!clock)
        return;
    clock->SetFollowing(true);
    std::mt19937 random(7);
    std::uniform_real_distribution<double> jitter(-0.001 * kRate, 0.001 * kRate);
    double worst = 0, stopped = 0;
    for (const bool jittered : {false, true}) {
        std::vector<std::uint64_t> plan;
        for (double at = 0.002 * kRate; at < 2.2 * kRate; at += Interval(132.5))
            plan.push_back(std::uint64_t(std::llround(at + (jittered ? jitter(random) : 0))));
        std::sort(plan.begin(), plan.end());
        probe.Send(plan);
        QThread::msleep(2100);
        worst = std::max(worst, std::abs(clock->Poll().in.bpm - 132.5));
        QElapsedTimer since;
        since.start();
        while (clock->Poll().in.state != midi::Followed::State::Stopped && since.elapsed() < 5000)
            QThread::msleep(10);
        stopped = std::max(stopped, since.elapsed() / 1000.0);
    }
    std::printf(
        "MIDI clock in: %.3f bpm off after 2 s; a stop seen after %.2f s\n", worst, stopped);
    figures.Add({"MIDI clock in: tempo followed after 2 s (steady and 1 ms jitter)", "bpm off",
        worst, {}, {}, 0.05, {}});
}

} // namespace

void BenchMidiClock(Figures& figures)
{
    if (QStandardPaths::findExecutable("jackd").isEmpty()
        || QStandardPaths::findExecutable("jack_midi_clock").isEmpty()) {
        std::printf("MIDI clock: jackd or jack_midi_clock is not installed; skipped\n\n");
        return;
    }
    std::vector<Figure> cpu;
    Timings(figures, cpu);
    for (const Figure& figure : cpu)
        figures.Add(figure);
    TempoChanges(figures);
    Following(figures);
    std::printf("\n");
}
