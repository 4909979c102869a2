#pragma once

#include <cstdint>
#include <vector>

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVIOContext;
struct AVPacket;

namespace analysis {

// The audio of an MP4 file (an M4A of AAC or Apple Lossless), which
// libsndfile does not read: demuxed and decoded by FFmpeg's libraries from
// a descriptor already opened and checked, with nothing probed but the MP4
// demuxer and no decoder but those two, and FFmpeg's own messages silenced.
// Frames come out interleaved as floats, as libsndfile gives them.
class Mp4Audio {
public:
    // Whether the file at the descriptor starts with an MP4 file-type box.
    static bool IsMp4(int fd);

    explicit Mp4Audio(int fd); // the descriptor stays the caller's
    ~Mp4Audio();
    Mp4Audio(const Mp4Audio&) = delete;
    Mp4Audio& operator=(const Mp4Audio&) = delete;

    bool IsOpen() const { return m_codec != nullptr; }
    int Channels() const { return m_channels; }
    int Rate() const { return m_rate; }
    std::int64_t Frames() const { return m_frames; } // as the file claims
    // Up to count frames; 0 at the end.
    std::int64_t ReadFrames(float* frames, std::int64_t count);
    // Decoding stopped at damage rather than at the end.
    bool Failed() const { return m_failed; }

private:
    bool Decode(); // the next frame's samples into m_pending; false at the end
    void Take(const AVFrame& frame);

    int m_fd;
    AVIOContext* m_io = nullptr;
    AVFormatContext* m_format = nullptr;
    AVCodecContext* m_codec = nullptr;
    AVPacket* m_packet = nullptr;
    AVFrame* m_frame = nullptr;
    int m_stream = -1;
    int m_channels = 0, m_rate = 0;
    std::int64_t m_frames = 0;
    bool m_draining = false, m_ended = false, m_failed = false;
    std::vector<float> m_pending; // decoded, interleaved, not yet read
    std::size_t m_taken = 0; // of m_pending, in samples
};

} // namespace analysis
