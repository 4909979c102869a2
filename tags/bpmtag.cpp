#include "tags/bpmtag.h"

#include "tags/safereplace.h"
#include "tags/shiftingstream.h"

#include <sys/stat.h>

#include <taglib/aifffile.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>
#include <taglib/xiphcomment.h>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace tags {

namespace {

// The text to write, or none when only reading.
struct NewBpm {
    std::string integer, decimal;
    int whole = 0;
};

// A tag as shown on a line of its own: it may hold anything, so a line
// break or other control character is shown as '?', and a tag longer than
// any tempo is cut, never within a character.
std::string Shown(const TagLib::String& tag)
{
    constexpr size_t kLongest = 24;
    std::string shown = tag.stripWhiteSpace().to8Bit(true);
    if (shown.size() > kLongest) {
        size_t cut = kLongest;
        while (cut > 0 && (static_cast<unsigned char>(shown[cut]) & 0xc0) == 0x80)
            --cut;
        shown = shown.substr(0, cut) + "...";
    }
    for (char& c : shown) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = '?';
    }
    return shown;
}

std::string Id3(TagLib::ID3v2::Tag* tag, const NewBpm* set)
{
    if (!tag)
        return {};
    const TagLib::ID3v2::FrameList& frames = tag->frameListMap()["TBPM"];
    const std::string existing = frames.isEmpty() ? "" : Shown(frames.front()->toString());
    if (set) {
        tag->removeFrames("TBPM");
        auto* frame = new TagLib::ID3v2::TextIdentificationFrame("TBPM", TagLib::String::Latin1);
        frame->setText(set->integer);
        tag->addFrame(frame);
    }
    return existing;
}

// The version the tag was written in, kept so that no other frame changes.
TagLib::ID3v2::Version VersionOf(TagLib::ID3v2::Tag* tag)
{
    return tag && tag->header()->majorVersion() == 3 ? TagLib::ID3v2::v3 : TagLib::ID3v2::v4;
}

std::string Xiph(TagLib::Ogg::XiphComment* comment, const NewBpm* set)
{
    if (!comment)
        return {};
    const TagLib::Ogg::FieldListMap fields = comment->fieldListMap();
    const auto field = fields.find("BPM");
    const std::string existing
        = field == fields.end() || field->second.isEmpty() ? "" : Shown(field->second.front());
    if (set)
        comment->addField("BPM", set->decimal, true); // replaces every BPM field
    return existing;
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
        [](unsigned char c) { return char(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return text;
}

// What a file's tag says, and whether a new BPM was saved.
struct Accessed {
    bool known = false; // a format that carries a BPM
    std::string existing;
    bool saved = false;
};

// The format, as the file's extension names it.
std::string KindOf(const std::string& path)
{
    const size_t dot = path.rfind('.');
    return dot == std::string::npos ? "" : Lower(path.substr(dot + 1));
}

// Reads the file's BPM and, with set, writes it; the format is kind's.
Accessed AccessIn(ShiftingStream& stream, const std::string& kind, const NewBpm* set)
{
    if (kind == "mp3") {
        TagLib::MPEG::File file(&stream, TagLib::ID3v2::FrameFactory::instance(), false);
        if (!file.isValid())
            return {};
        const std::string existing = Id3(file.ID3v2Tag(set != nullptr), set);
        return {true, existing,
            set
                && file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripNone,
                    VersionOf(file.ID3v2Tag()), TagLib::File::DoNotDuplicate)};
    }
    if (kind == "wav") {
        TagLib::RIFF::WAV::File file(&stream, false);
        if (!file.isValid())
            return {};
        const std::string existing = Id3(file.ID3v2Tag(), set);
        // Only the ID3 chunk is rewritten: saving the INFO list too would
        // move it, and the audio after it, to the end of the file.
        return {true, existing,
            set
                && file.save(TagLib::RIFF::WAV::File::ID3v2, TagLib::File::StripNone,
                    VersionOf(file.ID3v2Tag()))};
    }
    if (kind == "aif" || kind == "aiff") {
        TagLib::RIFF::AIFF::File file(&stream, false);
        if (!file.isValid())
            return {};
        const std::string existing = Id3(file.tag(), set);
        return {true, existing, set && file.save(VersionOf(file.tag()))};
    }
    if (kind == "flac") {
        TagLib::FLAC::File file(&stream, TagLib::ID3v2::FrameFactory::instance(), false);
        if (!file.isValid())
            return {};
        const std::string existing = Xiph(file.xiphComment(set != nullptr), set);
        return {true, existing, set && file.save()};
    }
    if (kind == "opus" || kind == "ogg" || kind == "oga") {
        if (kind != "opus") {
            TagLib::Ogg::Vorbis::File file(&stream, false);
            if (file.isValid()) {
                const std::string existing = Xiph(file.tag(), set);
                return {true, existing, set && file.save()};
            }
        }
        TagLib::Ogg::Opus::File file(&stream, false);
        if (!file.isValid())
            return {};
        const std::string existing = Xiph(file.tag(), set);
        return {true, existing, set && file.save()};
    }
    if (kind == "m4a" || kind == "mp4" || kind == "m4b") {
        TagLib::MP4::File file(&stream, false);
        if (!file.isValid() || !file.tag())
            return {};
        TagLib::MP4::Tag* tag = file.tag();
        const std::string existing
            = tag->contains("tmpo") ? std::to_string(tag->item("tmpo").toInt()) : "";
        if (set)
            tag->setItem("tmpo", TagLib::MP4::Item(set->whole));
        return {true, existing, set && file.save()};
    }
    return {};
}

Accessed Access(const std::string& path, const std::string& kind, const NewBpm* set)
{
    ShiftingStream stream(path.c_str(), set == nullptr);
    Accessed accessed = AccessIn(stream, kind, set);
    accessed.saved = accessed.saved && !stream.Failed(); // else the copy is not whole
    return accessed;
}

} // namespace

FileStamp StampOf(const std::string& path)
{
    struct stat status { };
    if (::stat(path.c_str(), &status) != 0)
        return {};
    return {std::uint64_t(status.st_dev), std::uint64_t(status.st_ino),
        std::int64_t(status.st_size),
        std::int64_t(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec};
}

std::string ReadBpm(const std::string& path)
{
    return Access(path, KindOf(path), nullptr).existing;
}

Written WriteBpm(
    const std::string& path, double bpm, const FileStamp& analysed, bool force, bool dryRun)
{
    Written result;
    if (!(bpm >= 1 && bpm <= 10000)) {
        result.reason = "no tempo a tag takes";
        return result;
    }
    NewBpm set;
    set.whole = int(std::lround(bpm));
    set.integer = std::to_string(set.whole);
    char decimal[32];
    const auto end
        = std::to_chars(decimal, decimal + sizeof decimal, bpm, std::chars_format::fixed, 2);
    set.decimal.assign(decimal, end.ptr); // never a decimal comma
    const std::string kind = KindOf(path);
    const Accessed now = Access(path, kind, nullptr);
    if (!now.known) {
        result.reason = "Beatwise writes no tag in this format";
        return result;
    }
    result.existing = now.existing;
    if (!result.existing.empty() && !force) {
        result.outcome = Written::Outcome::Kept;
        return result;
    }
    result.reason = dryRun ? WhyNotReplaceable(path, analysed)
                           : ReplaceWithChanged(path, analysed, [&](const std::string& copy) {
                                 return Access(copy, kind, &set).saved;
                             });
    if (result.reason.empty())
        result.outcome = Written::Outcome::Written;
    return result;
}

} // namespace tags
