#pragma once

#include "tags/bpmtag.h"

#include <QString>

#include <optional>
#include <string>

// The BPM tags of song files, through the tags module, loaded when a tag
// is first wanted. Each function is null-safe: without the module, there
// is no tag to read, and none is written, with the reason.
namespace songtags {

tags::FileStamp Stamp(const std::string& path);
// The file's BPM tag, as written there; empty for none.
QString Read(const std::string& path);
// Writes bpm into the file's tag, unless the file changed since analysed.
tags::Written WriteTag(
    const std::string& path, double bpm, const tags::FileStamp& analysed, bool force, bool dryRun);
// What became of the tag, as the batch command's line says it:
// "tag written", "tag kept: 127", "tag not written: REASON", or with
// dryRun "tag would be written"...
QString Write(const std::string& path, double bpm, const tags::FileStamp& analysed, bool force,
    bool dryRun, bool* failed);

} // namespace songtags
