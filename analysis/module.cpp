// The analysis as a module of its own, loaded by the program when a song
// file is first dropped on it or it first listens: aubio, libsndfile and
// their codecs are then not loaded at start-up.
#include "analysis/livetempo.h"
#include "analysis/songtempo.h"

extern "C" __attribute__((visibility("default"))) void beatwise_analyse_song_file(
    const char* path, analysis::Progress* progress, analysis::SongTempo* result)
{
    *result = analysis::AnalyseSongFile(path, progress);
}

extern "C" __attribute__((visibility("default"))) analysis::LiveTempo* beatwise_new_live_tempo()
{
    return analysis::NewLiveTempo();
}
