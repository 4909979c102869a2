#include "app/quietdecoders.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// mpg123's notes, warnings and errors, as it prints them.
bool IsDecoderChatter(const std::string& line)
{
    for (const char* start : {"Note: ", "Warning: ", "[src/libmpg123/", "[libmpg123/"}) {
        if (line.rfind(start, 0) == 0)
            return true;
    }
    return false;
}

void WriteAll(int fd, const std::string& text)
{
    for (size_t done = 0; done < text.size();) {
        const ssize_t wrote = ::write(fd, text.data() + done, text.size() - done);
        if (wrote <= 0)
            return;
        done += size_t(wrote);
    }
}

} // namespace

CQuietDecoders::CQuietDecoders()
{
    int ends[2];
    std::fflush(stderr);
    if (::pipe(ends) != 0)
        return;
    m_stderr = ::dup(STDERR_FILENO);
    if (m_stderr < 0 || ::dup2(ends[1], STDERR_FILENO) < 0) {
        ::close(ends[0]);
        ::close(ends[1]);
        if (m_stderr >= 0)
            ::close(m_stderr);
        m_stderr = -1;
        return;
    }
    ::close(ends[1]);
    m_read = ends[0];
    m_forward = std::thread([this] {
        std::string pending;
        char block[4096];
        for (;;) {
            const ssize_t got = ::read(m_read, block, sizeof block);
            if (got <= 0)
                break;
            pending.append(block, size_t(got));
            for (size_t end; (end = pending.find('\n')) != std::string::npos;) {
                const std::string line = pending.substr(0, end + 1);
                pending.erase(0, end + 1);
                if (!IsDecoderChatter(line))
                    WriteAll(m_stderr, line);
            }
        }
        if (!IsDecoderChatter(pending))
            WriteAll(m_stderr, pending);
    });
}

CQuietDecoders::~CQuietDecoders()
{
    if (m_stderr < 0)
        return;
    std::fflush(stderr);
    // The real standard error back; the pipe's last writer gone, the
    // forwarding ends once it has passed on what was left.
    ::dup2(m_stderr, STDERR_FILENO);
    m_forward.join();
    ::close(m_read);
    ::close(m_stderr);
}
