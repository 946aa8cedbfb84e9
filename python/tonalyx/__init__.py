"""Which of 46 candidate frequencies (100, 120, ..., 1000) a tone in a
RIFF/WAVE file holds, in process and without a console.

    import tonalyx
    m = tonalyx.measure("dut_ch1.wav")
    assert m.tone == 440 and m.purity > 0.9, m
    r = tonalyx.analyze("golden.wav", length=1024)
    assert (r.freq, f"{r.result:.6f}") == (440, "0.497611")

A source is a path (str or os.PathLike; a name that is not UTF-8 as
os.fsdecode gives it) or the whole file in memory (bytes, bytearray,
memoryview or any other buffer).

Errors: a file that cannot be opened or read raises FileError (an
OSError), data that cannot be used raises FormatError (a ValueError); both
are tonalyx.Error and carry the run's result as `.result`. "No tone" is a
result, not an error. The analysis runs without the GIL, so threads run in
parallel.

Results, rows and errors pickle, so they come back from other processes
and machines (multiprocessing, concurrent.futures, Dask), and compare
equal when they hold the same values (the run's time aside).
"""

import math
import os

from . import _executor, _native
from ._native import BatchRow, Measurement, Message, Result, Segment, Status

__all__ = [
    "analyze", "measure", "measure_segments", "batch", "Error", "FileError", "FormatError",
    "Result", "Measurement", "Segment", "Message", "BatchRow", "Status", "CANDIDATES",
]
__version__ = _native.__version__

#: The candidates, in the order they are compared.
CANDIDATES = _native.CANDIDATES

# The name that messages give a file in memory.
_MEMORY_NAME = "<bytes>"


class Error(Exception):
    """A run that gave no answer; `.result` holds what it gave."""

    def __init__(self, message, result=None, filename=None):
        super().__init__(message)
        self.result = result
        if filename is not None:
            self.filename = filename

    def __str__(self):
        # The tool's message, also for FileError (OSError would show errno).
        return str(self.args[0]) if self.args else ""

    def _values(self):
        return (type(self), str(self), self.result, getattr(self, "filename", None))

    def __reduce__(self):
        # Rebuilt from its values: OSError's own way would lose the result
        # and take the file name for an error number.
        return self._values()[0], self._values()[1:]

    def __eq__(self, other):
        if not isinstance(other, Error):
            return NotImplemented
        return self._values() == other._values()

    def __hash__(self):
        return hash((type(self), str(self)))


class FileError(Error, OSError):
    """The file could not be opened or read."""


class FormatError(Error, ValueError):
    """The data is not in a format the run can use."""


# Statuses that end a run without an answer, and what they raise.
_RAISES = {
    Status.CANNOT_OPEN: FileError,
    Status.READ_ERROR: FileError,
    Status.NO_DATA: FormatError,
}


def _source_of(source):
    """(path as bytes, None) or (None, buffer) for a source."""
    if isinstance(source, str):
        return os.fsencode(source), None
    if isinstance(source, bytes):
        return None, source  # the file itself, never a name
    if isinstance(source, os.PathLike):
        return os.fsencode(os.fspath(source)), None
    try:
        memoryview(source).release()
    except TypeError:
        raise TypeError(
            "source must be a path (str, os.PathLike) or a buffer "
            f"holding a whole file, not {type(source).__name__}") from None
    return None, source


def _checked(outcome, path):
    """outcome, or the error its status stands for."""
    error = _RAISES.get(outcome.status)
    if error is None:
        return outcome
    text = "".join(m.text for m in outcome.messages).rstrip("\n")
    filename = None if path is None else os.fsdecode(path)
    raise error(text or f"status {int(outcome.status)}", outcome, filename)


def _length_of(length):
    # As the console reads -length (the library's rule, from the number's
    # text): modulo 2**32; 0 and more than 4096 give 4096 and a warning.
    return _native.length_from_text(str(_index("length", length)))


def _index(name, value):
    if isinstance(value, bool):
        raise TypeError(f"{name} must be an int, not bool")
    try:
        return value.__index__()
    except AttributeError:
        raise TypeError(f"{name} must be an int, not {type(value).__name__}") from None


def analyze(source, length=_native.DEFAULT_LENGTH, samples=False, trace=False):
    """The console's answer for one file: the best of the 46 candidates
    over the first `length` slots.

    samples=True keeps the scaled slots as `Result.samples` (a numpy
    array); trace=True keeps what `-v` prints as `Result.trace`. Raises
    FileError (the file cannot be opened or read) or FormatError (no
    sample data), each with the Result as `.result`.
    """
    path, data = _source_of(source)
    length = _length_of(length)
    if path is not None:
        outcome = _native.analyze_path(path, length, bool(samples), bool(trace))
    else:
        outcome = _native.analyze_bytes(data, _MEMORY_NAME, length, bool(samples), bool(trace))
    return _checked(outcome, path)


def measure(source):
    """The tone of a recording in Hz, whatever its phase, lead-in, rate,
    depth or channels; `tone` is None when there is none.

    Raises FileError (the file cannot be opened or read) or FormatError
    (a format that cannot be read), each with the Measurement as `.result`.
    """
    path, data = _source_of(source)
    if path is not None:
        outcome = _native.measure_path(path)
    else:
        outcome = _native.measure_bytes(data, _MEMORY_NAME)
    return _checked(outcome, path)


def measure_segments(source):
    """Every stretch of steady tone in a recording, in time order, as
    `tonalyx -hz -segments` prints them. Raises as measure() does."""
    return list(measure(source).segments)


def batch(paths, jobs=None, expect=None, hz=False, *, length=None, min_result=None, min_purity=None,
          min_level=None, tolerance=None, expect_from=None, executor=None, chunk_size=None):
    """Runs every file, and every *.wav (any case) in every folder, of
    `paths` on `jobs` threads (default: one per hardware thread) and yields
    a BatchRow per file in the order of the names, as tonalyx-batch prints
    them.

    With hz=True (the measurement, for recordings) the verdict is 'error'
    (not read), 'weak' (no tone, purity below min_purity (default 0.7), or
    level below min_level dBFS when given), 'wrong' (another candidate
    than `expect`, or measured further than `tolerance` Hz (default 10)
    from it; with expect="none": any tone) or 'ok'. expect_from names a
    TSV or CSV of file and expect per file, as tonalyx-batch --expect-from
    reads it: a file it lists that is not found gives a row with the
    verdict 'missing', a file found that it does not list 'unlisted'.

    Without hz (the default answer) the verdict is 'error', 'weak' (result
    below min_result, default 0.1; `length` slots, default 1024), 'wrong'
    (another candidate than `expect`) or 'ok'.

    An option that does not apply to the mode raises ValueError, as does a
    malformed manifest (naming its line); a manifest that cannot be read
    raises FileError. A path that is missing or cannot be read gives an
    error row, and the other paths their rows.

    With `executor` (any concurrent.futures.Executor: a ProcessPoolExecutor,
    or Dask's client.get_executor()), the files are found here and sent to
    it in chunks of `chunk_size` files (default: 64 to 512, about 16
    chunks), each run on `jobs` threads (default 1); the rows are the same,
    in the same order. Its workers need tonalyx, and the files at the same
    paths. Then a path that is not there raises FileError before any run,
    a folder that could not be read raises FileError after the rows, and
    expect_from (which judges the whole run) is refused.
    """
    if executor is not None:
        # Every option but these goes with each chunk as it was given.
        options = {k: v for k, v in locals().items() if k not in ("paths", "jobs", "executor", "chunk_size")}
        return _batch_on(executor, paths, jobs, chunk_size, options)
    if isinstance(paths, (str, bytes, os.PathLike)):
        paths = [paths]
    names = [os.fsencode(path) for path in paths]
    jobs = _jobs_of(jobs, 0)
    expect_none = isinstance(expect, str) and expect == "none"
    expect = 0 if expect is None or expect_none else _index("expect", expect)
    if expect and expect not in CANDIDATES:
        raise ValueError(f"expect must be one of 100, 120, ..., 1000 or 'none', not {expect}")
    _check_mode(bool(hz), {"min_result": min_result, "length": length},
                {"min_purity": min_purity, "min_level": min_level, "tolerance": tolerance,
                 "expect_from": expect_from, 'expect="none"': True if expect_none else None})
    if expect_from is not None and (expect or expect_none):
        raise ValueError("expect and expect_from do not go together")
    manifest = None if expect_from is None else os.fsencode(expect_from)
    try:
        run = _native.BatchRun(
            names, jobs, _length_of(_native.DEFAULT_LENGTH if length is None else length), expect, expect_none,
            _number("min_result", min_result, _native.DEFAULT_MIN_RESULT), _number("min_purity", min_purity, 0.7, 0, 1),
            _number("min_level", min_level, None), _number("tolerance", tolerance, 10.0, 0), bool(hz), manifest)
    except OSError as error:
        raise FileError(str(error), None, os.fsdecode(manifest)) from None
    return _rows(run)


def _check_mode(hz, default_only, hz_only):
    """An option that does not apply to the mode is an error, never ignored."""
    wrong = default_only if hz else hz_only
    for name, value in wrong.items():
        if value is not None:
            raise ValueError(f"{name} does not apply with hz={hz}")


def _number(name, value, default, low=None, high=None):
    """value as a float (default for None), finite and within its bounds."""
    if value is None:
        return default
    if isinstance(value, bool):
        raise TypeError(f"{name} must be a number, not bool")
    number = float(value)
    if not math.isfinite(number) or (low is not None and number < low) or (high is not None and number > high):
        bounds = "" if low is None else f" from {low:g}" + (" up" if high is None else f" to {high:g}")
        raise ValueError(f"{name} must be a finite number{bounds}, not {value!r}")
    return number


def _jobs_of(jobs, default):
    if jobs is None:
        return default  # 0: the library's word for one per hardware thread
    jobs = _index("jobs", jobs)
    if jobs < 1:
        raise ValueError(f"jobs must be at least 1, not {jobs}")
    return min(jobs, 0xFFFFFFFF)


def _batch_on(executor, paths, jobs, chunk_size, options):
    jobs = _jobs_of(jobs, 1)
    if chunk_size is not None and _index("chunk_size", chunk_size) < 1:
        raise ValueError(f"chunk_size must be at least 1, not {chunk_size}")
    if options.get("expect_from") is not None:
        raise ValueError("expect_from judges the whole run: it does not go with an executor")
    batch([], jobs, **options).close()  # the options' errors, here and now
    if isinstance(paths, (str, bytes, os.PathLike)):
        paths = [paths]
    files, errors = _native.walk_paths([os.fsencode(path) for path in paths])
    # As on this machine: a path that is not there fails before any run.
    _raise_path_errors(None, [e for e in errors if e[2]])
    return _executor_rows(executor, files, jobs, chunk_size, options, errors)


def _executor_rows(executor, files, jobs, chunk_size, options, errors):
    yield from _executor.rows(executor, files, jobs, chunk_size, options)
    _raise_path_errors(None, errors)


def _rows(run):
    try:
        yield from run
    finally:
        run.close()


def _raise_path_errors(run, errors):
    if errors:
        if run is not None:
            run.close()
        raise FileError("\n".join(text for text, _, _ in errors), None, errors[0][1])
