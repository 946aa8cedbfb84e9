#include "measure/tone_extent.h"

#include <algorithm>

namespace tonalyx::measurement {

std::uint64_t blockFramesFor(double rate)
{
    const double frames = rate * kBlockSeconds + 0.5;
    return frames < 1.0 ? 1 : static_cast<std::uint64_t>(frames);
}

Envelope envelopeOf(const Track& track, std::uint64_t blockFrames)
{
    Envelope envelope;
    envelope.blockFrames = blockFrames;
    const std::uint64_t blocks = (track.frames + blockFrames - 1) / blockFrames;
    envelope.sums.resize(blocks);
    envelope.squares.resize(blocks);
    for (std::uint64_t b = 0; b < blocks; ++b) {
        const std::uint64_t end = std::min(track.frames, (b + 1) * blockFrames);
        double sum = 0.0, squares = 0.0;
        for (std::uint64_t n = b * blockFrames; n < end; ++n) {
            const double v = track[n];
            sum += v;
            squares += v * v;
        }
        envelope.sums[b] = sum;
        envelope.squares[b] = squares;
    }
    return envelope;
}

Extent toneExtent(const Envelope& envelope, std::uint64_t frames)
{
    Extent extent;
    const std::size_t blocks = envelope.sums.size();
    if (blocks == 0 || frames == 0)
        return extent;
    double total = 0.0;
    for (const double sum : envelope.sums)
        total += sum;
    const double offset = total / static_cast<double>(frames);

    const auto framesIn = [&](std::size_t b) {
        return static_cast<double>(std::min<std::uint64_t>(frames, (b + 1) * envelope.blockFrames) -
                                   b * envelope.blockFrames);
    };
    // Power around the offset: (squares - 2 offset sum + n offset^2) / n.
    std::vector<double> power(blocks);
    double loudest = 0.0;
    for (std::size_t b = 0; b < blocks; ++b) {
        const double n = framesIn(b);
        power[b] = (envelope.squares[b] - 2.0 * offset * envelope.sums[b]) / n + offset * offset;
        loudest = std::max(loudest, power[b]);
    }
    std::size_t first = 0, last = blocks - 1;
    if (loudest > 0.0) {
        const double threshold = loudest * kLoudShare;
        while (power[first] < threshold)
            ++first;
        while (power[last] < threshold)
            --last;
    }
    extent.frames = {first * envelope.blockFrames, std::min<std::uint64_t>(frames, (last + 1) * envelope.blockFrames)};

    double sum = 0.0, squares = 0.0;
    for (std::size_t b = first; b <= last; ++b) {
        sum += envelope.sums[b];
        squares += envelope.squares[b];
    }
    const double n = static_cast<double>(extent.frames.size());
    extent.mean = sum / n;
    extent.energy = std::max(0.0, squares - sum * extent.mean);
    return extent;
}

}  // namespace tonalyx::measurement
