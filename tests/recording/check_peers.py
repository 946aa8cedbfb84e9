#!/usr/bin/env python3
"""The measurement's reader against libsndfile (sndfile-info,
sndfile-convert) and scipy.io.wavfile on every WAVE layout: files written
by sox, soundfile and the project's Python writer (tools/wavefile.py) for
odd depths, big-endian RIFX and BW64. Each peer that reads a file writes its samples again, losslessly, as
32-bit integers or floats; the tool must read the file too, and measure it
exactly as it measures the peer's copy (the same line).

    check_peers.py TONALYX WORK_DIR

Exits 77 when a peer is missing, 1 when a file is read differently or not
at all where a peer reads it."""
import os
import shutil
import subprocess
import sys
import warnings

try:
    import numpy as np
    import scipy.io.wavfile as wavfile
    import soundfile
except ImportError as missing:
    print(f"skipped: {missing}")
    sys.exit(77)
for program in ("sox", "sndfile-info", "sndfile-convert"):
    if not shutil.which(program):
        print(f"skipped: {program} is not installed")
        sys.exit(77)

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
from wavefile import wave_bytes  # noqa: E402

tool, work = sys.argv[1], sys.argv[2]
os.makedirs(work, exist_ok=True)
RATE, SECONDS, HZ = 16000, 0.5, 440.0


def tone(channels):
    """A 440 Hz tone at half scale in every channel, as doubles."""
    t = np.arange(int(RATE * SECONDS)) / RATE
    return np.repeat((0.5 * np.sin(2 * np.pi * HZ * t))[:, None], channels, axis=1)


def written(name, data, *, bits, container, tag="RIFF", extensible=False):
    """Integer PCM of `bits` bits left-justified in `container` bytes, as a
    RIFF (little-endian), RIFX (big-endian) or BW64 file."""
    with open(os.path.join(work, name), "wb") as out:
        out.write(wave_bytes(data, RATE, bits, container=container, riff=tag, extensible=extensible))


def by_sox(name, *options, channels=1):
    subprocess.run(["sox", "-n", "-r", str(RATE), "-c", str(channels), *options, os.path.join(work, name),
                    "synth", str(SECONDS), "sine", str(HZ), "vol", "0.5"], check=True)


def by_soundfile(name, subtype, channels=1, fmt="WAV"):
    soundfile.write(os.path.join(work, name), tone(channels), RATE, subtype=subtype, format=fmt)


by_sox("sox-u8.wav", "-e", "unsigned", "-b", "8")
by_sox("sox-mu-law.wav", "-e", "u-law")
by_sox("sox-a-law-3ch.wav", "-e", "a-law", channels=3)
by_sox("sox-rifx-s16.wav", "-B", "-e", "signed", "-b", "16")
by_sox("sox-rifx-s24-3ch.wav", "-B", "-e", "signed", "-b", "24", channels=3)
by_sox("sox-rifx-s32.wav", "-B", "-e", "signed", "-b", "32", channels=2)
by_sox("sox-rifx-f32.wav", "-B", "-e", "floating-point", "-b", "32")
by_sox("sox-f64.wav", "-e", "floating-point", "-b", "64", channels=2)
for subtype in ("PCM_U8", "PCM_16", "PCM_24", "PCM_32", "FLOAT", "DOUBLE", "ULAW", "ALAW"):
    by_soundfile(f"soundfile-{subtype.lower()}.wav", subtype, channels=2)
by_soundfile("soundfile-wavex-pcm_24-8ch.wav", "PCM_24", channels=8, fmt="WAVEX")
by_soundfile("soundfile-wavex-ulaw.wav", "ULAW", fmt="WAVEX")
by_soundfile("soundfile-rf64-pcm_16.wav", "PCM_16", fmt="RF64")
for bits in (4, 12, 20, 36, 45, 53, 64):
    container = (bits + 7) // 8
    written(f"odd-s{bits}.wav", tone(2), bits=bits, container=container)
    written(f"odd-s{bits}-extensible.wav", tone(1), bits=bits, container=container, extensible=True)
written("odd-s20-in-4-extensible.wav", tone(2), bits=20, container=4, extensible=True)
written("odd-rifx-s20.wav", tone(1), bits=20, container=3, tag="RIFX")
written("odd-bw64-s24.wav", tone(2), bits=24, container=3, tag="BW64")


def measured(path):
    run = subprocess.run([tool, "-hz", "-i", path], capture_output=True, text=True)
    return run.returncode, run.stdout.strip() or run.stderr.strip()


def by_libsndfile(path, copy):
    """32-bit integers from whole numbers and G.711 (which hold them
    exactly; sndfile-convert writes floats unscaled), else 32-bit floats."""
    info = subprocess.run(["sndfile-info", path], capture_output=True, text=True).stdout
    if "Error" in info:
        return False
    encoding = "-float32" if soundfile.info(path).subtype in ("FLOAT", "DOUBLE") else "-pcm32"
    return subprocess.run(["sndfile-convert", encoding, path, copy], capture_output=True).returncode == 0


def by_scipy(path, floats):
    try:
        with warnings.catch_warnings():
            warnings.simplefilter("ignore", wavfile.WavFileWarning)
            rate, data = wavfile.read(path)
    except Exception:  # a layout scipy does not take
        return False
    if data.dtype == np.uint8:
        data = (data.astype(np.float32) - 128) / 128
    elif data.dtype.kind == "i":
        data = data.astype(np.float32) * np.float32(2.0 ** (1 - 8 * data.dtype.itemsize))
    wavfile.write(floats, rate, data.astype(np.float32))
    return True


failed = 0
print(f"{'file':34} {'libsndfile':10} {'scipy':10} tonalyx -hz")
for name in sorted(os.listdir(work)):
    path = os.path.join(work, name)
    if name.startswith("peer-") or not name.endswith(".wav"):
        continue
    status, line = measured(path)
    marks = []
    for peer, read in (("libsndfile", by_libsndfile), ("scipy", by_scipy)):
        floats = os.path.join(work, f"peer-{peer}-{name}")
        if not read(path, floats):
            marks.append("-")
            continue
        same = measured(floats) == (status, line)
        marks.append("same" if same else "DIFFERS")
        if not same:
            failed = 1
            print(f"  {name}: {peer} reads {measured(floats)}, tonalyx {status} {line}")
    if status not in (0, 1) and any(mark != "-" for mark in marks):
        failed = 1
    print(f"{name:34} {marks[0]:10} {marks[1]:10} {status} {line.split(' ')[0]}")
sys.exit(failed)
