"""Results travel between processes: every result object and error pickles
to an equal object that reads the same, directly and through a
multiprocessing pool of fresh interpreters."""
import itertools
import multiprocessing
import operator
import pickle

import numpy as np
import pytest

import tonalyx
from conftest import tone, wave_bytes, wavegen

# Recordings whose results differ in every part: a tone, a stereo 24-bit
# one, bursts of a tone, silence, a file without data.
RECORDINGS = {
    "tone.wav": wave_bytes(tone(440)),
    "stereo.wav": wave_bytes(np.stack([tone(660, amplitude=0.2), tone(660, amplitude=0.6)], 1), bits=24),
    "bursts.wav": wave_bytes(np.concatenate([tone(880, 0.3), np.zeros(14400), tone(880, 0.3)])),
    "silence.wav": wave_bytes(np.zeros(48000)),
    "empty.wav": b"RIFF",
}


def readable(value):
    """What a value reads as through its public properties, recursively."""
    if isinstance(value, np.ndarray):
        return ("array", value.dtype.str, value.tolist())
    if isinstance(value, (list, tuple)):
        return [readable(item) for item in value]
    if isinstance(value, tonalyx.Error):
        return (type(value), str(value), getattr(value, "filename", None), readable(value.result))
    if type(value).__module__.startswith("tonalyx") and not isinstance(value, tonalyx.Status):
        return {name: readable(getattr(value, name)) for name in dir(value)
                if not name.startswith("_") and not callable(getattr(value, name))}
    return value


@pytest.fixture
def recordings(in_tmp):
    for name, data in RECORDINGS.items():
        (in_tmp / name).write_bytes(data)
    wavegen(in_tmp, "--sine", 440, "--slots", 44100, name="sine440.wav")
    return sorted(str(path) for path in in_tmp.iterdir())


def results(paths):
    """One of each kind of object per file, and the errors raised."""
    made = []
    missing = paths[0] + "-gone\x01.wav"
    for path in paths + [missing]:
        for run in (lambda p: tonalyx.analyze(p, length=4096, samples=True, trace=True), tonalyx.measure):
            try:
                made.append(run(path))
            except tonalyx.Error as error:
                made += [error, error.result]
    made += list(tonalyx.batch(paths)) + list(tonalyx.batch(paths, hz=True))
    made += [status for status in tonalyx.Status]
    with pytest.raises(tonalyx.FileError) as raised:
        list(tonalyx.batch(paths, hz=True, expect_from=missing))
    made.append(raised.value)  # without a result
    return made


def test_pickle_gives_equal_objects(recordings):
    originals = results(recordings)
    kinds = {type(o).__name__ for o in originals}
    assert kinds >= {"Result", "Measurement", "BatchRow", "Status", "FileError", "FormatError"}
    for protocol in range(2, pickle.HIGHEST_PROTOCOL + 1):
        copies = pickle.loads(pickle.dumps(originals, protocol))
        for original, copy in zip(originals, copies, strict=True):
            assert type(copy) is type(original)
            assert copy == original and not copy != original
            assert readable(copy) == readable(original)


def distinct(state, numbers):
    """The state with every number changed to one of its own (flags flipped)."""
    if isinstance(state, bool):
        return not state
    if isinstance(state, (int, float)):
        return type(state)(next(numbers))
    if isinstance(state, (tuple, list)):
        return type(state)(distinct(item, numbers) for item in state)
    return state


def plain(state):
    return state.tolist() if isinstance(state, np.ndarray) else (
        [plain(item) for item in state] if isinstance(state, (tuple, list)) else state)


def test_every_value_survives(recordings):
    # A value lost or put in another's place shows whatever the run gave.
    for original in results(recordings):
        if isinstance(original, (tonalyx.Status, tonalyx.Error)):
            continue
        layout, values = original.__getstate__()
        changed = (layout, distinct(values, itertools.count(3)))
        rebuilt = type(original).__new__(type(original))
        rebuilt.__setstate__(changed)
        assert plain(pickle.loads(pickle.dumps(rebuilt)).__getstate__()) == plain(changed)


def test_different_results_are_not_equal(recordings):
    # No two objects of a kind come from the same file and run.
    objects = [o for o in results(recordings) if not isinstance(o, tonalyx.Status)]
    for i, a in enumerate(objects):
        for b in objects[i + 1:]:
            if type(a) is type(b):
                assert a != b and not a == b
    # Equality is of the values, the run's time aside.
    a, b = (tonalyx.analyze(recordings[0], samples=True) for _ in range(2))
    assert a == b and a is not b


def test_through_a_pool_of_fresh_processes(recordings):
    originals = results(recordings)
    [empty] = [p for p in recordings if p.endswith("empty.wav")]
    readable_files = [p for p in recordings if p != empty]
    with multiprocessing.get_context("spawn").Pool(2) as pool:
        # Out and back again: the worker unpickles and pickles each.
        back = pool.map(operator.itemgetter(0), [(o,) for o in originals])
        measured = pool.map(tonalyx.measure, readable_files)
        with pytest.raises(tonalyx.FormatError) as raised:
            pool.apply(tonalyx.measure, (empty,))
    assert back == originals
    assert measured == [tonalyx.measure(p) for p in readable_files]
    assert raised.value == pytest.raises(tonalyx.FormatError, tonalyx.measure, empty).value
