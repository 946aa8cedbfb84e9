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


# With hz: the measurement's tone is judged (no tone: weak).
HZ = [
    (tone(440), {"expect": 440}, 440, "ok"),
    (tone(660), {"expect": 440}, 660, "wrong"),
    (tone(440, amplitude=0), {}, None, "weak"),
]


@pytest.mark.parametrize("frames, options, candidate, verdict", HZ)
def test_hz_verdicts(in_tmp, frames, options, candidate, verdict):
    (in_tmp / "t.wav").write_bytes(wave_bytes(frames))
    [row] = tonalyx.batch("t.wav", hz=True, **options)
    assert (row.tone, row.verdict, row.freq, row.report) == (candidate, verdict, None, None)
    assert row.measurement.tone == candidate


def test_a_row_tells_its_error(in_tmp):
    (in_tmp / "x.wav").write_bytes(b"RIFF")
    [row] = tonalyx.batch(["x.wav"])
    assert row.status == tonalyx.Status.NO_DATA
    assert "ERROR: no sample data loaded\n" in [m.text for m in row.messages]


def test_a_missing_path_fails_before_any_row(in_tmp):
    wavegen(in_tmp, *SINE440, name="a.wav")
    with pytest.raises(tonalyx.FileError) as raised:
        tonalyx.batch(["a.wav", "gone\x01.wav"])
    assert str(raised.value) == "gone\\x01.wav: no such file or folder"
    assert raised.value.filename == "gone\x01.wav"


# Arguments of the wrong kind.
ARGUMENTS = [
    (lambda: tonalyx.batch(["."], jobs=0), ValueError),
    (lambda: tonalyx.batch(["."], expect=450), ValueError),
]


@pytest.mark.parametrize("call, error", ARGUMENTS)
def test_argument_errors(in_tmp, call, error):
    with pytest.raises(error):
        call()
