#include "demosongs.h"

#include "tempotools.h"

#include <sndfile.h>
#include <unistd.h>

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>

namespace {

const QString kHydrogenSongs = QStringLiteral("/usr/share/hydrogen/data/demo_songs");
const QString kLmmsProjects = QStringLiteral("/usr/share/lmms/projects");
constexpr int kRenderMinutes = 15; // the longest a render may take
constexpr int kRendersAtOnce = 4; // the renderers mostly wait on their own clocks

// The tempo a project file is set to: Hydrogen's <bpm>, LMMS's <head bpm="">.
double ProjectTempo(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    QByteArray data = file.readAll();
    if (path.endsWith(QLatin1String(".mmpz")))
        data = qUncompress(data); // LMMS packs its projects as Qt does
    QXmlStreamReader xml(data);
    while (xml.readNextStartElement() || !xml.atEnd()) {
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("bpm"))
            return xml.readElementText().toDouble();
        if (xml.name() == QLatin1String("head"))
            return xml.attributes().value(QLatin1String("bpm")).toDouble();
    }
    return 0;
}

} // namespace

double Seconds(const QString& path)
{
    SF_INFO info {};
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!file)
        return 0;
    sf_close(file);
    return info.samplerate > 0 ? double(info.frames) / info.samplerate : 0;
}

// Renders each project that has not been rendered yet, a few at a time.
std::vector<DemoSong> RenderDemoSongs(const QDir& folder)
{
    struct Project {
        QString path, renderer;
        DemoSong piece;
    };
    std::vector<Project> projects;
    QDirIterator hydrogen(kHydrogenSongs, {"*.h2song"}, QDir::Files);
    while (hydrogen.hasNext()) {
        const QString path = hydrogen.next();
        projects.push_back(
            {path, "h2cli", {"hydrogen-" + QFileInfo(path).completeBaseName(), {}, 0}});
    }
    for (const char* kind : {"demos", "shorties"}) {
        QDirIterator lmms(kLmmsProjects + '/' + kind, {"*.mmp", "*.mmpz"}, QDir::Files,
            QDirIterator::Subdirectories);
        while (lmms.hasNext()) {
            const QString path = lmms.next();
            projects.push_back(
                {path, "lmms", {"lmms-" + QFileInfo(path).completeBaseName(), {}, 0}});
        }
    }
    std::sort(projects.begin(), projects.end(),
        [](const Project& a, const Project& b) { return a.piece.name < b.piece.name; });
    std::atomic<size_t> next = 0;
    const auto render = [&] {
        for (size_t i; (i = next++) < projects.size();) {
            Project& project = projects[i];
            project.piece.bpm = ProjectTempo(project.path);
            project.piece.path = folder.filePath(project.piece.name + ".wav");
            if (project.piece.bpm <= 0 || QFile::exists(project.piece.path))
                continue;
            // Rendered under another name, so that a render cut short is
            // never taken for a song.
            const QString part = folder.filePath(project.piece.name + ".part.wav");
            QStringList arguments;
            if (project.renderer == "h2cli")
                arguments = {"-s", project.path, "-o", part};
            else
                arguments = {"--render", project.path, "--output", part, "--format", "wav"};
            if (project.renderer == "lmms" && ::geteuid() == 0)
                arguments.prepend("--allowroot");
            std::printf("rendering %s with %s\n", qPrintable(project.piece.name),
                qPrintable(project.renderer));
            std::fflush(stdout);
            if (Run(project.renderer, arguments, nullptr, kRenderMinutes) && Seconds(part) > 0)
                QFile::rename(part, project.piece.path);
            else
                QFile::remove(part);
        }
    };
    std::vector<std::thread> renderers;
    for (int i = 0; i < kRendersAtOnce; ++i)
        renderers.emplace_back(render);
    for (std::thread& renderer : renderers)
        renderer.join();
    std::vector<DemoSong> songs;
    for (const Project& project : projects) {
        if (project.piece.bpm > 0 && QFile::exists(project.piece.path))
            songs.push_back(project.piece);
    }
    return songs;
}
