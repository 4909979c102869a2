#pragma once

#include "toolkit/propertysheet.h"

class CLinkSync;
class CSongTempoFinder;
class CTempoListener;
class CTempoMapView;

// The main window: a property sheet with the three calculator pages, which
// also takes the tempo of a song file dropped anywhere on it, or of what it
// hears.
class CMainSheet : public tk::PropertySheet {
    Q_OBJECT

public:
    CMainSheet(const QString& caption, QWidget* parent, int startPage);

    // Finds the song's tempo and types it into the tempo of the page shown.
    void FindSongTempo(const QString& path);
    // Asks for a song file first.
    void ChooseSongFile();
    // Listens to what is playing, or to the microphone, for its tempo.
    void Listen();

    CSongTempoFinder& SongTempoFinder() const { return *m_finder; }
    CLinkSync& LinkSync() const { return *m_link; }
    CTempoListener& Listener() const { return *m_listener; }
    CTempoMapView& TempoMap() const { return *m_map; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CSongTempoFinder* m_finder;
    CLinkSync* m_link;
    CTempoListener* m_listener;
    CTempoMapView* m_map;
};
