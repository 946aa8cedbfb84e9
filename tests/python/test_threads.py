"""Runs on many threads at once give what the same runs give one after
another (the analysis runs without the GIL, each run on its own state)."""
import os
import pathlib
import subprocess
import sys
from concurrent.futures import ThreadPoolExecutor

import pytest

import tonalyx
from conftest import mask_time, tone, wave_bytes, wavegen

INPUTS = [
    ("sine440.wav", ["--sine", 440, "--slots", 44100]),
    ("sine250.wav", ["--sine", 250, "--slots", 44100]),
    ("cosine440.wav", ["--cosine", 440, "--slots", 44100]),
    ("silence.wav", ["--const", 0, "--slots", 44100]),
    ("short.wav", ["--sine", 3, "--slots", 100]),
]
LENGTHS = [1, 300, 1024, 4096]


def fingerprint(r):
    return (r.status, r.freq, r.result, tuple(r.candidates), mask_time(r.trace), tuple(r.samples),
            tuple((m.stream, m.text) for m in r.messages))


def test_analyze_on_threads(tmp_path):
    files = [wavegen(tmp_path, *args, name=name) for name, args in INPUTS]
    jobs = [(source, length) for f in files for length in LENGTHS for source in (str(f), f.read_bytes())] * 3

    def run(job):
        return fingerprint(tonalyx.analyze(job[0], length=job[1], samples=True, trace=True))

    alone = [run(job) for job in jobs]
    with ThreadPoolExecutor(max_workers=8) as pool:
        together = list(pool.map(run, jobs))
    assert together == alone
    assert alone[0::2] == alone[1::2]  # a path and its bytes agree
    # One slot of a sine is 0: every candidate ties at 0 and the last wins.
    assert alone[0][1:3] == (1000, 0.0) and alone[2][1] == 440


def test_measure_on_threads():
    signals = [wave_bytes(tone(freq)) for freq in (100, 440, 660, 1000)] * 6

    def run(data):
        m = tonalyx.measure(data)
        return (m.tone, m.measured, m.purity, m.level, m.start, m.end, m.channel)

    alone = [run(data) for data in signals]
    with ThreadPoolExecutor(max_workers=8) as pool:
        assert list(pool.map(run, signals)) == alone
    assert [t for t, *_ in alone[:4]] == [100, 440, 660, 1000]


@pytest.mark.parametrize("jobs", [1, 2, 7])
def test_batch_rows_are_the_single_runs_in_name_order(tmp_path, jobs):
    files = [wavegen(tmp_path, *args, name=name) for name, args in INPUTS]
    (tmp_path / "sub").mkdir()
    files.append(wavegen(tmp_path / "sub", "--sine", 440, "--slots", 44100, name="UPPER.WAV"))
    (tmp_path / "notes.txt").write_text("not a wave file")
    rows = list(tonalyx.batch([tmp_path], jobs=jobs, expect=440))
    assert [row.file for row in rows] == sorted(str(f) for f in files)
    for row in rows:
        single = tonalyx.analyze(row.file)
        assert (row.status, row.freq, row.result) == (single.status, single.freq, single.result)
        assert repr(row.report) == repr(single)


# A run waits on a named pipe for its writer; the writer is this same
# process, which can only go on when the waiting run has let go of the GIL.
# In a child process, so that a run that kept the GIL fails by a timeout
# instead of hanging the suite.
PIPE_RUN = """
import os, sys, threading, tonalyx
fifo, data = sys.argv[1], open(sys.argv[2], "rb").read()
got = {}
reader = threading.Thread(target=lambda: got.update(r=getattr(tonalyx, sys.argv[3])(fifo)))
reader.start()
pipe = os.open(fifo, os.O_WRONLY)
try:
    while data:
        data = data[os.write(pipe, data):]
except BrokenPipeError:
    pass  # the default answer reads only the slots it needs
os.close(pipe)
reader.join()
print(repr(got["r"]).split(" measured=")[0])
"""


@pytest.mark.skipif(not hasattr(os, "mkfifo"), reason="no named pipes here")
@pytest.mark.parametrize("call, line", [
    ("analyze", "bestResult=0.497611 best matching freq.=440"),
    ("measure", "tone=440"),
])
def test_a_waiting_run_lets_other_threads_go_on(tmp_path, call, line):
    fifo = tmp_path / "pipe.wav"
    os.mkfifo(fifo)
    wave = wavegen(tmp_path, "--sine", 440, "--slots", 44100)
    env = dict(os.environ, PYTHONPATH=str(pathlib.Path(tonalyx.__file__).resolve().parents[1]))
    done = subprocess.run([sys.executable, "-c", PIPE_RUN, str(fifo), str(wave), call],
                          env=env, capture_output=True, text=True, timeout=60)
    assert done.stdout == line + "\n", done.stderr
