#include "recording/sample_format.h"

#include "recording/error_text.h"
#include "recording/recording.h"

namespace tonalyx::recording {

namespace {

constexpr std::uint16_t kTagPcm = 0x0001;
constexpr std::uint16_t kTagFloat = 0x0003;
constexpr std::uint16_t kTagExtensible = 0xFFFE;

// The sub-format GUIDs of the extensible layout share these last 12 bytes;
// the first 4 hold the plain format tag.
constexpr unsigned char kGuidTail[12] = {0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

std::uint16_t le16(const unsigned char* p)
{
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

std::uint32_t le32(const unsigned char* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// The plain tag a sub-format GUID stands for, or -1 for a GUID of another
// family.
long tagOfGuid(const unsigned char* guid)
{
    for (int i = 0; i < 12; ++i)
        if (guid[4 + i] != kGuidTail[i])
            return -1;
    return le32(guid);
}

std::string integerEncoding(std::uint32_t bits, SampleFormat& out)
{
    switch (bits) {
    case 8: out.encoding = SampleEncoding::u8; break;
    case 16: out.encoding = SampleEncoding::s16; break;
    case 24: out.encoding = SampleEncoding::s24; break;
    case 32: out.encoding = SampleEncoding::s32; break;
    default: return "unsupported sample format: " + decimal(bits) + " bits";
    }
    out.bytesPerSample = bits / 8;
    return {};
}

std::string floatEncoding(std::uint32_t bits, SampleFormat& out)
{
    switch (bits) {
    case 32: out.encoding = SampleEncoding::f32; break;
    case 64: out.encoding = SampleEncoding::f64; break;
    default: return "unsupported sample format: " + decimal(bits) + "-bit float";
    }
    out.bytesPerSample = bits / 8;
    return {};
}

std::string sizeError(std::size_t size, std::size_t least, const char* what)
{
    return "fmt chunk of " + decimal(size) + " bytes (at least " + decimal(least) + what + ")";
}

// The encoding from the tag and sizes; container bits may exceed the valid
// bits in the extensible layout, the samples then sit in the high bits.
std::string encodingOf(const unsigned char* bytes, std::size_t size, SampleFormat& out)
{
    const std::uint16_t tag = le16(bytes);
    const std::uint16_t bits = le16(bytes + 14);
    if (tag == kTagPcm)
        return integerEncoding(bits, out);
    if (tag == kTagFloat)
        return floatEncoding(bits, out);
    if (tag != kTagExtensible)
        return "unsupported format tag " + hex(tag, 4);

    if (size < kFormatBytesUsed)
        return sizeError(size, kFormatBytesUsed, " for the extensible format");
    const std::uint16_t validBits = le16(bytes + 18);
    const long subTag = tagOfGuid(bytes + 24);
    if (subTag == kTagPcm) {
        if (validBits > bits)
            return "unsupported sample format: " + decimal(validBits) + " valid bits in " +
                   decimal(bits);
        return integerEncoding(bits, out);
    }
    if (subTag == kTagFloat) {
        if (validBits != 0 && validBits != bits)
            return "unsupported sample format: " + decimal(validBits) + " valid bits in " +
                   decimal(bits) + "-bit float";
        return floatEncoding(bits, out);
    }
    if (subTag >= 0)
        return "unsupported sub-format " + hex(static_cast<std::uint32_t>(subTag), 4);
    return "unsupported sub-format GUID";
}

}  // namespace

std::string parseFormat(const unsigned char* bytes, std::size_t size, SampleFormat& out)
{
    if (size < 16)
        return sizeError(size, 16, "");
    const std::string encodingError = encodingOf(bytes, size, out);
    if (!encodingError.empty())
        return encodingError;

    out.channels = le16(bytes + 2);
    out.sampleRate = le32(bytes + 4);
    if (out.channels == 0)
        return "0 channels";
    if (out.channels > kMaxChannels)
        return decimal(out.channels) + " channels (at most " + decimal(kMaxChannels) + ")";
    if (out.sampleRate == 0)
        return "sample rate 0";
    if (out.sampleRate > kMaxSampleRate)
        return "sample rate " + decimal(out.sampleRate) + " (at most " + decimal(kMaxSampleRate) + ")";
    return {};
}

}  // namespace tonalyx::recording
