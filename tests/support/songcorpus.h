#pragma once

#include <string>
#include <vector>

// Songs made up for testing tempo detection: click tracks and drum patterns
// synthesised from noise bursts and sine kicks, written as audio files.
namespace corpus {

enum class Pattern {
    Clicks, // a click on every beat, the first of each bar accented
    FourOnTheFloor, // a kick on every beat, snare on 2 and 4, hi-hats on eighths
    Backbeat, // kicks on 1 and 3, snare on 2 and 4, hi-hats on eighths
    HeldChord, // three sine notes held throughout: no beat at all
    Waltz, // a kick on 1, soft snares on 2 and 3, hi-hats on eighths: 3/4
    SixEight, // the beat is a dotted quarter: kick on 1, snare on 2, hi-hats on eighths
    Chords, // no drums: a plucked chord on every beat, a new chord each bar
    OomPah, // a march's or a polka's two-beat: kick on 1 and 3, a softer chord on 2 and 4, hi-hats
};

struct Song {
    std::string name;
    double bpm = 120;
    Pattern pattern = Pattern::Clicks;
    double swing = 0; // how late the off-beat eighths come, as a fraction of an eighth
    double noise = 0; // level of steady white noise under the beat
    double introSeconds = 0; // a quiet, beatless intro first
    double seconds = 30; // the whole length
    int sampleRate = 44100;
    int channels = 2;
    unsigned seed = 1;
    double drift = 0; // how far the tempo wanders either way, as a live band's does
    double drive = 0; // how hard the mix is driven into saturation, as a loud record's
    // From the first bar line after stepSeconds, the tempo is stepBpm: a
    // medley, or a chorus played faster than its verse. 0 for none.
    double stepBpm = 0, stepSeconds = 0;
    // With stepBpm, the tempo swaps back and forth every so many bars: a
    // band that cannot keep one, or free time. 0 for one step only.
    int swapEveryBars = 0;
    double rampBpm = 0; // where the tempo has moved to by the end, steadily; 0 for none
    // How far each beat is played early or late at random, in seconds, as a
    // drummer's are; the beats keep their tempo all the same.
    double looseness = 0;
};

// The times of the song's beats, in seconds.
std::vector<double> BeatTimes(const Song& song);

// The benchmark's corpus: tempos from 60 to 200, fractional ones among them,
// with swing, noise and quiet intros.
std::vector<Song> Corpus();

// Writes the song; format is a libsndfile format (0: 16-bit WAV). False when
// the file cannot be written.
bool Write(const Song& song, const std::string& path, int format = 0);

} // namespace corpus
