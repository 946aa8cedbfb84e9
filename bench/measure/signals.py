"""Building blocks of the benchmark's recordings: tones, harmonic series,
coloured noise, mains hum, speech from espeak-ng, and the recording of a
signal into a WAVE file with its rate, format and channels."""
import os
import subprocess
import tempfile
import wave

import numpy as np

from formats import RATES, format_name, pick_format, recording_bytes

CANDIDATES = list(range(100, 1001, 20))


def db(value):
    return 10 ** (value / 20)


def gate(n, rate, start, seconds, ramp=0.0):
    """1 over [start, start + seconds), with linear ramps of `ramp` s inside."""
    t = np.arange(n) / rate
    envelope = ((t >= start) & (t < start + seconds)).astype(float)
    if ramp > 0:
        envelope *= np.clip((t - start) / ramp, 0, 1) * np.clip((start + seconds - t) / ramp, 0, 1)
    return envelope


def series(theta, amplitudes, phases=None):
    """sum over k of amplitudes[k-1] * sin(k * theta + phases[k-1]), by
    complex rotation (one multiplication per harmonic, not a sine)."""
    step = np.exp(1j * theta)
    turn = step.copy()
    out = np.zeros(len(theta))
    for k, a in enumerate(amplitudes):
        if a != 0:
            p = 0.0 if phases is None else phases[k]
            out += a * (turn * np.exp(1j * p)).imag
        if k + 1 < len(amplitudes):
            turn *= step
    return out


def waveform_amplitudes(shape, count):
    """The sine-series amplitudes of harmonics 1..count of a waveform with
    its fundamental at 1: square, triangle, sawtooth, or a sine clipped at
    a share of its peak ("clip0.5")."""
    k = np.arange(1, count + 1)
    odd = k % 2 == 1
    if shape == "square":
        return np.where(odd, 1.0 / k, 0.0)
    if shape == "triangle":
        return np.where(odd, (-1.0) ** ((k - 1) // 2) / k ** 2, 0.0)
    if shape == "sawtooth":
        return (-1.0) ** (k + 1) / k
    if shape.startswith("clip"):
        level = float(shape[4:])
        points = 1 << 16
        theta = 2 * np.pi * np.arange(points) / points
        b = -2.0 * np.fft.rfft(np.clip(np.sin(theta), -level, level)).imag / points
        b = b[1:count + 1]
        return np.where(odd, b, 0.0) / b[0]
    raise ValueError(shape)


def thd_percent(amplitudes):
    a = np.asarray(amplitudes, float)
    return 100.0 * np.sqrt(np.sum(a[1:] ** 2)) / abs(a[0])


def shaped_noise(rng, n, rate, color, low=20.0, high=None):
    """Unit-RMS noise: white, pink (power 1/f) or brown (1/f^2), flat below
    `low` Hz; with `high`, only below `high` Hz (rumble)."""
    spectrum = np.fft.rfft(rng.normal(0.0, 1.0, n))
    f = np.fft.rfftfreq(n, 1.0 / rate)
    if color == "pink":
        spectrum /= np.sqrt(np.maximum(f, low))
    elif color == "brown":
        spectrum /= np.maximum(f, low)
    if high is not None:
        spectrum[(f > high) | (f < 1.0)] = 0.0
    spectrum[0] = 0.0
    x = np.fft.irfft(spectrum, n)
    return x / np.sqrt(np.mean(x * x))


def mains_hum(rng, t, mains, amplitudes):
    """Hum at `mains` Hz and its multiples (amplitudes from the fundamental),
    each at a random phase."""
    return sum(a * np.sin(2 * np.pi * (k + 1) * mains * t + rng.uniform(0, 2 * np.pi))
               for k, a in enumerate(amplitudes) if a > 0)


def resample(x, rate_from, rate_to):
    """Band-limited resampling by the FFT (the spectrum cut or padded)."""
    if rate_from == rate_to:
        return x
    n = int(round(len(x) * rate_to / rate_from))
    spectrum = np.fft.rfft(x)
    out = np.zeros(n // 2 + 1, complex)
    keep = min(len(out), len(spectrum))
    out[:keep] = spectrum[:keep]
    return np.fft.irfft(out, n) * n / len(x)


def espeak(text, voice, speed, pitch=None):
    """Speech from espeak-ng: (samples in [-1, 1], rate)."""
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "s.wav")
        argv = ["espeak-ng", "-v", voice, "-s", str(speed)]
        if pitch is not None:
            argv += ["-p", str(pitch)]
        subprocess.run(argv + ["-w", path, text], check=True, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        with wave.open(path) as w:
            rate, raw = w.getframerate(), w.readframes(w.getnframes())
    return np.frombuffer(raw, "<i2") / 32768.0, rate


class Take:
    """How one file is recorded: rate, sample format and channels (the
    signal in both channels of a stereo file, or in one of them with only
    the noise floor in the other)."""

    def __init__(self, rng, level_db=-6.0, rates=RATES, stereo=True, formats=None):
        self.rate = int(rng.choice(rates))
        if formats is None:
            self.kind, self.bits, self.extensible = pick_format(rng, quiet_ok=level_db >= -18.0)
        else:
            self.kind, self.bits = formats[rng.integers(len(formats))]
            self.extensible = bool(rng.random() < 0.3)
        self.channels = 2 if stereo and rng.random() < 0.4 else 1
        self.where = int(rng.integers(3)) if self.channels == 2 else 0  # 0: both, 1 or 2: that channel

    def record(self, rng, x, floor_db=None, edit=None):
        """The WAVE bytes of signal x, with white noise at floor_db dBFS in
        every channel, `edit` applied to the frames (a dropout, say), scaled
        down if it would clip. Returns (bytes, the scale in dB)."""
        frames = np.zeros((len(x), self.channels))
        for c in range(self.channels):
            if self.where in (0, c + 1):
                frames[:, c] = x
            if floor_db is not None:
                frames[:, c] += rng.normal(0.0, db(floor_db), len(x))
        if edit is not None:
            frames = edit(frames)
        peak = np.max(np.abs(frames)) if len(frames) else 0.0
        scale = 0.98 / peak if peak > 0.98 else 1.0
        return recording_bytes(frames * scale, self.rate, self.kind, self.bits, self.extensible), 20 * np.log10(scale)

    def truth(self):
        return dict(rate=self.rate, format=format_name(self.kind, self.bits, self.extensible),
                    channels=self.channels, tone_channel=self.where)
