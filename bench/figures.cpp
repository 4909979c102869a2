#include "figures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSysInfo>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <thread>

namespace {

bool Met(const Figure& figure)
{
    if (figure.maxRatio && figure.baseline && figure.beatwise > *figure.maxRatio * *figure.baseline)
        return false;
    if (figure.minValue && figure.beatwise < *figure.minValue)
        return false;
    return !figure.maxValue || figure.beatwise < *figure.maxValue;
}

} // namespace

void Figures::Add(const Figure& figure)
{
    m_figures.push_back(figure);
}

bool Figures::Print() const
{
    bool allMet = true;
    std::printf(
        "%-48s %12s %12s %7s  %s\n", "figure (median)", "Beatwise", "baseline", "ratio", "goal");
    for (const Figure& figure : m_figures) {
        const bool met = Met(figure);
        allMet = allMet && met;
        const QString baseline = figure.baseline ? QString::number(*figure.baseline, 'f', 3) : "-";
        const QString ratio = figure.baseline && *figure.baseline != 0
            ? QString::number(figure.beatwise / *figure.baseline, 'f', 3)
            : "-";
        QString goal = "-";
        if (figure.maxRatio)
            goal = QStringLiteral("ratio <= %1").arg(*figure.maxRatio);
        else if (figure.maxValue)
            goal = QStringLiteral("< %1 %2").arg(*figure.maxValue).arg(figure.unit);
        else if (figure.minValue)
            goal = QStringLiteral(">= %1 %2").arg(*figure.minValue).arg(figure.unit);
        if (figure.maxRatio || figure.maxValue || figure.minValue)
            goal += met ? "  met" : "  MISSED";
        std::printf("%-48s %9.3f %-2s %9s %-2s %7s  %s\n", qPrintable(figure.name), figure.beatwise,
            qPrintable(figure.unit), qPrintable(baseline),
            figure.baseline ? qPrintable(figure.unit) : "", qPrintable(ratio), qPrintable(goal));
    }
    return allMet;
}

bool Figures::WriteJson(const QString& path, const QString& machine) const
{
    QJsonArray figures;
    for (const Figure& figure : m_figures) {
        QJsonObject entry {{"name", figure.name}, {"unit", figure.unit},
            {"beatwise", figure.beatwise}, {"met", Met(figure)}};
        if (figure.baseline) {
            entry["baseline"] = *figure.baseline;
            if (*figure.baseline != 0)
                entry["ratio"] = figure.beatwise / *figure.baseline;
        }
        if (figure.maxRatio)
            entry["goal_max_ratio"] = *figure.maxRatio;
        if (figure.maxValue)
            entry["goal_max_value"] = *figure.maxValue;
        if (figure.minValue)
            entry["goal_min_value"] = *figure.minValue;
        figures.append(entry);
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    file.write(QJsonDocument(QJsonObject {{"machine", machine}, {"figures", figures}}).toJson());
    return true;
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

QString DescribeMachine()
{
    QString cpu = QStringLiteral("unknown processor");
    QFile info(QStringLiteral("/proc/cpuinfo"));
    if (info.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : info.readAll().split('\n')) {
            if (line.startsWith("model name")) {
                cpu = QString::fromLatin1(line.mid(line.indexOf(':') + 1).trimmed());
                break;
            }
        }
    }
    return QStringLiteral("%1, %2 cores, %3, Qt %4")
        .arg(cpu)
        .arg(QThread::idealThreadCount())
        .arg(QSysInfo::prettyProductName(), QString::fromLatin1(qVersion()));
}

void OnEveryCore(const std::function<void()>& work)
{
    std::vector<std::thread> pool;
    for (unsigned i = 0; i < std::max(1u, std::thread::hardware_concurrency()); ++i)
        pool.emplace_back(work);
    for (std::thread& thread : pool)
        thread.join();
}
