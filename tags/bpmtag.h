#pragma once

#include <cstdint>
#include <string>

// A song file's own BPM tag, read and written with TagLib: ID3v2 TBPM in
// MP3, WAV and AIFF, the Vorbis comment BPM in FLAC, Ogg Vorbis and Opus,
// and MP4's tmpo in M4A. No Qt.
namespace tags {

// The file as it stood when its tempo was found: a tag is written only
// into that file, never into one changed or replaced since.
struct FileStamp {
    std::uint64_t device = 0, inode = 0;
    std::int64_t size = -1, modifiedNs = 0;
    bool operator==(const FileStamp&) const = default;
};
FileStamp StampOf(const std::string& path);

// The BPM the file's tag carries, as written there; empty when none (or
// the file is no format that carries one).
std::string ReadBpm(const std::string& path);

struct Written {
    enum class Outcome { Written, Kept, NotWritten };
    Outcome outcome = Outcome::NotWritten;
    std::string existing; // the tag that was kept
    std::string reason; // why it was not written
};

// Writes bpm into the file's tag (an integer where the format wants one,
// two decimals in a Vorbis comment, replacing any BPM there), unless the
// file carries one already and not force. The tag goes into a copy beside
// the file, which is flushed to disk and only then renamed over it, with
// the original's permissions, owner and extended attributes: whatever
// happens, the file is either the old one or the new one. With dryRun,
// says what would happen and writes nothing.
Written WriteBpm(
    const std::string& path, double bpm, const FileStamp& analysed, bool force, bool dryRun);

// The module's entry points, for a program that loads TagLib only when a
// tag is first read or written.
using StampFunction = FileStamp (*)(const std::string& path);
using ReadBpmFunction = std::string (*)(const std::string& path);
using WriteBpmFunction = Written (*)(
    const std::string& path, double bpm, const FileStamp& analysed, bool force, bool dryRun);
inline constexpr const char* kStamp = "beatwise_stamp_of";
inline constexpr const char* kReadBpm = "beatwise_read_bpm";
inline constexpr const char* kWriteBpm = "beatwise_write_bpm";

} // namespace tags
