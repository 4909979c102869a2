#pragma once

#include "analysis/songtempo.h"

#include <QObject>
#include <QPointer>

class CTempoHost;
class CTempoMapWindow;

namespace tk {
class PushButton;
}

// Tempo Map... in the sheet's status area, once a song's beats are found:
// it opens the song's tempo map in a window of its own, made on first use.
class CTempoMapView : public QObject {
    Q_OBJECT

public:
    explicit CTempoMapView(CTempoHost& host);

    // The map of a song analysed; a song without one takes the offer back.
    void Offer(const QString& name, const analysis::SongTempo& song);
    void Withdraw();
    CTempoMapWindow* Window() const;

private:
    void Open();

    CTempoHost& m_host;
    tk::PushButton* m_button;
    QPointer<CTempoMapWindow> m_window;
    QString m_name;
    analysis::SongTempo m_song;
};
