"""What the tests share: the build folder's tools, and WAVE files from the
project's writers (wavegen, and tools/wavefile.py for samples made here)."""
import os
import pathlib
import re
import subprocess
import sys

import numpy as np
import pytest

BUILD = pathlib.Path(os.environ.get("TONALYX_BUILD", "build")).resolve()
CASES = pathlib.Path(__file__).resolve().parents[1] / "e2e" / "cases"
sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "tools"))
from wavefile import wave_bytes  # noqa: E402,F401  (the tests import it from here)


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


def tone(freq, seconds=1.0, rate=48000, amplitude=0.5, phase=0.0):
    t = np.arange(int(round(seconds * rate))) / rate
    return amplitude * np.sin(2 * np.pi * freq * t + phase)


@pytest.fixture
def in_tmp(tmp_path, monkeypatch):
    """Runs the test in its own scratch folder."""
    monkeypatch.chdir(tmp_path)
    return tmp_path
