"""The default answer from Python: the same as the console's on the worked
end-to-end cases (whose expected lines were checked by hand), from a path
and from the file's bytes in any buffer."""
import pathlib
import re
import shlex

import numpy as np
import pytest

import tonalyx
from conftest import CASES, console, mask_time, wavegen


def worked_cases():
    """(wavegen arguments, length, expected result line) of every worked
    case that runs the tool plainly on one generated file."""
    found = []
    for case in sorted(CASES.glob("worked_*.case")):
        text = case.read_text()
        header = dict(re.findall(r"(?m)^(input|run): (.*)$", text.split("\n--- ")[0]))
        run = re.fullmatch(r"tonalyx (?:-length (\d+) )?-i in\.wav", header.get("run", ""))
        words = shlex.split(header.get("input", ""))
        if not run or words[:1] != ["wavegen"] or "-o" in words:
            continue
        line = re.search(r"(?m)^bestResult=.*$", text)[0]
        found.append(pytest.param(words[1:], int(run[1] or 1024), line, id=case.stem))
    return found


WORKED = worked_cases()

# How a bench may hand over a file: a path, or the whole file in a buffer.
SOURCES = {
    "str": str,
    "pathlib": lambda path: pathlib.Path(path),
    "bytes": lambda path: pathlib.Path(path).read_bytes(),
    "bytearray": lambda path: bytearray(pathlib.Path(path).read_bytes()),
    "memoryview": lambda path: memoryview(pathlib.Path(path).read_bytes()),
    "numpy": lambda path: np.fromfile(path, dtype=np.uint8),
}


def test_every_worked_case_is_found():
    # Silence and all negative; sine 440, sine 250 and cosine 440 at two lengths each.
    assert len(WORKED) >= 8


@pytest.mark.parametrize("source", SOURCES.values(), ids=SOURCES.keys())
@pytest.mark.parametrize("args, length, line", WORKED)
def test_answer_is_the_consoles(in_tmp, source, args, length, line):
    path = wavegen(in_tmp, *args)
    r = tonalyx.analyze(source(path), length=length)
    result, freq = re.fullmatch(r"bestResult=(\S+) best matching freq\.=(\d+)", line).groups()
    assert repr(r) == line
    assert (r.freq, f"{r.result:.6f}") == (int(freq), result)
    assert r.status == tonalyx.Status.OK and r.has_result and r.messages == []
    assert r.length == min(length, 44100)


@pytest.mark.parametrize("args, length, line", WORKED)
def test_trace_is_the_consoles_verbose_output(in_tmp, args, length, line):
    path = wavegen(in_tmp, *args)
    out, status = console("-v", "-length", length, "-i", path)
    r = tonalyx.analyze(path, length=length, trace=True)
    assert status == 0 and line in out
    assert mask_time(r.trace) == out


# Trace lines checked by hand (the worked candidate traces).
TRACE_LINES = [
    (["--sine", 250], "result for freq.=0260:   0.338\n"),
    (["--cosine", 440], "processDFT() maxX=1024 frequency=440\nprocessDFT() sum=0.034415\n"),
]


@pytest.mark.parametrize("args, lines", TRACE_LINES)
def test_trace_holds_the_hand_checked_lines(in_tmp, args, lines):
    r = tonalyx.analyze(wavegen(in_tmp, *args, "--slots", 44100), trace=True)
    assert lines in r.trace
    assert tonalyx.analyze(wavegen(in_tmp, *args, "--slots", 44100)).trace is None


@pytest.mark.parametrize("args, length, line", WORKED)
def test_candidates_give_the_best(in_tmp, args, length, line):
    r = tonalyx.analyze(wavegen(in_tmp, *args), length=length)
    freqs = [f for f, _ in r.candidates]
    assert freqs == list(range(100, 1001, 20)) == list(tonalyx.CANDIDATES)
    best = max(v for _, v in r.candidates)
    if best < 0:
        assert (r.freq, r.result) == (0, 0.0)
    else:
        # Of equal results the higher candidate wins.
        assert (r.freq, r.result) == (max(f for f, v in r.candidates if v == best), best)


# Warnings and errors a run goes on after, with their streams.
MESSAGES = [
    # (wavegen arguments, length, (stream, text), ...)
    (["--sine", 440, "--slots", 44100], 0, [("stdout", "WARNING: length restricte to 4096!\n")], 4096),
    (["--sine", 440, "--slots", 44100], 2**32 + 1, [], 1),
    (["--sine", 440, "--slots", 44100], -5, [("stdout", "WARNING: length restricte to 4096!\n")], 4096),
    (["--values", "2573,26,6682,3338"], 1024,
     [("stdout", "WARNING: length reduced to 4, the number of sample slots loaded!\n")], 4),
]


@pytest.mark.parametrize("args, length, messages, analysed", MESSAGES)
def test_messages(in_tmp, args, length, messages, analysed):
    r = tonalyx.analyze(wavegen(in_tmp, *args), length=length)
    assert [(m.stream, m.text) for m in r.messages] == messages
    assert r.status == tonalyx.Status.OK and r.length == analysed


def test_wrong_riff_tag_goes_on_with_a_message(in_tmp):
    data = b"RIFX" + wavegen(in_tmp, "--sine", 440, "--slots", 44100).read_bytes()[4:]
    r = tonalyx.analyze(data)
    assert [(m.stream, m.text) for m in r.messages] == [("stderr", "ERROR: wrong file tag (should be RIFF)\n")]
    assert repr(r) == "bestResult=0.497611 best matching freq.=440"


def test_samples_are_the_scaled_slots(in_tmp):
    # Positive slots only: each is scaled by the largest, 6682.
    r = tonalyx.analyze(wavegen(in_tmp, "--values", "2573,26,6682,3338"), samples=True)
    assert r.samples.dtype == np.float64 and r.samples.shape == (4,)
    np.testing.assert_allclose(r.samples, np.array([2573, 26, 6682, 3338]) / 6682, rtol=1e-15)


def test_samples_match_the_console_listing_and_outlive_the_result(in_tmp):
    path = wavegen(in_tmp, "--sine", 440, "--slots", 44100)
    out, _ = console("-valuelist", "-length", 300, "-i", path)
    listed = np.array([float(v) for v in out.split("\n\n")[0].split()[1:]])
    samples = tonalyx.analyze(path, length=300, samples=True).samples
    # Zero-copy: the array does not own its memory, its base keeps it.
    assert not samples.flags.owndata and samples.base is not None
    assert len(listed) == 300
    np.testing.assert_allclose(samples, listed, atol=5e-7)
    assert tonalyx.analyze(path).samples is None
