#include "linkbench.h"

#include "figures.h"
#include "link/linksession.h"
#include "support/linkhut.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <cstdio>

int MeasureLinkLatency(int changes)
{
    LinkHut hut;
    if (!LinkHut::PrepareLoopback().isEmpty() || !hut.Start())
        return 1;

    std::size_t peers = 0;
    tempolink::Listener listener;
    listener.context = &peers;
    listener.peers
        = [](void* context, std::size_t count) { *static_cast<std::size_t*>(context) = count; };
    tempolink::LinkSession session(120, listener);
    QElapsedTimer waited;
    waited.start();
    while (session.Peers() == 0 && waited.elapsed() < 10000)
        QThread::msleep(20);
    std::vector<double> times;
    for (int change = 0; change < changes; ++change) {
        const double bpm = 121 + change;
        QElapsedTimer timer;
        timer.start();
        session.SetTempo(bpm);
        while (hut.Read().tempo != bpm && timer.elapsed() < 5000)
            QThread::msleep(1);
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    hut.Stop();
    std::printf("%g\n", Median(times));
    return 0;
}

void BenchLink(const QString& self, Figures& figures)
{
    QString missing = LinkHut::Missing();
    if (missing.isEmpty() && QStandardPaths::findExecutable("unshare").isEmpty())
        missing = QStringLiteral("unshare is not installed");
    if (!missing.isEmpty()) {
        std::printf("Link: %s; skipped\n\n", qPrintable(missing));
        return;
    }
    // In a network of its own: never the machine's.
    QProcess child;
    child.start("unshare", {"-n", self, "--link-latency"});
    if (!child.waitForFinished(120000) || child.exitCode() != 0) {
        std::printf("Link: no private network namespace could be made here (run as root); "
                    "skipped\n\n");
        return;
    }
    const double median = child.readAllStandardOutput().trimmed().toDouble();
    figures.Add(
        {"Tempo change to the other Link peer (median of 20)", "ms", median, {}, {}, 1000.0, {}});
}
