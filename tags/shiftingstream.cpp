#include "tags/shiftingstream.h"

#include <algorithm>

namespace tags {

namespace {

constexpr long kStep = 1 << 20;

} // namespace

void ShiftingStream::insert(
    const TagLib::ByteVector& data, unsigned long start, unsigned long replace)
{
    const long size = length();
    const long tail = long(start) + long(replace); // the first byte that moves
    const long shift = long(data.size()) - long(replace);
    if (readOnly() || shift == 0 || tail > size || size < 0) {
        TagLib::FileStream::insert(data, start, replace);
        return;
    }
    Move(tail, tail + shift, size - tail);
    if (shift < 0)
        truncate(size + shift);
    seek(long(start));
    writeBlock(data);
}

void ShiftingStream::removeBlock(unsigned long start, unsigned long length)
{
    const long size = this->length();
    const long tail = long(start) + long(length);
    if (readOnly() || length == 0 || tail > size) {
        TagLib::FileStream::removeBlock(start, length);
        return;
    }
    Move(tail, long(start), size - tail);
    truncate(size - long(length));
}

// Moves count bytes from one offset to another, the far end first when they
// move up, so that no byte is overwritten before it is read.
void ShiftingStream::Move(long from, long to, long count)
{
    for (long done = 0; done < count && !m_failed;) {
        const long step = std::min(kStep, count - done);
        const long at = to > from ? count - done - step : done;
        seek(from + at);
        const TagLib::ByteVector block = readBlock(static_cast<unsigned long>(step));
        m_failed = long(block.size()) != step;
        seek(to + at);
        writeBlock(block);
        done += step;
    }
}

} // namespace tags
