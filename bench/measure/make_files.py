#!/usr/bin/python3
"""Writes recordings like a test bench's, with known truth, for compare.py.

    make_files.py OUT_DIR [SEED]

Today's set: about 350 tone files and 55 without a tone. Tones: random
phase, a lead-in and a tail of 0 to 0.5 s, white noise at 12 to 60 dB
below the tone, mains hum, harmonics and DC, 8 to 96 kHz, 8/16/24/32-bit
integers and 32-bit floats, plain and extensible format chunks, mono and
stereo (the tone in one channel or both), 0.25 to 5 s of tone, up to 4 Hz
off a candidate. Without a tone: dithered silence, noise, speech
(espeak-ng, when installed) and sweeps.

Then one folder per family of hard signals (families.py), each from its own
seed: harmonic, hum, noise, second, beeps, broken, pops, drift, several,
short, combined and none; and cost/, the recordings of measure_time.

OUT_DIR/truth.tsv has a row per file (its path under OUT_DIR): see
families.py for the columns. Same seed, same files.
"""
import os
import re
import shutil
import sys
import time
import zlib

import numpy as np

from families import FAMILIES
from signals import CANDIDATES, espeak, thd_percent
from formats import RATES, pick_format, recording_bytes

COLUMNS = ["file", "kind", "candidate", "hz", "seconds", "snr", "level", "start", "end", "rate", "format", "channels",
           "tone_channel", "family", "variant", "reason", "bursts", "thd", "drift"]


def tone_file(rng):
    rate = int(rng.choice(RATES))
    kind, bits, extensible = pick_format(rng)
    candidate = int(rng.choice(CANDIDATES))
    hz = candidate + rng.uniform(-4.0, 4.0)
    seconds = rng.uniform(0.25, 5.0)
    lead, tail = rng.uniform(0.0, 0.5), rng.uniform(0.0, 0.5)
    snr = rng.uniform(12.0, 60.0)
    level = rng.uniform(-12.0 if bits == 8 else -30.0, -3.0)
    amp = 10 ** (level / 20)
    channels = 1 if rng.random() < 0.6 else 2
    where = int(rng.integers(3)) if channels == 2 else 0  # 0: both, 1 or 2: that channel
    n = int(round((lead + seconds + tail) * rate))
    t = np.arange(n) / rate
    on = (t >= lead) & (t < lead + seconds)
    ramp = rng.uniform(0.0, 0.01)
    envelope = on.astype(float)
    if ramp > 0:
        envelope *= np.clip((t - lead) / ramp, 0, 1) * np.clip((lead + seconds - t) / ramp, 0, 1)
    phase = rng.uniform(0, 2 * np.pi)
    tone = amp * np.sin(2 * np.pi * hz * (t - lead) + phase)
    harmonics = [1.0]
    for h in range(2, 5):  # harmonics 25 to 50 dB down
        if h * hz < rate / 2:
            harmonics.append(10 ** (-rng.uniform(25, 50) / 20))
            tone += amp * harmonics[-1] * np.sin(2 * np.pi * h * hz * t + rng.uniform(0, 6.3))
    tone *= envelope
    mains = 50.0 if rng.random() < 0.5 else 60.0
    hum_amp = amp * 10 ** (-rng.uniform(20, 50) / 20)
    dc = rng.uniform(-0.01, 0.01)
    noise_rms = amp / np.sqrt(2) / 10 ** (snr / 20)
    frames = np.zeros((n, channels))
    for c in range(channels):
        hum = hum_amp * (np.sin(2 * np.pi * mains * t + rng.uniform(0, 6.3))
                         + 0.3 * np.sin(2 * np.pi * 3 * mains * t + rng.uniform(0, 6.3)))
        x = hum + dc + rng.normal(0.0, noise_rms, n)
        if where == 0 or where == c + 1:
            x = x + tone
        frames[:, c] = x
    frames = np.clip(frames, -1.0, 1.0)
    truth = dict(kind="tone", candidate=candidate, hz="%.4f" % hz, seconds="%.3f" % seconds,
                 snr="%.1f" % snr, level="%.1f" % level, start="%.3f" % lead, end="%.3f" % (lead + seconds),
                 rate=rate, format="%s%d%s" % (kind, bits, "x" if extensible else ""), channels=channels,
                 tone_channel=where, bursts=1, thd="%.2f" % thd_percent(harmonics))
    return recording_bytes(frames, rate, kind, bits, extensible), truth


def none_truth(what, rate, kind, bits, extensible, channels, seconds, reason=""):
    return dict(kind=what, candidate=0, hz="0", seconds="%.3f" % seconds, snr="", level="", start="", end="",
                rate=rate, format="%s%d%s" % (kind, bits, "x" if extensible else ""), channels=channels,
                tone_channel=0, reason=reason)


def silence_file(rng):
    rate = int(rng.choice(RATES))
    bits = int(rng.choice([16, 24]))
    seconds = rng.uniform(0.5, 5.0)
    n = int(seconds * rate)
    lsb = 1.0 / 2 ** (bits - 1)
    frames = (rng.uniform(-0.5, 0.5, (n, 1)) + rng.uniform(-0.5, 0.5, (n, 1))) * lsb  # TPDF dither
    return recording_bytes(frames, rate, "int", bits, False), none_truth("silence", rate, "int", bits, False, 1, seconds)


def noise_file(rng):
    rate = int(rng.choice(RATES))
    kind, bits, extensible = pick_format(rng)
    seconds = rng.uniform(0.5, 5.0)
    n = int(seconds * rate)
    level = rng.uniform(-40, -10)
    x = rng.normal(0, 10 ** (level / 20), n)
    if rng.random() < 0.5:  # some of it pink-ish: white noise summed over a few octaves
        x = np.cumsum(x) * 0.05
        x -= np.convolve(x, np.ones(64) / 64, "same")
    frames = np.clip(x, -1, 1).reshape(-1, 1)
    return recording_bytes(frames, rate, kind, bits, extensible), none_truth("noise", rate, kind, bits, extensible, 1,
                                                                        seconds, "impure")


def sweep_file(rng):
    rate = int(rng.choice(RATES))
    kind, bits, extensible = pick_format(rng)
    seconds = rng.uniform(1.0, 5.0)
    n = int(seconds * rate)
    t = np.arange(n) / rate
    low, high = rng.uniform(80, 300), rng.uniform(800, 3000)
    if rng.random() < 0.5:
        phase = 2 * np.pi * (low * t + (high - low) / (2 * seconds) * t * t)
    else:
        k = np.log(high / low) / seconds
        phase = 2 * np.pi * low * (np.exp(k * t) - 1) / k
    x = 0.3 * np.sin(phase) + rng.normal(0, 0.003, n)
    return recording_bytes(x.reshape(-1, 1), rate, kind, bits, extensible), none_truth("sweep", rate, kind, bits,
                                                                               extensible, 1, seconds)


SENTENCES = ["The quick brown fox jumps over the lazy dog.", "Test bench ready, start the measurement now.",
             "One two three four five six seven eight nine ten.", "Hello, this is channel one speaking.",
             "Please check the tone generator before the next run.", "Aaaaaa eeeee oooooo.",
             "Frequency response measured at four hundred and forty hertz.", "Mmmmmm hmmmm."]


def speech_file(rng, index):
    voice = ["en", "en-us", "de", "fr", "en+f3", "en+m3"][index % 6]
    text = SENTENCES[index % len(SENTENCES)]
    x, rate = espeak(text, voice, int(rng.integers(120, 200)))
    x = x * 10 ** (rng.uniform(-10, 6) / 20) + rng.normal(0, 10 ** (-rng.uniform(40, 70) / 20), len(x))
    kind, bits, extensible = pick_format(rng)
    channels = 1 if rng.random() < 0.7 else 2
    frames = np.clip(np.repeat(x.reshape(-1, 1), channels, axis=1), -1, 1)
    return recording_bytes(frames, rate, kind, bits, extensible), none_truth("speech", rate, kind, bits, extensible,
                                                                        channels, len(x) / rate)


def today_set(out, seed, put):
    """The first set: tones at a candidate with a little noise, hum and
    harmonics, and recordings without a tone."""
    rng = np.random.default_rng(seed)
    for i in range(350):
        put("tone%03d.wav" % i, tone_file(rng))
    for i in range(12):
        put("silence%02d.wav" % i, silence_file(rng))
    for i in range(13):
        put("noise%02d.wav" % i, noise_file(rng))
    for i in range(10):
        put("sweep%02d.wav" % i, sweep_file(rng))
    if shutil.which("espeak-ng"):
        for i in range(20):
            put("speech%02d.wav" % i, speech_file(rng, i))


def cost_files(out):
    """The recordings of the in-process timing (measure_time): a clean
    440 Hz tone, 16-bit mono at 48 kHz, of 1 s and of 60 s, and 1 s of
    the hardest family (a beeping buzzer with hum and noise)."""
    rng = np.random.default_rng(440)
    folder = os.path.join(out, "cost")
    os.makedirs(folder, exist_ok=True)
    for name, seconds in (("tone-1s-48k.wav", 1.0), ("tone-60s-48k.wav", 60.0)):
        t = np.arange(int(seconds * 48000)) / 48000
        x = 0.5 * np.sin(2 * np.pi * 440.0 * t + 0.3) + rng.normal(0, 1e-4, len(t))
        with open(os.path.join(folder, name), "wb") as f:
            f.write(recording_bytes(x.reshape(-1, 1), 48000, "int", 16, False))
    t = np.arange(48000) / 48000
    on = (t % 0.25) < 0.15
    x = 0.1 * on * (np.sin(2 * np.pi * 440 * t) + 2 * np.sin(2 * np.pi * 880 * t + 1))
    x += 0.1 * np.sin(2 * np.pi * 50 * t) + 0.05 * np.sin(2 * np.pi * 150 * t) + rng.normal(0, 0.03, len(t))
    with open(os.path.join(folder, "buzzer-1s-48k.wav"), "wb") as f:
        f.write(recording_bytes(x.reshape(-1, 1), 48000, "int", 16, False))


def main():
    out = sys.argv[1]
    seed = int(sys.argv[2]) if len(sys.argv) > 2 else 20261207
    os.makedirs(out, exist_ok=True)
    rows = []

    def put(name, made, family="base"):
        data, truth = made
        path = os.path.join(out, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
        rows.append(dict(file=name, family=family, **truth))

    began = time.perf_counter()
    today_set(out, seed, put)
    print("base: %d files, %.1f s" % (len(rows), time.perf_counter() - began), file=sys.stderr)
    for family, files, make in FAMILIES:
        if family in ("several", "none") and not shutil.which("espeak-ng"):
            continue
        began, before = time.perf_counter(), len(rows)
        rng = np.random.default_rng([seed, zlib.crc32(family.encode())])
        for i in range(files):
            data, truth = make(rng, i)
            name = re.sub(r"[^A-Za-z0-9+.-]", "_", truth["variant"])
            put("%s/%03d-%s.wav" % (family, i, name), (data, truth), family)
        print("%s: %d files, %.1f s" % (family, len(rows) - before, time.perf_counter() - began), file=sys.stderr)
    cost_files(out)
    with open(os.path.join(out, "truth.tsv"), "w") as f:
        f.write("\t".join(COLUMNS) + "\n")
        for row in rows:
            f.write("\t".join(str(row.get(k, "")) for k in COLUMNS) + "\n")


if __name__ == "__main__":
    main()
