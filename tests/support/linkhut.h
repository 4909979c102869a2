#pragma once

#include "support/jackprobe.h"

#include <unistd.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

#include <cstdlib>

// LinkHut, the Link peer that comes with Ableton Link, as the other peer of
// a test or benchmark: in a tmux server of this process's own (its socket is
// on the file system, which network namespaces do not separate), with a
// private dummy JACK server, and read from its screen. The caller's network must be
// a private one.
class LinkHut {
public:
    // LinkHut's status line: enabled | num peers | quantum | start stop sync | tempo | ...
    struct Status {
        int peers = -1;
        double tempo = 0; // 0 when it shows none
    };

    ~LinkHut() { Stop(); }

    // Why LinkHut cannot run here; empty when it can.
    static QString Missing()
    {
        for (const char* tool : {"ip", "tmux", "LinkHut", "jackd"}) {
            if (QStandardPaths::findExecutable(tool).isEmpty())
                return QStringLiteral("%1 is not installed (scripts/install-deps)").arg(tool);
        }
        return {};
    }

    // Loopback up with multicast, where Link finds its peers; in a private
    // network only. Why not, when it cannot.
    static QString PrepareLoopback()
    {
        for (const char* command : {"ip link set lo up", "ip link set lo multicast on",
                 "ip route add 224.0.0.0/4 dev lo"}) {
            if (std::system(command) != 0)
                return QStringLiteral("'%1' failed in the private network").arg(command);
        }
        return {};
    }

    // Starts LinkHut with Link on, its session some seconds old: Link settles
    // two sessions started within half a second of each other by their ids,
    // and a peer joining later should find LinkHut's the older one.
    bool Start()
    {
        if (!m_jack.Start(256).isEmpty())
            return false;
        Tmux({"kill-server"});
        Tmux({"new-session", "-d", "-x", "120", "-y", "30", "LinkHut"});
        if (!WaitFor([this] { return Read().peers == 0; }))
            return false;
        Press("a"); // LinkHut starts with Link off
        if (!WaitFor([this] { return Screen().contains(QRegularExpression("\\nyes ")); }))
            return false;
        QThread::msleep(2000);
        return true;
    }

    void Stop()
    {
        Tmux({"kill-server"});
        m_jack.Stop();
    }

    // A key as typed into LinkHut: e and w step the tempo, q quits.
    void Press(const char* key) { Tmux({"send-keys", key}); }

    // A read that catches LinkHut redrawing its screen is read again.
    Status Read()
    {
        for (int attempt = 0; attempt < 10; ++attempt) {
            const QStringList lines = Screen().split('\n');
            for (int i = 0; i + 1 < lines.size(); ++i) {
                if (!lines[i].startsWith("enabled"))
                    continue;
                const QStringList fields = lines[i + 1].split('|');
                if (fields.size() >= 5 && fields[4].trimmed().toDouble() > 0)
                    return {fields[1].trimmed().toInt(), fields[4].trimmed().toDouble()};
            }
            QThread::msleep(20);
        }
        return {};
    }

private:
    QString Screen() { return Tmux({"capture-pane", "-p"}); }

    QString Tmux(const QStringList& arguments)
    {
        QProcess tmux;
        tmux.start("tmux", QStringList {"-L", m_server} + arguments);
        tmux.waitForFinished(5000);
        return QString::fromUtf8(tmux.readAllStandardOutput());
    }

    template <typename Condition> static bool WaitFor(Condition condition)
    {
        QElapsedTimer waited;
        waited.start();
        while (!condition()) {
            if (waited.elapsed() > 5000)
                return false;
            QThread::msleep(50);
        }
        return true;
    }

    const QString m_server = QStringLiteral("beatwise-linkhut-%1").arg(::getpid());
    JackServer m_jack; // LinkHut's, and a MIDI clock's beside it
};
