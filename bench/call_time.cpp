// call_time: the C++ calls that the Python module wraps, timed in process
// on files, for bench/python_speed.py.
//
//   call_time analyze|measure FILE...
//
// Runs the call once on every file (to warm the caches), then once more
// timed, and prints the mean time per file in microseconds: the wall
// clock's, then the process's CPU time (which others' load on the machine
// changes less).
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>

#include "api/api.h"

int main(int argc, char** argv)
{
    const std::string call = argc > 2 ? argv[1] : "";
    if (call != "analyze" && call != "measure") {
        std::fprintf(stderr, "usage: call_time analyze|measure FILE...\n");
        return 2;
    }
    auto runAll = [&] {
        unsigned answers = 0;  // used, so that no call is left out
        for (int i = 2; i < argc; ++i)
            answers += call == "analyze" ? tonalyx::analyzeFile(argv[i]).bestFreq : tonalyx::measureFile(argv[i]).tone;
        return answers;
    };
    const unsigned warm = runAll();
    const auto begin = std::chrono::steady_clock::now();
    const std::clock_t cpuBegin = std::clock();
    const unsigned timed = runAll();
    const double cpu = static_cast<double>(std::clock() - cpuBegin) / CLOCKS_PER_SEC * 1e6;
    const std::chrono::duration<double, std::micro> wall = std::chrono::steady_clock::now() - begin;
    std::printf("%.2f %.2f\n", wall.count() / (argc - 2), cpu / (argc - 2));
    return warm == timed ? 0 : 1;
}
