#!/usr/bin/python3
"""Runs `tonalyx -hz` and the tools a user would pick instead on the files
of make_files.py and prints, as Markdown, how right each is per family and
in all, and what the measurement costs.

    compare.py FILES_DIR TONALYX [--hz-tool CMD] [--repeat N] [--only FAMILY,...]
               [--skip-peers] [--timeout S] [--show-misses]

TONALYX is the tool (its default answer, `-i`, and its measurement,
`-hz -i`); --hz-tool names another program for the measurement (an
earlier build, say).

What each tool answers, and when it says "no tone":
  tonalyx -hz         the `tone=` of its line; `tone=none` is none.
  tonalyx -i          the default answer's `best matching freq.=`; a file
                      it prints no result for (a format it does not read)
                      counts as none, as it always did.
  aubiopitch          (aubio-tools, yinfft) prints 0 for a frame whose
                      confidence stays under its tolerance: the other
                      frames are voiced. A tone when the voiced frames last
                      0.1 s or more and half of them or more lie within
                      10 Hz of their median, which is its frequency.
  sox stat            `sox FILE -n stat`: its rough frequency; none when
                      the RMS amplitude is under 1e-6 (-120 dBFS).
  numpy Hann peak,    fft_peak.py: the peak of the Hann-windowed spectrum,
  numpy sub-harmonic  and the same with a sub-harmonic rule; none when the
                      peak stands less than 40 dB over the median power of
                      the spectrum (the threshold that serves it best on
                      these files), or the RMS is under 1e-6. One process
                      answers both, so both show its time.
A peer's frequency names the candidate within 10 Hz of it (of two, the
higher), and none otherwise. A tool that is missing, fails (an exit status
it does not give for an answer), times out or prints nothing to parse is
wrong on that file, whatever the truth.

Scores, per family of files and in all:
  right           the truth's candidate, or none for a file without a tone;
  false tones     a candidate answered that is not the truth's (a wrong
                  tone, or a tone where there is none);
  Hz error        |measured - true mean frequency| over the tones answered
                  right, median and max;
and for tonalyx -hz, on the files whose truth has them: reason (a file
without a tone, `reason=` as expected), bursts within 1, thd within 2
points and drift within 0.1 Hz (of a tone answered right).

Cost: every file runs `tonalyx -hz -i` and `tonalyx -i` alternately, N
times each, and counts the median of each, wall clock and CPU (the
child's user + system time). The peers run once per file.

Goals (exit status 1 when one is missed): tonalyx -hz right on at least as
many files as every peer in every family, 98 % right in all, no false
tone; today's set ("base") 350/350 tones and 55/55 none; the measurement
at most 3 times the default answer's time per file.
"""
import argparse
import csv
import os
import re
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
FAILED = -1  # the candidate of a run that gave no answer
PEERS = ["aubiopitch", "sox stat", "numpy Hann peak", "numpy sub-harmonic"]


def candidate_near(hz):
    if hz is None or not (90.0 <= hz <= 1010.0):
        return 0
    c = min(1000, max(100, 100 + 20 * int((hz - 100.0) / 20.0 + 0.5)))
    return c if abs(hz - c) <= 10.0 else 0


class Answer:
    def __init__(self, candidate, hz=None, **keys):
        self.candidate, self.hz, self.keys = candidate, hz, keys


class Done:
    def __init__(self, wall, cpu, status, stdout, stderr):
        self.wall, self.cpu, self.status, self.stdout, self.stderr = wall, cpu, status, stdout, stderr


def run(argv, timeout):
    """Wall clock and CPU time of one run; status None when it could not
    start or timed out. Never raises."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        begin = time.perf_counter()
        try:
            child = subprocess.Popen(argv, stdout=out, stderr=err, stdin=subprocess.DEVNULL)
        except OSError:
            return Done(0.0, 0.0, None, "", "")
        # wait(timeout=) polls with sleeps that double from 0.5 ms, which
        # would add up to a few ms to the wall time of a run of a few ms:
        # a plain wait, and a timer to end a run that hangs.
        killed = []
        timer = threading.Timer(timeout, lambda: (killed.append(True), child.kill()))
        timer.start()
        try:
            status = child.wait()
        finally:
            timer.cancel()
        wall = time.perf_counter() - begin
        if killed:
            status = None
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
        cpu = after.ru_utime + after.ru_stime - before.ru_utime - before.ru_stime
        out.seek(0)
        err.seek(0)
        return Done(wall, cpu, status, out.read().decode(errors="replace"), err.read().decode(errors="replace"))


def number(text):
    try:
        return float(text)
    except (TypeError, ValueError):
        return None


def parse_hz(done):
    lines = [line for line in done.stdout.splitlines() if line.startswith("tone=")]
    if done.status not in (0, 1) or not lines:
        return Answer(FAILED)
    keys = dict(item.split("=", 1) for item in lines[-1].split() if "=" in item)
    tone = keys.get("tone", "")
    candidate = 0 if tone == "none" else int(tone) if tone.isdigit() else FAILED
    bursts = number(keys.get("bursts"))
    return Answer(candidate, number(keys.get("measured")), reason=keys.get("reason", ""), bursts=bursts,
                  thd=number(keys.get("thd")), drift=number(keys.get("drift")))


def parse_default(done):
    if done.status is None:
        return Answer(FAILED)
    m = re.search(r"best matching freq\.=(\d+)", done.stdout)
    return Answer(int(m.group(1)) if m else 0)


def peer_answer(hz):
    return Answer(candidate_near(hz), hz)


def parse_aubio(done):
    if done.status != 0:
        return Answer(FAILED)
    frames = [line.split() for line in done.stdout.splitlines()]
    frames = [(number(f[0]), number(f[1])) for f in frames if len(f) == 2]
    frames = [(t, p) for t, p in frames if t is not None and p is not None]
    if len(frames) < 2:
        return Answer(0)
    hop = statistics.median(b[0] - a[0] for a, b in zip(frames, frames[1:]))
    voiced = [p for _, p in frames if p > 0]
    if not voiced or len(voiced) * hop < 0.1:
        return Answer(0)
    middle = statistics.median(voiced)
    steady = sum(abs(p - middle) <= 10.0 for p in voiced) >= len(voiced) / 2
    return peer_answer(middle) if steady else Answer(0)


def parse_sox(done):
    frequency = re.search(r"Rough\s+frequency:\s+(-?\d+)", done.stderr)
    rms = re.search(r"RMS\s+amplitude:\s+(\S+)", done.stderr)
    if done.status != 0 or not frequency or not rms:
        return Answer(FAILED)
    if number(rms.group(1)) is None or number(rms.group(1)) < 1e-6:
        return Answer(0)
    return peer_answer(float(frequency.group(1)))


def parse_numpy(done, method):
    if done.status != 0:
        return Answer(FAILED)
    for line in done.stdout.splitlines():
        words = line.split()
        if len(words) == 3 and words[0] == method:
            return Answer(0) if words[1] == "none" else peer_answer(number(words[1]))
    return Answer(FAILED)


# --- scores ------------------------------------------------------------------------

def truth_number(row, key):
    return number(row.get(key) or None)


class Score:
    """What one tool got right on a list of files."""

    def __init__(self, rows, answers, extras):
        self.files = len(rows)
        self.tones = sum(int(r["candidate"]) > 0 for r in rows)
        self.right_tones = self.right_nones = self.false_tones = 0
        self.errors, self.checks = [], {k: [0, 0] for k in ("reason", "bursts", "thd", "drift")}
        for r, a in zip(rows, answers):
            truth = int(r["candidate"])
            right = a.candidate == truth
            self.right_tones += right and truth > 0
            self.right_nones += right and truth == 0
            self.false_tones += a.candidate > 0 and not right
            if right and truth > 0 and a.hz is not None:
                self.errors.append(abs(a.hz - float(r["hz"])))
            if not extras:
                continue
            if truth == 0 and r.get("reason"):
                self.check("reason", a.candidate == 0 and a.keys.get("reason") == r["reason"])
            for key, within in (("bursts", 1.0), ("thd", 2.0), ("drift", 0.1)):
                expected = truth_number(r, key)
                if truth > 0 and expected is not None:
                    got = a.keys.get(key)
                    self.check(key, right and got is not None and abs(got - expected) <= within)
        self.extras = extras

    def check(self, key, passed):
        self.checks[key][0] += bool(passed)
        self.checks[key][1] += 1

    @property
    def right(self):
        return self.right_tones + self.right_nones

    def cells(self):
        cells = ["%d/%d" % (self.right, self.files), str(self.false_tones)]
        cells.append("%.3f / %.3f" % (statistics.median(self.errors), max(self.errors)) if self.errors else "-")
        for key in ("reason", "bursts", "thd", "drift"):
            passed, total = self.checks[key]
            cells.append("%d/%d" % (passed, total) if self.extras and total else "-")
        return cells


def markdown(header, rows):
    lines = ["| " + " | ".join(header) + " |", "|" + "---|" * len(header)]
    lines += ["| " + " | ".join(str(c) for c in row) + " |" for row in rows]
    return "\n".join(lines)


def over(part, whole):
    return "%.2f" % (part / whole) if whole > 0 else "-"


def percent(part, whole):
    return "%.1f%%" % (100.0 * part / whole) if whole else "-"


# --- the runs --------------------------------------------------------------------------

def measure_all(args, truth, tools):
    hz_tool = args.hz_tool or args.tonalyx
    answers = {t: [] for t in tools}
    wall = {t: [] for t in tools}
    cpu = {t: [] for t in tools}
    fft = [sys.executable, os.path.join(HERE, "fft_peak.py")]
    began = time.perf_counter()
    for done_files, row in enumerate(truth):
        path = os.path.join(args.files, row["file"])
        hz_runs, default_runs = [], []
        for _ in range(args.repeat):  # alternating, so that a busy moment hits both
            hz_runs.append(run([hz_tool, "-hz", "-i", path], args.timeout))
            default_runs.append(run([args.tonalyx, "-i", path], args.timeout))
        runs = {"tonalyx -hz": hz_runs, "tonalyx -i": default_runs}
        answers["tonalyx -hz"].append(parse_hz(hz_runs[-1]))
        answers["tonalyx -i"].append(parse_default(default_runs[-1]))
        if not args.skip_peers:
            runs["aubiopitch"] = [run(["aubiopitch", "-i", path], args.timeout)]
            runs["sox stat"] = [run(["sox", path, "-n", "stat"], args.timeout)]
            runs["numpy Hann peak"] = runs["numpy sub-harmonic"] = [run(fft + [path], args.timeout)]
            answers["aubiopitch"].append(parse_aubio(runs["aubiopitch"][0]))
            answers["sox stat"].append(parse_sox(runs["sox stat"][0]))
            answers["numpy Hann peak"].append(parse_numpy(runs["numpy Hann peak"][0], "hann"))
            answers["numpy sub-harmonic"].append(parse_numpy(runs["numpy sub-harmonic"][0], "subharmonic"))
        for t, done in runs.items():
            wall[t].append(statistics.median(r.wall for r in done))
            cpu[t].append(statistics.median(r.cpu for r in done))
        if sys.stderr.isatty() and done_files % 20 == 0:
            print("\r%d/%d files, %.0f s" % (done_files, len(truth), time.perf_counter() - began), end="",
                  file=sys.stderr)
    if sys.stderr.isatty():
        print(file=sys.stderr)
    return answers, wall, cpu


def today_table(truth, tools, answers):
    """Today's set as the README has shown it: right candidate, no tone
    flagged, Hz error over the tones of 1 s or more at 30 dB or better."""
    base = [i for i, r in enumerate(truth) if r["family"] == "base"]
    tones = [i for i in base if int(truth[i]["candidate"]) > 0]
    nones = [i for i in base if int(truth[i]["candidate"]) == 0]
    precise = [i for i in tones if float(truth[i]["seconds"]) >= 1.0 and float(truth[i]["snr"]) >= 30.0]
    rows = []
    for t in tools:
        right = sum(answers[t][i].candidate == int(truth[i]["candidate"]) for i in tones)
        flagged = sum(answers[t][i].candidate == 0 for i in nones)
        errors = sorted(abs(answers[t][i].hz - float(truth[i]["hz"])) if answers[t][i].hz is not None
                        else float("inf") for i in precise)
        hz = "%.3f / %.3f" % (statistics.median(errors), errors[-1]) if errors and t != "tonalyx -i" else ""
        rows.append(["`%s`" % t, "%d/%d" % (right, len(tones)), "%d/%d" % (flagged, len(nones)), hz])
    print("## Today's set: %d tones (%d of 1 s or more at 30 dB or better), %d without a tone\n" %
          (len(tones), len(precise), len(nones)))
    print(markdown(["tool", "right candidate (%d tones)" % len(tones), "no tone flagged (%d)" % len(nones),
                    "Hz error, median / max"], rows))
    return tones, nones


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("files")
    parser.add_argument("tonalyx")
    parser.add_argument("--hz-tool")
    parser.add_argument("--repeat", type=int, default=5)
    parser.add_argument("--only", help="families to run, comma-separated")
    parser.add_argument("--skip-peers", action="store_true")
    parser.add_argument("--timeout", type=float, default=120.0)
    parser.add_argument("--show-misses", action="store_true")
    args = parser.parse_args()
    with open(os.path.join(args.files, "truth.tsv")) as f:
        truth = list(csv.DictReader(f, delimiter="\t"))
    for row in truth:
        row.setdefault("family", "base")
        row["family"] = row["family"] or "base"
    if args.only:
        keep = set(args.only.split(","))
        truth = [r for r in truth if r["family"] in keep]
    if not truth:
        sys.exit("compare.py: no files to run")
    tools = ["tonalyx -hz", "tonalyx -i"] + ([] if args.skip_peers else PEERS)
    for tool, program in (("aubiopitch", "aubiopitch"), ("sox stat", "sox")):
        if tool in tools and not shutil.which(program):
            print("note: %s is not installed: it counts as wrong on every file" % program)

    answers, wall, cpu = measure_all(args, truth, tools)
    families = list(dict.fromkeys(r["family"] for r in truth))
    scores = {}
    for family in families + ["all"]:
        index = [i for i, r in enumerate(truth) if family in ("all", r["family"])]
        rows = [truth[i] for i in index]
        for t in tools:
            scores[family, t] = Score(rows, [answers[t][i] for i in index], t == "tonalyx -hz")

    print("# The measurement on %d files\n" % len(truth))
    print("Right answers (the candidate, or none), per family and in all; false tones in brackets.\n")
    header = ["family", "files"] + ["`%s`" % t for t in tools]
    rows = []
    for family in families + ["all"]:
        files = scores[family, tools[0]].files
        cells = ["**%s**" % family if family == "all" else family, str(files)]
        for t in tools:
            s = scores[family, t]
            cells.append("%d (%s)%s" % (s.right, s.false_tones, "" if family != "all" else
                                        " " + percent(s.right, s.files)))
        rows.append(cells)
    print(markdown(header, rows))
    detail = ["tool", "right", "false tones", "Hz error, median / max", "reason", "bursts ±1", "thd ±2",
              "drift ±0.1 Hz"]
    for family in families + ["all"]:
        s0 = scores[family, tools[0]]
        print("\n### %s: %d files, %d with a tone, %d without\n" % (family, s0.files, s0.tones, s0.files - s0.tones))
        print(markdown(detail, [["`%s`" % t] + scores[family, t].cells() for t in tools]))
    print()
    base_tones, base_nones = today_table(truth, tools, answers) if "base" in families else ([], [])

    # Cost: the measurement against the default answer, process per file.
    print("\n## Time per file, as a process\n")
    base_wall, base_cpu = statistics.mean(wall["tonalyx -i"]), statistics.mean(cpu["tonalyx -i"])
    rows = []
    for t in tools:
        w, c = statistics.mean(wall[t]), statistics.mean(cpu[t])
        rows.append(["`%s`" % t, "%.2f" % (w * 1000), over(w, base_wall), "%.2f" % (c * 1000), over(c, base_cpu)])
    print(markdown(["tool", "ms per file (wall)", "over `-i`", "CPU ms per file", "over `-i`"], rows))
    ratios = sorted(h / d for h, d in zip(wall["tonalyx -hz"], wall["tonalyx -i"]) if d > 0)
    hz_ratio = statistics.mean(wall["tonalyx -hz"]) / base_wall if base_wall > 0 else float("inf")
    if ratios:
        print("\n`tonalyx -hz` over `tonalyx -i`, file by file (wall): median %.2f, 95th percentile %.2f, max %.2f" %
              (statistics.median(ratios), ratios[int(0.95 * (len(ratios) - 1))], ratios[-1]))

    missed = []
    hz = scores["all", "tonalyx -hz"]
    for family in families:
        best = max(scores[family, t].right for t in tools)
        if scores[family, "tonalyx -hz"].right < best:
            missed.append("best in %s (%d, a peer %d)" % (family, scores[family, "tonalyx -hz"].right, best))
    if hz.right < 0.98 * hz.files:
        missed.append("98 %% right in all (%s)" % percent(hz.right, hz.files))
    if hz.false_tones:
        missed.append("no false tone (%d)" % hz.false_tones)
    if base_tones or base_nones:
        base = scores["base", "tonalyx -hz"]
        if base.right_tones < len(base_tones) or base.right_nones < len(base_nones):
            missed.append("today's set (%d/%d, %d/%d)" % (base.right_tones, len(base_tones), base.right_nones,
                                                          len(base_nones)))
    if hz_ratio > 3.0:
        missed.append("at most 3x `tonalyx -i` per file (%.2f)" % hz_ratio)
    print("\nGoals: %s" % ("all met" if not missed else "MISSED: " + "; ".join(missed)))

    if args.show_misses:
        for i, r in enumerate(truth):
            a = answers["tonalyx -hz"][i]
            if a.candidate != int(r["candidate"]):
                print("  miss: %s %s truth=%s got=%s %s" % (r["file"], r["variant"], r["candidate"], a.candidate,
                                                           a.keys), file=sys.stderr)
    return 1 if missed else 0


if __name__ == "__main__":
    sys.exit(main())
