// measure_time: the time of tonalyx::measure in process, on recordings read
// into memory once (no file system, no process start in the figure).
//
//   measure_time RUNS FILE...
//
// For each file, after one run to warm the caches, RUNS timed runs of
// measure(MemorySource): prints the file, the median and the fastest run
// in milliseconds, and the measurement's line.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "api/api.h"

namespace {

bool readWhole(const char* path, std::vector<char>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

double millisecondsOf(const std::vector<char>& bytes, tonalyx::Measurement& result)
{
    const auto begin = std::chrono::steady_clock::now();
    tonalyx::MemorySource source(bytes.data(), bytes.size());
    result = tonalyx::measure(source, "recording");
    const auto end = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::milli>(end - begin).count();
}

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 2 ? std::atoi(argv[1]) : 0;
    if (runs < 1) {
        std::fprintf(stderr, "usage: measure_time RUNS FILE...\n");
        return 2;
    }
    int status = 0;
    for (int i = 2; i < argc; ++i) {
        std::vector<char> bytes;
        if (!readWhole(argv[i], bytes)) {
            std::fprintf(stderr, "measure_time: cannot read %s\n", argv[i]);
            status = 1;
            continue;
        }
        tonalyx::Measurement result;
        millisecondsOf(bytes, result);
        std::vector<double> times;
        for (int run = 0; run < runs; ++run)
            times.push_back(millisecondsOf(bytes, result));
        std::sort(times.begin(), times.end());
        std::printf("%s median_ms=%.3f min_ms=%.3f runs=%d %s\n", argv[i], times[times.size() / 2], times.front(),
                    runs, tonalyx::measurementLine(result).c_str());
    }
    return status;
}
