#include "linkbench.h"

#include "figures.h"
#include "link/linksession.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

const QString kTmux = QStringLiteral("beatwise-linkbench-%1").arg(::getpid());

QString Tmux(const QStringList& arguments)
{
    QProcess tmux;
    tmux.start("tmux", QStringList {"-L", kTmux} + arguments);
    tmux.waitForFinished(5000);
    return QString::fromUtf8(tmux.readAllStandardOutput());
}

// The tempo LinkHut shows, 0 when it shows none.
double HutTempo()
{
    const QStringList lines = Tmux({"capture-pane", "-p"}).split('\n');
    for (int i = 0; i + 1 < lines.size(); ++i) {
        if (lines[i].startsWith("enabled")) {
            const QStringList fields = lines[i + 1].split('|');
            return fields.size() >= 5 ? fields[4].trimmed().toDouble() : 0;
        }
    }
    return 0;
}

} // namespace

int MeasureLinkLatency(int changes)
{
    for (const char* command :
        {"ip link set lo up", "ip link set lo multicast on", "ip route add 224.0.0.0/4 dev lo"}) {
        if (std::system(command) != 0)
            return 1;
    }
    QProcess jack;
    jack.start("jackd", {"--no-realtime", "-d", "dummy", "-r", "48000"});
    QThread::msleep(500);
    Tmux({"kill-server"});
    Tmux({"new-session", "-d", "-x", "120", "-y", "30", "LinkHut"});
    QThread::msleep(500);
    Tmux({"send-keys", "a"});
    QThread::msleep(2000);

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
        while (HutTempo() != bpm && timer.elapsed() < 5000)
            QThread::msleep(1);
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    Tmux({"kill-server"});
    jack.kill();
    jack.waitForFinished();
    std::printf("%g\n", Median(times));
    return 0;
}

void BenchLink(const QString& self, Figures& figures)
{
    for (const char* tool : {"unshare", "ip", "tmux", "LinkHut", "jackd"}) {
        if (QStandardPaths::findExecutable(tool).isEmpty()) {
            std::printf("Link: %s is missing (scripts/install-deps bench); skipped\n\n", tool);
            return;
        }
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
