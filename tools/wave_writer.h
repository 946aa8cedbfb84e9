// The project's one WAVE writer in C++: the bytes of RIFF/WAVE files,
// canonical (the 44-byte header) or chunk by chunk (RIFX, RF64, BW64, the
// extensible format, chunks anywhere), and the tones they hold. The
// command wavegen writes files with it for the scripts; the unit tests
// build their inputs with it. Header-only and standard library only, so a
// cross build compiles wavegen for the build machine from its one source.
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace wavegen {

using Bytes = std::vector<unsigned char>;

// `value` as `bytes` bytes, little-endian unless bigEndian.
inline Bytes field(uint64_t value, int bytes, bool bigEndian = false)
{
    Bytes out;
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<unsigned char>(value >> (8 * (bigEndian ? bytes - 1 - i : i))));
    return out;
}

inline Bytes le(uint64_t value, int bytes)
{
    return field(value, bytes, false);
}

inline Bytes concat(const std::vector<Bytes>& parts)
{
    Bytes out;
    for (const Bytes& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

// A chunk ID: four bytes, NUL-padded when shorter.
inline Bytes tag(const std::string& id)
{
    Bytes out(4, 0);
    for (std::size_t i = 0; i < 4 && i < id.size(); ++i)
        out[i] = static_cast<unsigned char>(id[i]);
    return out;
}

struct Chunk {
    std::string id;                    // four characters
    Bytes payload;                     // padded to even in the file
    std::optional<uint32_t> declared;  // the size field; payload.size() if unset
};

// `tag` ("RIFF", "RIFX", "RF64", "BW64"), the size of what follows,
// "WAVE", then the chunks; sizes big-endian for "RIFX".
inline Bytes riffFile(const std::vector<Chunk>& chunks, const std::string& riffTag = "RIFF")
{
    const bool bigEndian = riffTag == "RIFX";
    Bytes body = tag("WAVE");
    for (const Chunk& chunk : chunks) {
        body = concat({body, tag(chunk.id), field(chunk.declared.value_or(chunk.payload.size()), 4, bigEndian),
                       chunk.payload});
        if (chunk.payload.size() % 2)
            body.push_back(0);
    }
    return concat({tag(riffTag), field(body.size(), 4, bigEndian), body});
}

// A 16-byte fmt chunk and `extra` after it; blockAlign is channels x the
// bits rounded up to bytes unless given.
inline Chunk fmtPlain(uint16_t formatTag, uint16_t channels, uint32_t rate, uint16_t bits, const Bytes& extra = {},
                      bool bigEndian = false, std::optional<uint16_t> blockAlign = {})
{
    const uint32_t align = blockAlign.value_or(static_cast<uint16_t>(channels * ((bits + 7u) / 8u)));
    auto f = [bigEndian](uint64_t value, int bytes) { return field(value, bytes, bigEndian); };
    return {"fmt ", concat({f(formatTag, 2), f(channels, 2), f(rate, 4), f(uint64_t{rate} * align, 4), f(align, 2),
                            f(bits, 2), extra}),
            {}};
}

// A 40-byte extensible fmt chunk (channel mask 3) whose sub-format GUID is
// the standard one for `subTag`, its first three fields in the file's
// byte order.
inline Chunk fmtExtensible(uint16_t channels, uint32_t rate, uint16_t containerBits, uint16_t validBits,
                           uint16_t subTag, bool bigEndian = false)
{
    auto f = [bigEndian](uint64_t value, int bytes) { return field(value, bytes, bigEndian); };
    const Bytes guid = concat({f(subTag, 4), f(0x0000, 2), f(0x0010, 2), {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}});
    return fmtPlain(0xFFFE, channels, rate, containerBits, concat({f(22, 2), f(validBits, 2), f(0x3, 4), guid}),
                    bigEndian);
}

// A ds64 chunk: a RIFF size of 0, the data size, the frames, no table.
inline Chunk ds64(uint64_t dataBytes, uint64_t frames = 0)
{
    return {"ds64", concat({le(0, 8), le(dataBytes, 8), le(frames, 8), le(0, 4)}), {}};
}

// A signed whole number of `validBits` (in a 1-byte container offset to
// unsigned) left-justified in `containerBytes`, in the given byte order.
inline Bytes integerSample(int64_t code, int validBits, int containerBytes, bool bigEndian)
{
    uint64_t word = static_cast<uint64_t>(code);
    if (containerBytes == 1)
        word += uint64_t{1} << (validBits - 1);
    return field(word << (8 * containerBytes - validBits), containerBytes, bigEndian);
}

// The canonical file: RIFF size 36 + the data, a 16-byte fmt chunk whose
// blockAlign is channels x whole bytes of `bits`, the data unpadded. IDs
// and the data size may be anything, for broken files.
struct WaveLayout {
    std::string riffTag = "RIFF";
    std::string subId = "fmt ";
    uint16_t format = 1;
    uint16_t channels = 1;
    uint32_t sampleFreq = 44100;
    uint16_t bits = 16;
    std::string dataId = "data";
    std::optional<uint32_t> dlength;    // defaults to data.size()
    std::optional<uint32_t> riffSize;   // defaults to 36 + data.size()
    std::optional<uint16_t> blockAlign;
    Bytes data;
};

inline Bytes buildWave(const WaveLayout& w)
{
    const uint32_t align = w.blockAlign ? *w.blockAlign : w.channels * (w.bits / 8u);
    return concat({tag(w.riffTag), le(w.riffSize.value_or(static_cast<uint32_t>(36 + w.data.size())), 4), tag("WAVE"),
                   tag(w.subId), le(16, 4), le(w.format, 2), le(w.channels, 2), le(w.sampleFreq, 4),
                   le(uint64_t{w.sampleFreq} * align, 4), le(align, 2), le(w.bits, 2), tag(w.dataId),
                   le(w.dlength.value_or(static_cast<uint32_t>(w.data.size())), 4), w.data});
}

// Slots as little-endian two's complement of `bytesPerSlot` bytes each.
template <typename Whole = int>
Bytes encodeSlots(const std::vector<Whole>& slots, int bytesPerSlot = 2)
{
    Bytes out;
    for (const Whole slot : slots) {
        const Bytes bytes = le(static_cast<uint64_t>(slot), bytesPerSlot);
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    return out;
}

// Slot n of N holds amplitude x sin(2 pi periods n / N + phase) (cos with
// `cosine`, or `constant` with no periods), plus each added sine of
// (periods, amplitude), 0 outside the first `gateOn` of every gateOn +
// gateOff slots, rounded to the nearest whole number, ties to even.
struct Tone {
    double periods = 0;
    long slots = 0;
    double amplitude = 10000;
    double phaseDegrees = 0;
    bool cosine = false;
    std::optional<double> constant;  // instead of the sine
    std::vector<std::pair<double, double>> added;
    long gateOn = 0, gateOff = 0;
};

inline std::vector<long> toneSlots(const Tone& tone)
{
    const double slots = static_cast<double>(tone.slots);
    std::vector<long> values;
    for (long n = 0; n < tone.slots; ++n) {
        double v = tone.constant.value_or(0.0);
        if (!tone.constant) {
            double angle = 2.0 * M_PI * tone.periods * static_cast<double>(n) / slots;
            if (tone.phaseDegrees != 0)
                angle += tone.phaseDegrees * M_PI / 180.0;
            v = tone.amplitude * (tone.cosine ? std::cos(angle) : std::sin(angle));
        }
        for (const auto& [periods, amplitude] : tone.added)
            v += amplitude * std::sin(2.0 * M_PI * periods * static_cast<double>(n) / slots);
        if (tone.gateOn > 0 && n % (tone.gateOn + tone.gateOff) >= tone.gateOn)
            v = 0.0;
        values.push_back(std::lrint(v));
    }
    return values;
}

}  // namespace wavegen
