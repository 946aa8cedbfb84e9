"""The library's text under a decimal-comma locale set in process, as a
bench may set it: every byte as the console prints it in the C locale."""
import locale
import shutil
import subprocess

import pytest

import tonalyx
from conftest import console, mask_time, wavegen

COMMA_LOCALES = ["de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"]


def _set_comma_locale():
    for name in COMMA_LOCALES:
        try:
            locale.setlocale(locale.LC_NUMERIC, name)
        except locale.Error:
            continue
        if locale.localeconv()["decimal_point"] == ",":
            return True
    return False


@pytest.fixture
def comma_locale(tmp_path, monkeypatch):
    """An installed decimal-comma locale, else one made by localedef."""
    before = locale.setlocale(locale.LC_NUMERIC)
    if not _set_comma_locale():
        made = shutil.which("localedef") and subprocess.run(
            ["localedef", "-i", "de_DE", "-f", "UTF-8", str(tmp_path / "de_DE.UTF-8")], capture_output=True).returncode == 0
        monkeypatch.setenv("LOCPATH", str(tmp_path))
        if not (made and _set_comma_locale()):
            locale.setlocale(locale.LC_NUMERIC, before)
            pytest.skip("no decimal-comma locale installed or made (Debian: locales)")
    yield
    locale.setlocale(locale.LC_NUMERIC, before)


# The lines checked by hand (the worked cases of the console).
# The step of candidate 100 is 44100 / (100 x 360) slots a degree.
@pytest.mark.parametrize("args, lines", [
    (["--sine", 440], ["makeSine() step=1.225000\n", "\nbestResult=0.497611 best matching freq.=440\n"]),
    (["--sine", 250], ["result for freq.=0260:   0.338\n"]),
])
def test_trace_ignores_the_locale(in_tmp, comma_locale, args, lines):
    path = wavegen(in_tmp, *args, "--slots", 44100)
    assert f"{1.5:n}" == "1,5"  # the locale is in force
    r = tonalyx.analyze(path, trace=True)
    out, status = console("-v", "-i", path)
    assert status == 0 and mask_time(r.trace) == out
    for line in lines:
        assert line in r.trace
