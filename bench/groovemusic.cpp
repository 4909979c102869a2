#include "groovemusic.h"

#include "analysis/songtempo.h"
#include "figures.h"
#include "tempotools.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <map>

namespace {

struct Piece {
    QString name, path, meter, library;
    double bpm = 0;
};

struct Result {
    analysis::SongTempo tempo;
    double seconds = 0;
    OtherAnswer aubio, queenMary;
};

std::vector<Piece> ReadIndex(const QDir& folder)
{
    std::vector<Piece> pieces;
    QFile index(folder.filePath("index.tsv"));
    if (!index.open(QIODevice::ReadOnly))
        return pieces;
    index.readLine(); // the names of the columns
    while (!index.atEnd()) {
        const QStringList cells = QString::fromUtf8(index.readLine()).trimmed().split('\t');
        if (cells.size() >= 4)
            pieces.push_back(
                {cells[0], folder.filePath(cells[0]), cells[2], cells[3], cells[1].toDouble()});
    }
    return pieces;
}

QString Band(double bpm)
{
    return bpm < 90 ? QStringLiteral("below 90") : bpm <= 140 ? "90 to 140" : "above 140";
}

QString MeterGroup(const QString& meter)
{
    return meter.endsWith("/8") ? QStringLiteral("6/8 and 12/8") : meter;
}

QString Said(const analysis::SongTempo& tempo)
{
    if (tempo.failure != analysis::Failure::None)
        return QStringLiteral("none");
    return QString::number(tempo.bpm, 'f', 2) + ' ' + analysis::MeterText(tempo.meter);
}

// Right, within 4%, and on a level, of a group of pieces.
struct Tally {
    int pieces = 0, within1 = 0, within4 = 0, level = 0, unanswered = 0;
    int aubio = 0, queenMary = 0;

    void Count(const Piece& piece, const Result& result)
    {
        const double bpm = result.tempo.failure == analysis::Failure::None ? result.tempo.bpm : 0;
        ++pieces;
        within1 += Within(bpm, piece.bpm, 0.01);
        within4 += Within(bpm, piece.bpm, 0.04);
        level += OnALevel(bpm, piece.bpm);
        unanswered += bpm <= 0;
        aubio += Within(result.aubio.bpm, piece.bpm, 0.01);
        queenMary += Within(result.queenMary.bpm, piece.bpm, 0.01);
    }
    double Share(int part) const { return pieces ? 100.0 * part / pieces : 0; }
};

// The songs of one folder, each beside aubio and the Queen Mary tracker;
// every figure of the rendered songs, and the main ones of their masters.
void Measure(const QString& folder, bool mastered, Figures& figures, bool withOthers)
{
    const std::vector<Piece> pieces = ReadIndex(QDir(folder));
    std::vector<Result> results(pieces.size());
    std::atomic<size_t> next = 0;
    const auto work = [&] {
        for (size_t i; (i = next++) < pieces.size();) {
            QElapsedTimer timer;
            timer.start();
            results[i].tempo = analysis::AnalyseSongFile(pieces[i].path.toStdString());
            results[i].seconds = timer.nsecsElapsed() / 1e9;
            if (withOthers) {
                results[i].aubio = AubioTempo(pieces[i].path);
                results[i].queenMary = QueenMaryTempo(pieces[i].path);
            }
        }
    };
    OnEveryCore(work);

    std::map<QString, Tally> tallies;
    Tally all, heldBack;
    std::vector<double> ours, aubio;
    const QString kind = mastered ? QStringLiteral("mastered groove") : QStringLiteral("groove");
    std::printf("%-36s %6s %8s %14s %9s %9s\n", qPrintable(kind + " song"), "meter", "true",
        "Beatwise", "aubio", "qm");
    for (size_t i = 0; i < pieces.size(); ++i) {
        const Piece& piece = pieces[i];
        const Result& result = results[i];
        all.Count(piece, result);
        if (piece.library != QLatin1String("stdlib"))
            heldBack.Count(piece, result);
        tallies["meter " + MeterGroup(piece.meter)].Count(piece, result);
        tallies["tempo " + Band(piece.bpm)].Count(piece, result);
        ours.push_back(result.seconds);
        aubio.push_back(result.aubio.seconds);
        const bool right = result.tempo.failure == analysis::Failure::None
            && Within(result.tempo.bpm, piece.bpm, 0.01);
        std::printf("%-36s %6s %8.2f %14s %9.2f %9.2f%s\n", qPrintable(piece.name.left(36)),
            qPrintable(piece.meter), piece.bpm, qPrintable(Said(result.tempo)), result.aubio.bpm,
            result.queenMary.bpm, right ? "" : "  off");
    }
    std::printf("\n%-28s %7s %7s %7s %7s %7s %7s %7s\n", qPrintable(kind + " music"), "songs", "1%",
        "4%", "level", "none", "aubio", "qm");
    const auto print = [](const QString& name, const Tally& tally) {
        std::printf("%-28s %7d %6.1f%% %6.1f%% %6.1f%% %7d %6.1f%% %6.1f%%\n", qPrintable(name),
            tally.pieces, tally.Share(tally.within1), tally.Share(tally.within4),
            tally.Share(tally.level), tally.unanswered, tally.Share(tally.aubio),
            tally.Share(tally.queenMary));
    };
    print("all", all);
    print("held back (not mma stdlib)", heldBack);
    for (const auto& [name, tally] : tallies)
        print(name, tally);
    std::printf("\n");

    if (mastered) {
        figures.Add({QStringLiteral("Mastered groove songs within 1% (%1 songs)").arg(all.pieces),
            "%", all.Share(all.within1), all.Share(all.queenMary), {}, {}, 90.0});
        figures.Add(
            {"Mastered groove songs unanswered", "%", all.Share(all.unanswered), {}, {}, 1.0, {}});
        return;
    }
    figures.Add({QStringLiteral("Groove songs within 1% of their tempo (%1 songs)").arg(all.pieces),
        "%", all.Share(all.within1), all.Share(all.queenMary), {}, {}, 90.0});
    figures.Add({QStringLiteral("Held-back groove songs within 1% (%1 songs)").arg(heldBack.pieces),
        "%", heldBack.Share(heldBack.within1), heldBack.Share(heldBack.queenMary), {}, {}, 90.0});
    figures.Add({"Groove songs within 4%", "%", all.Share(all.within4), {}, {}, {}, {}});
    figures.Add({"Groove songs on a level (x1, x2, x1/2, x3, x1/3)", "%", all.Share(all.level), {},
        {}, {}, 98.0});
    const Tally& compound = tallies["meter 6/8 and 12/8"];
    figures.Add({QStringLiteral("Groove songs in 6/8 and 12/8 at the dotted quarter (%1 songs)")
                     .arg(compound.pieces),
        "%", compound.Share(compound.within1), compound.Share(compound.queenMary), {}, {}, 80.0});
    figures.Add({"Groove songs unanswered", "%", all.Share(all.unanswered), {}, {}, 1.0, {}});
    if (withOthers)
        figures.Add({"Seconds per groove song, against aubio tempo", "s", Median(ours),
            Median(aubio), 1.0, {}, {}});
}

} // namespace

void BenchGrooves(const QString& folder, Figures& figures, bool withOthers)
{
    if (!HaveTools("groove music", {"mma", "fluidsynth", "sox", "aubio"}))
        return;
    if (!Run(QStringLiteral(BEATWISE_SOURCE_DIR "/bench/groove-corpus"), {folder}, nullptr, 60)) {
        std::printf("groove music: the songs could not be rendered; skipped\n\n");
        return;
    }
    Measure(folder, false, figures, withOthers);
    Measure(folder + QStringLiteral("/mastered"), true, figures, withOthers);
}
