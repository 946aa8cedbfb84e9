#include "cli/run.h"

#ifdef _WIN32
#include "common/platform.h"

// Windows hands over the command line in UTF-16; the run takes UTF-8, so
// that a file name outside ASCII opens and is printed as on other systems.
int wmain(int argc, wchar_t** argv)
{
    const std::vector<std::string> arguments = tonalyx::detail::utf8Arguments(argc, argv);
    std::vector<const char*> pointers;
    for (const std::string& argument : arguments)
        pointers.push_back(argument.c_str());
    return runTonalyx(argc, pointers.data());
}
#else
int main(int argc, char** argv)
{
    return runTonalyx(argc, argv);
}
#endif
