"""The families of hard but ordinary recordings, one seeded generator each,
taking (rng, index) and returning the WAVE bytes and the truth row of one
file:

  harmonic  square, triangle and sawtooth waves, sines clipped at 50 % and
            20 %, buzzers whose 2nd or 3rd harmonic is 1 to 4 times the
            fundamental (all band-limited: harmonics below half the rate);
  hum       mains hum (50 or 60 Hz, 2nd to 5th harmonics) up to +12 dB over
            the tone, rumble below 30 Hz up to +10 dB, DC, or all three;
  noise     white, pink or brown noise as strong as the tone (0 dB SNR);
  second    a second tone 6 to 18 dB below, at no simple ratio;
  beeps     bursts of 0.08 to 0.5 s, gaps of 0.05 to 0.5 s, each burst at
            its own phase;
  broken    a phase jump, a dropout of 5 to 30 ms, or 1 to 200 samples
            deleted;
  pops      clicks, noise bursts and thumps up to 30 ms and 20 dB over the
            tone, anywhere;
  drift     a glide up to +-2 %, flutter up to +-1 % at 0.5 to 8 Hz, or
            50 ppm over 20 to 58 s;
  several   louder speech before or after the tone, or a shorter tone with
            at most a fifth of the tone energy before it;
  short     a 0.1 s tone with 5 ms ramps, anywhere in up to 3 s;
  combined  a buzzer that beeps, with mains hum and noise;
  none      speech and sung vowels, noise, sweeps, silence, click trains,
            hum alone, tones off the band, two equal tones, a tone at 1e-30,
            tones under 0.1 s.

The columns of truth.tsv: file (its path), kind ("tone", or what a file
without one holds), candidate (0 for none), hz (the tone's mean
frequency), seconds (of tone, bursts summed), snr (full band, dB, where
set), level (dBFS of the fundamental), start and end (of the first and
the last burst), rate, format, channels, tone_channel (0: all, else the
one), family, variant, and where known: reason (of none), bursts, thd
(percent: the harmonics generated, against the fundamental) and drift (max
- min of the instantaneous frequency, Hz).
"""
import numpy as np

from signals import (CANDIDATES, Take, db, espeak, gate, mains_hum, resample, series, shaped_noise, thd_percent,
                     waveform_amplitudes)

SENTENCES = ["The quick brown fox jumps over the lazy dog.", "Test bench ready, start the measurement now.",
             "One two three four five six seven eight nine ten.", "Hello, this is channel one speaking.",
             "Please check the tone generator before the next run.", "Frequency response at four hundred hertz.",
             "Der Lautsprecher ist bereit.", "Le signal est pret, commencez la mesure."]
VOICES = ["en", "en-us", "de", "fr", "en+f3", "en+m3"]
LONG_FORMATS = [("int", 16), ("int", 24), ("float", 32)]


def row(take, variant, candidate, hz=0.0, start=0.0, seconds=0.0, level=None, kind="tone", snr="", reason="",
        bursts="", thd="", drift="", end=None):
    tone = candidate != 0
    end = start + seconds if end is None else end
    return dict(kind=kind if not tone else "tone", variant=variant, candidate=candidate,
                hz="%.4f" % hz if tone else "0", seconds="%.3f" % seconds,
                snr=snr, level="" if level is None else "%.1f" % level,
                start="%.3f" % start if tone else "", end="%.3f" % end if tone else "",
                reason=reason, bursts=bursts, thd=thd, drift=drift, **take.truth())


def pick_tone(rng, avoid=()):
    """A candidate and a frequency up to 3 Hz off it, 3 Hz or more from
    every frequency in `avoid`."""
    while True:
        candidate = int(rng.choice(CANDIDATES))
        hz = candidate + rng.uniform(-3.0, 3.0)
        if all(abs(hz - a) >= 3.0 for a in avoid):
            return candidate, hz


def span(rng, seconds, rate, lead_max=0.5, tail_max=0.5):
    lead, tail = rng.uniform(0, lead_max), rng.uniform(0, tail_max)
    return lead, int(round((lead + seconds + tail) * rate))


def sine(t, hz, phase, start=0.0):
    return np.sin(2 * np.pi * hz * (t - start) + phase)


def speech(rng, rate, peak):
    """A sentence from a random voice and speed, at `rate`, at that peak."""
    x, native = espeak(SENTENCES[rng.integers(len(SENTENCES))], VOICES[rng.integers(len(VOICES))],
                       int(rng.integers(110, 230)))
    x = resample(x, native, rate)
    return x * peak / np.max(np.abs(x))


def beep_pattern(rng, max_seconds=7.0):
    """Bursts of 0.08 to 0.5 s with gaps of 0.05 to 0.5 s, regular or not:
    a list of (start, seconds) from 0."""
    regular = rng.random() < 0.5
    on, off = rng.uniform(0.08, 0.5), rng.uniform(0.05, 0.5)
    bursts, at = [], 0.0
    for _ in range(int(rng.integers(2, 13))):
        if not regular:
            on, off = rng.uniform(0.08, 0.5), rng.uniform(0.05, 0.5)
        if bursts and at + on > max_seconds:
            break
        bursts.append((at, on))
        at += on + off
    return bursts


def gated(rng, t, rate, lead, bursts, make):
    """make(theta) at its own random phase in each burst (ramps of 0 to 5 ms)."""
    x = np.zeros(len(t))
    ramp = rng.uniform(0.0, 0.005)
    for start, seconds in bursts:
        a, b = int((lead + start) * rate), min(len(t), int(np.ceil((lead + start + seconds) * rate)) + 1)
        part = slice(a, b)
        x[part] += make(t[part], rng.uniform(0, 2 * np.pi)) * gate(b - a, rate, lead + start - a / rate, seconds, ramp)
    return x


# --- harmonic-rich tones -----------------------------------------------------

HARMONIC_SHAPES = ["square", "triangle", "sawtooth", "clip0.5", "clip0.2", "buzzer2", "buzzer3"]


def harmonic_amplitudes(rng, shape, count):
    """Amplitudes (fundamental 1) and phases of harmonics 1..count."""
    if shape.startswith("buzzer"):
        strong = int(shape[6:])
        amplitudes = np.zeros(count)
        amplitudes[0] = 1.0
        for k in range(2, min(count, 6) + 1):
            amplitudes[k - 1] = rng.uniform(1.0, 4.0) if k == strong else rng.uniform(0.02, 0.3)
        return amplitudes, rng.uniform(0, 2 * np.pi, count)
    return waveform_amplitudes(shape, count), None


def harmonic_file(rng, index):
    shape = HARMONIC_SHAPES[index % len(HARMONIC_SHAPES)]
    level = rng.uniform(-26.0, -8.0)
    take = Take(rng, level, formats=LONG_FORMATS + [("int", 32)])
    candidate, hz = pick_tone(rng)
    seconds = rng.uniform(0.5, 2.0)
    lead, n = span(rng, seconds, take.rate)
    t = np.arange(n) / take.rate
    count = int(np.ceil(take.rate / 2 / hz)) - 1  # harmonics below half the rate
    amplitudes, phases = harmonic_amplitudes(rng, shape, count)
    theta = 2 * np.pi * hz * (t - lead) + rng.uniform(0, 2 * np.pi)
    x = db(level) * series(theta, amplitudes, phases) * gate(n, take.rate, lead, seconds, rng.uniform(0, 0.01))
    data, scale = take.record(rng, x, rng.uniform(-90, -65))
    variant = shape.replace("clip0.", "clip") + ("0" if shape.startswith("clip") else "")
    return data, row(take, variant, candidate, hz, lead, seconds, level + scale, bursts="1",
                     thd="%.2f" % thd_percent(amplitudes))


# --- hum, rumble and DC ------------------------------------------------------

def room(rng, t, rate, tone_amp, variant):
    """Hum (50 or 60 Hz, with 2nd to 5th harmonics up to +12 dB over the
    tone), rumble below 30 Hz (up to +10 dB), DC, or all three; and the
    hum's frequencies."""
    x, hum = np.zeros(len(t)), []
    if variant in ("mains", "all"):
        mains = (50.0 if rng.random() < 0.5 else 60.0) + rng.uniform(-0.05, 0.05)
        amplitudes = [tone_amp * db(rng.uniform(0, 12))]
        amplitudes += [tone_amp * db(rng.uniform(-12, 12)) if rng.random() < 0.7 else 0.0 for _ in range(4)]
        x += mains_hum(rng, t, mains, amplitudes)
        hum = [mains * k for k in range(1, 6)]
    if variant in ("rumble", "all"):
        x += tone_amp / np.sqrt(2) * db(rng.uniform(0, 10)) * shaped_noise(rng, len(t), rate, "white", high=30.0)
    if variant in ("dc", "all"):
        x += rng.choice([-1, 1]) * rng.uniform(0.02, 0.4)
    return x, hum


def hum_file(rng, index):
    variant = ["mains", "rumble", "dc", "all"][index % 4]
    level = rng.uniform(-30.0, -14.0)
    take = Take(rng, level)
    seconds = rng.uniform(0.5, 3.0)
    lead, n = span(rng, seconds, take.rate)
    t = np.arange(n) / take.rate
    x, hum = room(rng, t, take.rate, db(level), variant)
    candidate, hz = pick_tone(rng, hum)
    x += db(level) * sine(t, hz, rng.uniform(0, 2 * np.pi), lead) * gate(n, take.rate, lead, seconds, 0.005)
    data, scale = take.record(rng, x, rng.uniform(-90, -65))
    return data, row(take, variant, candidate, hz, lead, seconds, level + scale, bursts="1")


# --- noise at 0 dB SNR ---------------------------------------------------------

def noise_file(rng, index):
    color = ["white", "pink", "brown"][index % 3]
    level = rng.uniform(-24.0, -10.0)
    take = Take(rng, level)
    seconds = rng.uniform(0.5, 3.0)
    lead, n = span(rng, seconds, take.rate)
    t = np.arange(n) / take.rate
    candidate, hz = pick_tone(rng)
    x = db(level) * sine(t, hz, rng.uniform(0, 2 * np.pi), lead) * gate(n, take.rate, lead, seconds, 0.005)
    x += db(level) / np.sqrt(2) * shaped_noise(rng, n, take.rate, color)  # as strong as the tone
    data, scale = take.record(rng, x)
    return data, row(take, color, candidate, hz, lead, seconds, level + scale, snr="0.0", bursts="1")


# --- a second, weaker tone -----------------------------------------------------

def unrelated(rng, hz):
    """A frequency of 80 to 1500 Hz that is no simple ratio (p/q, both up to
    6) of hz and 25 Hz or more away from it."""
    while True:
        other = rng.uniform(80.0, 1500.0)
        ratio = other / hz
        if abs(other - hz) >= 25.0 and all(abs(ratio - p / q) > 0.02 * p / q
                                           for p in range(1, 7) for q in range(1, 7)):
            return other


def second_file(rng, index):
    level = rng.uniform(-24.0, -6.0)
    take = Take(rng, level)
    seconds = rng.uniform(0.5, 3.0)
    lead, n = span(rng, seconds, take.rate)
    t = np.arange(n) / take.rate
    candidate, hz = pick_tone(rng)
    other, below = unrelated(rng, hz), rng.uniform(6.0, 18.0)
    x = db(level) * sine(t, hz, rng.uniform(0, 2 * np.pi), lead) * gate(n, take.rate, lead, seconds, 0.005)
    if index % 3 == 2:  # the second tone over part of the first only
        part = rng.uniform(0.3, 0.8) * seconds
        where = lead + rng.uniform(0, seconds - part)
    else:
        part, where = seconds, lead
    x += db(level - below) * sine(t, other, rng.uniform(0, 2 * np.pi)) * gate(n, take.rate, where, part, 0.005)
    data, scale = take.record(rng, x, rng.uniform(-90, -60))
    return data, row(take, "%.0f-%.0fdB" % (other, below), candidate, hz, lead, seconds, level + scale, bursts="1")


# --- beeps ---------------------------------------------------------------------

def beeps_file(rng, index):
    level = rng.uniform(-30.0, -6.0)
    take = Take(rng, level)
    bursts = beep_pattern(rng)
    last = bursts[-1][0] + bursts[-1][1]
    lead, n = span(rng, last, take.rate)
    t = np.arange(n) / take.rate
    candidate, hz = pick_tone(rng)
    x = db(level) * gated(rng, t, take.rate, lead, bursts, lambda u, p: np.sin(2 * np.pi * hz * u + p))
    data, scale = take.record(rng, x, rng.uniform(-90, -60))
    on = sum(s for _, s in bursts)
    return data, row(take, "%dx%.2fs" % (len(bursts), on / len(bursts)), candidate, hz, lead, on,
                     level + scale, bursts=str(len(bursts)), end=lead + last)


# --- phase jumps, dropouts, deleted samples ------------------------------------

def broken_file(rng, index):
    variant = ["phase", "dropout", "deleted"][index % 3]
    level = rng.uniform(-30.0, -6.0)
    take = Take(rng, level)
    seconds = rng.uniform(1.0, 3.0)
    lead, n = span(rng, seconds, take.rate)
    t = np.arange(n) / take.rate
    candidate, hz = pick_tone(rng)
    at = lead + rng.uniform(0.2, 0.8) * seconds
    phase = rng.uniform(0, 2 * np.pi)
    edit, end = None, lead + seconds
    if variant == "phase":
        jump = rng.uniform(10.0, 350.0)
        phase = phase + np.where(t >= at, np.radians(jump), 0.0)
        variant = "phase%.0f" % jump
    elif variant == "dropout":
        gone = rng.uniform(0.005, 0.03)
        a, b = int(at * take.rate), int((at + gone) * take.rate)

        def edit(frames):
            frames[a:b] = 0.0
            return frames
        variant = "dropout%.0fms" % (gone * 1000)
    else:
        gone = int(rng.integers(1, 201))
        a = int(at * take.rate)

        def edit(frames):
            return np.delete(frames, np.s_[a:a + gone], axis=0)
        end -= gone / take.rate
        variant = "deleted%d" % gone
    x = db(level) * sine(t, hz, phase, lead) * gate(n, take.rate, lead, seconds, 0.005)
    data, scale = take.record(rng, x, rng.uniform(-90, -60), edit)
    return data, row(take, variant, candidate, hz, lead, end - lead, level + scale, bursts="1")


# --- pops and clicks -------------------------------------------------------------

def pop(rng, rate, peak):
    """A click (1 to 4 samples), a decaying noise burst or a thump, up to
    30 ms long."""
    kind = ["click", "burst", "thump"][rng.integers(3)]
    if kind == "click":
        shape = rng.choice([-1.0, 1.0]) * np.ones(int(rng.integers(1, 5)))
    else:
        m = max(2, int(rng.uniform(0.001, 0.03) * rate))
        if kind == "burst":
            shape = rng.normal(0, 1, m) * np.exp(-5.0 * np.arange(m) / m)
        else:
            shape = rng.choice([-1.0, 1.0]) * np.sin(np.pi * np.arange(m) / m)
    return peak * shape / np.max(np.abs(shape))


def pops_file(rng, index):
    level = rng.uniform(-34.0, -21.0)
    take = Take(rng, level)
    seconds = rng.uniform(1.0, 3.0)
    lead, n = span(rng, seconds, take.rate)
    t = np.arange(n) / take.rate
    candidate, hz = pick_tone(rng)
    x = db(level) * sine(t, hz, rng.uniform(0, 2 * np.pi), lead) * gate(n, take.rate, lead, seconds, 0.005)
    count = int(rng.integers(1, 4))
    for _ in range(count):
        p = pop(rng, take.rate, min(0.95, db(level + rng.uniform(0.0, 20.0))))
        at = int(rng.integers(0, n - len(p)))
        x[at:at + len(p)] += p
    data, scale = take.record(rng, x, rng.uniform(-90, -60))
    return data, row(take, "%dpops" % count, candidate, hz, lead, seconds, level + scale, bursts="1")


# --- drift, flutter, slow drift -------------------------------------------------

def drift_file(rng, index):
    variant = ["glide", "flutter", "slow"][index % 3]
    level = rng.uniform(-30.0, -6.0)
    if variant == "slow":
        take = Take(rng, level, rates=[16000, 22050, 32000, 44100, 48000], stereo=False, formats=LONG_FORMATS)
        seconds = rng.uniform(20.0, 58.0)
    else:
        take = Take(rng, level)
        seconds = rng.uniform(1.0, 4.0)
    candidate, mean = pick_tone(rng)
    m = int(round(seconds * take.rate))
    u = np.arange(m) / seconds / take.rate  # 0 to 1 over the tone
    if variant == "glide":
        change = rng.uniform(-0.02, 0.02)
        f = mean / (1 + change / 2) * (1 + change * u)
        variant = "glide%+.2fpct" % (100 * change)
    elif variant == "flutter":
        depth, rate = rng.uniform(0.001, 0.01), rng.uniform(0.5, 8.0)
        seconds = max(seconds, 1.5 / rate)
        m = int(round(seconds * take.rate))
        u = np.arange(m) / take.rate
        f = mean * (1 + depth * np.sin(2 * np.pi * rate * u + rng.uniform(0, 2 * np.pi)))
        variant = "flutter%.1fpct-%.1fHz" % (100 * depth, rate)
    else:
        change = rng.choice([-50e-6, 50e-6])
        f = mean * (1 - change / 2 + change * u)
        variant = "slow%+.0fppm" % (change * 1e6)
    lead_max = min(0.5, (59.0 - seconds) / 2)
    lead, n = span(rng, seconds, take.rate, lead_max, lead_max)
    a = int(round(lead * take.rate))
    x = np.zeros(n)
    phase = rng.uniform(0, 2 * np.pi) + 2 * np.pi * np.cumsum(f) / take.rate
    x[a:a + m] = db(level) * np.sin(phase[:n - a]) * gate(m, take.rate, 0.0, seconds, 0.005)[:n - a]
    data, scale = take.record(rng, x, rng.uniform(-90, -60))
    candidate = CANDIDATES[int(np.argmin([abs(c - f.mean()) for c in CANDIDATES]))]
    return data, row(take, variant, candidate, f.mean(), lead, seconds, level + scale, bursts="1",
                     drift="%.4f" % (f.max() - f.min()))


# --- several sounds: speech and a tone, a tone and a longer tone ------------------

def several_file(rng, index):
    variant = ["speech-tone", "tone-speech", "tone-tone"][index % 3]
    level = rng.uniform(-24.0, -8.0)
    take = Take(rng, level, rates=[11025, 16000, 22050, 32000, 44100, 48000, 96000])
    candidate, hz = pick_tone(rng)
    seconds = rng.uniform(1.0, 3.0)
    gap = rng.uniform(0.1, 0.5)
    if variant == "tone-tone":
        other = candidate
        while abs(other - candidate) < 40 or other % candidate == 0 or candidate % other == 0:
            other = int(rng.choice(CANDIDATES))
        first_level = level + rng.uniform(-6.0, 3.0)
        first = rng.uniform(0.3, 1.0)
        # the first tone holds at most a fifth of the tone energy
        seconds = max(seconds, 4.0 * first * db(2 * (first_level - level)))
        lead, n = span(rng, first + gap + seconds, take.rate)
        t = np.arange(n) / take.rate
        x = db(first_level) * sine(t, other + rng.uniform(-3, 3), rng.uniform(0, 7), lead) \
            * gate(n, take.rate, lead, first, 0.005)
        start = lead + first + gap
        variant = "%d-then" % other
    else:
        talk = speech(rng, take.rate, db(level + rng.uniform(3.0, 12.0)))
        lead, n = span(rng, len(talk) / take.rate + gap + seconds, take.rate)
        t = np.arange(n) / take.rate
        x = np.zeros(n)
        if variant == "speech-tone":
            at, start = int(lead * take.rate), lead + len(talk) / take.rate + gap
        else:
            at, start = int((lead + seconds + gap) * take.rate), lead
        x[at:at + len(talk)] += talk[:n - at]
    x += db(level) * sine(t, hz, rng.uniform(0, 2 * np.pi), start) * gate(n, take.rate, start, seconds, 0.005)
    data, scale = take.record(rng, x, rng.uniform(-90, -60))
    return data, row(take, variant, candidate, hz, start, seconds, level + scale, bursts="1")


# --- a 0.1 s tone ------------------------------------------------------------------

def short_file(rng, index):
    level = rng.uniform(-30.0, -6.0)
    take = Take(rng, level)
    lead, n = span(rng, 0.1, take.rate, 1.5, 1.5)
    t = np.arange(n) / take.rate
    candidate, hz = pick_tone(rng)
    x = db(level) * sine(t, hz, rng.uniform(0, 2 * np.pi), lead) * gate(n, take.rate, lead, 0.1, 0.005)
    data, scale = take.record(rng, x, rng.uniform(-90, -60))
    return data, row(take, "at%.3fs" % lead, candidate, hz, lead, 0.1, level + scale, bursts="1")


# --- a beeping buzzer in a humming room with noise ------------------------------

def combined_file(rng, index):
    level = rng.uniform(-30.0, -16.0)
    take = Take(rng, level)
    bursts = beep_pattern(rng, 5.0)
    last = bursts[-1][0] + bursts[-1][1]
    lead, n = span(rng, last, take.rate)
    t = np.arange(n) / take.rate
    x, hum = room(rng, t, take.rate, db(level - 6.0), "mains")
    candidate, hz = pick_tone(rng, hum)
    count = int(np.ceil(take.rate / 2 / hz)) - 1
    amplitudes, phases = harmonic_amplitudes(rng, "buzzer%d" % (2 + index % 2), count)
    x += db(level) * gated(rng, t, take.rate, lead, bursts,
                           lambda u, p: series(2 * np.pi * hz * u + p, amplitudes, phases))
    color, snr = ["white", "pink"][rng.integers(2)], rng.uniform(6.0, 20.0)
    x += db(level - snr) / np.sqrt(2) * shaped_noise(rng, n, take.rate, color)
    data, scale = take.record(rng, x)
    on = sum(s for _, s in bursts)
    return data, row(take, "buzzer%d-%dbeeps-%s" % (2 + index % 2, len(bursts), color), candidate, hz, lead, on,
                     level + scale, snr="%.1f" % snr, bursts=str(len(bursts)), end=lead + last)


# --- recordings that hold no tone --------------------------------------------------

NONE_KINDS = [  # (kind, files, reason where it is plain)
    ("speech", 8, ""), ("sung", 4, ""), ("white", 2, "impure"), ("pink", 2, "impure"), ("brown", 2, "impure"),
    ("linear-sweep", 2, ""), ("log-sweep", 2, ""), ("digital-silence", 2, "silent"), ("dithered-silence", 2, ""),
    ("clicks", 3, ""), ("hum", 4, "hum"), ("low", 2, "off-band"), ("high", 2, "off-band"), ("pair", 3, "several"),
    ("tiny", 2, "silent"), ("too-short", 3, "short"),
]
NONE_LIST = [(kind, reason) for kind, files, reason in NONE_KINDS for _ in range(files)]
VOWELS = ["aaaaaaaa", "oooooooo", "eeeeeeee", "uuuuuuuu"]


def none_signal(rng, kind, take, i):
    """The samples of one no-tone recording, and a few words on it."""
    rate = take.rate
    seconds = rng.uniform(1.0, 3.0)
    n = int(seconds * rate)
    t = np.arange(n) / rate
    if kind in ("speech", "sung"):
        if kind == "speech":
            voice, speed, pitch = VOICES[i % len(VOICES)], int(rng.integers(80, 260)), None
            text = SENTENCES[i % len(SENTENCES)]
        else:
            voice, speed, pitch = ["en", "en+f3", "de", "en+m3"][i % 4], 80, int(rng.integers(20, 80))
            text = VOWELS[i % len(VOWELS)]
        x, native = espeak(text, voice, speed, pitch)
        x = resample(x, native, rate)
        return x * db(rng.uniform(-12, -1)) / np.max(np.abs(x)), "%s-%s-%d" % (voice, text[:4], speed)
    if kind in ("white", "pink", "brown"):
        return db(rng.uniform(-30, -10)) * shaped_noise(rng, n, rate, kind), kind
    if kind.endswith("sweep"):
        low, high = rng.uniform(60, 300), rng.uniform(800, min(4000, 0.45 * rate))
        if kind == "linear-sweep":
            phase = 2 * np.pi * (low * t + (high - low) / (2 * seconds) * t * t)
        else:
            k = np.log(high / low) / seconds
            phase = 2 * np.pi * low * np.expm1(k * t) / k
        return db(rng.uniform(-20, -6)) * np.sin(phase), "%.0f-%.0fHz" % (low, high)
    if kind == "digital-silence":
        return np.zeros(n), "zeros"
    if kind == "dithered-silence":
        lsb = 1.0 / 2 ** 15
        return (rng.uniform(-0.5, 0.5, n) + rng.uniform(-0.5, 0.5, n)) * lsb, "tpdf16"
    if kind == "clicks":
        every = rng.uniform(1.0 / 15, 0.5)
        x = np.zeros(n)
        for at in np.arange(rng.uniform(0, every), seconds, every):
            at = int((at + rng.uniform(-0.002, 0.002)) * rate)
            if 0 <= at < n:
                x[at] = db(rng.uniform(-20, -3))
        return x, "every%.3fs" % every
    if kind == "hum":
        mains = (50.0 if rng.random() < 0.5 else 60.0) + rng.uniform(-0.05, 0.05)
        plain = i % 2 == 0
        amplitudes = [1.0] + ([0.0] * 4 if plain else list(rng.uniform(0.1, 1.5, 4)))
        level = rng.uniform(-30, -10)
        return db(level) * mains_hum(rng, t, mains, amplitudes) / sum(amplitudes), \
            "%.0fHz%s" % (mains, "" if plain else "+harmonics")
    if kind in ("low", "high", "tiny"):
        hz = {"low": lambda: rng.choice([rng.uniform(30, 45), rng.uniform(65, 88)]),
              "high": lambda: rng.uniform(1030, min(4000, 0.4 * rate)),
              "tiny": lambda: rng.choice(CANDIDATES) + rng.uniform(-3, 3)}[kind]()
        amp = 1e-30 if kind == "tiny" else db(rng.uniform(-24, -6))
        return amp * np.sin(2 * np.pi * hz * t + rng.uniform(0, 7)), "%.1fHz" % hz
    if kind == "pair":
        a, b = rng.uniform(150, 900), 0.0
        while not 100 <= b <= 1000:  # both in the candidates' band
            b = unrelated(rng, a)
        amp = db(rng.uniform(-24, -10))
        return amp * (np.sin(2 * np.pi * a * t + rng.uniform(0, 7)) + np.sin(2 * np.pi * b * t + rng.uniform(0, 7))), \
            "%.0f+%.0fHz" % (a, b)
    if kind == "too-short":
        length = rng.uniform(0.03, 0.07)
        lead = rng.uniform(0.1, 0.8)
        hz = rng.choice(CANDIDATES)
        x = db(rng.uniform(-20, -6)) * np.sin(2 * np.pi * hz * t) * gate(n, rate, lead, length, 0.005)
        return x, "%dHz-%.0fms" % (hz, 1000 * length)
    raise ValueError(kind)


def none_file(rng, index):
    kind, reason = NONE_LIST[index]
    if kind == "tiny":
        take = Take(rng, formats=[("float", 32)])
    elif kind in ("dithered-silence",):
        take = Take(rng, formats=[("int", 16)], stereo=False)
    else:
        take = Take(rng, -12.0)
    x, what = none_signal(rng, kind, take, index)
    floor = None if kind in ("digital-silence", "dithered-silence", "tiny") else rng.uniform(-90, -60)
    data, _ = take.record(rng, x, floor)
    return data, row(take, what, 0, kind=kind, seconds=len(x) / take.rate, reason=reason)


# (family, files, generator); every family has its own seed.
FAMILIES = [
    ("harmonic", 35, harmonic_file),
    ("hum", 36, hum_file),
    ("noise", 36, noise_file),
    ("second", 36, second_file),
    ("beeps", 36, beeps_file),
    ("broken", 36, broken_file),
    ("pops", 36, pops_file),
    ("drift", 36, drift_file),
    ("several", 36, several_file),
    ("short", 36, short_file),
    ("combined", 36, combined_file),
    ("none", len(NONE_LIST), none_file),
]
