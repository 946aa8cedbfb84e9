// The short-time spectrum of an analysis track: Hann-windowed frames half
// overlapping, their power spectra, and the peaks that stand above the
// noise around them, each with its frequency from the bins beside it and,
// more finely, from the phase it moved by since the frame before.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "measure/analysis_track.h"

namespace tonalyx::detail::measurement {

struct Peak {
    std::uint32_t bin = 0;
    double hz = 0.0;        // from the bins beside the peak
    double phaseHz = 0.0;   // from the phase since the frame before; 0: none
    double power = 0.0;     // over the window's main lobe (five bins)
    double height = 0.0;    // of the peak's bin alone
    bool hum = false;       // mains hum or one of its harmonics
    // The finest frequency known: phaseHz when it agrees with hz.
    double bestHz(double binHz) const
    {
        return phaseHz > 0.0 && phaseHz > hz - binHz && phaseHz < hz + binHz ? phaseHz : hz;
    }
};

struct SpectralFrames {
    std::size_t size = 0;   // frame length, a power of two
    std::size_t hop = 0;    // size / 2
    std::size_t frames = 0;
    double binHz = 0.0;
    double windowEnergy = 0.0;  // sum of the window's squares
    std::vector<float> power;   // frames x (size / 2 + 1), when kept
    std::vector<Peak> peaks;    // frame by frame
    std::vector<std::uint32_t> firstPeak;  // frames + 1 offsets into peaks
    std::vector<double> meanPower;         // size / 2 + 1
    double mainsHz = 0.0;                  // the mains hum found; 0: none
    double mainsAmplitude = 0.0;           // of its fundamental

    const float* powerOf(std::size_t frame) const { return power.data() + frame * (size / 2 + 1); }
    // The source time of the middle of a frame, in analysis frames.
    double middleOf(std::size_t frame) const { return static_cast<double>(frame * hop + size / 2); }
};

struct Mains;

// Shown each frame as soon as its peaks are found and those of the mains
// marked: the frames so far (their size, bin width and mains set), the
// frame's index, its peaks and its powers (gone after the call).
using FrameVisit = std::function<void(const SpectralFrames& frames, std::size_t frame, const Peak* peaks,
                                      std::size_t count, const float* power)>;

// With the mains found in the track itself, or the `known` one (from the
// track before its hum was taken out). With `visit`, the frames' powers
// are shown to it and not kept (`power` stays empty), which spares their
// memory.
SpectralFrames spectralFramesOf(const AnalysisTrack& track, const Mains* known = nullptr, const FrameVisit& visit = {});

}  // namespace tonalyx::detail::measurement
