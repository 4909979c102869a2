#pragma once

#include <taglib/tfilestream.h>

namespace tags {

// A file as TagLib sees it, except that a tag grown or shrunk moves the rest
// of the file in steps of a megabyte: TagLib's own step is a kilobyte, which
// costs a song of full length tens of thousands of system calls.
class ShiftingStream : public TagLib::FileStream {
public:
    using TagLib::FileStream::FileStream;

    void insert(const TagLib::ByteVector& data, unsigned long start = 0,
        unsigned long replace = 0) override;
    void removeBlock(unsigned long start = 0, unsigned long length = 0) override;

    // Whether a move read less than was there: the file is then not whole.
    bool Failed() const { return m_failed; }

private:
    void Move(long from, long to, long count);

    bool m_failed = false;
};

} // namespace tags
