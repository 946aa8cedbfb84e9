"""`cmake --install` puts the package where this Python finds it: below
the prefix of the interpreter itself (/usr for Debian's), and importable
from any other prefix through PYTHONPATH."""
import os
import pathlib
import re
import subprocess
import sys

from conftest import BUILD


def install_dir():
    cache = (BUILD / "CMakeCache.txt").read_text()
    return re.search(r"(?m)^TONALYX_PYTHON_INSTALL_DIR:\w+=(.*)$", cache)[1]


def test_install_dir_is_searched_below_the_interpreters_prefix():
    assert pathlib.Path(sys.prefix, install_dir()) in [pathlib.Path(p) for p in sys.path]


def test_prefix_install_imports_through_pythonpath(tmp_path):
    subprocess.run(["cmake", "--install", str(BUILD), "--prefix", str(tmp_path), "--component", "python"],
                   check=True, capture_output=True)
    package = tmp_path / install_dir() / "tonalyx"
    assert sorted(p.name for p in package.iterdir() if not p.name.startswith("_native")) == [
        "__init__.py", "__init__.pyi", "_executor.py", "py.typed"]
    code = "import tonalyx, sys; print(tonalyx.__file__); print(tonalyx.analyze(sys.argv[1]))"
    env = dict(os.environ, PYTHONPATH=str(tmp_path / install_dir()))
    done = subprocess.run([sys.executable, "-c", code, str(BUILD / "examples" / "tone440.wav")],
                          env=env, capture_output=True, text=True, check=True)
    assert done.stdout.splitlines() == [str(package / "__init__.py"), "bestResult=0.497611 best matching freq.=440"]
