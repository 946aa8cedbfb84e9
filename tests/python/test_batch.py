"""Verdicts of the batch run, as tonalyx-batch gives them."""
import pytest

import tonalyx
from conftest import tone, wave_bytes, wavegen

# (files: name -> wavegen arguments or bytes, options, expected (name, freq, verdict) rows)
SINE440 = ["--sine", 440, "--slots", 44100]
SINE250 = ["--sine", 250, "--slots", 44100]
TABLES = [
    ({"a.wav": SINE440, "b.wav": SINE250}, {"expect": 440},
     [("a.wav", 440, "ok"), ("b.wav", 240, "wrong")]),
    ({"a.wav": SINE440, "b.wav": SINE250}, {},
     [("a.wav", 440, "ok"), ("b.wav", 240, "ok")]),
    ({"a.wav": SINE440, "b.wav": SINE250}, {"min_result": 0.4},
     [("a.wav", 440, "ok"), ("b.wav", 240, "weak")]),
    # 440 over 4096 slots gives 0.500232, 250 gives 360 with 0.008566.
    ({"-a.wav": SINE440, "b.wav": SINE250}, {"length": 4096, "min_result": 0.3},
     [("-a.wav", 440, "ok"), ("b.wav", 360, "weak")]),
    ({"c.wav": b"RIFF"}, {}, [("c.wav", None, "error")]),
    ({"d.wav": ["--const", 0, "--slots", 44100]}, {"expect": 1000}, [("d.wav", 1000, "weak")]),
]


@pytest.mark.parametrize("files, options, rows", TABLES)
def test_verdicts(in_tmp, files, options, rows):
    for name, content in files.items():
        if isinstance(content, bytes):
            (in_tmp / name).write_bytes(content)
        else:
            wavegen(in_tmp, *content, name=name)
    got = [(row.file, row.freq, row.verdict) for row in tonalyx.batch(sorted(files), **options)]
    assert got == rows


# With hz: the measurement's tone is judged (no tone: weak), with the
# thresholds. A sine of amplitude 0.5 lies at -6.0 dBFS.
HZ = [
    (tone(440), {"expect": 440}, 440, "ok"),
    (tone(660), {"expect": 440}, 660, "wrong"),
    (tone(440, amplitude=0), {}, None, "weak"),
    (tone(445), {"expect": 440}, 440, "ok"),
    (tone(445), {"expect": 440, "tolerance": 4.99}, 440, "wrong"),
    (tone(440), {"min_level": -5.9}, 440, "weak"),
    (tone(440), {"min_level": -6.1, "min_purity": 0.5}, 440, "ok"),
    (tone(440, amplitude=0), {"expect": "none"}, None, "ok"),
    (tone(440), {"expect": "none"}, 440, "wrong"),
]


@pytest.mark.parametrize("frames, options, candidate, verdict", HZ)
def test_hz_verdicts(in_tmp, frames, options, candidate, verdict):
    (in_tmp / "t.wav").write_bytes(wave_bytes(frames))
    [row] = tonalyx.batch("t.wav", hz=True, **options)
    assert (row.tone, row.verdict, row.freq, row.report) == (candidate, verdict, None, None)
    assert row.measurement.tone == candidate


FIELDS = ["level", "start", "end", "channel", "thd", "snr", "drift", "bursts", "reason"]


@pytest.mark.parametrize("frames", [tone(440), tone(440, amplitude=0)])
def test_hz_rows_hold_the_measurement(in_tmp, frames):
    (in_tmp / "t.wav").write_bytes(wave_bytes(frames))
    [row] = tonalyx.batch("t.wav", hz=True)
    measured = tonalyx.measure("t.wav")
    assert [getattr(row, name) for name in FIELDS] == [getattr(measured, name) for name in FIELDS]
    [plain] = tonalyx.batch("t.wav")
    assert [getattr(plain, name) for name in FIELDS] == [None] * len(FIELDS)


def test_manifest_judges_each_file_by_its_line(in_tmp):
    (in_tmp / "a.wav").write_bytes(wave_bytes(tone(440)))
    (in_tmp / "s.wav").write_bytes(wave_bytes(tone(440, amplitude=0)))
    (in_tmp / "extra.wav").write_bytes(wave_bytes(tone(660)))
    (in_tmp / "m.csv").write_text("file,expect\na.wav,440\ns.wav,none\nlost.wav,100\n")
    rows = tonalyx.batch(".", hz=True, expect_from="m.csv")
    assert [(row.file, row.verdict) for row in rows] == [
        ("./a.wav", "ok"), ("./extra.wav", "unlisted"), ("./s.wav", "ok"), ("lost.wav", "missing")]


def test_a_row_tells_its_error(in_tmp):
    (in_tmp / "x.wav").write_bytes(b"RIFF")
    [row] = tonalyx.batch(["x.wav"])
    assert row.status == tonalyx.Status.NO_DATA
    assert "ERROR: no sample data loaded\n" in [m.text for m in row.messages]


def test_a_missing_path_is_an_error_row_and_the_others_run(in_tmp):
    wavegen(in_tmp, *SINE440, name="a.wav")
    rows = list(tonalyx.batch(["a.wav", "gone\x01.wav"]))
    assert [(row.file, row.status, row.verdict) for row in rows] == [
        ("a.wav", tonalyx.Status.OK, "ok"), ("gone\x01.wav", tonalyx.Status.CANNOT_OPEN, "error")]


# Arguments of the wrong kind, and options that do not apply to the mode.
ARGUMENTS = [
    (dict(jobs=0), ValueError, "jobs must be at least 1"),
    (dict(expect=450), ValueError, "expect must be one of"),
    (dict(hz=True, min_result=0.2), ValueError, "min_result does not apply with hz=True"),
    (dict(hz=True, length=4096), ValueError, "length does not apply with hz=True"),
    (dict(min_purity=0.9), ValueError, "min_purity does not apply with hz=False"),
    (dict(tolerance=3), ValueError, "tolerance does not apply with hz=False"),
    (dict(expect="none"), ValueError, 'expect="none" does not apply with hz=False'),
    (dict(hz=True, min_purity=float("nan")), ValueError, "min_purity must be a finite number from 0 to 1"),
    (dict(hz=True, min_level=float("-inf")), ValueError, "min_level must be a finite number"),
    (dict(hz=True, tolerance=-1), ValueError, "tolerance must be a finite number from 0 up"),
    (dict(hz=True, expect=440, expect_from="m.csv"), ValueError, "expect and expect_from do not go together"),
    (dict(hz=True, expect_from="bad.csv"), ValueError, "bad.csv: line 2: expected 2 fields (file, expect), found 3"),
    (dict(hz=True, expect_from="gone.csv"), tonalyx.FileError, "gone.csv: cannot open it"),
]


@pytest.mark.parametrize("options, error, text", ARGUMENTS)
def test_argument_errors(in_tmp, options, error, text):
    (in_tmp / "bad.csv").write_text("a.wav,440\nb.wav,440,x\n")
    with pytest.raises(error) as raised:
        tonalyx.batch(["."], **options)
    assert str(raised.value).startswith(text)
