"""A batch on an executor (a pool of processes, a Dask cluster) gives the
rows a batch on this machine gives, in the same order."""
import concurrent.futures
import logging
import multiprocessing
import os

import numpy as np
import pytest

import tonalyx
from conftest import tone, wave_bytes

# Names in byte order that differs from other orders (case, digits, a
# folder), contents with every verdict.
FILES = {
    **{f"set/{i:02d}-{freq}.wav": wave_bytes(tone(freq)) for i, freq in enumerate(range(100, 1001, 60))},
    "set/B-stereo.wav": wave_bytes(np.stack([tone(660), tone(660, amplitude=0.1)], 1), bits=24),
    "set/a-silence.wav": wave_bytes(np.zeros(48000)),
    "set/deep/z-bad.WAV": b"RIFF",
    "set/deep/y-short.wav": wave_bytes(tone(500, seconds=0.02)),
    "other.wav": wave_bytes(tone(440, rate=44100)),
}
RUNS = [{}, {"hz": True}, {"expect": 440, "length": 4096, "min_result": 0.3}, {"hz": True, "expect": 440}]


@pytest.fixture
def tree(in_tmp):
    for name, data in FILES.items():
        (in_tmp / name).parent.mkdir(parents=True, exist_ok=True)
        (in_tmp / name).write_bytes(data)
    return in_tmp


def compare_with_local(executor, paths, chunk_sizes=(None, 1, 4)):
    for options in RUNS:
        local = list(tonalyx.batch(paths, **options))
        assert len(local) == len(FILES)
        for chunk_size in chunk_sizes:
            spread = list(tonalyx.batch(paths, executor=executor, chunk_size=chunk_size, **options))
            assert [r.file for r in spread] == [r.file for r in local]
            assert spread == local, (options, chunk_size)


def test_process_pool(tree):
    context = multiprocessing.get_context("spawn")
    with concurrent.futures.ProcessPoolExecutor(2, mp_context=context) as pool:
        compare_with_local(pool, [str(tree / "set"), "other.wav"])
        # Errors as on this machine: before any run, and after the rows.
        with pytest.raises(tonalyx.FileError, match="gone.wav: no such file"):
            tonalyx.batch(["other.wav", "gone.wav"], executor=pool)
        with pytest.raises(ValueError):
            tonalyx.batch(["other.wav"], executor=pool, chunk_size=0)
        with pytest.raises(ValueError):
            tonalyx.batch(["other.wav"], executor=pool, expect=450)


@pytest.mark.filterwarnings("ignore::DeprecationWarning:tornado")
def test_dask_local_cluster(tree):
    distributed = pytest.importorskip("distributed", reason="Dask is not installed (Debian: python3-distributed)")
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True, dashboard_address=None,
                                  silence_logs=logging.ERROR) as cluster, distributed.Client(cluster) as client:
        compare_with_local(client.get_executor(), [str(tree / "set"), str(tree / "other.wav")], (None, 3))
        # The plain form: one file a task.
        paths = sorted(str(tree / name) for name in FILES if not name.endswith("bad.WAV"))
        assert client.gather(client.map(tonalyx.measure, paths)) == [tonalyx.measure(p) for p in paths]
