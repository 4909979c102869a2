#pragma once

#include <thread>

// Keeps what audio decoders tell standard error about damaged files
// ("Note: Illegal Audio-MPEG-Header..." from mpg123, which libsndfile
// cannot quiet) out of a command's output while it lives; everything else
// written to standard error still goes there, line by line. The line for
// the file says what became of it.
class CQuietDecoders {
public:
    CQuietDecoders();
    ~CQuietDecoders();
    CQuietDecoders(const CQuietDecoders&) = delete;
    CQuietDecoders& operator=(const CQuietDecoders&) = delete;

private:
    int m_stderr = -1; // the real one, while the pipe stands in for it
    int m_read = -1;
    std::thread m_forward;
};
