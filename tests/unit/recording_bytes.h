// A byte source for the recording reader's tests that delivers bytes as a
// file, a pipe or a failing device does (the files come from
// wave_writer.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "api/api.h"
#include "wave_writer.h"

using namespace wavegen;

// Bytes in memory, served in pieces of at most `piece` bytes. Seeking is
// counted, and refused unless `seekable` (a file rather than a pipe).
// After `failAt` bytes every read fails.
class TestSource final : public tonalyx::ByteSource {
public:
    explicit TestSource(const Bytes& bytes, size_t piece = SIZE_MAX, size_t failAt = SIZE_MAX, bool seekable = false)
        : bytes_(bytes), piece_(piece), failAt_(failAt), seekable_(seekable)
    {
    }
    long read(void* buffer, std::size_t count) override;
    bool seek(std::uint64_t offset) override;
    std::string errorText() const override { return "device gone"; }

    int seeks = 0;
    size_t delivered = 0;  // bytes handed out by read()
    int endlessFill = -1;  // 0 to 255: after the bytes, this byte without end
    size_t failAfter = SIZE_MAX;    // once this many bytes are delivered, every read fails
    size_t shrinkAfter = SIZE_MAX;  // once this many are delivered, the bytes end halfway

private:
    const Bytes& bytes_;
    size_t piece_;
    size_t failAt_;
    bool seekable_;
    size_t at_ = 0;
};
