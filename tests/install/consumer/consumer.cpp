// Prints the result line of a file, and how a missing file is told.
#include <cstdio>

#include <tonalyx/tonalyx.hpp>

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    const tonalyx::Report report = tonalyx::analyzeFile(argv[1]);
    std::printf("%s %s\n", tonalyx::resultLine(report).c_str(),
                tonalyx::verdictName(tonalyx::verdictOf(report, {.expect = 440})));
    const tonalyx::Report missing = tonalyx::analyzeFile("no-such.wav");
    std::printf("%d %s", static_cast<int>(missing.status), missing.messages.at(0).text.c_str());
    return 0;
}
