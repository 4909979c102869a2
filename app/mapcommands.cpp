#include "app/mapcommands.h"

#include "app/mapexport.h"
#include "app/songanalysis.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>

namespace {

struct MapRequest {
    QByteArray command, song, output;
    bool force = false;
};

int Fail(const QString& what)
{
    std::fprintf(stderr, "beatwise: %s\n", what.toLocal8Bit().constData());
    return 1;
}

int Write(const MapRequest& request, const analysis::SongTempo& song)
{
    const QString path = QFile::decodeName(request.output);
    if (!request.force && QFileInfo::exists(path))
        return Fail(QStringLiteral("%1 exists: add --force to replace it").arg(path));
    const QString failure = request.command == "--tempo-map"
        ? mapexport::WriteMidi(song.map, path)
        : mapexport::WriteClickTrack(song, path);
    return failure.isEmpty() ? 0 : Fail(failure);
}

int Usage(const char* what)
{
    std::fprintf(stderr,
        "beatwise: %s\n\nUsage: beatwise --beats FILE\n"
        "       beatwise --tempo-map FILE -o OUT.mid [--force]\n"
        "       beatwise --click FILE -o OUT.wav [--force]\n",
        what);
    return 2;
}

} // namespace

int RunMapCommand(int argc, char* argv[])
{
    MapRequest request;
    request.command = argv[1];
    bool onlyFiles = false;
    for (int i = 2; i < argc; ++i) {
        const QByteArray word = argv[i];
        if (!onlyFiles && word == "--") {
            onlyFiles = true;
        } else if (!onlyFiles && (word == "-o" || word == "--output")) {
            if (i + 1 >= argc)
                return Usage("-o needs the file to write");
            request.output = argv[++i];
        } else if (!onlyFiles && word == "--force") {
            request.force = true;
        } else if (!onlyFiles && word.startsWith('-') && word.size() > 1) {
            return Usage(("unknown option " + word).constData());
        } else if (request.song.isEmpty()) {
            request.song = word;
        } else {
            return Usage((request.command + " takes one song file").constData());
        }
    }
    if (request.song.isEmpty())
        return Usage((request.command + " needs a song file").constData());
    const bool beats = request.command == "--beats";
    if (beats == !request.output.isEmpty())
        return Usage(beats ? "--beats prints to standard output: no -o"
                           : (request.command + " needs -o and the file to write").constData());

    QCoreApplication application(argc, argv);
    const QString name = QFileInfo(QFile::decodeName(request.song)).fileName();
    const std::optional<analysis::SongTempo> song
        = AnalyseSong(QFile::decodeName(request.song), nullptr);
    QString failure;
    if (!song)
        failure = SongTempoWords::NoAnalysis(name);
    else if (song->failure != analysis::Failure::None)
        failure = SongTempoWords::Said(*song, name);
    else if (song->map.beats.empty())
        failure = QCoreApplication::translate(
            "SongTempoWords", "The beats of %1 could not be followed: its tempo changes too often.")
                      .arg(name);
    if (!failure.isEmpty()) {
        std::fprintf(
            stderr, "%s: no beats: %s\n", request.song.constData(), failure.toUtf8().constData());
        return 1;
    }
    if (!beats)
        return Write(request, *song);
    QByteArray text;
    for (const analysis::Beat& beat : song->map.beats)
        text += QByteArray::number(beat.seconds, 'f', 3) + '\t' + QByteArray::number(beat.bar)
            + '\t' + QByteArray::number(beat.beat) + '\t' + QByteArray::number(beat.bpm, 'f', 2)
            + '\n';
    std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    return 0;
}
