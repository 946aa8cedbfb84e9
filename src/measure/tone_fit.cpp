#include "measure/tone_fit.h"

#include <algorithm>
#include <cmath>

#include "measure/demodulation.h"

namespace tonalyx::measurement {

ToneFit fitTone(const Track& track, const Extent& extent, double hz)
{
    ToneFit fit;
    const double n = static_cast<double>(extent.frames.size());
    if (n == 0.0 || track.rate <= 0.0)
        return fit;
    // A sin(2 pi c k + phi) over n frames gives |z| = A n / 2 (within one
    // period's worth of the rest), and holds the energy A^2 n / 2 = 2 |z|^2 / n.
    const Phasor z = demodulate(track, extent.frames, hz / track.rate, extent.mean, nullptr);
    const double magnitude = std::sqrt(z.re * z.re + z.im * z.im);
    fit.amplitude = 2.0 * magnitude / n;
    const double toneEnergy = 2.0 * magnitude * magnitude / n;
    if (extent.energy > 0.0)
        fit.purity = std::clamp(toneEnergy / extent.energy, 0.0, 1.0);
    return fit;
}

}  // namespace tonalyx::measurement
