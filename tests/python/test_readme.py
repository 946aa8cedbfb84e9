"""The README's Python example is a bench's pytest file: it runs, from the
build folder's parent as the README says, and passes."""
import os
import pathlib
import re
import subprocess
import sys

import tonalyx
from conftest import BUILD

README = pathlib.Path(os.environ.get("TONALYX_README", pathlib.Path(__file__).parents[2] / "README.md"))


def test_readme_example_passes(tmp_path):
    section = README.read_text().split("\n## From Python\n", 1)[1].split("\n## ", 1)[0]
    blocks = re.findall(r"(?ms)^```python\n(.*?)^```$", section)
    assert blocks, "no python block under From Python"
    (tmp_path / "test_bench.py").write_text(blocks[0])
    (tmp_path / "build").symlink_to(BUILD)
    env = dict(os.environ, PYTHONPATH=str(pathlib.Path(tonalyx.__file__).resolve().parents[1]))
    done = subprocess.run([sys.executable, "-m", "pytest", "-q", "-p", "no:cacheprovider", "test_bench.py"],
                          cwd=tmp_path, env=env, capture_output=True, text=True)
    assert done.returncode == 0, done.stdout + done.stderr
    assert re.search(r"\b[1-9]\d* passed\b", done.stdout) and "failed" not in done.stdout
