#pragma once

#include "link/linksession.h"
#include "midi/midiclock.h"

#include <QObject>
#include <QString>

#include <memory>
#include <string>

class CTempoHost;
class QCheckBox;
class QComboBox;
class QTimer;

namespace tk {
class PushButton;
}

// Outboard gear on the shared tempo: the MIDI Clock box in the sheet's
// status area sends MIDI clock at the shared tempo to the port chosen
// beside it (the choice is kept), Start and Stop go out from the button
// beside that, and Follow MIDI Clock types the tempo of a clock that comes
// in, as a tap series would be. The clock runs in the MIDI server's own
// thread; this only looks at it, twenty times a second.
class CMidiClockSync : public QObject {
    Q_OBJECT

public:
    explicit CMidiClockSync(CTempoHost& host);
    ~CMidiClockSync() override;

    // Sends clock, to this port if one is named (the one kept otherwise).
    void SetOn(bool on, const QString& port = {});
    bool IsOn() const { return m_sending; }
    void SetFollowing(bool on);
    bool IsFollowing() const { return m_following; }
    // Start, or Stop once started.
    void StartOrStop();
    QString Port() const;
    // Keeps the clock on a Link session's beats, Start on its next bar; null
    // goes back to the shared tempo.
    void FollowSession(const tempolink::Timeline* session);

private:
    bool Open();
    void CloseIfIdle();
    void FillPorts(const QString& chosen);
    void Drive();
    void Look();
    void SendSharedTempo();
    void Follow(const midi::Report& report);
    void Ended(midi::Ended why);
    void ShowControls();
    void KeepToSession();

    CTempoHost& m_host;
    QCheckBox* m_box;
    QComboBox* m_port;
    tk::PushButton* m_start;
    QCheckBox* m_follow;
    QTimer* m_look;
    std::unique_ptr<midi::MidiClock> m_clock;
    bool m_sending = false, m_following = false, m_playing = false;
    std::string m_seen; // the shared tempo as last looked at
    QString m_refused; // the tempo last refused, said once
    midi::Followed m_heard; // the clock coming in, as last shown
    double m_typed = 0; // the tempo last typed from it
    const tempolink::Timeline* m_session = nullptr;
    midi::Timeline m_sessionBeats; // the session's, as the clock asks for them
};
