// The candidates: 100, 120, ..., 1000 Hz, in the order they are compared.
// Every part of the project (the sweep, the measurement, verdicts,
// manifests, the C interface and through it Python and the page) takes
// them from here.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tonalyx {

constexpr std::uint32_t kFirstCandidate = 100;
constexpr std::uint32_t kCandidateStep = 20;
constexpr std::uint32_t kLastCandidate = 1000;
constexpr std::size_t kCandidateCount = (kLastCandidate - kFirstCandidate) / kCandidateStep + 1;

// The index-th candidate; 0 past the last.
constexpr std::uint32_t candidateAt(std::size_t index)
{
    return index < kCandidateCount ? kFirstCandidate + kCandidateStep * static_cast<std::uint32_t>(index) : 0;
}

constexpr bool isCandidate(std::uint32_t freq)
{
    return freq >= kFirstCandidate && freq <= kLastCandidate && (freq - kFirstCandidate) % kCandidateStep == 0;
}

}  // namespace tonalyx
