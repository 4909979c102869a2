#include "startupbench.h"

#include "figures.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace {

struct Start {
    double milliseconds = 0;
    double peakKb = 0;
    int libraries = 0;
};

std::optional<Start> RunOnce(const QString& program, const QString& report)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("BEATWISE_FIRST_PAINT_REPORT"), report);
    if (!environment.contains(QStringLiteral("QT_QPA_PLATFORM")))
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
    process.start(program, {});
    if (!process.waitForFinished(30000))
        return std::nullopt;
    Start start;
    start.milliseconds = timer.nsecsElapsed() / 1e6; // the process ends at its first paint
    QFile file(report);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith("peak-rss-kb "))
            start.peakKb = line.mid(12).toDouble();
        else if (line.startsWith("library "))
            ++start.libraries;
    }
    return start;
}

} // namespace

void BenchStartup(const QString& beatwise, const QString& baseline, int runs, Figures& figures)
{
    QTemporaryDir dir;
    const QString report = dir.filePath(QStringLiteral("report"));
    std::vector<Start> starts[2];
    // Alternately, after one unmeasured start each to warm the file cache.
    for (int run = -1; run < runs; ++run) {
        for (int side = 0; side < 2; ++side) {
            const int which = (run + side) % 2 == 0 ? 0 : 1;
            const auto start = RunOnce(which == 0 ? beatwise : baseline, report);
            if (!start) {
                std::fprintf(stderr, "%s did not report its first paint\n",
                    qPrintable(which == 0 ? beatwise : baseline));
                return;
            }
            if (run >= 0)
                starts[which].push_back(*start);
        }
    }
    const auto median = [&](int which, double Start::*field) {
        std::vector<double> values;
        for (const Start& start : starts[which])
            values.push_back(start.*field);
        return Median(values);
    };
    const auto libraries = [&](int which) {
        std::vector<double> values;
        for (const Start& start : starts[which])
            values.push_back(start.libraries);
        return Median(values);
    };
    figures.Add({"Start-up to first paint", "ms", median(0, &Start::milliseconds),
        median(1, &Start::milliseconds), 1.05, {}, {}});
    figures.Add({"Peak memory at first paint", "MiB", median(0, &Start::peakKb) / 1024,
        median(1, &Start::peakKb) / 1024, 1.05, {}, {}});
    figures.Add(
        {"Shared libraries loaded by first paint", "", libraries(0), libraries(1), {}, {}, {}});
}
