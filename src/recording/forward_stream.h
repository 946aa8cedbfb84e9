// Forward-only reading from a byte source: whole counts of bytes, skips by
// reading (a pipe cannot seek), and the first read error kept.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tonalyx/tonalyx.hpp"

namespace tonalyx::recording {

class ForwardStream {
public:
    explicit ForwardStream(ByteSource& source) : source_(source) {}

    // Up to `count` bytes, fewer only at the end of the input or on an
    // error (failed() then tells which).
    std::size_t read(unsigned char* buffer, std::size_t count);
    // Drops up to `count` bytes, using `scratch` as room to read them into;
    // the number dropped (fewer at the end or on an error).
    std::uint64_t skip(std::uint64_t count, unsigned char* scratch, std::size_t scratchSize);

    bool failed() const { return failed_; }
    bool atEnd() const { return atEnd_; }
    ByteSource& source() const { return source_; }

private:
    ByteSource& source_;
    bool failed_ = false;
    bool atEnd_ = false;
};

}  // namespace tonalyx::recording
