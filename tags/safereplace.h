#pragma once

#include "tags/bpmtag.h"

#include <functional>
#include <string>

namespace tags {

// Why a file cannot be replaced as it stands (read-only, in a read-only
// folder, changed since it was analysed, gone); empty when it can.
std::string WhyNotReplaceable(const std::string& path, const FileStamp& analysed);

// Replaces the file with a changed copy of it: the copy is made beside it
// with the original's permissions, owner and extended attributes, changed
// by change (false: not changed), flushed to disk, and only then renamed
// over the original, which is left untouched on any failure. Empty on
// success, otherwise why.
std::string ReplaceWithChanged(const std::string& path, const FileStamp& analysed,
    const std::function<bool(const std::string& copy)>& change);

} // namespace tags
