#include "analysis/audiofile.h"

#include "analysis/mp4audio.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>

namespace analysis {

namespace {

// Rates outside what audio uses are a forged header: refused before any
// buffer is sized by them.
constexpr int kLowestRate = 4000, kHighestRate = 768000;
// Beats need nothing above about 5.5 kHz: the rate is divided down to about
// 11 kHz by averaging whole groups of frames.
constexpr int kAnalysisRate = 11025;
// Frames decoded at a time, whatever the channel count: memory stays small.
constexpr sf_count_t kSamplesPerRead = 65536;
// A sample beyond this is no audio a file should hold: it is clipped here,
// and one that is not a number is read as silence.
constexpr float kLoudest = 64;
// Only the front pair of a surround file is mixed: the music is there, and
// the rest would cost their decoding again.
constexpr int kMixedChannels = 2;
// ID3v2 tags ahead of the audio, one after another at the most.
constexpr int kMostTags = 8;

// The length of the ID3v2 tag at the descriptor's offset, header and footer
// included; 0 for none.
off_t Id3v2Length(int fd, off_t at)
{
    unsigned char header[10];
    if (::pread(fd, header, sizeof header, at) != ssize_t(sizeof header) || header[0] != 'I'
        || header[1] != 'D' || header[2] != '3' || header[3] == 0xff || header[4] == 0xff)
        return 0;
    off_t size = 0;
    for (int i = 6; i < 10; ++i) {
        if (header[i] & 0x80)
            return 0; // no synchsafe size: not a tag
        size = size << 7 | header[i];
    }
    const bool footer = header[5] & 0x10;
    return 10 + size + (footer ? 10 : 0);
}

} // namespace

// The decoder reads the file through these, from the first byte past the
// tags: it never sees them, so they cost no memory.
struct AudioFileIo {
    static sf_count_t Length(void* user)
    {
        const auto* file = static_cast<AudioFile*>(user);
        return file->m_size - file->m_audioStart;
    }
    static sf_count_t Seek(sf_count_t offset, int whence, void* user)
    {
        const auto* file = static_cast<AudioFile*>(user);
        off_t at = 0;
        if (whence == SEEK_SET)
            at = ::lseek(file->m_fd, file->m_audioStart + offset, SEEK_SET);
        else if (whence == SEEK_END)
            at = ::lseek(file->m_fd, file->m_size + offset, SEEK_SET);
        else
            at = ::lseek(file->m_fd, offset, SEEK_CUR);
        return at < 0 ? -1 : at - file->m_audioStart;
    }
    static sf_count_t Read(void* data, sf_count_t count, void* user)
    {
        const ssize_t read = ::read(static_cast<AudioFile*>(user)->m_fd, data, size_t(count));
        return read < 0 ? 0 : read;
    }
    static sf_count_t Write(const void*, sf_count_t, void*) { return 0; }
    static sf_count_t Tell(void* user)
    {
        const auto* file = static_cast<AudioFile*>(user);
        const off_t at = ::lseek(file->m_fd, 0, SEEK_CUR);
        return at < 0 ? -1 : at - file->m_audioStart;
    }
};

float GuardedSample(float sample)
{
    if (!(std::abs(sample) <= kLoudest))
        return sample > 0 ? kLoudest : sample < 0 ? -kLoudest : 0; // NaN is neither
    return sample;
}

AudioFile::AudioFile(const std::string& path, sf_count_t mostSamples)
{
    // Opened without waiting (a FIFO or a device would block for ever in
    // the decoder), then accepted only if it is a regular file, checked on
    // the descriptor itself so that nothing can be swapped in between.
    m_fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    struct stat status { };
    if (m_fd < 0 || ::fstat(m_fd, &status) != 0 || !S_ISREG(status.st_mode)
        || status.st_size == 0) {
        m_failure = Failure::Unreadable;
        return;
    }
    m_size = status.st_size;
    for (int tag = 0; tag < kMostTags; ++tag) {
        const off_t length = Id3v2Length(m_fd, m_audioStart);
        if (length == 0 || length >= m_size - m_audioStart)
            break;
        m_audioStart += length;
    }
    if (::lseek(m_fd, m_audioStart, SEEK_SET) != m_audioStart) {
        m_failure = Failure::Unreadable;
        return;
    }
    if (m_audioStart == 0 && Mp4Audio::IsMp4(m_fd)) {
        m_mp4 = std::make_unique<Mp4Audio>(m_fd);
        m_info.channels = m_mp4->Channels();
        m_info.samplerate = m_mp4->Rate();
        m_info.frames = m_mp4->Frames();
    } else {
        SF_VIRTUAL_IO io {AudioFileIo::Length, AudioFileIo::Seek, AudioFileIo::Read,
            AudioFileIo::Write, AudioFileIo::Tell};
        m_file = sf_open_virtual(&io, SFM_READ, &m_info, this);
    }
    // A readable, non-empty regular file that the decoder does not take is
    // not audio it knows. Headerless files are guessed from their names by
    // the decoder (a text file called .au would be read as raw samples):
    // only files that say what they are count as audio.
    if ((m_mp4 ? !m_mp4->IsOpen()
               : !m_file || (m_info.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_RAW)
        || m_info.channels <= 0 || m_info.samplerate <= 0 || m_info.frames < 0) {
        m_failure = Failure::UnsupportedFormat;
        return;
    }
    if (m_info.samplerate < kLowestRate || m_info.samplerate > kHighestRate) {
        m_failure = Failure::UnsupportedRate;
        return;
    }
    if (m_info.frames == 0) {
        m_failure = Failure::NoSound;
        return;
    }
    m_mostFrames = std::max<sf_count_t>(1, mostSamples / m_info.channels);
    m_factor = std::max(1, m_info.samplerate / kAnalysisRate);
    m_rate = double(m_info.samplerate) / m_factor;
    const sf_count_t frames = std::max<sf_count_t>(m_factor, kSamplesPerRead / m_info.channels);
    m_frames.resize(size_t(frames) * size_t(m_info.channels));
}

AudioFile::~AudioFile()
{
    m_mp4.reset(); // before its descriptor goes
    if (m_file)
        sf_close(m_file);
    if (m_fd >= 0)
        ::close(m_fd);
}

double AudioFile::Seconds() const
{
    return m_info.samplerate > 0 ? double(m_info.frames) / m_info.samplerate : 0;
}

double AudioFile::Done() const
{
    // By bytes read, not by the length the header claims, which may be forged.
    struct stat status { };
    if (m_fd < 0 || ::fstat(m_fd, &status) != 0 || status.st_size <= 0)
        return 0;
    const off_t at = ::lseek(m_fd, 0, SEEK_CUR);
    return at <= 0 ? 0 : std::min(1.0, double(at) / double(status.st_size));
}

sf_count_t AudioFile::ReadFrames(float* frames, sf_count_t count)
{
    return m_mp4 ? sf_count_t(m_mp4->ReadFrames(frames, count))
                 : sf_readf_float(m_file, frames, count);
}

size_t AudioFile::Read(float* samples, size_t count)
{
    if (!m_file && !(m_mp4 && m_mp4->IsOpen()))
        return 0;
    const int channels = m_info.channels;
    const int mixed = std::min(channels, kMixedChannels);
    const float scale = 1.0f / float(mixed * m_factor);
    const sf_count_t capacity = sf_count_t(m_frames.size()) / channels;
    size_t given = 0;
    while (given < count) {
        // Whole groups of frames only, so that a sample is never split
        // between two reads.
        sf_count_t wanted
            = std::min<sf_count_t>(capacity / m_factor, sf_count_t(count - given)) * m_factor;
        if (m_framesRead + wanted > m_mostFrames) {
            wanted = (m_mostFrames - m_framesRead) / m_factor * m_factor;
            if (wanted <= 0) {
                // Cut short only if there was more to come.
                m_cutShort = ReadFrames(m_frames.data(), 1) > 0;
                break;
            }
        }
        const sf_count_t frames = ReadFrames(m_frames.data(), wanted);
        if (frames <= 0)
            break;
        m_framesRead += frames;
        const sf_count_t groups = frames / m_factor; // a last part group is dropped
        for (sf_count_t group = 0; group < groups; ++group) {
            float sum = 0;
            const float* frame = m_frames.data() + size_t(group * m_factor * channels);
            for (int i = 0; i < m_factor; ++i, frame += channels) {
                for (int c = 0; c < mixed; ++c)
                    sum += GuardedSample(frame[c]);
            }
            samples[given++] = sum * scale;
        }
        if (frames < wanted)
            break;
    }
    return given;
}

bool AudioFile::BrokeOff() const
{
    const bool failed = m_mp4 ? m_mp4->Failed() : m_file && sf_error(m_file) != SF_ERR_NO_ERROR;
    return failed && m_framesRead < m_info.frames / 2;
}

} // namespace analysis
