// The library's own printf against the C library's in the C locale, for
// the conversions the run's texts use; and a whole run's text under a
// decimal-comma locale.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <string>

#include "common/text_format.h"
#include "api/api.h"
#include "wave_bytes.h"

using tonalyx::detail::formatText;

namespace {

template <class... Arguments>
std::string printed(const char* format, Arguments... arguments)
{
    char text[512];
    std::snprintf(text, sizeof text, format, arguments...);
    return text;
}

// The text with the digits of its time line left out ("time=").
std::string withoutTime(std::string text)
{
    const std::size_t at = text.find("\ntime=");
    if (at != std::string::npos) {
        const std::size_t digits = at + 6;
        text.erase(digits, text.find('\n', digits) - digits);
    }
    return text;
}

bool trySetCommaLocale()
{
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"})
        if (std::setlocale(LC_ALL, name) && *std::localeconv()->decimal_point == ',')
            return true;
    return false;
}

// A locale whose decimal point is a comma, set for all categories: an
// installed one, else one made by localedef in a temporary folder; false
// when neither can be had.
bool setCommaLocale()
{
    if (trySetCommaLocale())
        return true;
    const auto folder = std::filesystem::temp_directory_path() / "tonalyx-locale";
    const std::string make = "localedef -i de_DE -f UTF-8 '" + folder.string() + "/de_DE.UTF-8' >/dev/null 2>&1";
    std::filesystem::create_directories(folder);
    if (std::system(make.c_str()) == 0 && setenv("LOCPATH", folder.c_str(), 1) == 0 && trySetCommaLocale())
        return true;
    std::setlocale(LC_ALL, "C");
    return false;
}

}  // namespace

#define BOTH(...) {formatText(__VA_ARGS__), printed(__VA_ARGS__), #__VA_ARGS__}

TEST(TextFormat, AsPrintfInTheCLocale)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        std::string ours, theirs;
        const char* call;
    } cases[] = {
        BOTH("plain text, no conversion"),
        BOTH("%d %d %d %d", 0, -7, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()),
        BOTH("%u %u", 0u, std::numeric_limits<unsigned>::max()),
        BOTH("%x %x 0x%x", 0u, 0xdeadbeefu, 0xffffffffu),
        BOTH("[%04x] [%02x] [%04x]", 0x1fu, 0xfffu, 0xfffeu),
        BOTH("[%02u] [%04u] [%04u]", 7u, 440u, 123456u),
        BOTH("[%5d] [%-5d] [%05d] [%05d]", 42, 42, -42, 42),
        BOTH("[%s] [%6s] [%-6s] [%c] [%%]", "abc", "abc", "abc", 'x'),
        BOTH("%lf %lf %lf %lf", 0.0, -0.0, 0.4976105, 1.225),
        BOTH("%f %f %lf", 1e300, -1e-300, std::ldexp(1.0, 44) + 0.5),
        BOTH("[%7.3lf] [%7.3lf] [%7.3lf] [%7.3lf]", 0.338, -0.0001, -0.0005, 0.0005),
        BOTH("[%7.3lf] [%7.3lf] [%07.3lf] [%07.3lf]", 12345.6789, -1.9995, -1.5, inf),
        BOTH("[%7.3lf] [%-9.2lf] [%.0lf] [%.0lf] [%.1lf]", nan, -inf, 2.5, 3.5, 0.05),
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.ours, c.theirs) << c.call;
}

TEST(TextFormat, RunTextIsTheSameUnderADecimalCommaLocale)
{
    const Bytes file = buildWave({.data = encodeSlots(toneSlots({.periods = 440, .slots = 44100}))});
    const auto runText = [&file] {
        tonalyx::Settings settings;
        settings.keepTrace = true;
        tonalyx::MemorySource source(file.data(), file.size());
        const tonalyx::Report report = tonalyx::analyze(source, "mem.wav", settings);
        return withoutTime(report.trace) + tonalyx::resultLine(report);
    };
    const std::string plain = runText();
    // The step of candidate 100 is 44100 / (100 x 360) slots a degree.
    EXPECT_NE(plain.find("makeSine() step=1.225000\n"), std::string::npos);
    EXPECT_NE(plain.find("bestResult=0.497611 best matching freq.=440\n"), std::string::npos);
    if (!setCommaLocale())
        GTEST_SKIP() << "no decimal-comma locale installed or made (Debian: locales)";
    ASSERT_EQ(printed("%.1f", 1.5), "1,5");  // the locale is in force
    const std::string comma = runText();
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(comma, plain);
}
