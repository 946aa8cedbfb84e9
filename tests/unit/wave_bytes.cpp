#include "wave_bytes.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

void putLe(Bytes& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

void putTag(Bytes& out, const std::string& tag)
{
    for (size_t i = 0; i < 4; ++i)
        out.push_back(i < tag.size() ? static_cast<unsigned char>(tag[i]) : 0);
}

}  // namespace

Bytes buildWave(const WaveLayout& layout)
{
    const uint32_t dlength = layout.dlength.value_or(static_cast<uint32_t>(layout.data.size()));
    const uint32_t bytesPerFrame = layout.channels * (layout.bits / 8u);
    Bytes out;
    putTag(out, layout.riffTag);
    putLe(out, static_cast<uint32_t>(36 + layout.data.size()), 4);
    putTag(out, "WAVE");
    putTag(out, layout.subId);
    putLe(out, 16, 4);
    putLe(out, layout.format, 2);
    putLe(out, layout.channels, 2);
    putLe(out, layout.sampleFreq, 4);
    putLe(out, layout.sampleFreq * bytesPerFrame, 4);
    putLe(out, bytesPerFrame, 2);
    putLe(out, layout.bits, 2);
    putTag(out, layout.dataId);
    putLe(out, dlength, 4);
    out.insert(out.end(), layout.data.begin(), layout.data.end());
    return out;
}

Bytes encodeSlots(const std::vector<int>& slots, int bytesPerSlot)
{
    Bytes out;
    for (const int slot : slots)
        putLe(out, static_cast<uint32_t>(slot), bytesPerSlot);
    return out;
}

TempWave::TempWave(const Bytes& bytes)
{
    char name[] = "/tmp/tonalyx-test-XXXXXX";
    const int writeFd = mkstemp(name);
    EXPECT_GE(writeFd, 0);
    path_ = name;
    EXPECT_EQ(write(writeFd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    close(writeFd);
    fd_ = open(name, O_RDONLY);
}

TempWave::~TempWave()
{
    close(fd_);
    unlink(path_.c_str());
}

Printed capture(const std::function<void()>& call)
{
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    call();
    std::fflush(stdout);
    Printed printed;
    printed.out = testing::internal::GetCapturedStdout();
    printed.err = testing::internal::GetCapturedStderr();
    return printed;
}
