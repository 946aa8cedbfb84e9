#!/usr/bin/env python3
"""How much faster a Python bench gets its answers in process than by
starting the tool per file.

    PYTHONPATH=BUILD/python /usr/bin/python3 bench/python_speed.py [--build BUILD] [--files N] [--rounds R]

Writes N one-second WAVE files (tones from 100 to 1000 Hz, 16-bit mono at
44100 Hz), then times, per file and in alternating rounds on the same
files: tonalyx.analyze(path) against subprocess.run([tonalyx, "-i", path])
and tonalyx.measure(path) against subprocess.run([tonalyx, "-hz", "-i",
path]). Prints the median time per file of each and the ratios; exits 1
when a ratio is below the goal (20).
"""
import argparse
import os
import pathlib
import statistics
import subprocess
import sys
import tempfile
import time

import numpy as np

import tonalyx

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1] / "tools"))
from wavefile import wave_bytes  # noqa: E402

GOAL = 20.0


def write_tones(folder, count):
    paths = []
    rate = 44100
    t = np.arange(rate) / rate
    for i in range(count):
        freq = 100 + 20 * (i % 46)
        path = folder / f"tone{i:04d}.wav"
        path.write_bytes(wave_bytes(np.sin(2 * np.pi * freq * t + i), rate, full_scale=16000))
        paths.append(str(path))
    return paths


def per_file(run, paths):
    start = time.perf_counter()
    for path in paths:
        run(path)
    return (time.perf_counter() - start) / len(paths)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default="build")
    parser.add_argument("--files", type=int, default=200)
    parser.add_argument("--rounds", type=int, default=5)
    args = parser.parse_args()
    tool = str(pathlib.Path(args.build, "tonalyx").resolve())

    def console(*options):
        return lambda path: subprocess.run([tool, *options, "-i", path], stdout=subprocess.DEVNULL,
                                           stderr=subprocess.DEVNULL)

    runs = {
        "tonalyx.analyze(path)": tonalyx.analyze,
        "tonalyx -i FILE": console(),
        "tonalyx.measure(path)": tonalyx.measure,
        "tonalyx -hz -i FILE": console("-hz"),
    }
    with tempfile.TemporaryDirectory() as scratch:
        paths = write_tones(pathlib.Path(scratch), args.files)
        # The same answers either way, before any timing.
        out = subprocess.run([tool, "-i", paths[0]], capture_output=True, text=True).stdout
        assert repr(tonalyx.analyze(paths[0])) in out, out
        hz = subprocess.run([tool, "-hz", "-i", paths[0]], capture_output=True, text=True).stdout
        if not hz.startswith("tone="):
            print("note: this tonalyx has no -hz; its row times the default answer")
        times = {name: [] for name in runs}
        for _ in range(args.rounds):
            for name, run in runs.items():
                times[name].append(per_file(run, paths))
    median = {name: statistics.median(t) for name, t in times.items()}
    print(f"{args.files} files, {args.rounds} rounds, {os.cpu_count()} cores")
    for name, t in median.items():
        print(f"{name:28s} {t * 1e6:10.1f} us per file")
    failed = False
    for fast, slow in (("tonalyx.analyze(path)", "tonalyx -i FILE"), ("tonalyx.measure(path)", "tonalyx -hz -i FILE")):
        ratio = median[slow] / median[fast]
        failed |= ratio < GOAL
        print(f"{slow} / {fast}: {ratio:.1f} (goal {GOAL:.0f})")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
