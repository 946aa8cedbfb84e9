#!/usr/bin/env python3
"""Throughput of tonalyx.batch on a Dask cluster of this machine against
the batch's own threads.

    PYTHONPATH=BUILD/python /usr/bin/python3 bench/dask_speed.py [--files N] [--rounds R]

Writes N one-second WAVE files (16-bit mono, 44100 Hz), then for the
default answer and for hz prints files per second (the best of R runs) of:
tonalyx.batch(jobs=2) in this process; tonalyx.batch(executor=...) on a
dask.distributed.LocalCluster of 1 and of 2 worker processes (one thread
each; the cluster's start is not counted); and the plain form, one task a
file, client.map(tonalyx.measure or analyze, paths) on 2 workers. Beside
each rate: the processor time spent per file, in this process (client
and scheduler) and in the workers, which a machine shared with other work
changes far less than the rates.
"""
import argparse
import logging
import pathlib
import sys
import tempfile
import time

import distributed

import tonalyx

sys.path.insert(0, str(pathlib.Path(__file__).parent))
from python_speed import write_tones  # noqa: E402


def best_rate(run, count, rounds, client=None):
    """(files per second of the best run, microseconds of processor time a
    file here, and in the workers, over all runs)."""
    best = float("inf")
    here = time.process_time()
    workers = sum(client.run(time.process_time).values()) if client else 0.0
    for _ in range(rounds):
        start = time.perf_counter()
        got = run()
        best = min(best, time.perf_counter() - start)
        assert got == count, got
    here = time.process_time() - here
    workers = (sum(client.run(time.process_time).values()) - workers) if client else 0.0
    per_file = 1e6 / (count * rounds)
    return count / best, here * per_file, workers * per_file


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--files", type=int, default=4000)
    parser.add_argument("--rounds", type=int, default=3)
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as folder:
        paths = write_tones(pathlib.Path(folder), args.files)
        rows = {}
        for hz in (False, True):
            rows[("batch(jobs=2)", hz)] = best_rate(
                lambda: len(list(tonalyx.batch([folder], jobs=2, hz=hz))), len(paths), args.rounds)
        for workers in (1, 2):
            with distributed.LocalCluster(n_workers=workers, threads_per_worker=1, processes=True,
                                          dashboard_address=None, silence_logs=logging.ERROR) as cluster, \
                    distributed.Client(cluster) as client:
                executor = client.get_executor()
                for hz in (False, True):
                    rows[(f"Dask, {workers} worker(s)", hz)] = best_rate(
                        lambda: len(list(tonalyx.batch([folder], hz=hz, executor=executor))), len(paths),
                        args.rounds, client)
                if workers == 2:
                    for hz, run in ((False, tonalyx.analyze), (True, tonalyx.measure)):
                        rows[("Dask, 2 workers, client.map per file", hz)] = best_rate(
                            lambda: len(client.gather(client.map(run, paths, pure=False))), len(paths), 1,
                            client)
    print(f"{args.files} files of one second: files per second (best of {args.rounds}), and processor time per "
          "file in us, here + in the workers")
    print(f"{'':40} {'default':>24} {'hz':>24}")
    for name in dict.fromkeys(name for name, _ in rows):
        cells = [f"{rate:6.0f}/s {here:5.0f} + {there:4.0f} us" for rate, here, there in
                 (rows[(name, False)], rows[(name, True)])]
        print(f"{name:40} {cells[0]:>24} {cells[1]:>24}")


if __name__ == "__main__":
    main()
