#include "fuzz_input.h"

#include <string>

#include "cli/options.h"
#include "tonalyx/tonalyx.hpp"

namespace {

// A pipe: the bytes in order, no going back.
class UnseekableSource final : public tonalyx::ByteSource {
public:
    UnseekableSource(const void* data, size_t size) : memory_(data, size) {}
    long read(void* buffer, size_t count) override { return memory_.read(buffer, count); }
    bool seek(uint64_t) override { return false; }

private:
    tonalyx::MemorySource memory_;
};

// Takes every piece, so that the listing and the trace are formatted.
class CountingSink final : public tonalyx::OutputSink {
public:
    void write(tonalyx::Stream, tonalyx::OutputKind, std::string_view text) override { bytes += text.size(); }
    size_t bytes = 0;
};

}  // namespace

int runFuzzInput(const uint8_t* data, size_t size)
{
    CountingSink sink;
    return runFuzzInput(data, size, sink);
}

int runFuzzInput(const uint8_t* data, size_t size, tonalyx::OutputSink& sink)
{
    if (size < 3)
        return -1;
    const uint8_t flags = data[0];
    const unsigned lengthCode = data[1] | data[2] << 8;
    tonalyx::Settings settings;
    settings.trace = flags & 1;
    settings.gnuplot = flags & 2;
    settings.valuelist = flags & 4;
    settings.keepCandidates = false;
    if (lengthCode != 0) {
        std::string value = std::to_string(lengthCode - 1);
        if (flags & 8)
            value.insert(value.begin(), '-');
        settings.length = static_cast<uint32_t>(parseLength(value.c_str()));
    }
    tonalyx::Report report;
    if (flags & 16) {
        UnseekableSource source(data + 3, size - 3);
        report = tonalyx::analyze(source, "fuzz", settings, &sink);
    } else {
        tonalyx::MemorySource source(data + 3, size - 3);
        report = tonalyx::analyze(source, "fuzz", settings, &sink);
    }
    return tonalyx::exitCode(report.status);
}
