#pragma once

#include <QString>

#include <functional>
#include <string>

class QWidget;

// All that a feature's bridge to the window (song, listening, Link, MIDI
// clock, tempo map) reaches of the sheet that owns it: the features never
// reach each other or the application.
class CTempoHost {
public:
    // The window, as the parent of a feature's controls, shortcuts and
    // windows.
    virtual QWidget& Window() = 0;
    // A feature's control, appended to the status area's row.
    virtual void AddToStatus(QWidget* control, int stretch = 0) = 0;
    // The status area's message, in place of the last.
    virtual void Say(const QString& message) = 0;
    virtual QString Status() const = 0;
    // The tempo the pages share, as it stands typed.
    virtual std::string SharedTempo() const = 0;
    // Calls changed, in the window's thread, soon after the shared tempo
    // changes: at once after any input, within 50 ms whatever changed it,
    // and a tempo being typed once the typing pauses (typing 200 passes
    // through 20, which is no tempo to send anywhere).
    virtual void WatchTempo(std::function<void()> changed) = 0;
    // Types a tempo (to two decimals at most) into the page shown, as the
    // user would, so that the page's own rules decide what follows.
    virtual void TypeTempo(double bpm) = 0;

protected:
    ~CTempoHost() = default;
};
