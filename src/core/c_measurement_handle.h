// The measurement's C handle, made by the C calls of each kind of input.
#pragma once

#include "tonalyx/tonalyx.h"
#include "tonalyx/tonalyx.hpp"

// The handle holding `measurement`, or nullptr when memory runs out.
tonalyx_measurement* wrapMeasurement(tonalyx::Measurement&& measurement);

inline tonalyx::MeasureOptions cMeasureOptions(unsigned flags)
{
    tonalyx::MeasureOptions options;
    options.pictures = (flags & TONALYX_MEASURE_PICTURES) != 0;
    return options;
}
