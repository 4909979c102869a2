#pragma once

#include "analysis/songtempo.h"
#include "tags/bpmtag.h"

#include <QObject>
#include <QString>

#include <list>
#include <memory>
#include <thread>

class QProgressBar;
class QShortcut;
class QTimer;

class CTempoHost;

namespace tk {
class PushButton;
}

// A song file as it stood when its tempo was found, and the BPM its tag
// carried then (empty for none).
struct SongFile {
    QString path;
    tags::FileStamp stamp;
    QString tag;
};

// Finds the tempo of song files for a sheet: each file is analysed on a
// thread of its own while the sheet stays in use, with its progress in the
// sheet's status area and Escape to cancel; a file given while another is
// analysed cancels that one. The tempo found is typed into the tempo of the
// page shown, so that the page's own rules decide what follows, and Half and
// Double beside it offer the other octave, for a song whose beat could be
// heard either way (Third and Triple too, for music in threes); a file that
// gives none leaves the tempo alone and the status area says why. A BPM
// the file's tag already carries is shown beside the tempo found.
class CSongTempoFinder : public QObject {
    Q_OBJECT

public:
    explicit CSongTempoFinder(CTempoHost& host);
    ~CSongTempoFinder() override;

    void Find(const QString& path);
    void Cancel();
    // Cancels, and takes back the offer of the other levels.
    void Withdraw();
    bool IsBusy() const { return m_current != nullptr; }

signals:
    // A song's analysis ended: its tempo and map, or why there is none.
    void Analysed(const QString& name, const analysis::SongTempo& song, const SongFile& file);
    // The song's tempo is no longer the one offered.
    void Withdrawn();

private:
    struct Job {
        SongFile file;
        analysis::Progress progress;
        analysis::SongTempo result;
        bool noAnalysis = false; // the analysis module could not be loaded
        std::thread thread;
    };

    void Finished(Job* job);
    void ShowProgress();
    // Half and Double, and Third and Triple for music in threes; 0 takes
    // the offer back.
    void OfferLevels(double bpm, bool threes = false);

    CTempoHost& m_host;
    QProgressBar* m_progress;
    QShortcut* m_cancelKey;
    QTimer* m_poll;
    tk::PushButton* m_half;
    tk::PushButton* m_double;
    tk::PushButton* m_third;
    tk::PushButton* m_triple;
    double m_found = 0; // the tempo the level buttons start from
    std::list<std::unique_ptr<Job>> m_jobs;
    Job* m_current = nullptr;
};
