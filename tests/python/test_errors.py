"""What raises: files that cannot be opened (FileError, an OSError), data
that cannot be used (FormatError, a ValueError), and arguments of the
wrong kind; the run's result stays reachable as the exception's .result."""
import os

import pytest

import tonalyx
from conftest import tone, wave_bytes

FileError, FormatError, Status = tonalyx.FileError, tonalyx.FormatError, tonalyx.Status

TEN_BYTES = b"RIFF$\xac\x00\x00WA"  # a header cut short
NOT_FOUND = "ERROR: Inp.wave file not found: "

# id: (call, make the scratch input, argument, exception, status, message (or a part of it))
RUNS = {
    "missing": (tonalyx.analyze, None, "missing.wav", FileError, Status.CANNOT_OPEN, NOT_FOUND + "missing.wav"),
    "folder": (tonalyx.analyze, "folder", "adir", FileError, Status.CANNOT_OPEN, NOT_FOUND + "adir"),
    "control bytes in the name": (tonalyx.analyze, None, "a\x01b\nc.wav", FileError, Status.CANNOT_OPEN,
                                  NOT_FOUND + "a\\x01b\\x0ac.wav"),
    "name not UTF-8": (tonalyx.analyze, None, os.fsdecode(b"no\xffname.wav"), FileError, Status.CANNOT_OPEN,
                              NOT_FOUND + "no\udcffname.wav"),
    "ten-byte file": (tonalyx.analyze, "file", "ten.wav", FormatError, Status.NO_DATA, "ERROR: no sample data loaded"),
    "ten bytes": (tonalyx.analyze, None, TEN_BYTES, FormatError, Status.NO_DATA, "ERROR: no sample data loaded"),
    "empty data chunk": (tonalyx.analyze, None, wave_bytes([]), FormatError, Status.NO_DATA,
                         "ERROR: no sample data loaded"),
    "bytes are data, never a name": (tonalyx.analyze, None, b"missing.wav", FormatError, Status.NO_DATA,
                                  "ERROR: no sample data loaded"),
    "measure missing": (tonalyx.measure, None, "missing.wav", FileError, Status.CANNOT_OPEN,
                        "ERROR: cannot open missing.wav: No such file or directory"),
    "measure folder": (tonalyx.measure, "folder", "adir", FileError, Status.CANNOT_OPEN,
                       "ERROR: cannot open adir: Is a directory"),
    "measure ten bytes": (tonalyx.measure, None, TEN_BYTES, FormatError, Status.NO_DATA, "ERROR: cannot measure "),
    "measure format tag 0x55": (tonalyx.measure, None, wave_bytes(tone(440), format_tag=0x55), FormatError,
                                Status.NO_DATA, "0x0055"),
}


@pytest.mark.parametrize("call, scratch, source, error, status, message", RUNS.values(), ids=RUNS.keys())
def test_run_errors(in_tmp, call, scratch, source, error, status, message):
    if scratch == "folder":
        (in_tmp / source).mkdir()
    elif scratch == "file":
        (in_tmp / source).write_bytes(TEN_BYTES)
    with pytest.raises(error) as raised:
        call(source)
    e = raised.value
    assert isinstance(e, tonalyx.Error)
    assert isinstance(e, OSError if error is FileError else ValueError)
    assert e.result.status == status
    assert message in str(e) and message in "".join(m.text for m in e.result.messages)
    assert not any(c < " " and c != "\n" for c in str(e))  # names come escaped


# Arguments of the wrong kind: Python's own exceptions.
ARGUMENTS = [
    (lambda: tonalyx.analyze(3), TypeError),
    (lambda: tonalyx.analyze(None), TypeError),
    (lambda: tonalyx.analyze("a\0b.wav"), ValueError),
    (lambda: tonalyx.analyze("x.wav", length=1.5), TypeError),
    (lambda: tonalyx.analyze("x.wav", length="1024"), TypeError),
    (lambda: tonalyx.analyze("x.wav", length=True), TypeError),
    (lambda: tonalyx.measure(["x.wav"]), TypeError),
    (lambda: tonalyx.analyze(memoryview(TEN_BYTES)[::2]), BufferError),  # not contiguous
]


@pytest.mark.parametrize("call, error", ARGUMENTS)
def test_argument_errors(in_tmp, call, error):
    with pytest.raises(error):
        call()


def test_no_tone_is_a_result_not_an_error():
    m = tonalyx.measure(wave_bytes(tone(440, amplitude=0)))
    assert m.status == Status.OK and m.tone is None
