// wavegen: writes canonical RIFF/WAVE files (44-byte header) for the
// examples and the tests.
//
//   wavegen (--sine K | --cosine K | --const V) --slots N [--amp A]
//   wavegen --values V1,V2,...
//   common: [--bits B] [--channels C] [--rate R] [--phase DEG] [--lead L]
//           [--add K:A]... [--gate ON:OFF] [--float] [-o FILE]
//
// --sine K writes slot n = A x sin(2 pi K n / N + phase) rounded to the
// nearest whole number, ties to even (A defaults to 10000, the phase to 0
// degrees): K periods across the N slots. --lead L writes L slots of 0
// before them. Slots are written as B-bit little-endian integers (default
// 16), or with --float as 32-bit floats of the value / 32768 (format tag
// 3); channels and rate only go into the header, slots are written in
// order. --add K:A adds a sine of K periods across the slots and amplitude
// A (a harmonic, a second tone; repeatable); --gate ON:OFF keeps ON slots
// of every ON + OFF and silences the rest (beeps, each at the phase the
// running sine has).
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

[[noreturn]] void fail(const char* message)
{
    std::fprintf(stderr, "wavegen: %s\n", message);
    std::exit(2);
}

void putLe(std::vector<unsigned char>& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

std::vector<long> parseValues(const char* text)
{
    std::vector<long> values;
    while (*text) {
        char* end = nullptr;
        values.push_back(std::strtol(text, &end, 10));
        if (end == text)
            fail("--values takes whole numbers separated by commas");
        text = *end == ',' ? end + 1 : end;
    }
    return values;
}

}  // namespace

int main(int argc, char** argv)
{
    enum { kNone, kSine, kCosine, kConst } shape = kNone;
    double periods = 0, amplitude = 10000, constant = 0, phaseDegrees = 0;
    long slots = -1, lead = 0;
    bool floats = false;
    int bits = 16, channels = 1, rate = 44100;
    std::vector<long> values;
    std::vector<std::pair<double, double>> added;  // periods, amplitude
    long gateOn = 0, gateOff = 0;
    const char* output = nullptr;

    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--float") {
            floats = true;
            continue;
        }
        if (i + 1 >= argc)
            fail("every option takes a value");
        const char* value = argv[++i];
        if (arg == "--sine" || arg == "--cosine") {
            shape = arg == "--sine" ? kSine : kCosine;
            periods = std::atof(value);
        } else if (arg == "--const") {
            shape = kConst;
            constant = std::atof(value);
        } else if (arg == "--values")
            values = parseValues(value);
        else if (arg == "--slots")
            slots = std::atol(value);
        else if (arg == "--amp")
            amplitude = std::atof(value);
        else if (arg == "--bits")
            bits = std::atoi(value);
        else if (arg == "--channels")
            channels = std::atoi(value);
        else if (arg == "--rate")
            rate = std::atoi(value);
        else if (arg == "--phase")
            phaseDegrees = std::atof(value);
        else if (arg == "--lead")
            lead = std::atol(value);
        else if (arg == "--add" || arg == "--gate") {
            char* end = nullptr;
            const double first = std::strtod(value, &end);
            if (*end != ':')
                fail("--add and --gate take two numbers as X:Y");
            const double second = std::strtod(end + 1, nullptr);
            if (arg == "--add")
                added.emplace_back(first, second);
            else {
                gateOn = static_cast<long>(first);
                gateOff = static_cast<long>(second);
            }
        }
        else if (arg == "-o")
            output = value;
        else
            fail("unknown option");
    }
    values.insert(values.begin(), static_cast<std::size_t>(lead < 0 ? 0 : lead), 0);
    if (shape != kNone) {
        if (slots < 0)
            fail("--slots is needed with --sine, --cosine and --const");
        const double phase = phaseDegrees * M_PI / 180.0;
        for (long n = 0; n < slots; ++n) {
            double v = constant;
            if (shape != kConst) {
                double angle = 2.0 * M_PI * periods * static_cast<double>(n) / static_cast<double>(slots);
                if (phaseDegrees != 0)
                    angle += phase;
                v = amplitude * (shape == kSine ? std::sin(angle) : std::cos(angle));
            }
            for (const auto& [k, a] : added)
                v += a * std::sin(2.0 * M_PI * k * static_cast<double>(n) / static_cast<double>(slots));
            if (gateOn > 0 && n % (gateOn + gateOff) >= gateOn)
                v = 0.0;
            values.push_back(std::lrint(v));  // nearest, ties to even
        }
    }
    if (bits < 8 || bits > 32 || bits % 8 != 0)
        fail("--bits takes 8, 16, 24 or 32");
    if (floats)
        bits = 32;

    const int bytesPerSlot = bits / 8;
    const uint32_t dataBytes = static_cast<uint32_t>(values.size() * bytesPerSlot);
    std::vector<unsigned char> file;
    file.insert(file.end(), {'R', 'I', 'F', 'F'});
    putLe(file, 36 + dataBytes, 4);
    file.insert(file.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    putLe(file, 16, 4);
    putLe(file, floats ? 3 : 1, 2);  // IEEE float or PCM
    putLe(file, static_cast<uint32_t>(channels), 2);
    putLe(file, static_cast<uint32_t>(rate), 4);
    putLe(file, static_cast<uint32_t>(rate * channels * bytesPerSlot), 4);
    putLe(file, static_cast<uint32_t>(channels * bytesPerSlot), 2);
    putLe(file, static_cast<uint32_t>(bits), 2);
    file.insert(file.end(), {'d', 'a', 't', 'a'});
    putLe(file, dataBytes, 4);
    for (const long v : values) {
        if (floats) {
            const float f = static_cast<float>(static_cast<double>(v) / 32768.0);
            uint32_t bitsOfF;
            std::memcpy(&bitsOfF, &f, sizeof bitsOfF);
            putLe(file, bitsOfF, 4);
        } else {
            putLe(file, static_cast<uint32_t>(v), bytesPerSlot);
        }
    }

    FILE* out = output ? std::fopen(output, "wb") : stdout;
    if (!out)
        fail("cannot open the output file");
    if (std::fwrite(file.data(), 1, file.size(), out) != file.size() || std::fclose(out) != 0)
        fail("cannot write the output");
    return 0;
}
