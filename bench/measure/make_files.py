#!/usr/bin/python3
"""Writes recordings like a test bench's, with known truth, for compare.py.

    make_files.py OUT_DIR [SEED]

About 350 tone files and 55 without a tone, and OUT_DIR/truth.tsv. Tones:
random phase, a lead-in and a tail of 0 to 0.5 s, white noise at 12 to
60 dB below the tone, mains hum, harmonics and DC, 8 to 96 kHz, 8/16/24/32-
bit integers and 32-bit floats, plain and extensible format chunks, mono
and stereo (the tone in one channel or both), 0.25 to 5 s of tone, up to
4 Hz off a candidate. Without a tone: dithered silence, noise, speech
(espeak-ng, when installed) and sweeps. Same seed, same files.
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import wave

import numpy as np

RATES = [8000, 11025, 16000, 22050, 32000, 44100, 48000, 88200, 96000]
FORMATS = [("int", 8), ("int", 16), ("int", 24), ("int", 32), ("float", 32)]
CANDIDATES = list(range(100, 1001, 20))
SUBFORMAT_TAIL = b"\x00\x00\x00\x00\x10\x00\x80\x00\x00\xaa\x00\x38\x9b\x71"


def wave_bytes(frames, rate, kind, bits, extensible):
    """frames: float array (n, channels) in [-1, 1]."""
    channels = frames.shape[1]
    if kind == "float":
        data = frames.astype("<f4").tobytes()
        tag = 3
    else:
        full = 2 ** (bits - 1)
        ints = np.clip(np.round(frames * full), -full, full - 1).astype(np.int64)
        if bits == 8:
            data = (ints + 128).astype(np.uint8).tobytes()
        elif bits == 24:
            u = (ints & 0xFFFFFF).astype("<u4").view(np.uint8).reshape(-1, 4)[:, :3]
            data = u.tobytes()
        else:
            data = ints.astype("<i%d" % (bits // 8)).tobytes()
        tag = 1
    block = channels * bits // 8
    if extensible:
        mask = 0x4 if channels == 1 else 0x3
        fmt = struct.pack("<HHIIHHHHI", 0xFFFE, channels, rate, rate * block, block, bits, 22, bits, mask)
        fmt += struct.pack("<H", tag) + SUBFORMAT_TAIL
    else:
        fmt = struct.pack("<HHIIHH", tag, channels, rate, rate * block, block, bits)
    chunks = b"fmt " + struct.pack("<I", len(fmt)) + fmt
    if kind == "float" or extensible:
        chunks += b"fact" + struct.pack("<II", 4, len(frames))
    chunks += b"data" + struct.pack("<I", len(data)) + data
    if len(data) % 2:
        chunks += b"\x00"
    return b"RIFF" + struct.pack("<I", 4 + len(chunks)) + b"WAVE" + chunks


def pick_format(rng, quiet_ok=True):
    kind, bits = FORMATS[rng.integers(len(FORMATS))]
    return kind, bits, bool(rng.random() < 0.3)


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
    for h in range(2, 5):  # harmonics 25 to 50 dB down
        if h * hz < rate / 2:
            tone += amp * 10 ** (-rng.uniform(25, 50) / 20) * np.sin(2 * np.pi * h * hz * t + rng.uniform(0, 6.3))
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
                 tone_channel=where)
    return wave_bytes(frames, rate, kind, bits, extensible), truth


def none_truth(what, rate, kind, bits, extensible, channels, seconds):
    return dict(kind=what, candidate=0, hz="0", seconds="%.3f" % seconds, snr="", level="", start="", end="",
                rate=rate, format="%s%d%s" % (kind, bits, "x" if extensible else ""), channels=channels,
                tone_channel=0)


def silence_file(rng):
    rate = int(rng.choice(RATES))
    bits = int(rng.choice([16, 24]))
    seconds = rng.uniform(0.5, 5.0)
    n = int(seconds * rate)
    lsb = 1.0 / 2 ** (bits - 1)
    frames = (rng.uniform(-0.5, 0.5, (n, 1)) + rng.uniform(-0.5, 0.5, (n, 1))) * lsb  # TPDF dither
    return wave_bytes(frames, rate, "int", bits, False), none_truth("silence", rate, "int", bits, False, 1, seconds)


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
    return wave_bytes(frames, rate, kind, bits, extensible), none_truth("noise", rate, kind, bits, extensible, 1,
                                                                        seconds)


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
    return wave_bytes(x.reshape(-1, 1), rate, kind, bits, extensible), none_truth("sweep", rate, kind, bits,
                                                                               extensible, 1, seconds)


SENTENCES = ["The quick brown fox jumps over the lazy dog.", "Test bench ready, start the measurement now.",
             "One two three four five six seven eight nine ten.", "Hello, this is channel one speaking.",
             "Please check the tone generator before the next run.", "Aaaaaa eeeee oooooo.",
             "Frequency response measured at four hundred and forty hertz.", "Mmmmmm hmmmm."]


def speech_file(rng, index):
    voice = ["en", "en-us", "de", "fr", "en+f3", "en+m3"][index % 6]
    text = SENTENCES[index % len(SENTENCES)]
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "s.wav")
        subprocess.run(["espeak-ng", "-v", voice, "-s", str(int(rng.integers(120, 200))), "-w", path, text],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        with wave.open(path) as w:
            rate, raw = w.getframerate(), w.readframes(w.getnframes())
    x = np.frombuffer(raw, "<i2") / 32768.0
    x = x * 10 ** (rng.uniform(-10, 6) / 20) + rng.normal(0, 10 ** (-rng.uniform(40, 70) / 20), len(x))
    kind, bits, extensible = pick_format(rng)
    channels = 1 if rng.random() < 0.7 else 2
    frames = np.clip(np.repeat(x.reshape(-1, 1), channels, axis=1), -1, 1)
    return wave_bytes(frames, rate, kind, bits, extensible), none_truth("speech", rate, kind, bits, extensible,
                                                                        channels, len(x) / rate)


def main():
    out = sys.argv[1]
    seed = int(sys.argv[2]) if len(sys.argv) > 2 else 20261207
    rng = np.random.default_rng(seed)
    os.makedirs(out, exist_ok=True)
    rows = []

    def put(name, made):
        data, truth = made
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)
        rows.append(dict(file=name, **truth))

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
    keys = list(rows[0].keys())
    with open(os.path.join(out, "truth.tsv"), "w") as f:
        f.write("\t".join(keys) + "\n")
        for row in rows:
            f.write("\t".join(str(row[k]) for k in keys) + "\n")


if __name__ == "__main__":
    main()
