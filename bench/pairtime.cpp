// pairtime: runs a reference command and a measured command alternately and
// reports the median wall time of each, the median of the pairwise ratios
// (measured / reference, pair by pair, so that a slow moment of the machine
// hits both sides) and the peak resident memory of each.
//
//   pairtime PAIRS REFERENCE-COMMAND... -- MEASURED-COMMAND...
//
// Prints: reference_median_us measured_median_us median_ratio reference_peak_kib measured_peak_kib
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

struct Sample {
    double micros;
    long peakKib;
};

Sample runOnce(std::vector<char*>& argv)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    timespec begin{}, end{};
    clock_gettime(CLOCK_MONOTONIC, &begin);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        std::perror("posix_spawn");
        std::exit(2);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    clock_gettime(CLOCK_MONOTONIC, &end);
    posix_spawn_file_actions_destroy(&actions);
    const double micros = (end.tv_sec - begin.tv_sec) * 1e6 + (end.tv_nsec - begin.tv_nsec) / 1e3;
    return {micros, usage.ru_maxrss};
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: pairtime ROUNDS REFERENCE... -- MEASURED...\n");
        return 2;
    }
    const int rounds = std::atoi(argv[1]);
    std::vector<char*> reference, measured;
    int i = 2;
    for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i)
        reference.push_back(argv[i]);
    for (++i; i < argc; ++i)
        measured.push_back(argv[i]);
    reference.push_back(nullptr);
    measured.push_back(nullptr);

    std::vector<double> referenceTimes, measuredTimes, ratios;
    long referencePeak = 0, measuredPeak = 0;
    for (int round = 0; round < rounds; ++round) {
        const Sample a = runOnce(reference);
        const Sample b = runOnce(measured);
        referenceTimes.push_back(a.micros);
        measuredTimes.push_back(b.micros);
        ratios.push_back(b.micros / a.micros);
        referencePeak = std::max(referencePeak, a.peakKib);
        measuredPeak = std::max(measuredPeak, b.peakKib);
    }
    std::printf("%.0f %.0f %.3f %ld %ld\n", median(referenceTimes), median(measuredTimes), median(ratios), referencePeak,
                measuredPeak);
    return 0;
}
