// A byte source over the C interface's callbacks: the page reads a file in
// slices through them, other callers their own streams.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tonalyx/tonalyx.hpp"

namespace tonalyx {

class CallbackSource final : public ByteSource {
public:
    using ReadCallback = long (*)(void* user, void* buffer, std::size_t count);
    using SeekCallback = int (*)(void* user, std::uint64_t offset);

    CallbackSource(ReadCallback read, SeekCallback seek, void* user) : read_(read), seek_(seek), user_(user) {}
    // Without a read callback every read fails.
    long read(void* buffer, std::size_t count) override { return read_ ? read_(user_, buffer, count) : -1; }
    // Without a seek callback the source reads on, as a pipe does.
    bool seek(std::uint64_t offset) override { return seek_ && seek_(user_, offset) != 0; }
    std::string errorText() const override { return read_ ? "the read callback failed" : "no read callback"; }

private:
    ReadCallback read_;
    SeekCallback seek_;
    void* user_;
};

}  // namespace tonalyx
