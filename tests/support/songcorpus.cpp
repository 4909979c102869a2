#include "songcorpus.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

namespace corpus {

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

int BeatsPerBar(Pattern pattern)
{
    return pattern == Pattern::Waltz ? 3 : 4;
}

// One drum hit, added into the mono track at a time in seconds.
struct Mixer {
    std::vector<float>& track;
    int rate;
    std::mt19937& random;

    void Click(double at, bool accent)
    {
        const double pitch = accent ? 1500 : 1000;
        Add(at, 0.012,
            [&](double t) { return 0.8 * std::sin(kTwoPi * pitch * t) * std::exp(-t * 300); });
    }

    void Kick(double at)
    {
        // A sine falling from 120 to 45 Hz, with a short click on top.
        Add(at, 0.25, [&](double t) {
            const double phase = kTwoPi * (45 * t + 75 * (1 - std::exp(-t * 30)) / 30);
            return 0.9 * std::sin(phase) * std::exp(-t * 12);
        });
    }

    void Snare(double at)
    {
        std::normal_distribution<double> noise(0, 0.35);
        Add(at, 0.15, [&](double t) {
            return (noise(random) + 0.3 * std::sin(kTwoPi * 190 * t)) * std::exp(-t * 25);
        });
    }

    void HiHat(double at)
    {
        std::normal_distribution<double> noise(0, 0.12);
        double last = 0;
        Add(at, 0.04, [&](double t) {
            const double sample = noise(random);
            const double high = sample - last; // a crude high-pass
            last = sample;
            return high * std::exp(-t * 90);
        });
    }

    // Three plucked strings, each with its octave, dying away.
    void Chord(double at, int bar, double level = 1)
    {
        static const double chords[][3] = {{261.63, 329.63, 392.0}, {220.0, 261.63, 329.63},
            {174.61, 220.0, 261.63}, {196.0, 246.94, 293.66}};
        const double* notes = chords[bar % 4];
        Add(at, 0.6, [&](double t) {
            double sum = 0;
            for (int i = 0; i < 3; ++i)
                sum += std::sin(kTwoPi * notes[i] * t) + 0.3 * std::sin(kTwoPi * 2 * notes[i] * t);
            return 0.15 * level * sum * std::exp(-t * 5);
        });
    }

    template <typename Sound> void Add(double at, double length, Sound sound)
    {
        const auto first = static_cast<long>(at * rate);
        const auto count = static_cast<long>(length * rate);
        for (long i = 0; i < count; ++i) {
            const long index = first + i;
            if (index >= 0 && index < long(track.size()))
                track[size_t(index)] += float(sound(double(i) / rate));
        }
    }
};

} // namespace

std::vector<Song> Corpus()
{
    std::vector<Song> songs;
    const double tempos[] = {60, 64.5, 70, 76, 82.3, 88, 94, 99.9, 105, 110.5, 116, 120, 124, 128,
        133.3, 138, 142.7, 150, 156, 163.2, 170, 174, 180, 187.5, 193, 200};
    unsigned seed = 1;
    for (double bpm : tempos) {
        const auto name = [&](const char* kind) {
            char text[64];
            std::snprintf(text, sizeof text, "%s-%06.2f", kind, bpm);
            return std::string(text);
        };
        songs.push_back({name("clicks"), bpm, Pattern::Clicks, 0, 0, 0, 30, 44100, 2, seed++});
        songs.push_back(
            {name("four-floor"), bpm, Pattern::FourOnTheFloor, 0, 0.02, 0, 30, 44100, 2, seed++});
        songs.push_back({name("four-floor-swing-intro"), bpm, Pattern::FourOnTheFloor, 0.3, 0.05, 6,
            36, 44100, 2, seed++});
        songs.push_back({name("backbeat-noisy"), bpm, Pattern::Backbeat, bpm < 120 ? 0.25 : 0, 0.12,
            0, 30, 48000, 1, seed++});
        // The other textbook grooves, at the tempos they are played at.
        songs.push_back({name("backbeat"), bpm, Pattern::Backbeat, 0, 0, 0, 30, 44100, 2, seed++});
        if (bpm <= 160)
            songs.push_back(
                {name("shuffle"), bpm, Pattern::Backbeat, 1.0 / 3, 0, 0, 30, 44100, 2, seed++});
        songs.push_back({name("waltz"), bpm, Pattern::Waltz, 0, 0.02, 0, 30, 44100, 2, seed++});
        if (bpm <= 130)
            songs.push_back({name("six-eight"), bpm / 1.5, Pattern::SixEight, 0, 0.02, 0, 30, 44100,
                2, seed++});
        if (bpm <= 150)
            songs.push_back({name("chords"), bpm, Pattern::Chords, 0, 0, 0, 30, 44100, 2, seed++});
    }
    return songs;
}

std::vector<double> BeatTimes(const Song& song)
{
    std::vector<double> beats;
    const auto perBar = size_t(BeatsPerBar(song.pattern));
    double base = song.bpm;
    for (double at = song.introSeconds; at < song.seconds;) {
        const size_t bar = beats.size() / perBar;
        if (song.stepBpm > 0 && at >= song.stepSeconds && beats.size() % perBar == 0) {
            if (song.swapEveryBars > 0 && bar % size_t(song.swapEveryBars) == 0)
                base = base == song.stepBpm ? song.bpm : song.stepBpm;
            else if (song.swapEveryBars == 0)
                base = song.stepBpm;
        }
        double bpm
            = song.rampBpm > 0 ? song.bpm + (song.rampBpm - song.bpm) * (at / song.seconds) : base;
        // The tempo wanders over about forty seconds, slowly enough to play to.
        bpm *= 1 + song.drift * std::sin(kTwoPi * at / 40);
        beats.push_back(at);
        at += 60 / bpm;
    }
    return beats;
}

bool Write(const Song& song, const std::string& path, int format)
{
    std::mt19937 random(song.seed);
    std::vector<float> track(size_t(song.seconds * song.sampleRate), 0.0f);
    Mixer mixer {track, song.sampleRate, random};
    const std::vector<double> beats = BeatTimes(song);
    std::uniform_real_distribution<double> loose(-song.looseness, song.looseness);
    for (size_t number = 0; number < beats.size(); ++number) {
        // The last beat lasts as long as the one before it.
        const double beat = number + 1 < beats.size() ? beats[number + 1] - beats[number]
            : number > 0                              ? beats[number] - beats[number - 1]
                                                      : 60 / song.bpm;
        const double at
            = song.looseness > 0 ? std::max(0.0, beats[number] + loose(random)) : beats[number];
        const int inBar = int(number) % BeatsPerBar(song.pattern);
        switch (song.pattern) {
        case Pattern::HeldChord:
            break;
        case Pattern::Waltz:
            if (inBar == 0)
                mixer.Kick(at);
            else
                mixer.Snare(at);
            mixer.HiHat(at);
            mixer.HiHat(at + beat / 2);
            break;
        case Pattern::SixEight:
            if (inBar % 2 == 0)
                mixer.Kick(at);
            else
                mixer.Snare(at);
            for (int eighth = 0; eighth < 3; ++eighth)
                mixer.HiHat(at + beat * eighth / 3);
            break;
        case Pattern::Chords:
            mixer.Chord(at, int(number) / 4);
            break;
        case Pattern::OomPah:
            if (inBar % 2 == 0)
                mixer.Kick(at);
            else
                mixer.Chord(at, int(number) / 4, 0.8);
            mixer.HiHat(at);
            break;
        case Pattern::Clicks:
            mixer.Click(at, inBar == 0);
            break;
        case Pattern::FourOnTheFloor:
        case Pattern::Backbeat:
            if (song.pattern == Pattern::FourOnTheFloor || inBar % 2 == 0)
                mixer.Kick(at);
            if (inBar % 2 == 1)
                mixer.Snare(at);
            mixer.HiHat(at);
            mixer.HiHat(at + beat / 2 * (1 + song.swing));
            break;
        }
    }
    std::normal_distribution<double> hiss(0, 1);
    for (size_t i = 0; i < track.size(); ++i) {
        const double time = double(i) / song.sampleRate;
        // A quiet intro: a soft pad, no beat.
        if (time < song.introSeconds)
            track[i] += float(0.03 * std::sin(kTwoPi * 220 * time) * std::sin(kTwoPi * 0.5 * time));
        if (song.pattern == Pattern::HeldChord) {
            for (double pitch : {261.63, 329.63, 392.0})
                track[i] += float(0.2 * std::sin(kTwoPi * pitch * time));
        }
        track[i] += float(song.noise * hiss(random));
        if (song.drive > 0)
            track[i] = float(std::tanh(song.drive * track[i]) / std::tanh(song.drive));
        track[i] = std::clamp(track[i], -1.0f, 1.0f);
    }

    SF_INFO info {};
    info.samplerate = song.sampleRate;
    info.channels = song.channels;
    info.format = format ? format : SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file)
        return false;
    std::vector<float> frames(track.size() * size_t(song.channels));
    for (size_t i = 0; i < track.size(); ++i)
        std::fill_n(
            frames.begin() + std::ptrdiff_t(i * size_t(song.channels)), song.channels, track[i]);
    const sf_count_t written = sf_writef_float(file, frames.data(), sf_count_t(track.size()));
    sf_close(file);
    return written == sf_count_t(track.size());
}

} // namespace corpus
