// Tags as a module of their own, loaded when a tag is first read or
// written: TagLib stays out of the program's start.
#include "tags/bpmtag.h"

#define BEATWISE_EXPORT extern "C" __attribute__((visibility("default")))

BEATWISE_EXPORT tags::FileStamp beatwise_stamp_of(const std::string& path)
{
    return tags::StampOf(path);
}

BEATWISE_EXPORT std::string beatwise_read_bpm(const std::string& path)
{
    return tags::ReadBpm(path);
}

BEATWISE_EXPORT tags::Written beatwise_write_bpm(
    const std::string& path, double bpm, const tags::FileStamp& analysed, bool force, bool dryRun)
{
    return tags::WriteBpm(path, bpm, analysed, force, dryRun);
}
