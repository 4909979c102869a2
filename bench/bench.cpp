// make bench: every benchmark of Beatwise, each figure the median of
// repeated runs, with its ratio to the bare baseline where there is one;
// the made-up songs of the tempo figures are written beside the results,
// and so is the real music, rendered from demo projects on first use.
// The figures also go to build/bench/results.json, to compare two commits.
#include "beatbench.h"
#include "eventbench.h"
#include "figures.h"
#include "groovemusic.h"
#include "linkbench.h"
#include "listenbench.h"
#include "mapbench.h"
#include "midibench.h"
#include "realmusic.h"
#include "startupbench.h"
#include "support/uitest.h"
#include "tagbench.h"
#include "tempobench.h"
#include "tonebench.h"

#include <QApplication>
#include <QFileInfo>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    if (argc == 3 && QByteArray(argv[1]) == "--analyse-for-memory")
        return AnalyseForMemory(argv[2]);
    if (argc == 2 && QByteArray(argv[1]) == "--link-latency") {
        QCoreApplication core(argc, argv);
        return MeasureLinkLatency(20);
    }
    // beatwise_bench --grooves FOLDER [--alone]: the groove songs alone,
    // without the other estimators beside them with --alone.
    if (argc >= 3 && QByteArray(argv[1]) == "--grooves") {
        QCoreApplication core(argc, argv);
        Figures figures;
        BenchGrooves(QString::fromLocal8Bit(argv[2]), figures, argc < 4);
        return figures.Print() ? 0 : 1;
    }
    // beatwise_bench --beats FOLDER [--alone]: the beats and bars of songs
    // whose beat times are known, kept in FOLDER.
    if (argc >= 3 && QByteArray(argv[1]) == "--beats") {
        QCoreApplication core(argc, argv);
        Figures figures;
        BenchBeats(QString::fromLocal8Bit(argv[2]), figures, argc < 4);
        BenchMapFiles(QStringLiteral(BEATWISE_PROGRAM), QString::fromLocal8Bit(argv[2]), figures);
        return figures.Print() ? 0 : 1;
    }
    // beatwise_bench --midi-clock: MIDI clock alone, against a JACK server.
    if (argc == 2 && QByteArray(argv[1]) == "--midi-clock") {
        QCoreApplication core(argc, argv);
        Figures figures;
        BenchMidiClock(figures);
        return figures.Print() ? 0 : 1;
    }
    // beatwise_bench --tags FOLDER [KILLS FILES]: BPM tags alone, killed
    // KILLS times (200) and written into FILES files (10000), kept in FOLDER.
    if ((argc == 3 || argc == 5) && QByteArray(argv[1]) == "--tags") {
        QCoreApplication core(argc, argv);
        Figures figures;
        BenchTags(QStringLiteral(BEATWISE_PROGRAM), QString::fromLocal8Bit(argv[2]),
            argc == 5 ? std::atoi(argv[3]) : 200, argc == 5 ? std::atoi(argv[4]) : 10000, figures);
        return figures.Print() ? 0 : 1;
    }
    // beatwise_bench --tempo FOLDER: the tempo of made-up, real and groove
    // music alone, kept in FOLDER.
    if (argc == 3 && QByteArray(argv[1]) == "--tempo") {
        QCoreApplication core(argc, argv);
        Figures figures;
        const QString folder = QString::fromLocal8Bit(argv[2]);
        BenchSongTempo(QCoreApplication::applicationFilePath(), folder + "/corpus", figures);
        BenchRealMusic(folder + "/realmusic", figures);
        BenchGrooves(folder + "/grooves", figures);
        return figures.Print() ? 0 : 1;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    PrepareWidgetTests();
    const QString results
        = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("build/bench/results.json");

    Figures figures;
    // beatwise_bench --listening: the listening figures alone.
    if (argc == 2 && QByteArray(argv[1]) == "--listening") {
        BenchListening(9, 100, figures);
        return figures.Print() ? 0 : 1;
    }
    BenchStartup(QStringLiteral(BEATWISE_PROGRAM), QStringLiteral(BARE_SHEET_PROGRAM), 21, figures);
    BenchEvents(15, 200, figures);
    BenchTone(200, figures);
    BenchSongTempo(QCoreApplication::applicationFilePath(),
        QFileInfo(results).absolutePath() + QStringLiteral("/corpus"), figures);
    BenchRealMusic(QFileInfo(results).absolutePath() + QStringLiteral("/realmusic"), figures);
    BenchGrooves(QFileInfo(results).absolutePath() + QStringLiteral("/grooves"), figures);
    BenchBeats(QFileInfo(results).absolutePath() + QStringLiteral("/beats"), figures);
    BenchMapFiles(QStringLiteral(BEATWISE_PROGRAM),
        QFileInfo(results).absolutePath() + QStringLiteral("/beats"), figures);
    BenchLink(QCoreApplication::applicationFilePath(), figures);
    BenchMidiClock(figures);
    BenchListening(9, 100, figures);
    BenchTags(QStringLiteral(BEATWISE_PROGRAM), QFileInfo(results).absolutePath() + "/tags", 200,
        10000, figures);

    const QString machine = DescribeMachine();
    std::printf("Beatwise benchmarks on %s\n\n", qPrintable(machine));
    const bool met = figures.Print();
    if (!figures.WriteJson(results, machine))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(results));
    else
        std::printf("\nwritten to %s\n", qPrintable(results));
    return met ? 0 : 1;
}
