// One channel's analysis, from its samples to the verdict on its tone:
// the series in each frame, gathered into tones; the strongest steady one
// is the channel's tone, unless it is too short, shares the recording
// with a second tone, is not pure enough, lies off the candidates, is
// silent, or the channel holds only mains hum.
#pragma once

#include <vector>

#include "measure/analysis_track.h"
#include "measure/pitch_entries.h"
#include "measure/frame_peaks.h"
#include "measure/tone_bursts.h"
#include "measure/tone_groups.h"
#include "api/api.h"

namespace tonalyx::detail::measurement {

struct ChannelVerdict {
    bool hasTone = false;
    NoToneReason reason = NoToneReason::silent;
    // The tone, or the strongest tonal component without one.
    double hz = 0.0, purity = 0.0, level = -200.0, start = 0.0, end = 0.0;
    double thd = 0.0, snr = 0.0, drift = 0.0;
    std::uint32_t bursts = 0;
    double power = 0.0;  // of the tone's series, over all its frames

    // What the verdict was drawn from, for segments and pictures.
    AnalysisTrack track;
    SpectralFrames spectral;
    std::vector<PitchEntry> entries;
    std::vector<ToneGroup> groups;
    std::size_t chosen = 0;         // index into groups; groups.size(): none
    std::vector<Burst> toneBursts;  // of the chosen group
    // The channel at its own rate without its hum, when the verdict was
    // drawn from that; empty when from the channel as recorded.
    std::vector<float> withoutHum;

    // What the verdict's figures were taken from: `recorded`, or the
    // channel without its hum.
    Track sourceOf(const Track& recorded) const
    {
        return withoutHum.empty() ? recorded : Track{withoutHum.data(), 1, withoutHum.size(), recorded.rate};
    }
};

// The verdict on a channel, from its analysis track (analysisTrackOf) and
// the channel at its own rate.
ChannelVerdict analyseChannel(const Track& source, AnalysisTrack track);

// Every burst of every steady tone of the channel, in time order.
std::vector<Segment> segmentsOf(const Track& track, const ChannelVerdict& verdict);

MeasurementPictures picturesOf(const Track& track, const ChannelVerdict& verdict);

// 20 log10(amplitude), kSilentLevel at the least.
double levelOf(double amplitude);

}  // namespace tonalyx::detail::measurement
