#include "recording_check.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

using tonalyx::Status;
using tonalyx::recording::Recording;
using tonalyx::recording::ReadOutcome;

// Bytes in memory, in pieces of at most `piece` bytes; it cannot seek.
class PieceSource final : public tonalyx::ByteSource {
public:
    PieceSource(const uint8_t* data, size_t size, size_t piece) : data_(data), size_(size), piece_(piece) {}
    long read(void* buffer, size_t count) override
    {
        const size_t n = std::min({count, piece_, size_ - at_});
        if (n > 0)
            std::memcpy(buffer, data_ + at_, n);
        at_ += n;
        return static_cast<long>(n);
    }
    bool seek(uint64_t) override { return false; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t piece_;
    size_t at_ = 0;
};

bool printable(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
}

bool sameBits(const std::vector<float>& a, const std::vector<float>& b)
{
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0);
}

std::string brokenInResult(const ReadOutcome& outcome, const Recording& recording)
{
    if (outcome.status == Status::noData) {
        if (outcome.error.empty() || !printable(outcome.error))
            return "an error without a plain one-line text";
        if (!recording.samples.empty())
            return "samples left after an error";
        return {};
    }
    if (outcome.status != Status::ok)
        return "a status other than ok or noData from memory";
    if (!outcome.error.empty())
        return "an error text with status ok";
    if (recording.channels < 1 || recording.channels > tonalyx::recording::kMaxChannels)
        return "channels out of range";
    if (recording.sampleRate < 1 || recording.sampleRate > tonalyx::recording::kMaxSampleRate)
        return "sample rate out of range";
    if (recording.samples.empty() || recording.samples.size() % recording.channels != 0)
        return "no samples, or a partial frame";
    if (recording.frames() > static_cast<uint64_t>(tonalyx::recording::kMaxSeconds) * recording.sampleRate)
        return "more frames than the cap";
    for (const float sample : recording.samples)
        if ((std::bit_cast<uint32_t>(sample) & 0x7F800000u) == 0x7F800000u)
            return "a NaN or infinite sample";
    return {};
}

}  // namespace

CheckedRead checkedRead(const uint8_t* data, size_t size)
{
    CheckedRead whole;
    PieceSource all(data, size, SIZE_MAX);
    whole.outcome = tonalyx::recording::readRecording(all, whole.recording);
    whole.broken = brokenInResult(whole.outcome, whole.recording);
    if (!whole.broken.empty())
        return whole;

    Recording piecewise;
    PieceSource pieces(data, size, 7);
    const ReadOutcome outcome = tonalyx::recording::readRecording(pieces, piecewise);
    if (outcome.status != whole.outcome.status || outcome.error != whole.outcome.error ||
        !sameBits(piecewise.samples, whole.recording.samples) || piecewise.cutShort != whole.recording.cutShort ||
        piecewise.channels != whole.recording.channels || piecewise.sampleRate != whole.recording.sampleRate)
        whole.broken = "reading in pieces gave another result";
    return whole;
}
