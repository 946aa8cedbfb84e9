#include "fuzz_input.h"

#include <string>

#include "cli/options.h"
#include "cli/sample_listing.h"
#include "common/exit_status.h"
#include "api/api.h"

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
    void write(tonalyx::OutputKind, std::string_view text) override { bytes += text.size(); }
    void message(const tonalyx::Message& message) override { bytes += message.text.size(); }
    size_t bytes = 0;
};

// The listings the console prints, into another sink.
class ListingSink final : public tonalyx::OutputSink {
public:
    ListingSink(tonalyx::OutputSink& into, bool gnuplot, bool valuelist)
        : into_(into), gnuplot_(gnuplot), valuelist_(valuelist)
    {
    }
    void write(tonalyx::OutputKind kind, std::string_view text) override { into_.write(kind, text); }
    void message(const tonalyx::Message& message) override { into_.message(message); }
    void samples(const double* values, uint32_t count) override
    {
        listSamples(values, count, gnuplot_, valuelist_, [this](std::string_view text) {
            into_.write(tonalyx::OutputKind::result, text);
        });
    }

private:
    tonalyx::OutputSink& into_;
    bool gnuplot_, valuelist_;
};

}  // namespace

int runFuzzInput(const uint8_t* data, size_t size)
{
    CountingSink sink;
    return runFuzzInput(data, size, sink);
}

int runFuzzInput(const uint8_t* data, size_t size, tonalyx::OutputSink& into)
{
    if (size < 3)
        return -1;
    const uint8_t flags = data[0];
    const unsigned lengthCode = data[1] | data[2] << 8;
    tonalyx::Settings settings;
    settings.trace = flags & 1;
    settings.keepCandidates = false;
    ListingSink sink(into, flags & 2, flags & 4);
    if (lengthCode != 0) {
        std::string value = std::to_string(lengthCode - 1);
        if (flags & 8)
            value.insert(value.begin(), '-');
        settings.length = tonalyx::lengthFromText(value.c_str());
    }
    tonalyx::Report report;
    if (flags & 16) {
        UnseekableSource source(data + 3, size - 3);
        report = tonalyx::analyze(source, "fuzz", settings, &sink);
    } else {
        tonalyx::MemorySource source(data + 3, size - 3);
        report = tonalyx::analyze(source, "fuzz", settings, &sink);
    }
    return tonalyx::console::exitStatusOf(static_cast<int>(report.status));
}
