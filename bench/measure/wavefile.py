"""The one WAVE writer of the benchmark's recordings, and the sample
formats they are drawn from. Importable by anything that builds test
recordings:

    from wavefile import wave_bytes
    data = wave_bytes(frames, 48000, "int", 16, extensible=False)
"""
import struct

import numpy as np

RATES = [8000, 11025, 16000, 22050, 32000, 44100, 48000, 88200, 96000]
FORMATS = [("int", 8), ("int", 16), ("int", 24), ("int", 32), ("float", 32)]
SUBFORMAT_TAIL = b"\x00\x00\x00\x00\x10\x00\x80\x00\x00\xaa\x00\x38\x9b\x71"


def wave_bytes(frames, rate, kind, bits, extensible):
    """frames: float array (n, channels) in [-1, 1]."""
    channels = frames.shape[1]
    if kind == "float":
        data = frames.astype("<f4").tobytes()
        tag = 3
    else:
        full = 2 ** (bits - 1)
        ints = np.clip(np.round(frames * full), -full, full - 1).astype(np.int64)
        if bits == 8:
            data = (ints + 128).astype(np.uint8).tobytes()
        elif bits == 24:
            u = (ints & 0xFFFFFF).astype("<u4").view(np.uint8).reshape(-1, 4)[:, :3]
            data = u.tobytes()
        else:
            data = ints.astype("<i%d" % (bits // 8)).tobytes()
        tag = 1
    block = channels * bits // 8
    if extensible:
        mask = 0x4 if channels == 1 else 0x3
        fmt = struct.pack("<HHIIHHHHI", 0xFFFE, channels, rate, rate * block, block, bits, 22, bits, mask)
        fmt += struct.pack("<H", tag) + SUBFORMAT_TAIL
    else:
        fmt = struct.pack("<HHIIHH", tag, channels, rate, rate * block, block, bits)
    chunks = b"fmt " + struct.pack("<I", len(fmt)) + fmt
    if kind == "float" or extensible:
        chunks += b"fact" + struct.pack("<II", 4, len(frames))
    chunks += b"data" + struct.pack("<I", len(data)) + data
    if len(data) % 2:
        chunks += b"\x00"
    return b"RIFF" + struct.pack("<I", 4 + len(chunks)) + b"WAVE" + chunks


def pick_format(rng, quiet_ok=True):
    """A sample format; quiet_ok=False leaves out 8-bit (too coarse for a
    signal far below full scale)."""
    if quiet_ok:
        kind, bits = FORMATS[rng.integers(len(FORMATS))]
    else:
        kind, bits = FORMATS[1 + rng.integers(len(FORMATS) - 1)]
    return kind, bits, bool(rng.random() < 0.3)


def format_name(kind, bits, extensible):
    return "%s%d%s" % (kind, bits, "x" if extensible else "")
