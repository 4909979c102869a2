#pragma once

#include <QByteArray>

#include <atomic>
#include <thread>

// Standard output for a command that prints a line a file, which a script
// reads: a file name that holds a line break or other control character is
// quoted, so that each file keeps one line; a line that cannot be written
// (a full disk, a closed output) fails the run; and a reader that goes away
// (as `head -1` does) ends the program at once, as it would at its next
// line, not minutes later when the next long file is done.
class CLineOutput {
public:
    CLineOutput();
    ~CLineOutput();
    CLineOutput(const CLineOutput&) = delete;
    CLineOutput& operator=(const CLineOutput&) = delete;

    // The name as it is, or in double quotes with C's escapes where it holds
    // a control character.
    static QByteArray Quoted(const QByteArray& name);

    // False, and says why, when standard output is closed: a file opened
    // later would take its place and be written to.
    static bool IsOpen();
    // False, and says why on standard error once, when it was not written.
    bool Write(const QByteArray& line);
    bool Failed() const { return m_failed; }

private:
    std::atomic<bool> m_done {false};
    bool m_failed = false;
    std::thread m_watch;
};
