#pragma once

#include "app/tempohost.h"
#include "toolkit/propertysheet.h"

#include <cstdint>
#include <string>
#include <vector>

class CLinkSync;
class CMidiClockSync;
class CSongTagSaver;
class CSongTempoFinder;
class CTempoListener;
class CTempoMapView;
class QHBoxLayout;
class QLabel;
class QTimer;

// The main window: a property sheet with the three calculator pages, which
// also takes the tempo of a song file dropped anywhere on it, or of what it
// hears. It owns each feature's bridge and offers them what they need of
// the window.
class CMainSheet : public tk::PropertySheet, public CTempoHost {
    Q_OBJECT

public:
    // sharedTempo is the application's tempo text, which the pages share.
    CMainSheet(
        const QString& caption, QWidget* parent, int startPage, const std::string& sharedTempo);

    // Finds the song's tempo and types it into the tempo of the page shown.
    void FindSongTempo(const QString& path);
    // Asks for a song file first.
    void ChooseSongFile();
    // Listens to what is playing, or to the microphone, for its tempo.
    void Listen();
    // Joins the studio's Link session, or leaves it.
    void SetLinkOn(bool on);
    // Sends MIDI clock at the shared tempo, to this port if one is named.
    void SetMidiClockOn(bool on, const QString& port = {});

    CSongTempoFinder& SongTempoFinder() const { return *m_finder; }
    CSongTagSaver& TagSaver() const { return *m_tags; }
    CLinkSync& LinkSync() const { return *m_link; }
    CTempoListener& Listener() const { return *m_listener; }
    CTempoMapView& TempoMap() const { return *m_map; }
    CMidiClockSync& MidiClock() const { return *m_midi; }

    QWidget& Window() override { return *this; }
    void AddToStatus(QWidget* control, int stretch = 0) override;
    void Say(const QString& message) override;
    QString Status() const override;
    std::string SharedTempo() const override { return m_sharedTempo; }
    void WatchTempo(std::function<void()> changed) override;
    void TypeTempo(double bpm) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void LookAtTempo();
    bool TypingTempo() const;

    const std::string& m_sharedTempo;
    QLabel* m_message;
    QHBoxLayout* m_statusRow;
    // Made before the features, which watch the tempo as they are made.
    std::int64_t m_lastKeystroke = -1000000; // in a tempo box, on the clock
    std::vector<std::function<void()>> m_tempoWatchers;
    std::string m_tempoSeen;
    bool m_lookAsked = false;
    CSongTempoFinder* m_finder;
    CSongTagSaver* m_tags;
    CLinkSync* m_link;
    CTempoListener* m_listener;
    CTempoMapView* m_map;
    CMidiClockSync* m_midi;
};
