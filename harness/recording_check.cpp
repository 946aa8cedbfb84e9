#include "recording_check.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "allocation_meter.h"
#include "common/bit_copy.h"

using namespace tonalyx::detail;  // the library's internals under test

namespace {

using tonalyx::Status;
using tonalyx::detail::recording::Recording;
using tonalyx::detail::recording::ReadOutcome;

// Bytes in memory, in pieces of at most `piece` bytes; a file can seek
// (past the end too), a pipe cannot.
class PieceSource final : public tonalyx::ByteSource {
public:
    PieceSource(const uint8_t* data, size_t size, size_t piece, bool seekable)
        : data_(data), size_(size), piece_(piece), seekable_(seekable)
    {
    }
    long read(void* buffer, size_t count) override
    {
        const size_t n = at_ >= size_ ? 0 : std::min({count, piece_, size_ - at_});
        if (n > 0)
            std::memcpy(buffer, data_ + at_, n);
        at_ += n;
        return static_cast<long>(n);
    }
    bool seek(uint64_t offset) override
    {
        if (seekable_)
            at_ = static_cast<size_t>(std::min<uint64_t>(offset, SIZE_MAX));
        return seekable_;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t piece_;
    bool seekable_;
    size_t at_ = 0;
};

// One read, with what it cost: broken when past the time or heap bound.
std::string boundedRead(PieceSource& source, Recording& recording, ReadOutcome& outcome)
{
    startAllocationPeak();
    const auto start = std::chrono::steady_clock::now();
    outcome = tonalyx::detail::recording::readRecording(source, recording);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (took.count() > kReadSecondsBound)
        return "a read took longer than the time bound";
    if (allocationPeak() > kReadHeapBound)
        return "a read held more heap than the memory bound";
    if (recording.samples.capacity() > tonalyx::detail::recording::kMaxSamples)
        return "room set aside for more samples than the bound";
    return {};
}

bool printable(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
}

bool sameBits(const std::vector<float>& a, const std::vector<float>& b)
{
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0);
}

std::string brokenInResult(const ReadOutcome& outcome, const Recording& recording, size_t size)
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
    if (recording.channels < 1 || recording.channels > tonalyx::detail::recording::kMaxChannels)
        return "channels out of range";
    if (recording.sampleRate < 1 || recording.sampleRate > tonalyx::detail::recording::kMaxSampleRate)
        return "sample rate out of range";
    if (recording.samples.empty() || recording.samples.size() % recording.channels != 0)
        return "no samples, or a partial frame";
    if (recording.samples.size() > size)
        return "more samples than bytes read";
    if (recording.frames() > static_cast<uint64_t>(tonalyx::detail::recording::kMaxSeconds) * recording.sampleRate ||
        recording.samples.size() > tonalyx::detail::recording::kMaxSamples)
        return "more frames than the cap";
    if (!printable(outcome.note))
        return "a note that is not one plain line";
    for (const float sample : recording.samples)
        if ((bitCopy<uint32_t>(sample) & 0x7F800000u) == 0x7F800000u)
            return "a NaN or infinite sample";
    return {};
}

}  // namespace

CheckedRead checkedRead(const uint8_t* data, size_t size)
{
    CheckedRead whole;
    PieceSource all(data, size, SIZE_MAX, true);
    whole.broken = boundedRead(all, whole.recording, whole.outcome);
    if (whole.broken.empty())
        whole.broken = brokenInResult(whole.outcome, whole.recording, size);
    if (!whole.broken.empty())
        return whole;

    Recording piecewise;
    ReadOutcome outcome;
    PieceSource pieces(data, size, 7, false);
    whole.broken = boundedRead(pieces, piecewise, outcome);
    if (!whole.broken.empty())
        return whole;
    if (outcome.status != whole.outcome.status || outcome.error != whole.outcome.error || outcome.note != whole.outcome.note ||
        !sameBits(piecewise.samples, whole.recording.samples) || piecewise.cutShort != whole.recording.cutShort ||
        piecewise.channels != whole.recording.channels || piecewise.sampleRate != whole.recording.sampleRate)
        whole.broken = "reading in pieces gave another result";
    return whole;
}
