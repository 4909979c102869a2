#pragma once

#include <QObject>
#include <QString>

#include <string>

class QCheckBox;
class QLabel;
class CTempoHost;

#include "link/linksession.h"

// Beatwise in the studio's Link session, switched on and off by the Link
// box in the sheet's status area, with the count of the other peers beside
// it. While on, the shared tempo goes to the session whenever it changes to
// one Link takes (a tempo being typed once the typing pauses), and a tempo
// the session changes to is typed into the page shown; a tempo that came
// from the session is never sent back. Link runs on threads of its own,
// and everything it says is handed to the window's thread.
class CLinkSync : public QObject {
    Q_OBJECT

public:
    explicit CLinkSync(CTempoHost& host);
    ~CLinkSync() override;

    void SetOn(bool on);
    bool IsOn() const { return m_session != nullptr; }
    int Peers() const { return m_peers; }

signals:
    // The session's beats, for a clock to keep to, from joining to leaving;
    // null once it has left, told before the session closes.
    void SessionChanged(const tempolink::Timeline* timeline);

private:
    void Start();
    void Stop();
    void CloseSession();
    void ShowPeers(int count);
    void TakeSessionTempo(double bpm);
    void SendSharedTempo();

    CTempoHost& m_host;
    QCheckBox* m_box;
    QLabel* m_peersLabel;
    tempolink::LinkSession* m_session = nullptr;
    tempolink::Timeline m_timeline;
    int m_peers = 0;
    std::string m_seen; // the shared tempo as last looked at
    std::string m_fromSession; // the text of the tempo last taken from the session
    double m_sent = 0; // the tempo last sent, until the session changes to another
};
