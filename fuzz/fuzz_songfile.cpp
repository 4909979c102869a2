// The tempo of a song file from arbitrary bytes: the whole analysis, from
// the decoders (libsndfile and the codecs behind it, FFmpeg's for M4A,
// aubio's spectra) to the tempo, on a file as a dropped download would be.
// Whatever the bytes, the analysis ends, with a tempo in range or a reason.
#include "analysis/songtempo.h"
#include "fuzz/checks.h"

#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// One file for the whole run, written anew for each input.
const std::string& SongPath()
{
    static const std::string path = [] {
        char name[] = "/tmp/beatwise-fuzz-song-XXXXXX";
        const int fd = ::mkstemp(name);
        fuzz::Check(fd >= 0, "a temporary file can be made");
        ::close(fd);
        std::atexit([] { ::unlink(SongPath().c_str()); });
        return std::string(name);
    }();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    const std::string& path = SongPath();
    FILE* file = std::fopen(path.c_str(), "wb");
    fuzz::Check(file != nullptr, "the song can be written");
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    analysis::Progress progress;
    const analysis::SongTempo tempo = analysis::AnalyseSongFile(path, &progress);
    const double done = progress.done.load();
    fuzz::Check(done >= 0 && done <= 1, "progress stays between 0 and 1");
    if (tempo.failure == analysis::Failure::None) {
        fuzz::Check(std::isfinite(tempo.bpm) && tempo.bpm >= 10 && tempo.bpm <= 1000,
            "a tempo found is a tempo", std::to_string(tempo.bpm));
        fuzz::Check(!tempo.drifts || (tempo.lowest <= tempo.highest && std::isfinite(tempo.lowest)),
            "a drift is a range");
        fuzz::Check(done == 1, "a tempo found has read the whole file");
    } else {
        fuzz::Check(tempo.bpm == 0, "no tempo is typed for a failure");
    }
    return 0;
}
