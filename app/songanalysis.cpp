#include "app/songanalysis.h"

#include "toolkit/runtimemodule.h"

#include <QFile>

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
    case analysis::Failure::TooShort:
        return tr("%1 is too short to find a tempo in.").arg(name);
    case analysis::Failure::NoSteadyBeat:
        return tr("No steady beat was found in %1.").arg(name);
    case analysis::Failure::Cancelled:
        return tr("Finding the tempo of %1 was cancelled.").arg(name);
    case analysis::Failure::None:
        break;
    }
    if (result.drifts)
        return tr("Tempo of %1: %2 bpm (drifts %3 to %4)")
            .arg(name, Typed(result.bpm), Typed(result.lowest), Typed(result.highest));
    return tr("Tempo of %1: %2 bpm").arg(name, Typed(result.bpm));
}

QString SongTempoWords::NoAnalysis(const QString& name)
{
    return tr("Beatwise cannot analyse %1 here: its analysis module is missing.").arg(name);
}
