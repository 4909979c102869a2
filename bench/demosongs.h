#pragma once

#include <QDir>
#include <QString>

#include <vector>

// The demo songs Debian ships with Hydrogen and LMMS, rendered by their own
// programs (h2cli, lmms) on first use, each with the tempo its project is
// set to.
struct DemoSong {
    QString name;
    QString path; // of the rendering
    double bpm = 0;
};

// Renders the projects not yet rendered into folder, a few at a time.
std::vector<DemoSong> RenderDemoSongs(const QDir& folder);

// The length of an audio file, 0 where it cannot be read.
double Seconds(const QString& path);
