// Test helpers: WAVE files as bytes (canonical or broken on purpose), a
// temporary file that holds them open, and capture of what a call prints.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

struct WaveLayout {
    std::string riffTag = "RIFF";
    std::string subId = "fmt ";
    uint16_t format = 1;
    uint16_t channels = 1;
    uint32_t sampleFreq = 44100;
    uint16_t bits = 16;
    std::string dataId = "data";
    std::optional<uint32_t> dlength;  // defaults to data.size()
    Bytes data;
};

// The 44-byte canonical header followed by layout.data.
Bytes buildWave(const WaveLayout& layout);

// Slots as little-endian integers of `bytesPerSlot` bytes each.
Bytes encodeSlots(const std::vector<int>& slots, int bytesPerSlot = 2);

// A file in a temporary folder, open read-only for the test's lifetime.
class TempWave {
public:
    explicit TempWave(const Bytes& bytes);
    ~TempWave();
    TempWave(const TempWave&) = delete;
    TempWave& operator=(const TempWave&) = delete;
    int fd() const { return fd_; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
    int fd_ = -1;
};

struct Printed {
    std::string out;
    std::string err;
};

// Runs `call` and returns what it printed on standard output and error.
Printed capture(const std::function<void()>& call);
