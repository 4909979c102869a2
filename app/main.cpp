#include "app/commandline.h"
#include "app/startupprobe.h"
#include "app/tempoapp.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace {

CTempoApp theApp;

bool HasDisplay()
{
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value && *value)
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    // beatwise --tempo and --help work with no display.
    if (const std::optional<int> status = RunCommandLine(argc, argv))
        return *status;
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    if (!HasDisplay()) {
        std::fputs(
            "Beatwise is a desktop program and needs a display: run it from a desktop session.\n",
            stderr);
        return 1;
    }
#endif
    QApplication application(argc, argv);
    DescribeApplication();
    if (const QString report = qEnvironmentVariable("BEATWISE_FIRST_PAINT_REPORT");
        !report.isEmpty())
        ReportFirstPaintAndExit(report);
    // beatwise [--link] [--midi-clock[=PORT]] [--listen] [FILE]: in the Link
    // session, sending MIDI clock, listening, or with the tempo of that song.
    QStringList arguments = QApplication::arguments().mid(1);
    const QString midiClock = QStringLiteral("--midi-clock");
    while (!arguments.isEmpty()) {
        const QString& first = arguments.first();
        if (first == QLatin1String("--link"))
            theApp.SetLinkAtStart(true);
        else if (first == QLatin1String("--listen"))
            theApp.SetListenAtStart(true);
        else if (first == midiClock)
            theApp.SetMidiClockAtStart(true);
        else if (first.startsWith(midiClock + '='))
            theApp.SetMidiClockAtStart(true, first.mid(midiClock.size() + 1));
        else
            break;
        arguments.removeFirst();
    }
    if (!arguments.isEmpty())
        theApp.SetSongFile(arguments.first());
    return theApp.Run();
}
