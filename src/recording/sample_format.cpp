#include "recording/sample_format.h"

#include <cstring>

#include "common/byte_order.h"
#include "recording/error_text.h"
#include "recording/recording.h"

namespace tonalyx::detail::recording {

namespace {

constexpr std::uint16_t kTagPcm = 0x0001;
constexpr std::uint16_t kTagFloat = 0x0003;
constexpr std::uint16_t kTagALaw = 0x0006;
constexpr std::uint16_t kTagMuLaw = 0x0007;
constexpr std::uint16_t kTagExtensible = 0xFFFE;
constexpr std::uint32_t kMaxContainerBytes = 8;

// The sub-format GUIDs of the extensible layout end in these 8 bytes; the
// first 8 hold the plain format tag (32 bits) and 0x0000, 0x0010 (16 bits
// each), in the file's byte order.
constexpr unsigned char kGuidTail[8] = {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
// What sox writes in a RIFX file: the tag in 16 big-endian bits, then the
// rest of the GUID as in a RIFF file.
constexpr unsigned char kSoxRifxMiddle[6] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00};

// The plain tag a sub-format GUID stands for, or -1 for a GUID of another
// family.
long tagOfGuid(const unsigned char* guid, bool bigEndian)
{
    if (std::memcmp(guid + 8, kGuidTail, 8) != 0)
        return -1;
    if (u16(guid + 4, bigEndian) == 0x0000 && u16(guid + 6, bigEndian) == 0x0010)
        return u32(guid, bigEndian);
    if (bigEndian && std::memcmp(guid + 2, kSoxRifxMiddle, 6) == 0)
        return u16(guid, true);
    return -1;
}

std::string sizeError(std::size_t size, std::size_t least, const char* what)
{
    return "fmt chunk of " + decimal(size) + " bytes (at least " + decimal(least) + what + ")";
}

// The fields that decide the samples, from either layout.
struct Fields {
    long tag = 0;                     // the plain tag, or the extensible one's sub-format
    std::uint32_t containerBits = 0;  // wBitsPerSample
    std::uint32_t validBits = 0;      // the extensible layout's valid bits, else containerBits
};

std::string fieldsOf(const unsigned char* bytes, std::size_t size, bool bigEndian, Fields& out)
{
    out.tag = u16(bytes, bigEndian);
    out.containerBits = out.validBits = u16(bytes + 14, bigEndian);
    if (out.tag != kTagExtensible)
        return {};
    if (size < kFormatBytesUsed)
        return sizeError(size, kFormatBytesUsed, " for the extensible format");
    const std::uint16_t valid = u16(bytes + 18, bigEndian);
    if (valid != 0)
        out.validBits = valid;
    out.tag = tagOfGuid(bytes + 24, bigEndian);
    if (out.tag < 0)
        return "unsupported sub-format GUID";
    if (out.tag != kTagPcm && out.tag != kTagFloat && out.tag != kTagMuLaw && out.tag != kTagALaw)
        return "unsupported sub-format " + hex(static_cast<std::uint32_t>(out.tag), 4);
    if (out.validBits > out.containerBits)
        return "unsupported sample format: " + decimal(out.validBits) + " valid bits in a " +
               decimal(out.containerBits) + "-bit container";
    return {};
}

// The kind and the container the format fields give, before blockAlign.
std::string encodingOf(const Fields& fields, SampleFormat& out)
{
    switch (fields.tag) {
    case kTagPcm:
        if (fields.validBits == 0 || fields.containerBits > 8 * kMaxContainerBytes)
            return "unsupported sample format: " + decimal(fields.containerBits) + " bits";
        out.kind = SampleKind::integer;
        out.bytesPerSample = (fields.containerBits + 7) / 8;
        return {};
    case kTagFloat:
        if (fields.containerBits != 32 && fields.containerBits != 64)
            return "unsupported sample format: " + decimal(fields.containerBits) + "-bit float";
        if (fields.validBits != fields.containerBits)
            return "unsupported sample format: " + decimal(fields.validBits) + " valid bits in " +
                   decimal(fields.containerBits) + "-bit float";
        out.kind = SampleKind::floating;
        out.bytesPerSample = fields.containerBits / 8;
        return {};
    case kTagMuLaw:
    case kTagALaw:
        // One byte a sample whatever the bits field says.
        out.kind = fields.tag == kTagMuLaw ? SampleKind::muLaw : SampleKind::aLaw;
        out.bytesPerSample = 1;
        return {};
    default:
        return "unsupported format tag " + hex(static_cast<std::uint32_t>(fields.tag), 4);
    }
}

// blockAlign against the container: an integer container is taken from
// blockAlign / channels where the valid bits fit in it, as the frames are
// laid out that way; otherwise, and for floats and G.711, the format's own
// size stands. A disagreement is noted either way.
std::string resolveContainer(std::uint32_t blockAlign, std::uint32_t validBits, SampleFormat& out)
{
    if (blockAlign == out.frameBytes())
        return {};
    const std::uint32_t perChannel = blockAlign % out.channels == 0 ? blockAlign / out.channels : 0;
    const std::uint32_t given = out.bytesPerSample;
    if (out.kind == SampleKind::integer && perChannel >= (validBits + 7) / 8 && perChannel <= kMaxContainerBytes)
        out.bytesPerSample = perChannel;
    return "block align " + decimal(blockAlign) + " does not match " + decimal(out.channels) + " x " +
           decimal(given) + "-byte samples; read as " + decimal(out.bytesPerSample) + "-byte samples";
}

}  // namespace

FormatReading parseFormat(const unsigned char* bytes, std::size_t size, bool bigEndian, SampleFormat& out)
{
    FormatReading reading;
    if (size < 16) {
        reading.error = sizeError(size, 16, "");
        return reading;
    }
    Fields fields;
    reading.error = fieldsOf(bytes, size, bigEndian, fields);
    if (reading.error.empty())
        reading.error = encodingOf(fields, out);
    if (!reading.error.empty())
        return reading;

    out.bigEndian = bigEndian;
    out.channels = u16(bytes + 2, bigEndian);
    out.sampleRate = u32(bytes + 4, bigEndian);
    if (out.channels == 0)
        reading.error = "0 channels";
    else if (out.channels > kMaxChannels)
        reading.error = decimal(out.channels) + " channels (at most " + decimal(kMaxChannels) + ")";
    else if (out.sampleRate == 0)
        reading.error = "sample rate 0";
    else if (out.sampleRate > kMaxSampleRate)
        reading.error = "sample rate " + decimal(out.sampleRate) + " (at most " + decimal(kMaxSampleRate) + ")";
    else
        reading.note = resolveContainer(u16(bytes + 12, bigEndian), fields.validBits, out);
    return reading;
}

}  // namespace tonalyx::detail::recording
