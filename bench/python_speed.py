#!/usr/bin/env python3
"""What the Python module costs over the library, and what it saves over
starting the tool per file, side by side in one run on the same files.

    PYTHONPATH=BUILD/python /usr/bin/python3 bench/python_speed.py [--build BUILD] [--files N] [--rounds R]
        [--jobs J] [--instructions]

Writes N one-second WAVE files (tones from 100 to 1000 Hz, 16-bit mono at
44100 Hz), then times per file, in alternating rounds:
  - tonalyx.analyze(path) and tonalyx.measure(path) against the C++ calls
    analyzeFile and measureFile (bench/call_time.cpp), each in a process
    of its own that runs every file once, then once more timed (goal: at
    most 1.15 times);
  - tonalyx.batch(paths, jobs=J), timed the same way, against the whole
    run of tonalyx-batch -j J on the same paths (goal: at most 1.3 times),
    for J = 1 and --jobs (default 2), with and without hz;
  - running tonalyx -i FILE and tonalyx -hz -i FILE per file against
    tonalyx.analyze and tonalyx.measure (what running in process saves).
Prints the best time per file of the rounds, wall clock and CPU time (of
the process and the processes it waits for), and their ratios; with
--instructions also the instructions per file under callgrind, which no
load on the machine changes. Exits 1 when the CPU time's ratio misses its
goal.
"""
import argparse
import os
import pathlib
import re
import resource
import subprocess
import sys
import tempfile
import time

import numpy as np

import tonalyx

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1] / "tools"))
from wavefile import wave_bytes  # noqa: E402

# Runs CALL (analyze, measure, batch, batch-hz) with JOBS on the paths once,
# then once more timed; prints the wall clock's and the CPU time's
# microseconds per file, as call_time does.
IN_PYTHON = """
import sys, time, tonalyx
call, jobs, paths = sys.argv[1], int(sys.argv[2]), sys.argv[3:]
def run():
    if call in ("analyze", "measure"):
        for path in paths:
            getattr(tonalyx, call)(path)
    else:
        sum(1 for _ in tonalyx.batch(paths, jobs=jobs, hz=call == "batch-hz"))
run()
wall, cpu = time.perf_counter(), time.process_time()
run()
print((time.perf_counter() - wall) / len(paths) * 1e6, (time.process_time() - cpu) / len(paths) * 1e6)
"""


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


def cpu_seconds():
    """This process's CPU time and that of the processes it waited for."""
    children = resource.getrusage(resource.RUSAGE_CHILDREN)
    return time.process_time() + children.ru_utime + children.ru_stime


class Row:
    """One way to get the answers: a command that times itself (`passes`
    2: it prints microseconds per file, wall and CPU), or one timed from
    here over all files (`per_file`: a process per file)."""

    def __init__(self, name, command, against=None, goal=None, passes=1, per_file=False):
        self.name, self.command, self.against, self.goal = name, command, against, goal
        self.passes, self.per_file = passes, per_file

    def time(self, paths):
        if self.passes == 2:
            done = subprocess.run(self.command + paths, capture_output=True, text=True, check=True)
            return tuple(float(us) for us in done.stdout.split())
        wall, cpu = time.perf_counter(), cpu_seconds()
        for files in [[path] for path in paths] if self.per_file else [paths]:
            subprocess.run(self.command + files, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return (time.perf_counter() - wall) / len(paths) * 1e6, (cpu_seconds() - cpu) / len(paths) * 1e6

    def instructions(self, paths):
        """Per file: the count for all the paths less that for the first, over the others."""
        def count(files):
            done = subprocess.run(["valgrind", "--tool=callgrind", "--callgrind-out-file=/dev/null",
                                   *self.command, *files], capture_output=True, text=True)
            return int(re.search(r"Collected : (\d+)", done.stderr).group(1))
        return (count(paths) - count(paths[:1])) / (len(paths) - 1) / self.passes


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default="build")
    parser.add_argument("--files", type=int, default=200)
    parser.add_argument("--rounds", type=int, default=9)
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--instructions", action="store_true")
    args = parser.parse_args()
    build = pathlib.Path(args.build).resolve()
    subprocess.run(["cmake", "--build", str(build), "--target", "call_time"], check=True, stdout=subprocess.DEVNULL)
    tool, batch_tool, call_time = (str(build / name) for name in ("tonalyx", "tonalyx-batch", "call_time"))

    def python(call, jobs=1):
        return [sys.executable, "-c", IN_PYTHON, call, str(jobs)]

    rows = [Row("tonalyx.analyze(path)", python("analyze"), "C++ analyzeFile", 1.15, passes=2),
            Row("C++ analyzeFile", [call_time, "analyze"], passes=2),
            Row("tonalyx.measure(path)", python("measure"), "C++ measureFile", 1.15, passes=2),
            Row("C++ measureFile", [call_time, "measure"], passes=2)]
    for jobs in sorted({1, args.jobs}):
        for hz in (False, True):
            tool_name = f"tonalyx-batch -j {jobs}{' --hz' if hz else ''}"
            rows += [Row(f"tonalyx.batch(jobs={jobs}{', hz=True' if hz else ''})",
                         python("batch-hz" if hz else "batch", jobs), tool_name, 1.3, passes=2),
                     Row(tool_name, [batch_tool, "-j", str(jobs)] + (["--hz"] if hz else []))]
    # What running in process saves over a process per file (no goal).
    rows += [Row("tonalyx -i FILE", [tool, "-i"], "tonalyx.analyze(path)", per_file=True),
             Row("tonalyx -hz -i FILE", [tool, "-hz", "-i"], "tonalyx.measure(path)", per_file=True)]

    with tempfile.TemporaryDirectory() as scratch:
        paths = write_tones(pathlib.Path(scratch), args.files)
        # The same answers either way, before any timing.
        out = subprocess.run([tool, "-i", paths[0]], capture_output=True, text=True).stdout
        assert repr(tonalyx.analyze(paths[0])) in out, out
        hz = subprocess.run([tool, "-hz", "-i", paths[0]], capture_output=True, text=True).stdout
        assert hz.strip() == repr(tonalyx.measure(paths[0])), hz
        times = {row.name: [] for row in rows}
        for _ in range(args.rounds):
            for row in rows:
                times[row.name].append(row.time(paths))
        # Under callgrind, some 50 times slower, a tenth of the files do.
        counted = {row.name: row.instructions(paths[:max(2, args.files // 10)])
                   for row in rows if args.instructions and not row.per_file}
    # The best of the rounds, wall clock and CPU time: others' load only adds.
    best = {name: [min(t[i] for t in runs) for i in (0, 1)] for name, runs in times.items()}
    print(f"{args.files} files, best of {args.rounds} rounds, {os.cpu_count()} cores, "
          f"load {os.getloadavg()[0]:.1f}; microseconds per file, wall clock and CPU time, and their ratios"
          + ("; instructions per file (callgrind) and their ratio" if counted else ""))
    failed = False
    for row in rows:
        if row.against is None:
            continue
        (wall, cpu), (other_wall, other_cpu) = best[row.name], best[row.against]
        ratio = cpu / other_cpu
        missed = row.goal is not None and ratio > row.goal
        failed |= missed
        line = (f"{row.name:31s} {wall:7.1f} {cpu:7.1f}  against {row.against:27s} {other_wall:7.1f} "
                f"{other_cpu:7.1f}  {wall / other_wall:6.2f} {ratio:6.2f}")
        if row.name in counted and row.against in counted:
            mine, theirs = counted[row.name], counted[row.against]
            line += f"  {mine:10.0f} {theirs:10.0f} {mine / theirs:5.3f}"
        print(line + (f"  goal <= {row.goal:g}" if row.goal else "") + ("  MISSED" if missed else ""))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
