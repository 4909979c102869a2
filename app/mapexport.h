#pragma once

#include "analysis/songtempo.h"

#include <QByteArray>
#include <QString>

// The tempo map of a song as files a sequencer or a player takes.
namespace mapexport {

// A Standard MIDI File, type 1, at 480 ticks a quarter note: its tempo map
// puts a quarter note on every beat found, bars of the map's beats in
// quarters (6/8 as 2/4, 12/8 as 4/4), a marker at each change of tempo,
// and a second track that clicks on every beat, louder on the downbeats.
QByteArray Midi(const analysis::TempoMap& map);

// The header of a 16-bit mono WAV file of that many samples.
QByteArray WavHeader(int sampleRate, quint32 samples);

// The samples of a click track from sample first on, as many as asked: a
// short tone on every beat, higher and louder on the downbeats, starting
// on the beat's sample.
QByteArray ClickSamples(
    const analysis::TempoMap& map, int sampleRate, quint64 first, quint32 count);

// Writes the MIDI file or the click track (as long as the song, at its
// rate) to a path, beside it first and renamed over it once whole, so that
// a full disk or a cut-off run leaves nothing half-written. The reason it
// could not, or nothing.
QString WriteMidi(const analysis::TempoMap& map, const QString& path);
QString WriteClickTrack(const analysis::SongTempo& song, const QString& path);

} // namespace mapexport
