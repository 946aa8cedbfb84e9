// Prints the result line of a file and how a missing file is told, through
// the header-only C++ layer.
#include <cstdio>

#include <tonalyx/tonalyx.hpp>

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    const tonalyx::Report report = tonalyx::analyzeFile(argv[1]);
    std::printf("%s %s %zu\n", report.resultLine().c_str(), report.verdict(0.1, 440).c_str(),
                tonalyx::candidates().size());
    const tonalyx::Report missing = tonalyx::analyzeFile("no-such.wav");
    std::printf("%s %s", tonalyx::statusName(missing.status()), missing.messages().at(0).text.c_str());
    return 0;
}
