#include "wave_bytes.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

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
