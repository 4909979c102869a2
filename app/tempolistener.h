#pragma once

#include "analysis/livetempo.h"
#include "sound/soundinput.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

class CTempoHost;
class QComboBox;
class QLabel;
class QShortcut;
class QTimer;

namespace tk {
class PushButton;
}

// Finds the tempo of whatever the computer plays, or of the microphone, by
// listening to it through the desktop's sound server: the sound is analysed
// as it comes, on the sound library's thread, and never kept. The status
// area shows the tempo heard so far twice a second, Use types it into the
// page shown, and Stop or Escape ends listening, as two minutes do.
class CTempoListener : public QObject, private sound::InputListener {
    Q_OBJECT

public:
    static constexpr std::int64_t kLongest = 2 * 60 * 1000; // ms
    static constexpr std::int64_t kNoBeatYet = 4000; // ms

    explicit CTempoListener(CTempoHost& host);
    ~CTempoListener() override;

    void Start();
    void Stop();
    // Stops listening, if it was, and takes back the tempo heard, saying nothing.
    void Cancel();
    // Types the tempo heard into the page shown.
    void Use();
    bool IsListening() const { return m_listening; }
    // The tempo Use types; 0 for none.
    double Tempo() const { return m_bpm; }
    void SetSource(sound::InputSource source);

private:
    void Heard(const float* samples, size_t count) override;
    void Ended(sound::InputEnd why) override;

    void Begin(int session, sound::OpenSoundInput open, analysis::NewLiveTempoFunction make);
    void Show();
    void ShowControls(); // as listening, and the tempo heard, have them
    analysis::LiveEstimate Latest();
    void Finish(const QString& message, bool keepTempo);
    void Close();
    QString Words(const analysis::LiveEstimate& estimate) const;

    CTempoHost& m_host;
    QLabel* m_sourceLabel;
    QComboBox* m_source;
    tk::PushButton* m_use;
    tk::PushButton* m_stop;
    QShortcut* m_stopKey;
    QTimer* m_tick;
    bool m_listening = false;
    std::atomic<int> m_session {0}; // told by the sound thread's messages
    std::thread m_loader; // finds the modules' entry points, loading them if need be
    std::int64_t m_started = 0; // on the clock
    double m_bpm = 0;
    // Fed on the sound library's thread while the input lives.
    std::unique_ptr<analysis::LiveTempo> m_live;
    size_t m_heard = 0; // samples
    size_t m_nextEstimate = 0; // samples
    std::mutex m_mutex;
    analysis::LiveEstimate m_latest; // guarded by m_mutex
    std::unique_ptr<sound::SoundInput> m_input; // goes before what it feeds
};
