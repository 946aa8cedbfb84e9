// Runs on bytes a caller hands over piece by piece: a browser's file read
// in slices, a socket, a decompressor. The caller's functions serve as a
// ByteSource; without a seek function the input is read forward only.
#include <cstddef>

#include "core/c_handles.h"

namespace {

using tonalyx::detail::capi::orNullWhenOutOfMemory;

class CallbackSource final : public tonalyx::ByteSource {
public:
    CallbackSource(tonalyx_read_fn read, tonalyx_seek_fn seek, void* user) : read_(read), seek_(seek), user_(user) {}
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
    tonalyx_read_fn read_;
    tonalyx_seek_fn seek_;
    void* user_;
};

// The members of `io` that its struct_size covers; the others stay unset,
// so a caller built against an older, shorter tonalyx_io is read right.
CallbackSource sourceOf(const tonalyx_io* io)
{
    tonalyx_io known{sizeof(tonalyx_io), nullptr, nullptr, nullptr};
    const auto covers = [io](std::size_t end) { return io && io->struct_size >= end; };
    if (covers(offsetof(tonalyx_io, read) + sizeof io->read))
        known.read = io->read;
    if (covers(offsetof(tonalyx_io, seek) + sizeof io->seek))
        known.seek = io->seek;
    if (covers(offsetof(tonalyx_io, user) + sizeof io->user))
        known.user = io->user;
    return CallbackSource(known.read, known.seek, known.user);
}

}  // namespace

extern "C" {

tonalyx_report* tonalyx_analyze_io(const tonalyx_io* io, const char* name, const tonalyx_settings* settings)
{
    return orNullWhenOutOfMemory([&] {
        CallbackSource source = sourceOf(io);
        return tonalyx::detail::capi::wrapReport(
            tonalyx::analyze(source, name ? name : "", tonalyx::detail::capi::settingsOrDefaults(settings).settings));
    });
}

tonalyx_report* tonalyx_analyze_callbacks(tonalyx_read_fn read, tonalyx_seek_fn seek, void* user, const char* name,
                                          const tonalyx_settings* settings)
{
    const tonalyx_io io{sizeof io, read, seek, user};
    return tonalyx_analyze_io(&io, name, settings);
}

tonalyx_measurement* tonalyx_measure_io(const tonalyx_io* io, const char* name, const tonalyx_settings* settings)
{
    return orNullWhenOutOfMemory([&] {
        CallbackSource source = sourceOf(io);
        return tonalyx::detail::capi::wrapMeasurement(
            tonalyx::measure(source, name ? name : "", tonalyx::detail::capi::settingsOrDefaults(settings).measure));
    });
}

tonalyx_measurement* tonalyx_measure_callbacks(tonalyx_read_fn read, tonalyx_seek_fn seek, void* user,
                                               const char* name, unsigned flags)
{
    tonalyx_settings settings{};
    settings.measure.pictures = (flags & TONALYX_MEASURE_PICTURES) != 0;
    const tonalyx_io io{sizeof io, read, seek, user};
    return tonalyx_measure_io(&io, name, &settings);
}

}  // extern "C"
