#include "listenbench.h"

#include "analysis/livetempo.h"
#include "app/tempolistener.h"
#include "figures.h"
#include "res/resource.h"
#include "songcorpus.h"
#include "support/pulseserver.h"
#include "support/sheetharness.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <sndfile.h>

#include <algorithm>
#include <ctime>
#include <memory>

namespace {

// Seconds of music heard before the tempo shown stays within 1% of the song's.
double SecondsToTempo(double bpm, const QString& file)
{
    const std::vector<double> heard = TemposHeard(file, 600);
    double settled = -1;
    for (size_t i = 0; i < heard.size(); ++i) {
        if (!(std::abs(heard[i] - bpm) <= 0.01 * bpm))
            settled = -1;
        else if (settled < 0)
            settled = double(i + 1) / 2;
    }
    return settled;
}

double CpuSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

double Keystrokes(QLineEdit* edit, int count)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < count; ++i) {
        QTest::keyClick(edit, Qt::Key_5);
        QCoreApplication::processEvents();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCoreApplication::processEvents();
    }
    return double(timer.nsecsElapsed()) / 1e6 / (2 * count);
}

} // namespace

std::vector<double> TemposHeard(const QString& path, double seconds)
{
    SF_INFO info {};
    SNDFILE* sound = sf_open(path.toLocal8Bit().constData(), SFM_READ, &info);
    if (!sound)
        return {};
    // The server would bring other rates to the listener's; here a file at
    // another rate plays faster or slower instead, and its tempo is scaled back.
    const double speed = double(info.samplerate) / analysis::LiveTempo::kSampleRate;
    std::unique_ptr<analysis::LiveTempo> live(analysis::NewLiveTempo());
    const size_t part = analysis::LiveTempo::kSampleRate / 20; // as the server gives them
    std::vector<float> frames(part * size_t(info.channels)), mono(part);
    std::vector<double> tempos;
    size_t heard = 0, next = analysis::LiveTempo::kSampleRate / 2;
    const auto last = size_t(seconds * analysis::LiveTempo::kSampleRate);
    for (sf_count_t count;
         heard < last && (count = sf_readf_float(sound, frames.data(), sf_count_t(part))) > 0;) {
        for (size_t i = 0; i < size_t(count); ++i) {
            float sum = 0;
            for (int channel = 0; channel < info.channels; ++channel)
                sum += frames[i * size_t(info.channels) + size_t(channel)];
            mono[i] = sum / float(info.channels);
        }
        live->Add(mono.data(), size_t(count));
        heard += size_t(count);
        if (heard < next)
            continue;
        next += analysis::LiveTempo::kSampleRate / 2;
        const analysis::LiveEstimate estimate = live->Estimate();
        tempos.push_back(estimate.found ? estimate.bpm * speed : 0);
    }
    sf_close(sound);
    return tempos;
}

void BenchListening(int batches, int perBatch, Figures& figures)
{
    QTemporaryDir dir;
    const auto pattern = [](bool floor) {
        return floor ? corpus::Pattern::FourOnTheFloor : corpus::Pattern::Backbeat;
    };
    double steady = 0, floor = 0;
    for (const bool fourOnTheFloor : {false, true}) {
        for (const double bpm : {75.0, 90.0, 110.0, 128.0, 150.0, 174.0, 200.0}) {
            corpus::Song song {"live", bpm, pattern(fourOnTheFloor)};
            song.seconds = 20;
            song.sampleRate = analysis::LiveTempo::kSampleRate;
            song.channels = 1;
            const QString file = dir.filePath(QStringLiteral("live.wav"));
            if (!corpus::Write(song, file.toStdString()))
                return;
            double seconds = SecondsToTempo(bpm, file);
            seconds = seconds < 0 ? song.seconds : seconds;
            (fourOnTheFloor ? floor : steady) = std::max(fourOnTheFloor ? floor : steady, seconds);
        }
    }
    figures.Add({QStringLiteral("Listening: music heard until within 1%, backbeats 75-200 bpm"),
        QStringLiteral("s"), steady, {}, {}, 8.0, {}});
    figures.Add({QStringLiteral("Listening: the same, four on the floor"), QStringLiteral("s"),
        floor, {}, {}, 4.0, {}});

    PulseServer server;
    if (!server.Start().isEmpty())
        return;
    corpus::Song song {"playing", 128, corpus::Pattern::FourOnTheFloor};
    song.seconds = 600;
    song.sampleRate = PulseServer::kRate;
    const QString file = dir.filePath(QStringLiteral("playing.wav"));
    if (!corpus::Write(song, file.toStdString()) || !server.StartPlaying(file))
        return;
    SheetHarness harness;
    if (!harness.Show())
        return;
    QLineEdit* edit = &harness.Page(0).EditControl(IDC_TEMPO);
    edit->setFocus();
    edit->end(false);
    CTempoListener& listener = harness.sheet.Listener();
    const auto recording = [&server] {
        return !server.Control({"list", "short", "source-outputs"}).trimmed().isEmpty();
    };
    std::vector<double> listening, quiet;
    for (int batch = 0; batch < batches; ++batch) {
        harness.sheet.Listen();
        if (!QTest::qWaitFor(recording, 5000))
            return;
        listening.push_back(Keystrokes(edit, perBatch));
        listener.Stop();
        if (!QTest::qWaitFor([&] { return !recording(); }, 5000))
            return;
        quiet.push_back(Keystrokes(edit, perBatch));
    }
    figures.Add({QStringLiteral("Keystroke while listening"), QStringLiteral("ms"),
        Median(listening), Median(quiet), 1.1, {}, {}});

    // The processor's time while listening to music, the window idle.
    harness.sheet.Listen();
    if (!QTest::qWaitFor(recording, 5000))
        return;
    QTest::qWait(3000);
    const double cpu = CpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QTest::qWait(10000);
    const double share = (CpuSeconds() - cpu) / (double(wall.nsecsElapsed()) / 1e9) * 100;
    listener.Stop();
    figures.Add({QStringLiteral("Processor while listening"), QStringLiteral("% of a core"), share,
        {}, {}, 5.0, {}});
}
