#!/usr/bin/env python3
"""Throughput of tonalyx.batch on a Dask cluster of this machine against
the batch's own threads.

    PYTHONPATH=BUILD/python /usr/bin/python3 bench/dask_speed.py [--files N] [--rounds R]

Writes N one-second WAVE files (16-bit mono, 44100 Hz), then for the
default answer and for hz prints files per second (the best of R runs) of:
tonalyx.batch(jobs=2) in this process; tonalyx.batch(executor=...) on a
dask.distributed.LocalCluster of 1 and of 2 worker processes (one thread
each; the cluster's start is not counted); and the plain form, one task a
file, client.map(tonalyx.measure or analyze, paths) on 2 workers.
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


def best_rate(run, count, rounds):
    best = float("inf")
    for _ in range(rounds):
        start = time.perf_counter()
        got = run()
        best = min(best, time.perf_counter() - start)
        assert got == count, got
    return count / best


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
                        args.rounds)
                if workers == 2:
                    for hz, run in ((False, tonalyx.analyze), (True, tonalyx.measure)):
                        rows[("Dask, 2 workers, client.map per file", hz)] = best_rate(
                            lambda: len(client.gather(client.map(run, paths, pure=False))), len(paths), 1)
    print(f"{args.files} files of one second, files per second (best of {args.rounds}):")
    print(f"{'':40} {'default':>10} {'hz':>10}")
    for name in dict.fromkeys(name for name, _ in rows):
        print(f"{name:40} {rows[(name, False)]:10.0f} {rows[(name, True)]:10.0f}")


if __name__ == "__main__":
    main()
