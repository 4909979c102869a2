#pragma once

#include "songcorpus.h"

#include <sndfile.h>

#include <QDir>
#include <QFile>

// The song files the song-file tests drop and name on the command line:
// click tracks, a drifting band, the levels a musician counts, a rate out
// of reach, text, a name with a line break, a damaged MP3, and files to tag,
// one in a read-only folder. False when one could not be written.
inline bool WriteSongFiles(const QDir& dir)
{
#define CHECK(made)                                                                                \
    if (!(made))                                                                                   \
    return false
    const QString song = dir.filePath("click track.wav");
    CHECK(corpus::Write({"clicks", 128, corpus::Pattern::Clicks}, song.toStdString()));
    corpus::Song drifting {"drifting", 120, corpus::Pattern::Backbeat};
    drifting.seconds = 120;
    drifting.drift = 0.03;
    CHECK(corpus::Write(drifting, dir.filePath("live.wav").toStdString()));
    CHECK(corpus::Write({"backbeat", 84, corpus::Pattern::Backbeat},
        dir.filePath("backbeat.flac").toStdString(), SF_FORMAT_FLAC | SF_FORMAT_PCM_16));
    CHECK(corpus::Write(
        {"chord", 120, corpus::Pattern::HeldChord}, dir.filePath("chord.wav").toStdString()));
    // The level a musician counts: a waltz in three, a 6/8 in dotted
    // quarters, a shuffle's beat (not its half), a slow ballad (not its
    // double), and music with no drums at all.
    const struct {
        const char* file;
        double bpm;
        corpus::Pattern pattern;
        double swing;
    } levels[] = {
        {"waltz.wav", 162, corpus::Pattern::Waltz, 0},
        {"jig.wav", 86, corpus::Pattern::SixEight, 0},
        {"shuffle.wav", 97, corpus::Pattern::Backbeat, 1.0 / 3},
        {"ballad.wav", 59, corpus::Pattern::Backbeat, 0},
        {"hymn.wav", 83, corpus::Pattern::Chords, 0},
    };
    for (const auto& level : levels) {
        corpus::Song song {level.file, level.bpm, level.pattern, level.swing};
        song.seconds = 40;
        CHECK(corpus::Write(song, dir.filePath(level.file).toStdString()));
    }
    corpus::Song high {"high", 128, corpus::Pattern::Clicks};
    high.sampleRate = 769000;
    high.seconds = 1;
    CHECK(corpus::Write(high, dir.filePath("high.wav").toStdString()));
    QFile text(dir.filePath("notes.txt"));
    CHECK(text.open(QIODevice::WriteOnly));
    text.write("not a song\n");
    CHECK(QFile::copy(song, dir.filePath("two\nlines.wav")));
    // Files to tag: one in the open, one in a folder made read-only.
    CHECK(QFile::copy(dir.filePath("backbeat.flac"), dir.filePath("tagged.flac")));
    CHECK(QDir(dir.path()).mkdir("locked"));
    CHECK(QFile::copy(song, dir.filePath("locked/song.wav")));
    CHECK(QFile::setPermissions(dir.filePath("locked"),
        QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther));
    // An MP3 with a run of garbage in the middle, which its decoder reports.
    const QString damaged = dir.filePath("damaged.mp3");
    CHECK(corpus::Write({"clicks", 128, corpus::Pattern::Clicks}, damaged.toStdString(),
        SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III));
    QFile mp3(damaged);
    CHECK(mp3.open(QIODevice::ReadWrite));
    mp3.seek(mp3.size() * 3 / 4);
    mp3.write(QByteArray(4000, '\x55'));
#undef CHECK
    return true;
}
