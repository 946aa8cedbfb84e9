// wavegen: writes RIFF/WAVE files for the examples, the tests, the fuzz
// corpora and the benchmarks (the bytes come from wave_writer.h).
//
//   wavegen (--sine K | --cosine K | --const V) --slots N [--amp A]
//   wavegen --values V1,V2,...
//   wavegen --data HEX
//   samples: [--bits B] [--channels C] [--rate R] [--phase DEG] [--lead L]
//            [--add K:A]... [--gate ON:OFF] [--float]
//   header:  [--format TAG] [--block-align N] [--data-size N] [--riff-size N]
//   chunks:  [--container RIFF|RIFX|RF64|BW64] [--extensible VALID:SUBTAG]
//            [--fmt-extra HEX] [--chunk ID[=HEX]]...
//   [-o FILE]
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
// running sine has). --data gives the data chunk's bytes in hex instead
// (B, any number then, only goes into the header).
//
// The file is the canonical 44-byte header and the data, unless a chunk
// option is given: then the chunks are written one by one, each padded to
// even, in the container's byte order (sizes and fields; the data as
// given), an RF64 or BW64 file with a ds64 chunk first; --chunk adds a
// chunk of those hex bytes where it stands, and "--chunk fmt" and
// "--chunk data" place the format and the data (else they follow the
// others). --data-size is the size the data chunk declares (in the ds64
// chunk for RF64 and BW64, whose data chunk declares 0xFFFFFFFF);
// --riff-size the RIFF size of the canonical header.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "wave_writer.h"

namespace {

using namespace wavegen;

[[noreturn]] void fail(const char* message)
{
    std::fprintf(stderr, "wavegen: %s\n", message);
    std::exit(2);
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

Bytes parseHex(const char* text)
{
    Bytes bytes;
    for (; text[0] && text[1]; text += 2) {
        const char pair[3] = {text[0], text[1], 0};
        char* end = nullptr;
        bytes.push_back(static_cast<unsigned char>(std::strtoul(pair, &end, 16)));
        if (*end)
            break;
    }
    if (*text)
        fail("hex bytes are pairs of hex digits");
    return bytes;
}

// "X:Y" as two numbers.
std::pair<double, double> parsePair(const char* text)
{
    char* end = nullptr;
    const double first = std::strtod(text, &end);
    if (*end != ':')
        fail("--add, --gate and --extensible take two numbers as X:Y");
    return {first, std::strtod(end + 1, nullptr)};
}

struct Options {
    Tone tone;
    bool shaped = false;  // --sine, --cosine or --const
    long slots = -1, lead = 0;
    std::vector<long> values;
    std::optional<Bytes> data;
    bool floats = false;
    int bits = 16, channels = 1, rate = 44100;
    std::optional<int> format;
    std::optional<uint16_t> blockAlign;
    std::optional<uint32_t> dataSize, riffSize;
    // Chunk by chunk: the container, the extensible format (valid bits,
    // sub-format tag), bytes after the 16 of the format, the chunks.
    bool chunked = false;
    std::string container = "RIFF";
    std::optional<std::pair<double, double>> extensible;
    Bytes fmtExtra;
    std::vector<Chunk> chunks;
    const char* output = nullptr;
};

Options parse(int argc, char** argv)
{
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--float") {
            o.floats = true;
            continue;
        }
        if (i + 1 >= argc)
            fail("every option takes a value");
        const char* value = argv[++i];
        const bool chunkOption = arg == "--container" || arg == "--extensible" || arg == "--fmt-extra" || arg == "--chunk";
        o.chunked |= chunkOption;
        if (arg == "--sine" || arg == "--cosine") {
            o.shaped = true;
            o.tone.cosine = arg == "--cosine";
            o.tone.periods = std::atof(value);
        } else if (arg == "--const") {
            o.shaped = true;
            o.tone.constant = std::atof(value);
        } else if (arg == "--values")
            o.values = parseValues(value);
        else if (arg == "--data")
            o.data = parseHex(value);
        else if (arg == "--slots")
            o.slots = std::atol(value);
        else if (arg == "--amp")
            o.tone.amplitude = std::atof(value);
        else if (arg == "--bits")
            o.bits = std::atoi(value);
        else if (arg == "--channels")
            o.channels = std::atoi(value);
        else if (arg == "--rate")
            o.rate = std::atoi(value);
        else if (arg == "--phase")
            o.tone.phaseDegrees = std::atof(value);
        else if (arg == "--lead")
            o.lead = std::atol(value);
        else if (arg == "--add")
            o.tone.added.push_back(parsePair(value));
        else if (arg == "--gate") {
            const auto [on, off] = parsePair(value);
            o.tone.gateOn = static_cast<long>(on);
            o.tone.gateOff = static_cast<long>(off);
        } else if (arg == "--format")
            o.format = static_cast<int>(std::strtol(value, nullptr, 0));
        else if (arg == "--block-align")
            o.blockAlign = static_cast<uint16_t>(std::atol(value));
        else if (arg == "--data-size")
            o.dataSize = static_cast<uint32_t>(std::strtoul(value, nullptr, 0));
        else if (arg == "--riff-size")
            o.riffSize = static_cast<uint32_t>(std::strtoul(value, nullptr, 0));
        else if (arg == "--container")
            o.container = value;
        else if (arg == "--extensible")
            o.extensible = parsePair(value);
        else if (arg == "--fmt-extra")
            o.fmtExtra = parseHex(value);
        else if (arg == "--chunk") {
            const char* equals = std::strchr(value, '=');
            const std::string id = equals ? std::string(value, equals) : std::string(value);
            if (id.size() > 4)
                fail("--chunk takes an ID of four characters at most");
            o.chunks.push_back({id, equals ? parseHex(equals + 1) : Bytes{}, {}});
        } else if (arg == "-o")
            o.output = value;
        else
            fail("unknown option");
    }
    return o;
}

// The data chunk's bytes: as given, or the slots encoded.
Bytes dataOf(Options& o)
{
    if (o.data)
        return *o.data;
    o.values.insert(o.values.begin(), static_cast<std::size_t>(std::max(0L, o.lead)), 0);
    if (o.shaped) {
        if (o.slots < 0)
            fail("--slots is needed with --sine, --cosine and --const");
        o.tone.slots = o.slots;
        const std::vector<long> tone = toneSlots(o.tone);
        o.values.insert(o.values.end(), tone.begin(), tone.end());
    }
    if (o.bits < 8 || o.bits > 32 || o.bits % 8 != 0)
        fail("--bits takes 8, 16, 24 or 32");
    if (!o.floats)
        return encodeSlots(o.values, o.bits / 8);
    o.bits = 32;
    Bytes out;
    for (const long v : o.values) {
        const float f = static_cast<float>(static_cast<double>(v) / 32768.0);
        uint32_t bitsOfF;
        std::memcpy(&bitsOfF, &f, sizeof bitsOfF);
        const Bytes bytes = le(bitsOfF, 4);
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    return out;
}

Bytes chunkedFile(const Options& o, const Bytes& data)
{
    const bool big = o.container == "RIFX", wide = o.container == "RF64" || o.container == "BW64";
    const auto channels = static_cast<uint16_t>(o.channels);
    const auto rate = static_cast<uint32_t>(o.rate);
    const auto bits = static_cast<uint16_t>(o.bits);
    const Chunk fmt = o.extensible ? fmtExtensible(channels, rate, bits, static_cast<uint16_t>(o.extensible->first),
                                                   static_cast<uint16_t>(o.extensible->second), big)
                                   : fmtPlain(static_cast<uint16_t>(o.format.value_or(o.floats ? 3 : 1)), channels,
                                              rate, bits, o.fmtExtra, big, o.blockAlign);
    const uint64_t dataSize = o.dataSize.value_or(static_cast<uint32_t>(data.size()));
    const Chunk dataChunk{"data", data, wide ? std::optional<uint32_t>(0xFFFFFFFFu) : o.dataSize};
    std::vector<Chunk> chunks;
    if (wide)
        chunks.push_back(ds64(dataSize, dataSize / std::max<uint64_t>(1, channels * ((bits + 7u) / 8u))));
    bool fmtPlaced = false, dataPlaced = false;
    for (const Chunk& chunk : o.chunks) {
        const bool isFmt = chunk.id == "fmt" && chunk.payload.empty(), isData = chunk.id == "data" && chunk.payload.empty();
        chunks.push_back(isFmt ? fmt : isData ? dataChunk : chunk);
        fmtPlaced |= isFmt;
        dataPlaced |= isData;
    }
    if (!fmtPlaced)
        chunks.push_back(fmt);
    if (!dataPlaced)
        chunks.push_back(dataChunk);
    return riffFile(chunks, o.container);
}

}  // namespace

int main(int argc, char** argv)
{
    Options o = parse(argc, argv);
    const Bytes data = dataOf(o);
    WaveLayout canonical;
    canonical.format = static_cast<uint16_t>(o.format.value_or(o.floats ? 3 : 1));
    canonical.channels = static_cast<uint16_t>(o.channels);
    canonical.sampleFreq = static_cast<uint32_t>(o.rate);
    canonical.bits = static_cast<uint16_t>(o.bits);
    canonical.dlength = o.dataSize;
    canonical.riffSize = o.riffSize;
    canonical.blockAlign = o.blockAlign;
    canonical.data = data;
    const Bytes file = o.chunked ? chunkedFile(o, data) : buildWave(canonical);
    FILE* out = o.output ? std::fopen(o.output, "wb") : stdout;
    if (!out)
        fail("cannot open the output file");
    if (std::fwrite(file.data(), 1, file.size(), out) != file.size() || std::fclose(out) != 0)
        fail("cannot write the output");
    return 0;
}
