// Forward-only reading from a byte source: whole counts of bytes, skips by
// seeking where the source can and by reading where it cannot (a pipe),
// and the first read error kept.
#pragma once

#include <cstddef>
#include <cstdint>

#include "api/api.h"

namespace tonalyx::detail::recording {

class ForwardStream {
public:
    explicit ForwardStream(ByteSource& source) : source_(source) {}

    // Up to `count` bytes, fewer only at the end of the input or on an
    // error (failed() then tells which).
    std::size_t read(unsigned char* buffer, std::size_t count);
    // Moves `count` bytes on. Skips longer than `scratchSize` seek, once the
    // source takes a seek (past the end of the input too: the next read then
    // finds the end); shorter ones, and all where the source cannot seek,
    // are read into `scratch`.
    void skip(std::uint64_t count, unsigned char* scratch, std::size_t scratchSize);

    std::uint64_t position() const { return position_; }
    bool failed() const { return failed_; }
    bool atEnd() const { return atEnd_; }
    ByteSource& source() const { return source_; }

private:
    ByteSource& source_;
    std::uint64_t position_ = 0;  // bytes from the start of the input
    bool canSeek_ = true;         // until a seek is refused
    bool failed_ = false;
    bool atEnd_ = false;
};

}  // namespace tonalyx::detail::recording
