#!/usr/bin/env python3
"""What the Python module costs over the library, and what it saves over
starting the tool per file, side by side in one run on the same files.

    PYTHONPATH=BUILD/python /usr/bin/python3 bench/python_speed.py [--build BUILD] [--files N] [--rounds R] [--jobs J]

Writes N one-second WAVE files (tones from 100 to 1000 Hz, 16-bit mono at
44100 Hz), then times per file, in alternating rounds:
  - tonalyx.analyze(path) and tonalyx.measure(path) against the C++ calls
    analyzeFile and measureFile in process (bench/call_time.cpp; goal: at
    most 1.15 times);
  - tonalyx.batch(paths, jobs=J) against tonalyx-batch -j J on the same
    paths, the whole run of each (goal: at most 1.3 times), for J = 1 and
    --jobs (default 2), with and without hz;
  - running tonalyx -i FILE and tonalyx -hz -i FILE per file against
    tonalyx.analyze and tonalyx.measure (what running in process saves).
Prints the best time per file of the rounds, wall clock and CPU time (of
the process and the processes it waits for), and their ratios; exits 1
when the CPU time's ratio misses its goal. On a machine others load, the
CPU time holds still where the wall clock does not.
"""
import argparse
import os
import pathlib
import resource
import subprocess
import sys
import tempfile
import time

import numpy as np

import tonalyx

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1] / "tools"))
from wavefile import wave_bytes  # noqa: E402


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


class Clocks:
    """The wall clock and the CPU time of this process and of the
    processes it waited for, per file, over a `with` block."""

    def __init__(self, files):
        self.files = files

    def __enter__(self):
        self.start = time.perf_counter(), self._cpu()
        return self

    def __exit__(self, *exc):
        self.wall = (time.perf_counter() - self.start[0]) / self.files
        self.cpu = (self._cpu() - self.start[1]) / self.files

    @staticmethod
    def _cpu():
        children = resource.getrusage(resource.RUSAGE_CHILDREN)
        return time.process_time() + children.ru_utime + children.ru_stime


def per_file(run, paths):
    with Clocks(len(paths)) as clocks:
        for path in paths:
            run(path)
    return clocks.wall, clocks.cpu


def whole_run(run, paths):
    with Clocks(len(paths)) as clocks:
        run()
    return clocks.wall, clocks.cpu


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default="build")
    parser.add_argument("--files", type=int, default=200)
    parser.add_argument("--rounds", type=int, default=9)
    parser.add_argument("--jobs", type=int, default=2)
    args = parser.parse_args()
    build = pathlib.Path(args.build).resolve()
    subprocess.run(["cmake", "--build", str(build), "--target", "call_time"], check=True, stdout=subprocess.DEVNULL)
    tool, batch_tool, call_time = (str(build / name) for name in ("tonalyx", "tonalyx-batch", "call_time"))
    quiet = {"stdout": subprocess.DEVNULL, "stderr": subprocess.DEVNULL}

    def in_cpp(call):  # its own clocks, which leave out its start and its first round
        return lambda paths: tuple(float(us) * 1e-6 for us in subprocess.run(
            [call_time, call, *paths], capture_output=True, text=True, check=True).stdout.split())

    def console(*options):
        return lambda paths: per_file(lambda path: subprocess.run([tool, *options, "-i", path], **quiet), paths)

    def python_batch(jobs, hz):
        return lambda paths: whole_run(lambda: sum(1 for _ in tonalyx.batch(paths, jobs=jobs, hz=hz)), paths)

    def tool_batch(jobs, hz):
        options = ["-j", str(jobs)] + (["--hz"] if hz else [])
        return lambda paths: whole_run(lambda: subprocess.run([batch_tool, *options, *paths], **quiet), paths)

    # (name, run, the name of what it is compared with, the most the ratio of their times may be).
    rows = [("tonalyx.analyze(path)", lambda paths: per_file(tonalyx.analyze, paths), "C++ analyzeFile", 1.15),
            ("C++ analyzeFile", in_cpp("analyze"), None, None),
            ("tonalyx.measure(path)", lambda paths: per_file(tonalyx.measure, paths), "C++ measureFile", 1.15),
            ("C++ measureFile", in_cpp("measure"), None, None)]
    for jobs in sorted({1, args.jobs}):
        for hz in (False, True):
            mode = ", hz=True" if hz else ""
            rows += [(f"tonalyx.batch(jobs={jobs}{mode})", python_batch(jobs, hz),
                      f"tonalyx-batch -j {jobs}{' --hz' if hz else ''}", 1.3),
                     (f"tonalyx-batch -j {jobs}{' --hz' if hz else ''}", tool_batch(jobs, hz), None, None)]
    # What running in process saves over a process per file (no goal).
    rows += [("tonalyx -i FILE", console(), "tonalyx.analyze(path)", None),
             ("tonalyx -hz -i FILE", console("-hz"), "tonalyx.measure(path)", None)]

    with tempfile.TemporaryDirectory() as scratch:
        paths = write_tones(pathlib.Path(scratch), args.files)
        # The same answers either way, before any timing.
        out = subprocess.run([tool, "-i", paths[0]], capture_output=True, text=True).stdout
        assert repr(tonalyx.analyze(paths[0])) in out, out
        hz = subprocess.run([tool, "-hz", "-i", paths[0]], capture_output=True, text=True).stdout
        assert hz.strip() == repr(tonalyx.measure(paths[0])), hz
        times = {name: [] for name, *_ in rows}
        for _ in range(args.rounds):
            for name, run, *_ in rows:
                times[name].append(run(paths))
    # The best of the rounds, wall clock and CPU time: others' load only adds.
    best = {name: [min(t[i] for t in runs) * 1e6 for i in (0, 1)] for name, runs in times.items()}
    print(f"{args.files} files, best of {args.rounds} rounds, {os.cpu_count()} cores, load {os.getloadavg()[0]:.1f}; "
          "us per file, wall clock and CPU time; the goals hold for the CPU time's ratio")
    print(f"{'':31s} {'wall':>7s} {'CPU':>7s}   {'against':27s} {'wall':>7s} {'CPU':>7s}   ratios: wall  CPU  goal")
    failed = False
    for name, _, other, goal in rows:
        if other is None:
            continue
        (wall, cpu), (other_wall, other_cpu) = best[name], best[other]
        ratio = cpu / other_cpu
        missed = goal is not None and ratio > goal
        failed |= missed
        print(f"{name:31s} {wall:7.1f} {cpu:7.1f}   {other:27s} {other_wall:7.1f} {other_cpu:7.1f}   "
              f"{wall / other_wall:12.2f} {ratio:5.2f}  {'' if goal is None else f'<= {goal:g}'}"
              f"{'  MISSED' if missed else ''}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
