// A stand-in for `tonalyx -hz -i FILE` until the console has the option:
// the messages on their streams, the measurement line, and the exit status
// 0 with a tone, 1 without, else the status of the failure.
#include <cstdio>
#include <cstring>
#include <string>

#include "tonalyx/tonalyx.hpp"

int main(int argc, char** argv)
{
    if (argc != 4 || std::strcmp(argv[1], "-hz") != 0 || std::strcmp(argv[2], "-i") != 0)
        return 255;
    const tonalyx::Measurement result = tonalyx::measureFile(argv[3]);
    for (const tonalyx::Message& message : result.messages)
        std::fputs(message.text.c_str(), message.stream == tonalyx::Stream::out ? stdout : stderr);
    if (result.status != tonalyx::Status::ok)
        return static_cast<int>(result.status);
    const std::string line = tonalyx::measurementLine(result) + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    return result.hasTone ? 0 : 1;
}
