"""The measurement on signals made here with numpy, where the truth is
known: frequency, candidate, purity, level, extent."""
import math
import shutil
import subprocess

import numpy as np
import pytest

import tonalyx
from conftest import tone, wave_bytes

SILENCE = np.zeros(48000)
NOISE = np.random.default_rng(7).uniform(-0.5, 0.5, 48000)
LEAD_IN = np.concatenate([np.zeros(12000), tone(440), np.zeros(12000)])  # 0.25 s, 1 s, 0.25 s
STEREO_RIGHT = np.stack([np.zeros(48000), tone(660)], axis=1)

# (frames, writer options, tone, Hz, amplitude, start, end); None where not
# checked. Without a Hz: no tone, and why.
SIGNALS = [
    (tone(440), {}, 440, 440.0, 0.5, 0.0, 1.0),
    (tone(440, phase=math.pi / 2), {}, 440, 440.0, 0.5, 0.0, 1.0),
    (tone(437, amplitude=0.25), {}, 440, 437.0, 0.25, 0.0, 1.0),
    (tone(1000, rate=44100), {"rate": 44100}, 1000, 1000.0, 0.5, 0.0, 1.0),
    (tone(100, seconds=2, rate=8000), {"rate": 8000}, 100, 100.0, 0.5, 0.0, 2.0),
    (tone(440), {"bits": 8}, 440, 440.0, 0.5, None, None),
    (tone(440), {"bits": 24}, 440, 440.0, 0.5, None, None),
    (tone(440), {"floating": True, "bits": 32}, 440, 440.0, 0.5, None, None),
    (LEAD_IN, {}, 440, 440.0, 0.5, 0.25, 1.25),
    (STEREO_RIGHT, {}, 660, 660.0, None, None, None),
    (tone(255), {}, 260, 255.0, 0.5, None, None),
    (tone(1500), {}, None, 1500.0, 0.5, None, None),  # a clean tone, but no candidate within 10 Hz
    (SILENCE, {}, None, None, None, None, None, "silent"),
    (NOISE, {}, None, None, None, None, None, None),
]


@pytest.mark.parametrize("frames, options, candidate, hz, amplitude, start, end, reason",
                         [s if len(s) == 8 else s + (None,) for s in SIGNALS])
def test_measurement(frames, options, candidate, hz, amplitude, start, end, reason):
    m = tonalyx.measure(wave_bytes(frames, **options))
    assert m.status == tonalyx.Status.OK
    assert m.tone == candidate, m
    if hz is not None:
        assert abs(m.measured - hz) <= 0.1, m
        assert m.purity > 0.9, m
    else:
        assert m.reason is not None and (reason is None or m.reason == reason), m
    if candidate is None and hz is not None:
        assert m.reason == "off-band", m
    if amplitude is not None:
        assert abs(m.level - 20 * math.log10(amplitude)) <= 0.5, m
    if start is not None:
        assert abs(m.start - start) <= 0.05 and abs(m.end - end) <= 0.05, m
    # The console's line.
    assert repr(m).startswith(f"tone={candidate or 'none'} ")


SPEECH = [  # (voice, words per minute, pitch, text): speech and sung vowels
    ("en", 175, 50, "Test bench ready, start the measurement now."),
    ("en-us", 120, 30, "One two three four five six seven eight nine ten."),
    ("de", 160, 60, "Bitte den Tongenerator vor dem nächsten Lauf prüfen."),
    ("fr", 150, 50, "Fréquence mesurée à quatre cent quarante hertz."),
    ("en+f3", 140, 70, "Hello, this is channel one speaking."),
    ("en+m3", 190, 40, "Please check the tone generator before the next run."),
    ("en", 60, 50, "Aaaaaaaaaa eeeeeeeee oooooooo."),
    ("en+f3", 50, 80, "Laaaaaaaa, laaaaaaaa."),
    ("en+m3", 40, 20, "Mmmmmmmmmm, ooooooooo."),
]


@pytest.mark.skipif(shutil.which("espeak-ng") is None, reason="needs espeak-ng")
@pytest.mark.parametrize("voice, speed, pitch, text", SPEECH)
def test_speech_is_never_a_tone(tmp_path, voice, speed, pitch, text):
    path = tmp_path / "speech.wav"
    subprocess.run(["espeak-ng", "-v", voice, "-s", str(speed), "-p", str(pitch), "-w", str(path), text],
                   check=True, capture_output=True)
    m = tonalyx.measure(path)
    assert m.tone is None and m.reason is not None, m
