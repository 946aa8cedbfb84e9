"""What the tests share: the build folder's tools, and WAVE files made here
with numpy (a writer of its own, independent of the project's wavegen)."""
import os
import pathlib
import re
import subprocess

import numpy as np
import pytest

BUILD = pathlib.Path(os.environ.get("TONALYX_BUILD", "build")).resolve()
CASES = pathlib.Path(__file__).resolve().parents[1] / "e2e" / "cases"


def console(*args, cwd=None):
    """The console tool's run: (stdout as str, exit status), time masked."""
    done = subprocess.run([str(BUILD / "tonalyx"), *map(str, args)], cwd=cwd, capture_output=True)
    out = done.stdout.decode("utf-8", "surrogateescape")
    return re.sub(r"(?m)^time=\d+$", "time=*", out), done.returncode


def mask_time(text):
    return re.sub(r"(?m)^time=\d+$", "time=*", text)


def wavegen(folder, *args, name="in.wav"):
    """A file written by the project's generator into folder."""
    path = pathlib.Path(folder) / name
    subprocess.run([str(BUILD / "wavegen"), *map(str, args), "-o", str(path)], check=True)
    return path


def wave_bytes(frames, rate=48000, bits=16, floating=False, format_tag=None):
    """A canonical 44-byte-header WAVE file holding frames (floats in
    [-1, 1], one column per channel)."""
    frames = np.asarray(frames, dtype=np.float64)
    if frames.ndim == 1:
        frames = frames[:, None]
    channels = frames.shape[1]
    flat = frames.reshape(-1)
    if floating:
        data = flat.astype("<f4").tobytes()
    elif bits == 8:
        data = (np.round(flat * 127) + 128).astype(np.uint8).tobytes()
    elif bits == 16:
        data = np.round(flat * 32767).astype("<i2").tobytes()
    elif bits == 24:
        wide = np.round(flat * 8388607).astype("<i4").view(np.uint8).reshape(-1, 4)
        data = wide[:, :3].tobytes()
    else:
        raise ValueError(bits)
    tag = format_tag if format_tag is not None else (3 if floating else 1)
    align = channels * bits // 8
    fmt = b"".join(
        int(v).to_bytes(n, "little")
        for v, n in [(tag, 2), (channels, 2), (rate, 4), (rate * align, 4), (align, 2), (bits, 2)])
    return (b"RIFF" + (36 + len(data)).to_bytes(4, "little") + b"WAVE" + b"fmt " + (16).to_bytes(4, "little")
            + fmt + b"data" + len(data).to_bytes(4, "little") + data)


def tone(freq, seconds=1.0, rate=48000, amplitude=0.5, phase=0.0):
    t = np.arange(int(round(seconds * rate))) / rate
    return amplitude * np.sin(2 * np.pi * freq * t + phase)


@pytest.fixture
def in_tmp(tmp_path, monkeypatch):
    """Runs the test in its own scratch folder."""
    monkeypatch.chdir(tmp_path)
    return tmp_path
