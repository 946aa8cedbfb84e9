#!/usr/bin/python3
"""Runs `tonalyx -hz` and the tools a user would pick instead on the files
of make_files.py and prints accuracy and the time per file.

    compare.py FILES_DIR TONALYX [--hz-tool CMD] [--repeat N] [--skip-peers] [--show-misses]

TONALYX is the tool (its default answer, `-i`, and its measurement,
`-hz -i`); --hz-tool names another program for the measurement (an
earlier build, say). Peers: aubiopitch (the median
of its pitch track's voiced frames), `sox FILE -n stat` (its rough
frequency) and a numpy FFT peak (fft_peak.py). A peer names a tone when a
candidate lies within 10 Hz of its frequency (the higher of two), and
flags a file as holding no tone otherwise. Times are whole processes, wall
clock and CPU time (the child's user + system time, which a busy machine
disturbs less): the default answer and the measurement alternate, N times
each per file, and each file counts the median.
"""
import argparse
import csv
import os
import re
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))


def candidate_near(hz):
    if hz is None or not (90.0 <= hz <= 1010.0):
        return 0
    c = min(1000, max(100, 100 + 20 * int((hz - 100.0) / 20.0 + 0.5)))
    return c if abs(hz - c) <= 10.0 else 0


class Done:
    def __init__(self, wall, cpu, stdout, stderr):
        self.wall, self.cpu, self.stdout, self.stderr = wall, cpu, stdout, stderr


def run(argv):
    """Wall clock and CPU time (user + system, the child's own) of one run."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        begin = time.perf_counter()
        child = subprocess.Popen(argv, stdout=out, stderr=err, stdin=subprocess.DEVNULL)
        _, _, usage = os.wait4(child.pid, 0)
        wall = time.perf_counter() - begin
        child.returncode = 0  # reaped above
        out.seek(0)
        err.seek(0)
        return Done(wall, usage.ru_utime + usage.ru_stime, out.read(), err.read())


def parse_hz(out):
    tone = re.search(r"tone=(\w+)", out)
    measured = re.search(r"measured=([\d.]+)", out)
    if not tone or not measured:
        return None, 0
    return float(measured.group(1)), (0 if tone.group(1) == "none" else int(tone.group(1)))


def parse_default(out):
    m = re.search(r"best matching freq\.=(\d+)", out)
    return int(m.group(1)) if m else 0


def parse_aubio(out):
    pitches = [float(line.split()[1]) for line in out.splitlines() if len(line.split()) == 2]
    voiced = [p for p in pitches if p > 0]
    return statistics.median(voiced) if voiced else None


def parse_sox(err):
    m = re.search(r"Rough\s+frequency:\s+(-?\d+)", err)
    return float(m.group(1)) if m else None


def parse_float(out):
    try:
        return float(out.strip())
    except ValueError:
        return None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("files")
    parser.add_argument("tonalyx")
    parser.add_argument("--hz-tool")
    parser.add_argument("--repeat", type=int, default=5)
    parser.add_argument("--skip-peers", action="store_true")
    parser.add_argument("--show-misses", action="store_true")
    args = parser.parse_args()
    hz_tool = args.hz_tool or args.tonalyx
    with open(os.path.join(args.files, "truth.tsv")) as f:
        truth = list(csv.DictReader(f, delimiter="\t"))

    tools = ["tonalyx -hz", "tonalyx -i"]
    if not args.skip_peers:
        tools += ["aubiopitch", "sox stat", "numpy FFT"]
    wall = {t: [] for t in tools}
    cpu = {t: [] for t in tools}
    answer = {t: [] for t in tools}  # (hz or None, candidate) per file

    def timed(tool, argv, repeat):
        runs = [run(argv) for _ in range(repeat)]
        wall[tool].append(statistics.median(r.wall for r in runs))
        cpu[tool].append(statistics.median(r.cpu for r in runs))
        return runs[-1]

    for row in truth:
        path = os.path.join(args.files, row["file"])
        hz_runs, default_runs = [], []
        for _ in range(args.repeat):  # alternating, so that a busy moment hits both
            hz_runs.append(run([hz_tool, "-hz", "-i", path]))
            default_runs.append(run([args.tonalyx, "-i", path]))
        for tool, runs in (("tonalyx -hz", hz_runs), ("tonalyx -i", default_runs)):
            wall[tool].append(statistics.median(r.wall for r in runs))
            cpu[tool].append(statistics.median(r.cpu for r in runs))
        answer["tonalyx -hz"].append(parse_hz(hz_runs[-1].stdout.decode()))
        answer["tonalyx -i"].append((None, parse_default(default_runs[-1].stdout.decode())))
        if args.skip_peers:
            continue
        hz = parse_aubio(timed("aubiopitch", ["aubiopitch", "-i", path], 1).stdout.decode())
        answer["aubiopitch"].append((hz, candidate_near(hz)))
        hz = parse_sox(timed("sox stat", ["sox", path, "-n", "stat"], 1).stderr.decode())
        answer["sox stat"].append((hz, candidate_near(hz)))
        hz = parse_float(timed("numpy FFT", ["/usr/bin/python3", os.path.join(HERE, "fft_peak.py"), path],
                               1).stdout.decode())
        answer["numpy FFT"].append((hz, candidate_near(hz)))

    tones = [i for i, r in enumerate(truth) if r["kind"] == "tone"]
    nones = [i for i, r in enumerate(truth) if r["kind"] != "tone"]
    precise = [i for i in tones if float(truth[i]["seconds"]) >= 1.0 and float(truth[i]["snr"]) >= 30.0]
    print("%d tone files (%d of 1 s or more at 30 dB or better), %d without a tone" %
          (len(tones), len(precise), len(nones)))
    print("| tool | right candidate | no tone flagged | Hz error, median | 95th pct | max | within 0.1 Hz "
          "| ms per file (wall) | over `-i` | CPU ms per file | over `-i` |")
    print("|---|---|---|---|---|---|---|---|---|---|---|")
    base_wall, base_cpu = statistics.mean(wall["tonalyx -i"]), statistics.mean(cpu["tonalyx -i"])
    for t in tools:
        right = sum(answer[t][i][1] == int(truth[i]["candidate"]) for i in tones)
        flagged = sum(answer[t][i][1] == 0 for i in nones)
        errors = sorted(abs(answer[t][i][0] - float(truth[i]["hz"])) if answer[t][i][0] is not None
                        else float("inf") for i in precise)
        if t == "tonalyx -i":
            hz_cells = "| - | - | - | -"
        else:
            p95 = errors[int(0.95 * (len(errors) - 1))]
            within = sum(e <= 0.1 for e in errors)
            hz_cells = "| %.3f | %.3f | %.3f | %d/%d" % (statistics.median(errors), p95, errors[-1], within,
                                                         len(errors))
        w, c = statistics.mean(wall[t]), statistics.mean(cpu[t])
        print("| %s | %d/%d (%.1f%%) | %d/%d (%.1f%%) %s | %.2f | %.2f | %.2f | %.2f |" %
              (t, right, len(tones), 100.0 * right / len(tones), flagged, len(nones),
               100.0 * flagged / len(nones), hz_cells, w * 1000, w / base_wall, c * 1000, c / base_cpu))
        if args.show_misses and t == "tonalyx -hz":
            for i in tones:
                if answer[t][i][1] != int(truth[i]["candidate"]):
                    print("  miss:", truth[i]["file"], dict(truth[i]), answer[t][i], file=sys.stderr)
            for i in nones:
                if answer[t][i][1] != 0:
                    print("  not flagged:", truth[i]["file"], truth[i]["kind"], answer[t][i], file=sys.stderr)
            for i in precise:
                if answer[t][i][0] is None or abs(answer[t][i][0] - float(truth[i]["hz"])) > 0.1:
                    print("  imprecise:", truth[i]["file"], dict(truth[i]), answer[t][i], file=sys.stderr)


if __name__ == "__main__":
    main()
