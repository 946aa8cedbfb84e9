// The measurement of bytes a caller hands over piece by piece: a browser's
// file read in slices, a socket, a decompressor. The caller's two
// functions serve as a ByteSource.
#include "core/c_measurement_handle.h"
#include "tonalyx/tonalyx.h"
#include "tonalyx/tonalyx.hpp"

namespace {

class CallbackSource final : public tonalyx::ByteSource {
public:
    CallbackSource(long (*read)(void*, void*, size_t), int (*seek)(void*, uint64_t), void* user)
        : read_(read), seek_(seek), user_(user)
    {
    }
    long read(void* buffer, std::size_t count) override
    {
        if (!read_)
            return -1;
        const long got = read_(user_, buffer, count);
        // More than was asked for would overrun the buffer already; take it
        // as the caller's error rather than go on.
        return got < 0 || static_cast<unsigned long>(got) > count ? -1 : got;
    }
    bool seek(std::uint64_t offset) override { return seek_ && seek_(user_, offset) != 0; }
    std::string errorText() const override { return read_ ? "the read callback failed" : "no read callback"; }

private:
    long (*read_)(void*, void*, size_t);
    int (*seek_)(void*, uint64_t);
    void* user_;
};

}  // namespace

extern "C" tonalyx_measurement* tonalyx_measure_callbacks(long (*read)(void* user, void* buffer, size_t count),
                                                          int (*seek)(void* user, uint64_t offset), void* user,
                                                          const char* name, unsigned flags)
{
    try {
        CallbackSource source(read, seek, user);
        return wrapMeasurement(tonalyx::measure(source, name ? name : "", cMeasureOptions(flags)));
    } catch (...) {
        return nullptr;  // out of memory
    }
}
