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

import os

from . import _executor, _native
from ._native import BatchRow, Measurement, Message, Result, Segment, Status

__all__ = [
    "analyze", "measure", "measure_segments", "batch", "Error", "FileError", "FormatError",
    "Result", "Measurement", "Segment", "Message", "BatchRow", "Status", "CANDIDATES",
]
__version__ = _native.__version__

#: The candidates, in the order they are compared.
CANDIDATES = tuple(range(100, 1001, 20))

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
    # As the console reads -length: modulo 2**32; 0 and more than 4096 give
    # 4096 and a warning.
    return _index("length", length) & 0xFFFFFFFF


def _index(name, value):
    if isinstance(value, bool):
        raise TypeError(f"{name} must be an int, not bool")
    try:
        return value.__index__()
    except AttributeError:
        raise TypeError(f"{name} must be an int, not {type(value).__name__}") from None


def analyze(source, length=1024, samples=False, trace=False):
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


def batch(paths, jobs=None, expect=None, hz=False, *, length=1024, min_result=0.1, executor=None,
          chunk_size=None):
    """Runs every file, and every *.wav (any case) in every folder, of
    `paths` on `jobs` threads (default: one per hardware thread) and yields
    a BatchRow per file in the order of the names, as tonalyx-batch prints
    them: verdict 'error', 'weak' (result below min_result; with hz: no
    tone), 'wrong' (another candidate than `expect`) or 'ok'.

    With `executor` (any concurrent.futures.Executor: a ProcessPoolExecutor,
    or Dask's client.get_executor()), the files are found here and sent to
    it in chunks of `chunk_size` files (default: 64 to 512, about 16
    chunks), each run on `jobs` threads (default 1); the rows are the same,
    in the same order. Its workers need tonalyx, and the files at the same
    paths.

    A path that is not there raises FileError before any run; a folder
    that could not be read raises FileError after the rows.
    """
    if executor is not None:
        # Every option but these goes with each chunk as it was given.
        options = {k: v for k, v in locals().items() if k not in ("paths", "jobs", "executor", "chunk_size")}
        return _batch_on(executor, paths, jobs, chunk_size, options)
    if isinstance(paths, (str, bytes, os.PathLike)):
        paths = [paths]
    names = [os.fsencode(path) for path in paths]
    expect = 0 if expect is None else _index("expect", expect)
    if expect and expect not in CANDIDATES:
        raise ValueError(f"expect must be one of 100, 120, ..., 1000, not {expect}")
    run = _native.BatchRun(names, _jobs_of(jobs, 0), _length_of(length), expect, float(min_result), bool(hz))
    # A path that is not there fails the batch before any run.
    _raise_path_errors(run, [e for e in run.path_errors() if e[2]])
    return _rows(run)


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
        # A folder that could not be read fails it after the rows.
        _raise_path_errors(run, run.path_errors())
    finally:
        run.close()


def _raise_path_errors(run, errors):
    if errors:
        if run is not None:
            run.close()
        raise FileError("\n".join(text for text, _, _ in errors), None, errors[0][1])
