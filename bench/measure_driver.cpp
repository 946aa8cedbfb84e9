// A stand-in for `tonalyx -hz -i FILE` until the console has the option:
// prints the measurement line and exits 0 with a tone, 1 without, 2 when
// the file cannot be read. Reads the file itself, so it needs no more of
// the library than the measurement.
#include <cstdio>
#include <cstring>
#include <string>

#include "measure/measure_tone.h"
#include "recording/recording.h"

namespace {

class FileBytes final : public tonalyx::ByteSource {
public:
    explicit FileBytes(std::FILE* file) : file_(file) {}
    long read(void* buffer, std::size_t count) override
    {
        const std::size_t got = std::fread(buffer, 1, count, file_);
        return got == 0 && std::ferror(file_) ? -1 : static_cast<long>(got);
    }
    bool seek(std::uint64_t) override { return false; }

private:
    std::FILE* file_;
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4 || std::strcmp(argv[1], "-hz") != 0 || std::strcmp(argv[2], "-i") != 0)
        return 2;
    std::FILE* file = std::fopen(argv[3], "rb");
    if (!file)
        return 2;
    FileBytes source(file);
    tonalyx::recording::Recording recording;
    if (tonalyx::recording::readRecording(source, recording).status != tonalyx::Status::ok)
        return 2;
    tonalyx::Measurement result;
    tonalyx::measurement::measureTone(recording, result);
    const std::string line = tonalyx::measurementLine(result) + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    return result.hasTone ? 0 : 1;
}
