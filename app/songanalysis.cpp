#include "app/songanalysis.h"

#include "toolkit/runtimemodule.h"

#include <QFile>

#include <algorithm>
#include <cmath>

tk::RuntimeModule& AnalysisModule()
{
    static tk::RuntimeModule module(QStringLiteral("libbeatwise_analysis.so"));
    return module;
}

std::optional<analysis::SongTempo> AnalyseSong(const QString& path, analysis::Progress* progress)
{
    const auto analyse = reinterpret_cast<analysis::AnalyseSongFileFunction>(
        AnalysisModule().Function(analysis::kAnalyseSongFile));
    if (!analyse)
        return std::nullopt;
    analysis::SongTempo result;
    analyse(QFile::encodeName(path).constData(), progress, &result);
    return result;
}

QString SongTempoWords::Typed(double bpm)
{
    QString text = QString::number(bpm, 'f', 2);
    while (text.endsWith('0'))
        text.chop(1);
    if (text.endsWith('.'))
        text.chop(1);
    return text;
}

QString SongTempoWords::Said(const analysis::SongTempo& result, const QString& name)
{
    switch (result.failure) {
    case analysis::Failure::Unreadable:
        return tr("%1 cannot be read, or it is empty.").arg(name);
    case analysis::Failure::UnsupportedFormat:
        return tr("%1 is not audio in a format Beatwise can read.").arg(name);
    case analysis::Failure::UnsupportedRate:
        return tr("%1 is audio at %2 Hz: Beatwise analyses rates from 4000 to 768000 Hz.")
            .arg(name)
            .arg(result.sampleRate);
    case analysis::Failure::NoSound:
        return tr("%1 holds no sound: it has no samples.").arg(name);
    case analysis::Failure::TooShort:
        return tr("%1 is too short to find a tempo in.").arg(name);
    case analysis::Failure::NoSteadyBeat:
        return tr("No steady beat was found in %1.").arg(name);
    case analysis::Failure::Cancelled:
        return tr("Finding the tempo of %1 was cancelled.").arg(name);
    case analysis::Failure::None:
        break;
    }
    const bool changes = !result.map.changes.empty();
    QString said
        = tr("Tempo of %1: %2 bpm").arg(name, Typed(changes ? result.map.firstBpm : result.bpm));
    if (result.meter != analysis::Meter::Common)
        said += tr(" in %1").arg(QLatin1String(analysis::MeterText(result.meter)));
    said += Changes(result.map, &SongTempoWords::Typed);
    if (result.drifts)
        said += tr(" (drifts %1 to %2)").arg(Typed(result.lowest), Typed(result.highest));
    if (result.cutShortAt > 0)
        said += tr(" (from its first %1 only)").arg(Clock(result.cutShortAt));
    return said;
}

QString SongTempoWords::Changes(const analysis::TempoMap& map, QString (*number)(double))
{
    // A few are news; many would bury the tempo.
    constexpr size_t kMostSaid = 4;
    QString said;
    for (size_t i = 0; i < map.changes.size() && i < kMostSaid; ++i)
        said += tr(", then %1 bpm from %2")
                    .arg(number(map.changes[i].bpm), Clock(std::round(map.changes[i].seconds)));
    if (map.changes.size() > kMostSaid)
        said += tr(", and %n more changes", nullptr, int(map.changes.size() - kMostSaid));
    return said;
}

QString SongTempoWords::Clock(double seconds)
{
    const auto whole = long(std::clamp(seconds, 0.0, 1e7));
    if (whole >= 3600)
        return QStringLiteral("%1:%2:%3")
            .arg(whole / 3600)
            .arg(whole / 60 % 60, 2, 10, QLatin1Char('0'))
            .arg(whole % 60, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1:%2").arg(whole / 60).arg(whole % 60, 2, 10, QLatin1Char('0'));
}

QString SongTempoWords::NoAnalysis(const QString& name)
{
    return tr("Beatwise cannot analyse %1 here: its analysis module is missing.").arg(name);
}
