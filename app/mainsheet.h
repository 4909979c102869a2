#pragma once

#include "app/tempohost.h"
#include "toolkit/propertysheet.h"

#include <string>

class CLinkSync;
class CSongTempoFinder;
class CTempoListener;
class CTempoMapView;
class QHBoxLayout;
class QLabel;

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

    CSongTempoFinder& SongTempoFinder() const { return *m_finder; }
    CLinkSync& LinkSync() const { return *m_link; }
    CTempoListener& Listener() const { return *m_listener; }
    CTempoMapView& TempoMap() const { return *m_map; }

    QWidget& Window() override { return *this; }
    void AddToStatus(QWidget* control, int stretch = 0) override;
    void Say(const QString& message) override;
    QString Status() const override;
    std::string SharedTempo() const override { return m_sharedTempo; }
    void TypeTempo(double bpm) override;
    bool TempoHasFocus() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const std::string& m_sharedTempo;
    QLabel* m_message;
    QHBoxLayout* m_statusRow;
    CSongTempoFinder* m_finder;
    CLinkSync* m_link;
    CTempoListener* m_listener;
    CTempoMapView* m_map;
};
