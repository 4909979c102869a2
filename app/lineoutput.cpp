#include "app/lineoutput.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

namespace {

bool IsControl(char c)
{
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
}

} // namespace

CLineOutput::CLineOutput()
{
    // A pipe whose reader has gone reports an error on its writing end: the
    // program ends as a write would have ended it.
    m_watch = std::thread([this] {
        while (!m_done) {
            pollfd out {STDOUT_FILENO, 0, 0};
            if (::poll(&out, 1, 100) > 0 && (out.revents & (POLLERR | POLLHUP))) {
                std::signal(SIGPIPE, SIG_DFL);
                std::raise(SIGPIPE);
                std::_Exit(128 + SIGPIPE); // where SIGPIPE was blocked
            }
        }
    });
}

CLineOutput::~CLineOutput()
{
    m_done = true;
    m_watch.join();
}

QByteArray CLineOutput::Quoted(const QByteArray& name)
{
    bool control = false;
    for (const char c : name)
        control = control || IsControl(c);
    if (!control)
        return name;
    QByteArray quoted = "\"";
    for (const char c : name) {
        switch (c) {
        case '\n':
            quoted += "\\n";
            break;
        case '\t':
            quoted += "\\t";
            break;
        case '\r':
            quoted += "\\r";
            break;
        case '"':
        case '\\':
            quoted += '\\';
            quoted += c;
            break;
        default:
            if (IsControl(c))
                quoted += "\\x"
                    + QByteArray::number(static_cast<unsigned char>(c), 16).rightJustified(2, '0');
            else
                quoted += c;
        }
    }
    return quoted + '"';
}

bool CLineOutput::IsOpen()
{
    if (::fcntl(STDOUT_FILENO, F_GETFL) != -1)
        return true;
    std::fputs("beatwise: standard output is closed: the results would be lost\n", stderr);
    return false;
}

bool CLineOutput::Write(const QByteArray& line)
{
    if (m_failed)
        return false;
    errno = 0;
    if (std::fwrite(line.constData(), 1, size_t(line.size()), stdout) != size_t(line.size())
        || std::fflush(stdout) != 0) {
        m_failed = true;
        std::fprintf(stderr, "beatwise: the results could not be written: %s\n",
            errno ? std::strerror(errno) : "standard output failed");
    }
    return !m_failed;
}
