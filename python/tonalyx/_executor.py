"""A batch run on a concurrent.futures.Executor: the files are found here,
sent in chunks, and the rows come back in the order of the names, the
same rows as a batch run here gives."""
import collections
import os

# Chunks at most in flight (sent and not yet taken), so that a long run
# keeps a bounded number of rows in memory.
_AHEAD = 32
# The automatic chunk: about 16 chunks, so that a few workers share the work
# evenly; at least 64 files, so that a task lasts long enough to pay for its
# round trip (a millisecond or more on Dask, against 50 to 250 us a file);
# at most 512, so that a long run keeps many workers busy.
_CHUNKS_WANTED = 16
_FEWEST_FILES = 64
_MOST_FILES = 512


def chunk_size_for(count, chunk_size):
    if chunk_size is None:
        return min(_MOST_FILES, max(_FEWEST_FILES, -(-count // _CHUNKS_WANTED)))
    return chunk_size


def run_chunk(files, jobs, options, folder):
    """The rows of one chunk, on a worker (a module function, so that any
    executor can send it by name)."""
    import tonalyx

    if any(not os.path.isabs(name) for name in files) and os.getcwd() != folder:
        raise tonalyx.Error(
            "relative paths need the workers to run in the same folder "
            f"({os.fsdecode(folder)!r}, not {os.getcwd()!r}): give absolute paths")
    return list(tonalyx.batch(files, jobs, **options))


def rows(executor, files, jobs, chunk_size, options):
    """Yields the rows of files, chunk by chunk in order, each chunk run by
    executor.submit(); unsent chunks are cancelled when the rows are left."""
    size = chunk_size_for(len(files), chunk_size)
    chunks = (files[at:at + size] for at in range(0, len(files), size))
    folder = os.getcwd()
    pending = collections.deque()
    try:
        for chunk in chunks:
            pending.append(executor.submit(run_chunk, chunk, jobs, options, folder))
            if len(pending) >= _AHEAD:
                yield from pending.popleft().result()
        while pending:
            yield from pending.popleft().result()
    finally:
        for future in pending:
            future.cancel()
