#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstring>
#include <vector>

// A private PulseAudio server with one null sink, as a desktop's sound
// server stands in the tests: its own runtime folder, no system or user
// configuration. This process's sounds go to it once it has started.
class PulseServer {
public:
    static constexpr int kRate = 48000;

    ~PulseServer() { Stop(); }

    // Starts the server; an empty text on success, otherwise why it did not.
    QString Start()
    {
        const QString pulseaudio = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
        if (pulseaudio.isEmpty()
            || QStandardPaths::findExecutable(QStringLiteral("parec")).isEmpty())
            return QStringLiteral("pulseaudio and parec are not installed (scripts/install-deps)");
        if (!m_dir.isValid())
            return QStringLiteral("no temporary folder for the server");
        const QString script = m_dir.filePath(QStringLiteral("server.pa"));
        QFile file(script);
        if (!file.open(QIODevice::WriteOnly))
            return QStringLiteral("cannot write %1").arg(script);
        file.write(QStringLiteral("load-module module-null-sink sink_name=beatwise_test "
                                  "format=float32le rate=%1 channels=1\n"
                                  "load-module module-native-protocol-unix auth-anonymous=1 "
                                  "socket=%2\n"
                                  "set-default-sink beatwise_test\n")
                       .arg(kRate)
                       .arg(Socket())
                       .toUtf8());
        file.close();
        QFile clientConfig(m_dir.filePath(QStringLiteral("client.conf")));
        if (!clientConfig.open(QIODevice::WriteOnly))
            return QStringLiteral("cannot write the client configuration");
        clientConfig.write("autospawn = no\n");
        clientConfig.close();

        QProcessEnvironment environment;
        environment.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
        for (const char* name : {"HOME", "XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "PULSE_RUNTIME_PATH",
                 "PULSE_STATE_PATH"})
            environment.insert(QLatin1String(name), m_dir.path());
        m_server.setProcessEnvironment(environment);
        m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_server.start(pulseaudio,
            {QStringLiteral("-n"), QStringLiteral("-F"), script, QStringLiteral("--daemonize=no"),
                QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--use-pid-file=no"),
                QStringLiteral("--disable-shm=yes"), QStringLiteral("--log-level=error")});
        if (!m_server.waitForStarted())
            return QStringLiteral("pulseaudio did not start: %1").arg(m_server.errorString());
        for (int tries = 0; tries < 100 && !QFile::exists(Socket()); ++tries)
            QTest::qWait(50);
        if (!QFile::exists(Socket()))
            return QStringLiteral("pulseaudio opened no socket");
        // This process's sounds, and nothing of the user's configuration.
        qputenv("PULSE_SERVER", Address().toUtf8());
        qputenv("PULSE_CLIENTCONFIG", m_dir.filePath(QStringLiteral("client.conf")).toUtf8());
        return {};
    }

    void Stop()
    {
        for (QProcess* client : {&m_recorder, &m_player}) {
            if (client->state() != QProcess::NotRunning) {
                client->kill();
                client->waitForFinished();
            }
        }
        if (m_server.state() == QProcess::NotRunning)
            return;
        Thaw();
        m_server.terminate();
        if (!m_server.waitForFinished(5000)) {
            m_server.kill();
            m_server.waitForFinished();
        }
    }

    QString Address() const { return QStringLiteral("unix:") + Socket(); }

    // Plays a file on the sink, as a music player would; Playing() says
    // whether it still plays.
    bool StartPlaying(const QString& file)
    {
        m_player.start(QStringLiteral("paplay"),
            {QStringLiteral("--server=") + Address(), QStringLiteral("--device=beatwise_test"),
                file});
        return m_player.waitForStarted();
    }
    bool Playing() const { return m_player.state() != QProcess::NotRunning; }

    // The server dies at once, as a crashed one does.
    void Kill()
    {
        m_server.kill();
        m_server.waitForFinished();
    }

    // What pactl says of the server, or tells it: "list short source-outputs"
    // names who records, "unload-module module-null-sink" takes the sink
    // away. A null text where pactl failed.
    QString Control(const QStringList& arguments)
    {
        QProcess pactl;
        pactl.start(QStringLiteral("pactl"),
            QStringList {QStringLiteral("--server=") + Address()} + arguments);
        if (!pactl.waitForFinished() || pactl.exitCode() != 0)
            return {};
        return QString::fromUtf8(pactl.readAllStandardOutput()) + QStringLiteral(" ");
    }

    // The server stops answering, as a hung one would, and answers again.
    void Freeze() { ::kill(pid_t(m_server.processId()), SIGSTOP); }
    void Thaw() { ::kill(pid_t(m_server.processId()), SIGCONT); }

    // Records what the sink plays, from when this returns.
    bool StartRecording()
    {
        m_recorder.start(QStringLiteral("parec"),
            {QStringLiteral("--server=") + Address(),
                QStringLiteral("--device=beatwise_test.monitor"),
                QStringLiteral("--format=float32le"), QStringLiteral("--rate=%1").arg(kRate),
                QStringLiteral("--channels=1"), QStringLiteral("--raw"),
                QStringLiteral("--latency-msec=10")});
        if (!m_recorder.waitForStarted())
            return false;
        // The monitor delivers silence as soon as the recording runs.
        return QTest::qWaitFor([this] { return m_recorder.bytesAvailable() > 0; }, 5000);
    }

    // Ends the recording after it has taken in waitMs more of the sink.
    std::vector<float> StopRecording(int waitMs)
    {
        QTest::qWait(waitMs);
        m_recorder.terminate();
        m_recorder.waitForFinished();
        const QByteArray bytes = m_recorder.readAllStandardOutput();
        std::vector<float> samples(size_t(bytes.size()) / sizeof(float));
        std::memcpy(samples.data(), bytes.constData(), samples.size() * sizeof(float));
        return samples;
    }

private:
    QString Socket() const { return m_dir.filePath(QStringLiteral("native")); }

    QTemporaryDir m_dir;
    QProcess m_server;
    QProcess m_recorder;
    QProcess m_player;
};
