#pragma once

#include "toolkit/application.h"

#include <QString>

#include <string>

// The Beatwise application: holds the tempo text that the pages share, and
// runs the main sheet as the whole of the program's life.
class CTempoApp : public tk::Application {
public:
    static constexpr const char* kStartTempo = "120";

    CTempoApp();

    bool InitInstance() override;

    // A song file named on the command line, whose tempo the program starts
    // with.
    void SetSongFile(const QString& path) { m_songFile = path; }
    // Starts with Link switched on.
    void SetLinkAtStart(bool on) { m_linkAtStart = on; }
    // Starts sending MIDI clock, to this port if one is named.
    void SetMidiClockAtStart(bool on, const QString& port = {})
    {
        m_midiClockAtStart = on;
        m_midiClockPort = port;
    }
    // Starts listening for the tempo of what is playing.
    void SetListenAtStart(bool on) { m_listenAtStart = on; }
    // Every help request opens the help's contents, whatever topic it names.
    void WinHelp(unsigned long data, unsigned command) override;

    // The tempo text shared by all pages.
    std::string m_strTempo = kStartTempo;

private:
    QString m_songFile;
    bool m_linkAtStart = false;
    bool m_listenAtStart = false;
    bool m_midiClockAtStart = false;
    QString m_midiClockPort;
};

// The running application, as the pages reach it.
CTempoApp& TheApp();

// Sets the program's name, version and description from its version block.
void DescribeApplication();
