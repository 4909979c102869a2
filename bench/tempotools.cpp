#include "tempotools.h"

#ifdef BEATWISE_HAVE_QM_DSP
#include <dsp/onsets/DetectionFunction.h>
#include <dsp/tempotracking/TempoTrackV2.h>
#endif
#include <sndfile.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>
#include <cmath>
#include <cstdio>

bool Run(const QString& program, const QStringList& arguments, QByteArray* output, int minutes)
{
    QProcess process;
    process.setProcessChannelMode(output ? QProcess::SeparateChannels : QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(minutes * 60 * 1000)) {
        process.kill();
        process.waitForFinished();
        return false;
    }
    if (output)
        *output = process.readAllStandardOutput();
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool HaveTools(const char* benchmark, std::initializer_list<const char*> tools)
{
    for (const char* tool : tools) {
        if (QStandardPaths::findExecutable(tool).isEmpty()) {
            std::printf("%s: %s is missing (scripts/install-deps bench installs it); skipped\n\n",
                benchmark, tool);
            return false;
        }
    }
    return true;
}

OtherAnswer AubioTempo(const QString& path)
{
    QElapsedTimer timer;
    timer.start();
    QByteArray output;
    Run("aubio", {"tempo", path}, &output);
    const double seconds = timer.nsecsElapsed() / 1e9;
    const QRegularExpressionMatch match
        = QRegularExpression(R"(([\d.]+) bpm\s*$)").match(QString::fromUtf8(output));
    return {match.hasMatch() ? match.captured(1).toDouble() : 0, seconds};
}

std::vector<double> AubioBeats(const QString& path)
{
    QByteArray output;
    Run("aubio", {"beat", path}, &output);
    std::vector<double> beats;
    for (const QByteArray& line : output.split('\n')) {
        bool number = false;
        const double seconds = line.trimmed().toDouble(&number);
        if (number)
            beats.push_back(seconds);
    }
    return beats;
}

std::vector<double> QueenMaryBeats(const QString& path)
{
#ifndef BEATWISE_HAVE_QM_DSP
    (void)path;
    return {}; // built without it: scripts/install-deps bench installs it
#else
    SF_INFO info {};
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!file)
        return {};
    // Mixxx's settings: a step of 11.61 ms, a window of the power of two
    // above a fiftieth of a second.
    const auto step = unsigned(info.samplerate * 0.01161);
    unsigned window = 1;
    while (window < unsigned(info.samplerate / 50))
        window *= 2;
    DFConfig config {step, window, DF_COMPLEXSD, 3, false, -1, -1};
    DetectionFunction detection(config);
    std::vector<double> frame(window, 0.0), values;
    std::vector<float> block(size_t(step) * size_t(info.channels));
    for (;;) {
        const sf_count_t read = sf_readf_float(file, block.data(), step);
        if (read <= 0)
            break;
        std::move(frame.begin() + step, frame.end(), frame.begin());
        for (sf_count_t i = 0; i < sf_count_t(step); ++i) {
            double sum = 0;
            for (int c = 0; i < read && c < info.channels; ++c)
                sum += block[size_t(i) * size_t(info.channels) + size_t(c)];
            frame[window - step + size_t(i)] = sum / info.channels;
        }
        values.push_back(detection.processTimeDomain(frame.data()));
    }
    sf_close(file);
    while (!values.empty() && values.back() <= 0)
        values.pop_back();
    if (values.size() < 3)
        return {};
    std::vector<double> df(values.begin() + 2, values.end()), tempi, beats;
    // The tracker writes a period for each value, into room made beforehand.
    std::vector<double> periods(df.size());
    TempoTrackV2 tracker(float(info.samplerate), step);
    tracker.calculateBeatPeriod(df, periods, tempi);
    tracker.calculateBeats(df, periods, beats);
    // A beat at value j of the function: the middle of the window that
    // ended with step j + 3 (two values were left off at the start).
    for (double& beat : beats)
        beat = ((beat + 3) * step - window / 2.0) / info.samplerate;
    return beats;
#endif
}

OtherAnswer QueenMaryTempo(const QString& path)
{
    QElapsedTimer timer;
    timer.start();
    const std::vector<double> beats = QueenMaryBeats(path);
    std::vector<double> intervals;
    for (size_t i = 1; i < beats.size(); ++i)
        intervals.push_back(beats[i] - beats[i - 1]);
    if (intervals.empty())
        return {0, timer.nsecsElapsed() / 1e9};
    // The median interval is whole steps; the mean of those near it is finer,
    // as Mixxx's own averaging over steady beats.
    std::vector<double> sorted = intervals;
    std::sort(sorted.begin(), sorted.end());
    const double median = sorted[sorted.size() / 2];
    double sum = 0;
    int near = 0;
    for (double interval : intervals) {
        if (std::abs(interval - median) <= 0.1 * median) {
            sum += interval;
            ++near;
        }
    }
    return {60.0 * near / sum, timer.nsecsElapsed() / 1e9};
}

bool Within(double found, double truth, double share)
{
    return found > 0 && std::abs(found - truth) <= share * truth;
}

bool OnALevel(double found, double truth)
{
    for (double ratio : {1.0, 0.5, 2.0, 1.0 / 3, 3.0}) {
        if (Within(found, truth * ratio, 0.01))
            return true;
    }
    return false;
}

void WriteIndex(const QString& folder, const QString& library,
    const std::vector<std::pair<QString, double>>& songs)
{
    QFile index(folder + "/index.tsv");
    if (!index.open(QIODevice::WriteOnly))
        return;
    index.write("file\tbpm\tmeter\tlibrary\n");
    for (const auto& [file, bpm] : songs)
        index.write(
            (file + '\t' + QString::number(bpm, 'g', 10) + "\t4/4\t" + library + '\n').toUtf8());
}
