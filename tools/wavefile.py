"""The project's one WAVE writer in Python: the bytes of a RIFF/WAVE file
from samples, for the Python tests, the page's test, the peer check and
the benchmarks (in C++ it is tools/wave_writer.h and the command wavegen).

    import sys; sys.path.insert(0, "tools")
    from wavefile import wave_bytes
    data = wave_bytes(np.sin(2 * np.pi * 440 * np.arange(48000) / 48000) / 2, 48000)
"""
import struct

import numpy as np

_GUID_TAIL = bytes.fromhex("800000aa00389b71")


def wave_bytes(frames, rate=48000, bits=16, *, floating=False, container=None, full_scale=None, riff="RIFF",
               extensible=False, format_tag=None, fact=False, data_size=None):
    """frames: floats in [-1, 1], one column per channel (a flat sequence is
    mono). Integers are round(value x full_scale) (default 2^(bits-1) - 1)
    clipped to the bits, left-justified in `container` bytes (default the
    bits rounded up), unsigned in one byte; floating writes 32- or 64-bit
    floats as they are. riff is "RIFF", "RIFX" (big-endian throughout),
    "RF64" or "BW64" (a ds64 chunk first, the 32-bit sizes 0xFFFFFFFF).
    extensible writes the 40-byte format (channel mask front centre for
    mono, else the first channels) with the tag as its sub-format; fact
    adds a fact chunk; format_tag replaces the tag (1 PCM, 3 float);
    data_size is the data size declared instead of the real one (a file
    the caller extends)."""
    frames = np.asarray(frames, dtype=np.float64)
    if frames.ndim == 1:
        frames = frames[:, None]
    count, channels = frames.shape
    order = ">" if riff == "RIFX" else "<"
    container = container or (bits + 7) // 8
    if floating:
        data = frames.astype(f"{order}f{container}").tobytes()
    else:
        low, high = -(1 << (bits - 1)), (1 << (bits - 1)) - 1
        codes = np.clip(np.round(frames * (full_scale or high)), low, high).astype(np.int64).reshape(-1)
        words = (codes << (8 * container - bits)).astype(np.uint64)
        if container == 1:
            words ^= np.uint64(0x80)
        shifts = np.arange(container, dtype=np.uint64) * np.uint64(8)
        if order == ">":
            shifts = shifts[::-1]
        data = ((words[:, None] >> shifts) & np.uint64(0xFF)).astype(np.uint8).tobytes()
    tag = format_tag if format_tag is not None else (3 if floating else 1)
    align = channels * container
    fmt = struct.pack(order + "HHIIHH", 0xFFFE if extensible else tag, channels, rate, rate * align, align,
                      8 * container if extensible else bits)
    if extensible:
        mask = 0x4 if channels == 1 else (1 << channels) - 1
        fmt += struct.pack(order + "HHIIHH", 22, bits, mask, tag, 0, 0x10) + _GUID_TAIL
    declared = len(data) if data_size is None else data_size
    wide = riff in ("RF64", "BW64")
    chunks = [(b"fmt ", fmt)] + ([(b"fact", struct.pack(order + "I", count))] if fact else [])
    head = b"".join(i + struct.pack(order + "I", len(c)) + c + b"\0" * (len(c) % 2) for i, c in chunks)
    if wide:
        size = 4 + 36 + len(head) + 8 + declared + declared % 2
        head = b"ds64" + struct.pack("<IQQQI", 28, size, declared, declared // align, 0) + head
    data_head = b"data" + struct.pack(order + "I", 0xFFFFFFFF if wide else declared)
    body = b"WAVE" + head + data_head + data + b"\0" * (len(data) % 2)
    return riff.encode() + struct.pack(order + "I", 0xFFFFFFFF if wide else len(body)) + body
