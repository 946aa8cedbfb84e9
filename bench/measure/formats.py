"""The sample formats the benchmark's recordings are drawn from, and each
recording's bytes in its format, written by the project's one Python
writer (tools/wavefile.py)."""
import pathlib
import sys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "tools"))
from wavefile import wave_bytes  # noqa: E402

RATES = [8000, 11025, 16000, 22050, 32000, 44100, 48000, 88200, 96000]
FORMATS = [("int", 8), ("int", 16), ("int", 24), ("int", 32), ("float", 32)]


def recording_bytes(frames, rate, kind, bits, extensible):
    """frames: float array (n, channels) in [-1, 1], full scale 2^(bits-1);
    a fact chunk with floats and the extensible format."""
    return wave_bytes(frames, rate, bits, floating=kind == "float", extensible=extensible,
                      fact=kind == "float" or extensible, full_scale=2 ** (bits - 1))


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
