#include "analysis/mp4audio.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
}

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace analysis {

namespace {

constexpr int kIoBuffer = 65536;

int ReadPacket(void* user, uint8_t* buffer, int size)
{
    const ssize_t read = ::read(*static_cast<int*>(user), buffer, size_t(size));
    return read > 0 ? int(read) : read == 0 ? AVERROR_EOF : AVERROR(errno);
}

int64_t Seek(void* user, int64_t offset, int whence)
{
    const int fd = *static_cast<int*>(user);
    if (whence == AVSEEK_SIZE) {
        struct stat status { };
        return ::fstat(fd, &status) == 0 ? int64_t(status.st_size) : -1;
    }
    return ::lseek(fd, off_t(offset), whence & ~AVSEEK_FORCE);
}

// A sample of any of the layouts the two decoders give, as a float.
float Sample(const AVFrame& frame, int channel, int at, int channels)
{
    const auto format = AVSampleFormat(frame.format);
    const bool planar = av_sample_fmt_is_planar(format);
    const uint8_t* data = planar ? frame.extended_data[channel] : frame.extended_data[0];
    const size_t index = planar ? size_t(at) : size_t(at) * size_t(channels) + size_t(channel);
    switch (av_get_packed_sample_fmt(format)) {
    case AV_SAMPLE_FMT_FLT:
        return reinterpret_cast<const float*>(data)[index];
    case AV_SAMPLE_FMT_DBL:
        return float(reinterpret_cast<const double*>(data)[index]);
    case AV_SAMPLE_FMT_S16:
        return float(reinterpret_cast<const int16_t*>(data)[index]) / 32768.0f;
    case AV_SAMPLE_FMT_S32:
        return float(double(reinterpret_cast<const int32_t*>(data)[index]) / 2147483648.0);
    default:
        return 0;
    }
}

} // namespace

bool Mp4Audio::IsMp4(int fd)
{
    char head[8];
    return ::pread(fd, head, sizeof head, 0) == ssize_t(sizeof head)
        && std::memcmp(head + 4, "ftyp", 4) == 0;
}

Mp4Audio::Mp4Audio(int fd)
    : m_fd(fd)
{
    av_log_set_level(AV_LOG_QUIET); // its reasons are given, not its chatter
    auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBuffer));
    m_io = buffer ? avio_alloc_context(buffer, kIoBuffer, 0, &m_fd, ReadPacket, nullptr, Seek)
                  : nullptr;
    if (!m_io) {
        av_free(buffer);
        return;
    }
    m_format = avformat_alloc_context();
    if (!m_format)
        return;
    m_format->pb = m_io;
    m_format->flags |= AVFMT_FLAG_CUSTOM_IO;
    AVDictionary* options = nullptr;
    av_dict_set(&options, "codec_whitelist", "aac,alac", 0);
    const int opened
        = avformat_open_input(&m_format, nullptr, av_find_input_format("mp4"), &options);
    av_dict_free(&options);
    if (opened < 0 || avformat_find_stream_info(m_format, nullptr) < 0)
        return; // a failed open has freed the context
    const AVCodec* decoder = nullptr;
    m_stream = av_find_best_stream(m_format, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (m_stream < 0 || !decoder
        || (decoder->id != AV_CODEC_ID_AAC && decoder->id != AV_CODEC_ID_ALAC))
        return;
    const AVStream* stream = m_format->streams[m_stream];
    AVCodecContext* codec = avcodec_alloc_context3(decoder);
    m_packet = av_packet_alloc();
    m_frame = av_frame_alloc();
    if (!codec || !m_packet || !m_frame
        || avcodec_parameters_to_context(codec, stream->codecpar) < 0
        || avcodec_open2(codec, decoder, nullptr) < 0 || codec->ch_layout.nb_channels <= 0
        || codec->sample_rate <= 0) {
        avcodec_free_context(&codec);
        return;
    }
    m_codec = codec;
    m_channels = codec->ch_layout.nb_channels;
    m_rate = codec->sample_rate;
    if (stream->duration > 0 && stream->time_base.num > 0 && stream->time_base.den > 0)
        m_frames = av_rescale_q(stream->duration, stream->time_base, AVRational {1, m_rate});
    else if (m_format->duration > 0)
        m_frames = av_rescale(m_format->duration, m_rate, AV_TIME_BASE);
}

Mp4Audio::~Mp4Audio()
{
    av_frame_free(&m_frame);
    av_packet_free(&m_packet);
    avcodec_free_context(&m_codec);
    avformat_close_input(&m_format); // leaves our own I/O context alone
    if (m_io)
        av_freep(&m_io->buffer);
    avio_context_free(&m_io);
}

std::int64_t Mp4Audio::ReadFrames(float* frames, std::int64_t count)
{
    std::int64_t given = 0;
    while (given < count && m_codec) {
        if (m_taken == m_pending.size()) {
            if (!Decode())
                break;
            continue;
        }
        const auto ready = std::int64_t((m_pending.size() - m_taken) / size_t(m_channels));
        const std::int64_t now = std::min(ready, count - given);
        const size_t samples = size_t(now) * size_t(m_channels);
        std::copy_n(m_pending.begin() + std::ptrdiff_t(m_taken), samples,
            frames + size_t(given) * size_t(m_channels));
        m_taken += samples;
        given += now;
    }
    return given;
}

bool Mp4Audio::Decode()
{
    while (!m_ended) {
        const int received = avcodec_receive_frame(m_codec, m_frame);
        if (received == 0) {
            Take(*m_frame);
            av_frame_unref(m_frame);
            return true;
        }
        if (received != AVERROR(EAGAIN) || m_draining) {
            m_failed = m_failed || received != AVERROR_EOF;
            m_ended = true;
            break;
        }
        const int read = av_read_frame(m_format, m_packet);
        if (read < 0) {
            // The end, or damage the demuxer cannot step over: what the
            // decoder holds still comes out.
            m_failed = read != AVERROR_EOF;
            m_draining = true;
            avcodec_send_packet(m_codec, nullptr);
            continue;
        }
        // A damaged packet is stepped over, as a player would.
        if (m_packet->stream_index == m_stream)
            avcodec_send_packet(m_codec, m_packet);
        av_packet_unref(m_packet);
    }
    return false;
}

void Mp4Audio::Take(const AVFrame& frame)
{
    m_pending.clear();
    m_taken = 0;
    const int present = std::min(frame.ch_layout.nb_channels, m_channels);
    if (frame.nb_samples <= 0 || present <= 0)
        return;
    m_pending.assign(size_t(frame.nb_samples) * size_t(m_channels), 0.0f);
    for (int at = 0; at < frame.nb_samples; ++at) {
        for (int channel = 0; channel < present; ++channel)
            m_pending[size_t(at) * size_t(m_channels) + size_t(channel)]
                = Sample(frame, channel, at, frame.ch_layout.nb_channels);
    }
}

} // namespace analysis
