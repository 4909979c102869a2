#pragma once

#include "analysis/songtempo.h"

#include <QCoreApplication>
#include <QString>

#include <optional>

namespace tk {
class RuntimeModule;
}

// aubio, libsndfile and their codecs, loaded when a song is first analysed
// or Beatwise first listens.
tk::RuntimeModule& AnalysisModule();

// The tempo of a song file, through the analysis module that loads on first
// use; nothing when the module cannot be loaded. Any thread may ask.
std::optional<analysis::SongTempo> AnalyseSong(const QString& path, analysis::Progress* progress);

// What Beatwise says of a song's tempo, in the window and on the command
// line alike.
class SongTempoWords {
    Q_DECLARE_TR_FUNCTIONS(SongTempoWords)

public:
    // The tempo as a user would type it: to two decimals, without trailing zeros.
    static QString Typed(double bpm);
    // The tempo found, or why there is none.
    static QString Said(const analysis::SongTempo& result, const QString& name);
    static QString NoAnalysis(const QString& name);
    // ", then 100 bpm from 4:58" for each change of the song's tempo, the
    // tempos written by number.
    static QString Changes(const analysis::TempoMap& map, QString (*number)(double));
    // A length of the song as m:ss, or h:mm:ss.
    static QString Clock(double seconds);
};
