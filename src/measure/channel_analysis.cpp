#include "measure/channel_analysis.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "measure/burst_frequency.h"
#include "measure/decimal_rounding.h"
#include "measure/demodulation.h"
#include "measure/fourier.h"
#include "measure/exact_math.h"
#include "measure/harmonic_window.h"
#include "measure/hum_removal.h"
#include "measure/mains_hum.h"
#include "measure/measure_tone.h"

namespace tonalyx::detail::measurement {

namespace {

// A second tone holding this share of the two tones' power makes two.
constexpr double kSeveralShare = 0.3;
// Two tones in one band each hold about half of it.
constexpr double kSecondPurity = 0.3;
// A harmonic of another group this close to the tone is the tone.
constexpr double kOnToneShare = 0.03;
// A tone stands this far over the noise in its own band; a peak of the
// noise floor that groups by chance does not.
constexpr double kLeastSnrDb = 3.0;
// A tone found once the hum is out stands this far over its band.
constexpr double kSecondLookSnrDb = 15.0;
// Two tones beating dip for this share of the time at least (see
// dipShareOf).
constexpr double kBeatingShare = 0.08;
// A group is a steady tone when this much of its band is the series, and
// its frequency spreads over no more than this share of it (a drift of
// +-2 % is a tone; speech wanders further).
constexpr double kSteadyPurity = 0.5;
constexpr double kSteadySpread = 0.05;
constexpr std::size_t kMaxSegments = 1000;
// The bursts of one tone lie within this share of its frequency; those
// this long at least are timed for it.
constexpr double kBurstSpread = 0.03;
constexpr double kTimedBurstSeconds = 0.04;
// A burst under this share of the longest may be a stray (dropStrayBursts).
constexpr double kStrayShare = 0.25;
// Hum's harmonics reach +12 dB over its fundamental; a tone beyond +13 dB
// is a tone, wherever it sits.
constexpr double kHumHarmonicOverMains = 4.5;
constexpr double kHumGroupReach = 0.012;
// A fundamental found under a tone: 10 dB over the noise beside it,
// within 14 dB of the tone, and near the candidates.
constexpr double kFundamentalOverFloor = 10.0;
constexpr double kFundamentalUnderTone = 1.0 / 25.0;
constexpr double kFundamentalWindowSeconds = 1.0;
// A fundamental within this many main lobes of a hum harmonic is judged
// against the stretches without the tone.
constexpr double kHumLobes = 3.0;
constexpr double kLowestCandidateHz = 90.0;
// Another group from 2 to 12 % away, holding a tenth of the tone's power,
// sounding in the frames beside the tone's, makes the tone part of a glide.
constexpr double kGlideFrom = 0.02;
constexpr double kGlideTo = 0.12;
constexpr double kGlideShare = 0.1;
constexpr double kHeldSpread = 0.002;
constexpr double kHeldSeconds = 0.5;
// Groups weighed as the tone at the most, strongest first.
constexpr std::size_t kMostWeighed = 4;
// A device's tone holds most of its series in its first three harmonics
// (a sawtooth 83 %, a square wave 90 %, a buzzer's strong 2nd or 3rd all
// of it); a voice spreads its series over the formants above.
constexpr double kLowHarmonicsShare = 0.8;
constexpr double kEnvelopeSeconds = 0.005;
constexpr std::uint64_t kEnvelopeCopyFrames = 16384;
// A glide's drift is carried past its track to the tone's edges by at most
// this factor.
constexpr double kMostTrackStretch = 1.5;
// A tone holds at least this share of its frames' amplitude over the
// longer windows of its level: clicks and other short events do not.
constexpr double kHoldShare = 0.3;

bool steady(const GroupFigures& figures)
{
    return figures.purity >= kSteadyPurity && figures.drift <= kSteadySpread * figures.hz;
}

double rounded2(double hz)
{
    return hz > 0.0 && hz < 1e12 ? scaledRounded(hz, 2) / 100.0 : 0.0;
}

std::vector<std::uint32_t> framesOf(const ToneGroup& group, const std::vector<PitchEntry>& entries)
{
    std::vector<std::uint32_t> frames;
    for (const std::uint32_t i : group.members)
        if (frames.empty() || frames.back() != entries[i].frame)
            frames.push_back(entries[i].frame);
    return frames;
}

Span sourceSpan(const AnalysisTrack& track, const Burst& burst, std::uint64_t frames)
{
    const auto at = [&](double position) {
        const double source = std::max(0.0, position) * track.step;
        return std::min<std::uint64_t>(frames, static_cast<std::uint64_t>(source));
    };
    return {at(burst.begin), at(burst.end)};
}

double secondsOf(const AnalysisTrack& track, const std::vector<Burst>& bursts)
{
    double frames = 0.0;
    for (const Burst& b : bursts)
        frames += b.end - b.begin;
    return frames / track.rate;
}

double meanSquare(const std::vector<float>& samples)
{
    double sum = 0.0;
    for (const float v : samples)
        sum += static_cast<double>(v) * v;
    return samples.empty() ? 0.0 : sum / static_cast<double>(samples.size());
}

double humPowerOf(const SpectralFrames& spectral)
{
    double power = 0.0;
    for (const Peak& p : spectral.peaks)
        if (p.hum)
            power += p.power;
    return power;
}

// The frames that lie wholly inside one of the bursts.
std::vector<bool> wholeFrames(const SpectralFrames& spectral, const std::vector<Burst>& bursts)
{
    std::vector<bool> whole(spectral.frames, false);
    for (const Burst& b : bursts)
        for (std::size_t t = 0; t < spectral.frames; ++t) {
            const double first = static_cast<double>(t * spectral.hop);
            whole[t] = whole[t] || (first >= b.begin && first + static_cast<double>(spectral.size) <= b.end);
        }
    return whole;
}

// Whether the bursts sound at one frequency: a beeping device's bursts do,
// while the syllables of a voice wander from one to the next.
// A burst far shorter than the longest, off the tone's frequency, is
// another sound that touched the tone (a word just after it): not the
// tone's.
void dropStrayBursts(const AnalysisTrack& track, std::vector<Burst>& bursts, double hz)
{
    double longest = 0.0;
    for (const Burst& b : bursts)
        longest = std::max(longest, b.end - b.begin);
    std::erase_if(bursts, [&](const Burst& b) {
        return b.end - b.begin < kStrayShare * longest && (b.end - b.begin) / track.rate >= kTimedBurstSeconds &&
               std::fabs(burstFrequency(track, b, hz) - hz) > 0.5 * kBurstSpread * hz;
    });
}

bool burstsAgreeOn(const AnalysisTrack& track, const std::vector<Burst>& bursts, double hz)
{
    double low = hz, high = hz;
    for (const Burst& b : bursts) {
        if ((b.end - b.begin) / track.rate < kTimedBurstSeconds)
            continue;
        const double own = burstFrequency(track, b, hz);
        low = std::min(low, own);
        high = std::max(high, own);
    }
    return high - low <= kBurstSpread * hz;
}

// The share of a group's series power in its first three harmonics.
double lowHarmonicsShare(const ToneGroup& group, const std::vector<PitchEntry>& entries)
{
    double low = 0.0, all = 0.0;
    for (const std::uint32_t i : group.members) {
        const std::vector<double>& powers = entries[i].harmonicPowers;
        for (std::size_t h = 0; h < powers.size(); ++h) {
            all += powers[h];
            if (h < 3)
                low += powers[h];
        }
    }
    return all > 0.0 ? low / all : 1.0;
}

double decibels(double power)
{
    return power > 0.0 ? std::max(kSilentLevel, 10.0 * decimalLog(power)) : kSilentLevel;
}

// The median amplitude of the group's fundamental in its frames.
double frameAmplitude(const ChannelVerdict& v, const ToneGroup& group)
{
    std::vector<double> amplitudes;
    const double fullScale = static_cast<double>(v.spectral.size) * v.spectral.windowEnergy / 4.0;
    for (const std::uint32_t i : group.members) {
        const PitchEntry& e = v.entries[i];
        const double gain = boxcarGain(e.hz, v.track.step, v.track.sourceRate);
        amplitudes.push_back(std::sqrt(e.fundamentalPower / fullScale) / (gain > 0.0 ? gain : 1.0));
    }
    if (amplitudes.empty())
        return 0.0;
    std::nth_element(amplitudes.begin(), amplitudes.begin() + static_cast<std::ptrdiff_t>(amplitudes.size() / 2),
                     amplitudes.end());
    return amplitudes[amplitudes.size() / 2];
}


// Without a tone, the hum is the strongest tonal component: its numbers.
void describeHum(ChannelVerdict& v, const Track& source)
{
    v.hz = v.spectral.mainsHz;
    v.purity = v.thd = v.snr = v.drift = 0.0;
    v.level = levelOf(harmonicFiguresOf(source, {0, source.frames}, v.hz).amplitude);
    v.start = 0.0;
    v.end = static_cast<double>(source.frames) / source.rate;
    v.bursts = 0;
    v.toneBursts.clear();
    v.chosen = v.groups.size();
}

}  // namespace

double levelOf(double amplitude)
{
    if (!(amplitude > 0.0))
        return kSilentLevel;
    const double level = 20.0 * decimalLog(amplitude);
    return level < kSilentLevel ? kSilentLevel : level;
}

namespace {

// A group on a multiple of the mains is hum, unless it is far stronger
// than any harmonic of hum is against its fundamental: a test tone that
// happens to sit there.
bool humGroup(const ChannelVerdict& v, std::size_t g, double hz)
{
    // A weak group's frequency is known to about a percent only.
    return onMainsMultiple(hz, v.spectral.mainsHz, std::max(kExactReachHz, kHumGroupReach * hz)) &&
           frameAmplitude(v, v.groups[g]) <= kHumHarmonicOverMains * v.spectral.mainsAmplitude;
}

// One group weighed as the channel's tone.
struct Weighing {
    GroupFigures figures;
    Envelope envelope;
    std::vector<Burst> bursts;
    HarmonicFigures harmonics;
    bool steady = false, hum = false, lowHeavy = false, holds = false, burstsAgree = false;
    bool toneLike() const { return steady && !hum && lowHeavy && holds && burstsAgree; }
};

Weighing weigh(const ChannelVerdict& v, const Track& source, std::size_t g, GroupFigures figures)
{
    Weighing w;
    const ToneGroup& group = v.groups[g];
    w.steady = steady(figures);
    w.hum = humGroup(v, g, figures.hz);
    w.envelope = envelopeOf(v.track, figures.hz);
    w.bursts = burstsOf(w.envelope, v.track, v.spectral, framesOf(group, v.entries));
    const std::vector<bool> whole = wholeFrames(v.spectral, w.bursts);
    const GroupFigures inside = figuresOf(group, v.entries, v.spectral.binHz, v.spectral.hop, &whole);
    if (!inside.timed && w.bursts.size() == 1) {
        // Too short for the frames' phase: over the burst itself.
        figures.hz = burstFrequency(v.track, w.bursts.front(), figures.hz);
    } else if (inside.hz > 0.0) {
        figures.hz = inside.hz;
        figures.drift = inside.drift;
        // A glide's track stops short of the tone's edges: carried on to them.
        if (inside.monotone && !w.bursts.empty() && inside.trackEnd > inside.trackBegin) {
            const double extent = w.bursts.back().end - w.bursts.front().begin;
            figures.drift *= std::min(kMostTrackStretch, extent / (inside.trackEnd - inside.trackBegin));
        }
    }
    w.figures = figures;
    dropStrayBursts(v.track, w.bursts, figures.hz);
    w.burstsAgree = burstsAgreeOn(v.track, w.bursts, figures.hz);
    w.lowHeavy = lowHarmonicsShare(group, v.entries) >= kLowHarmonicsShare;
    if (!w.bursts.empty()) {
        const Burst& longest = *std::max_element(w.bursts.begin(), w.bursts.end(), [](const Burst& a, const Burst& b) {
            return a.end - a.begin < b.end - b.begin;
        });
        w.harmonics = harmonicFiguresOf(source, sourceSpan(v.track, longest, source.frames), figures.hz);
        w.holds = w.harmonics.amplitude >= kHoldShare * frameAmplitude(v, group);
    }
    return w;
}

// A group's power less that of its harmonics on `hz`: a weak low tone
// whose series takes in the tone itself holds only the rest.
double powerBesides(const ToneGroup& group, const std::vector<PitchEntry>& entries, double hz)
{
    double power = 0.0;
    for (const std::uint32_t i : group.members) {
        const PitchEntry& e = entries[i];
        power += e.seriesPower;
        for (std::size_t h = 2; h <= e.harmonicPowers.size(); ++h)
            if (std::fabs(static_cast<double>(h) * e.hz - hz) <= kOnToneShare * hz)
                power -= e.harmonicPowers[h - 1];
    }
    return std::max(0.0, power);
}

struct BurstAndGap {
    Span burst, gap;  // of one length; gap empty without one
};

// The middle of `span` and of the longest stretch of the track outside
// `bursts` (a gap between two, or the lead-in or the tail), cut to the
// shorter of the two.
BurstAndGap burstAndGap(Span span, const std::vector<Burst>& bursts, std::uint64_t trackLength)
{
    Span gap;
    for (std::size_t i = 0; i <= bursts.size(); ++i) {
        const auto begin = i == 0 ? 0 : static_cast<std::uint64_t>(std::ceil(bursts[i - 1].end));
        const auto end = i == bursts.size() ? trackLength : static_cast<std::uint64_t>(std::max(0.0, std::floor(bursts[i].begin)));
        if (end > begin && end - begin > gap.size())
            gap = {begin, std::min(end, trackLength)};
    }
    const std::uint64_t length = std::min(gap.size(), span.size());
    const auto middle = [length](Span s) {
        const std::uint64_t begin = s.begin + (s.size() - length) / 2;
        return Span{begin, begin + length};
    };
    return {length > 0 ? middle(span) : span, middle(gap)};
}

// |the Hann-weighted sum of `hz` over `span` of the analysis track|^2.
double strengthAt(const ChannelVerdict& v, Span span, double hz)
{
    const std::vector<double> window = hannWindow(static_cast<std::size_t>(span.size()));
    const Track view{v.track.samples.data(), 1, v.track.samples.size(), v.track.rate};
    const Phasor z = demodulate(view, span, hz / v.track.rate, 0.0, window.data());
    return z.re * z.re + z.im * z.im;
}

// A buzzer's fundamental may be too weak for the frames' peaks (12 dB
// under its 2nd or 3rd harmonic, in noise), yet stand out over the whole
// of its longest burst, exactly at a half or a third of it. Then that is
// the tone.
void takeFundamentalBelow(const ChannelVerdict& v, const Track& source, Weighing& w)
{
    if (w.bursts.empty())
        return;
    const Burst& longest = *std::max_element(w.bursts.begin(), w.bursts.end(), [](const Burst& a, const Burst& b) {
        return a.end - a.begin < b.end - b.begin;
    });
    const double most = kFundamentalWindowSeconds * v.track.rate;
    const double middle = 0.5 * (longest.begin + longest.end);
    const double half = std::min(0.5 * (longest.end - longest.begin), 0.5 * most);
    const Span span{static_cast<std::uint64_t>(std::max(0.0, middle - half)), static_cast<std::uint64_t>(middle + half)};
    if (span.size() < 64 || span.end > v.track.samples.size())
        return;
    const std::vector<double> window = hannWindow(static_cast<std::size_t>(span.size()));
    const Track view{v.track.samples.data(), 1, v.track.samples.size(), v.track.rate};
    const auto power = [&](double hz) {
        const Phasor z = demodulate(view, span, hz / v.track.rate, 0.0, window.data());
        return z.re * z.re + z.im * z.im;
    };
    const double hz = w.figures.hz;
    const double tone = power(hz);
    for (const int k : {2, 3}) {
        const double below = hz / k;
        if (below < kLowestCandidateHz || onMainsMultiple(below, v.spectral.mainsHz, kHumGroupReach * below))
            continue;
        const double fundamental = power(below);
        if (fundamental < kFundamentalUnderTone * tone)
            continue;
        // The noise: the median of four places a few percent to either side.
        const auto noise = [&] {
            double around[4];
            int count = 0;
            for (const double d : {-0.07, -0.04, 0.04, 0.07})
                around[count++] = power(below * (1.0 + d));
            std::sort(around, around + 4);
            return 0.5 * (around[1] + around[2]);
        };
        // Near a hum harmonic its main lobe lifts the places around; a
        // fundamental that sounds with the tone is then told from hum by
        // standing over its level where the tone is silent.
        const BurstAndGap apart = burstAndGap(span, w.bursts, v.track.samples.size());
        const double lobeHz = 2.0 * v.track.rate / static_cast<double>(apart.burst.size());
        if (apart.gap.size() >= 64 && onMainsMultiple(below, v.spectral.mainsHz, kHumLobes * lobeHz)
                ? strengthAt(v, apart.burst, below) < kFundamentalOverFloor * strengthAt(v, apart.gap, below)
                : fundamental < kFundamentalOverFloor * noise())
            continue;
        w.figures.hz = below;
        w.figures.drift /= k;
        w.harmonics = harmonicFiguresOf(source, sourceSpan(v.track, longest, source.frames), below);
        return;
    }
}

// A voice sliding through its pitch (a sung vowel) falls into several
// groups a few percent apart, one after the other; a device's tone, even
// drifting, stays within one.
bool partOfAGlide(const ChannelVerdict& v, std::size_t pick, const std::vector<GroupFigures>& figures)
{
    const double hz = figures[pick].hz;
    const std::vector<std::uint32_t> own = framesOf(v.groups[pick], v.entries);
    std::vector<bool> mine(v.spectral.frames, false), near(v.spectral.frames + 2, false);
    for (const std::uint32_t t : own) {
        mine[t] = true;
        for (std::uint32_t d = 0; d < 3; ++d)
            near[t + d] = true;  // the frame, and the ones either side: near[t + 1] is frame t
    }
    for (std::size_t j = 0; j < v.groups.size(); ++j) {
        const double apart = std::fabs(figures[j].hz - hz);
        if (j == pick || apart < kGlideFrom * hz || apart > kGlideTo * hz ||
            v.groups[j].power < kGlideShare * v.groups[pick].power)
            continue;
        // Beside the tone's frames, but mostly not at the same time: a
        // second tone sounding along with the tone is no glide.
        const std::vector<std::uint32_t> other = framesOf(v.groups[j], v.entries);
        std::size_t shared = 0, beside = 0;
        for (const std::uint32_t t : other) {
            shared += mine[t];
            beside += near[t + 1];
        }
        if (beside > 0 && 2 * shared < std::min(own.size(), other.size()))
            return true;
    }
    return false;
}

}  // namespace

namespace {

// The verdict on `track`, the analysis track of `source` (with its hum
// taken out when `known` gives the mains it had).
ChannelVerdict verdictOn(const Track& source, AnalysisTrack track, const Mains* known)
{
    ChannelVerdict v;
    v.track = std::move(track);
    // The entries as the frames are made, which keeps no frame's powers.
    PitchEntryFinder finder;
    v.spectral = spectralFramesOf(v.track, known,
                                  [&](const SpectralFrames& frames, std::size_t t, const Peak* peaks, std::size_t count,
                                      const float* power) { finder.add(frames, t, peaks, count, power, v.entries); });
    v.groups = toneGroupsOf(v.entries);
    v.chosen = v.groups.size();
    // A sine of amplitude 10^(kSilentBelow / 20) has this mean square.
    const double silentPower = 0.5e-12;
    const bool silent = !(meanSquare(v.track.samples) > silentPower);

    std::vector<GroupFigures> figures;
    for (const ToneGroup& g : v.groups)
        figures.push_back(figuresOf(g, v.entries, v.spectral.binHz, v.spectral.hop));
    // Hum's harmonics may form groups of their own: never the tone.
    const auto hum = [&](std::size_t g) { return humGroup(v, g, figures[g].hz); };

    // The strongest group that sounds like a device's tone, on a candidate
    // if one does; else the strongest steady one, else the strongest.
    std::size_t pick = v.groups.size(), offBand = v.groups.size(), steadyOne = v.groups.size(), any = v.groups.size();
    std::vector<Weighing> weighed(v.groups.size());
    std::vector<bool> isWeighed(v.groups.size(), false);
    std::size_t evaluated = 0;
    for (std::size_t g = 0; g < v.groups.size() && pick == v.groups.size(); ++g) {
        if (hum(g))
            continue;
        if (any == v.groups.size())
            any = g;
        if (!steady(figures[g]) || evaluated >= kMostWeighed)
            continue;
        ++evaluated;
        weighed[g] = weigh(v, source, g, figures[g]);
        isWeighed[g] = true;
        if (steadyOne == v.groups.size())
            steadyOne = g;
        if (!weighed[g].toneLike())
            continue;
        if (candidateNear(rounded2(weighed[g].figures.hz)) != 0)
            pick = g;
        else if (offBand == v.groups.size())
            offBand = g;
    }
    if (pick == v.groups.size())
        pick = offBand != v.groups.size() ? offBand : steadyOne != v.groups.size() ? steadyOne : any;
    if (pick == v.groups.size()) {
        v.reason = silent ? NoToneReason::silent : v.spectral.mainsHz > 0.0 ? NoToneReason::hum : NoToneReason::impure;
        if (!silent && v.spectral.mainsHz > 0.0)
            describeHum(v, source);
        return v;
    }
    if (!isWeighed[pick])
        weighed[pick] = weigh(v, source, pick, figures[pick]);

    v.chosen = pick;
    const ToneGroup& group = v.groups[pick];
    Weighing& w = weighed[pick];
    // Over the group's own frequency: a fundamental found under it may be
    // weak enough for noise to dip it.
    const bool beating = secondsOf(v.track, w.bursts) >= kMinToneSeconds &&
                         dipShareOf(w.envelope, w.bursts) >= kBeatingShare;
    if (w.toneLike())
        takeFundamentalBelow(v, source, w);
    const GroupFigures& f = w.figures;
    v.toneBursts = w.bursts;
    v.hz = f.hz;
    v.purity = f.purity;
    v.snr = f.snr;
    v.drift = f.drift;
    v.power = group.power;
    v.bursts = static_cast<std::uint32_t>(v.toneBursts.size());
    if (!v.toneBursts.empty()) {
        v.start = v.track.secondsAt(v.toneBursts.front().begin);
        v.end = v.track.secondsAt(v.toneBursts.back().end);
        v.level = levelOf(w.harmonics.amplitude);
        v.thd = w.harmonics.thd;
    }

    const std::uint32_t candidate = candidateNear(rounded2(v.hz));
    // The tone's energy: its group's, and what other groups' series took
    // of it as one of their harmonics.
    std::vector<double> besides(v.groups.size());
    double toneEnergy = group.power;
    for (std::size_t j = 0; j < v.groups.size(); ++j)
        if (j != pick) {
            besides[j] = powerBesides(v.groups[j], v.entries, v.hz);
            toneEnergy += v.groups[j].power - besides[j];
        }
    bool several = false;
    for (std::size_t j = 0; j < v.groups.size(); ++j)
        if (j != pick && !hum(j) && figures[j].purity >= kSecondPurity &&
            figures[j].drift <= kSteadySpread * figures[j].hz && candidateNear(rounded2(figures[j].hz)) != candidate &&
            besides[j] >= kSeveralShare * (toneEnergy + besides[j]))
            several = true;
    if (beating)
        several = true;
    const bool humMostly = v.spectral.mainsHz > 0.0 && humPowerOf(v.spectral) > group.power;
    // A device's tone held for half a second without moving is no part of
    // a glide, whatever a voice does beside it.
    const bool held = f.drift <= kHeldSpread * f.hz &&
                      std::any_of(v.toneBursts.begin(), v.toneBursts.end(), [&](const Burst& b) {
                          return (b.end - b.begin) / v.track.rate >= kHeldSeconds;
                      });
    const bool glide = !held && partOfAGlide(v, pick, figures);

    if (silent)
        v.reason = NoToneReason::silent;
    else if (!w.toneLike() || glide)
        v.reason = humMostly ? NoToneReason::hum : NoToneReason::impure;
    else if (v.level < kSilentBelow)
        v.reason = NoToneReason::silent;
    else if (several)
        v.reason = NoToneReason::several;
    else if (f.purity < kMinPurity || f.snr < kLeastSnrDb)
        v.reason = humMostly ? NoToneReason::hum : NoToneReason::impure;
    else if (secondsOf(v.track, v.toneBursts) < kMinToneSeconds)
        v.reason = NoToneReason::shortTone;
    else if (candidate == 0)
        v.reason = NoToneReason::offBand;
    else
        v.reason = NoToneReason::none;
    v.hasTone = v.reason == NoToneReason::none;
    if (v.reason == NoToneReason::hum)
        describeHum(v, source);
    return v;
}

}  // namespace

ChannelVerdict analyseChannel(const Track& source, AnalysisTrack track)
{
    ChannelVerdict v = verdictOn(source, std::move(track), nullptr);
    if (v.hasTone || !(v.spectral.mainsHz > 0.0) || v.reason == NoToneReason::silent)
        return v;
    // A tone a bin or two beside a harmonic of the hum shares its peak in
    // the frames: a second look without the hum.
    // First on the analysis track alone, which is cheap; when that finds
    // the tone, again from the channel at its own rate without its hum,
    // so that the tone's level and THD come clear of the hum too.
    // What it finds must stand well clear of the noise: the lines of a
    // click train, say, are no mains, and what is left of them no tone.
    const Mains mains{v.spectral.mainsHz, v.spectral.mainsAmplitude};
    const ChannelVerdict look = verdictOn(source, withoutHum(v.track, mains.hz), &mains);
    if (!look.hasTone || look.snr < kSecondLookSnrDb)
        return v;
    AnalysisTrack channel;
    channel.rate = channel.sourceRate = source.rate;
    channel.samples.resize(static_cast<std::size_t>(source.frames));
    source.copy(0, channel.samples.size(), channel.samples.data());
    std::vector<float> clean = withoutHum(channel, mains.hz).samples;
    const Track cleanSource{clean.data(), 1, clean.size(), source.rate};
    ChannelVerdict second = verdictOn(cleanSource, analysisTrackOf(cleanSource), &mains);
    if (!second.hasTone || second.snr < kSecondLookSnrDb)
        return v;
    second.withoutHum = std::move(clean);
    return second;
}

std::vector<Segment> segmentsOf(const Track& source, const ChannelVerdict& v)
{
    std::vector<Segment> segments;
    for (std::size_t g = 0; g < v.groups.size(); ++g) {
        const GroupFigures figures = figuresOf(v.groups[g], v.entries, v.spectral.binHz, v.spectral.hop);
        if (!steady(figures) || figures.purity < kMinPurity)
            continue;
        // The stretches of the tones a device makes: not hum, not a voice.
        const Weighing w = g == v.chosen ? Weighing{} : weigh(v, source, g, figures);
        if (g != v.chosen && !w.toneLike())
            continue;
        const std::vector<Burst>& bursts = g == v.chosen ? v.toneBursts : w.bursts;
        for (const Burst& burst : bursts) {
            ToneGroup part;
            for (const std::uint32_t i : v.groups[g].members) {
                const double middle = v.spectral.middleOf(v.entries[i].frame);
                if (middle >= burst.begin && middle < burst.end)
                    part.members.push_back(i);
            }
            part.hz = figures.hz;
            const GroupFigures own = part.members.empty() ? figures : figuresOf(part, v.entries, v.spectral.binHz, v.spectral.hop);
            Segment s;
            s.start = v.track.secondsAt(burst.begin);
            s.end = v.track.secondsAt(burst.end);
            s.measured = burstFrequency(v.track, burst, own.hz);
            s.purity = own.purity;
            s.level = levelOf(harmonicFiguresOf(source, sourceSpan(v.track, burst, source.frames), own.hz).amplitude);
            s.hasTone = own.purity >= kMinPurity && (burst.end - burst.begin) / v.track.rate >= kMinToneSeconds &&
                        s.level >= kSilentBelow;
            segments.push_back(s);
            if (segments.size() >= kMaxSegments)
                break;
        }
        if (segments.size() >= kMaxSegments)
            break;
    }
    std::sort(segments.begin(), segments.end(), [](const Segment& a, const Segment& b) {
        return a.start < b.start || (a.start == b.start && a.measured < b.measured);
    });
    return segments;
}

MeasurementPictures picturesOf(const Track& source, const ChannelVerdict& v)
{
    MeasurementPictures pictures;
    // The frames again, this time keeping their powers.
    const Mains mains{v.spectral.mainsHz, v.spectral.mainsAmplitude};
    const SpectralFrames s = spectralFramesOf(v.track, &mains);
    const std::size_t bins = s.size / 2 + 1;
    if (s.frames > 0) {
        std::vector<double> mean(bins, 0.0);
        std::size_t count = 0;
        if (v.chosen < v.groups.size()) {
            for (const std::uint32_t t : framesOf(v.groups[v.chosen], v.entries)) {
                const float* p = s.powerOf(t);
                for (std::size_t k = 0; k < bins; ++k)
                    mean[k] += p[k];
                ++count;
            }
        }
        if (count == 0) {
            mean = s.meanPower;
            count = 1;
        }
        // A full-scale sine puts N x (sum of w^2) / 4 in its bins: 0 dB.
        const double fullScale = static_cast<double>(s.size) * s.windowEnergy / 4.0;
        pictures.spectrumBinHz = s.binHz;
        for (std::size_t k = 0; k < bins; ++k) {
            const double gain = boxcarGain(static_cast<double>(k) * s.binHz, v.track.step, v.track.sourceRate);
            const double power = mean[k] / static_cast<double>(count) / fullScale;
            pictures.spectrumDb.push_back(decibels(gain > 0.0 ? power / (gain * gain) : power));
        }
    }
    const double nyquist = v.track.rate * 0.5;
    if (v.chosen < v.groups.size()) {
        // The harmonics that most of its frames find.
        const std::vector<std::uint32_t>& members = v.groups[v.chosen].members;
        for (std::uint32_t h = 1; h * v.hz < nyquist; ++h) {
            std::size_t found = 0;
            for (const std::uint32_t i : members) {
                const std::vector<double>& powers = v.entries[i].harmonicPowers;
                found += h <= powers.size() && powers[h - 1] > 0.0;
            }
            if (h == 1 || 2 * found > members.size())
                pictures.harmonicsHz.push_back(h * v.hz);
        }
    }
    if (s.mainsHz > 0.0)
        for (int n = 1; n <= kHumHarmonics && n * s.mainsHz < nyquist; ++n)
            pictures.humHz.push_back(n * s.mainsHz);
    // The envelope of the recording as it is (the analysis track's filter
    // would ring after each burst).
    const std::uint64_t block = std::max<std::uint64_t>(1, static_cast<std::uint64_t>(source.rate * kEnvelopeSeconds + 0.5));
    pictures.envelopeSeconds = static_cast<double>(block) / source.rate;
    // Many blocks a copy: a track not held is read again from its source.
    const std::uint64_t blocks = source.frames / block;
    const std::uint64_t blocksACopy = std::max<std::uint64_t>(1, kEnvelopeCopyFrames / block);
    std::vector<float> samples;
    for (std::uint64_t first = 0; first < blocks; first += blocksACopy) {
        const std::uint64_t count = std::min(blocksACopy, blocks - first);
        samples.resize(static_cast<std::size_t>(count * block));
        source.copy(first * block, samples.size(), samples.data());
        for (std::uint64_t b = 0; b < count; ++b) {
            double sum = 0.0, squares = 0.0;
            for (std::uint64_t n = b * block; n < (b + 1) * block; ++n) {
                const double x = std::clamp(static_cast<double>(samples[n]), -1e9, 1e9);
                sum += x;
                squares += x * x;
            }
            const double mean = sum / static_cast<double>(block);
            pictures.envelopeDb.push_back(
                decibels(2.0 * std::max(0.0, squares / static_cast<double>(block) - mean * mean)));
        }
    }
    for (const Burst& b : v.toneBursts)
        pictures.bursts.emplace_back(v.track.secondsAt(b.begin), v.track.secondsAt(b.end));
    return pictures;
}

}  // namespace tonalyx::detail::measurement
