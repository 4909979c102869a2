#pragma once

#include "app/songtempofinder.h"

#include <QObject>

#include <memory>

class CTempoHost;

namespace tk {
class PushButton;
}

// Save to File, offered once a song's tempo is found: writes the tempo shown
// (the one found, or the level chosen beside it, or one typed since) into
// the song's own BPM tag, replacing the one it carried. The file is
// rewritten on a thread of its own, so a long WAV never stops the window,
// and only if it is still the file that was analysed.
class CSongTagSaver : public QObject {
    Q_OBJECT

public:
    explicit CSongTagSaver(CTempoHost& host);
    ~CSongTagSaver() override;

    void Offer(const QString& name, const analysis::SongTempo& song, const SongFile& file);
    void Withdraw();
    bool IsBusy() const { return m_writing != nullptr; }

private:
    struct Write;

    void Save();
    void Saved(Write* write);
    // The tempo shown, when it is one a tag takes; 0 otherwise.
    double ShownTempo() const;
    void Enable();

    CTempoHost& m_host;
    tk::PushButton* m_save;
    SongFile m_file; // no path: nothing offered
    std::unique_ptr<Write> m_writing;
};
