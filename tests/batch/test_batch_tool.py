"""tonalyx-batch --hz against tonalyx -hz run file by file: the columns in
each format, the thresholds, the manifest, CSV read back by Python's csv,
the summary, missing paths, usage errors, and the progress line on a
pseudo-terminal. The files are clean sines and silence made by wavegen,
whose answers are certain; every figure compared comes from tonalyx -hz."""
import csv
import io
import json
import os
import pathlib
import pty
import re
import subprocess

import pytest

TONALYX, BATCH, WAVEGEN = (os.environ[name] for name in ("TONALYX", "TONALYX_BATCH", "TONALYX_WAVEGEN"))
COLUMNS = "file status tone measured purity verdict level start end channel thd snr drift bursts reason".split()
SUMMARY = re.compile(r"tonalyx-batch: (\d+) files in \d+\.\d s, \d+\.\d files/s: (\d+) ok, (\d+) weak, "
                     r"(\d+) wrong, (\d+) error, (\d+) missing, (\d+) unlisted$")
PROGRESS = re.compile(r"\r(tonalyx-batch: \d+/\d+ files, \d+\.\d files/s[^\r]*)")

# name -> wavegen arguments (44100 slots at 44100 Hz: one second), or raw bytes.
FILES = {
    "a440.wav": "--sine 440 --slots 44100",
    "b660.wav": "--sine 660 --slots 44100",
    "c445.wav": "--sine 445 --slots 44100",  # 5 Hz off the candidate 440
    "silent.wav": "--const 0 --slots 44100",
    "stereo24.wav": "--sine 440 --slots 88200 --bits 24 --channels 2",
    "broken.wav": b"RIFX",
}


def make(folder, files=FILES):
    folder.mkdir(parents=True, exist_ok=True)
    for name, content in files.items():
        if isinstance(content, bytes):
            (folder / name).write_bytes(content)
        else:
            subprocess.run([WAVEGEN, *content.split(), "-o", str(folder / name)], check=True)
    return folder


def batch(*args, cwd):
    done = subprocess.run([BATCH, *map(str, args)], cwd=cwd, capture_output=True)
    return done.returncode, done.stdout, done.stderr.decode()


def console(path, cwd):
    """What tonalyx -hz says of one file: its exit status and its line's fields."""
    done = subprocess.run([TONALYX, "-hz", "-i", path], cwd=cwd, capture_output=True, text=True)
    measured = done.returncode in (0, 1)  # else the line is an error message
    fields = dict(field.split("=", 1) for field in done.stdout.split()) if measured else {}
    return done.returncode, fields


def expected_row(path, verdict, cwd):
    status, line = console(path, cwd)
    row = {"file": path, "status": str(status), "verdict": verdict}
    for column in COLUMNS[2:]:
        row.setdefault(column, line.get(column, ""))
    if row["tone"] == "none":
        row["tone"] = ""
    return row


def rows_of(out, form):
    if form == "jsonl":
        # The keys in the order of the columns; null for an empty field.
        rows = [json.loads(line) for line in out.decode().splitlines()]
        assert all(list(row)[:-1] == COLUMNS and list(row)[-1] == "messages" for row in rows)
        return [{key: "" if row[key] is None else row[key] for key in COLUMNS} for row in rows]
    text = out.decode("utf-8", "surrogateescape")
    table = list(csv.reader(io.StringIO(text, newline=""), delimiter="," if form == "csv" else "\t"))
    assert table[0] == COLUMNS
    return [dict(zip(COLUMNS, row)) for row in table[1:]]


def same(got, want):
    """JSON gives numbers as numbers: compare them as the digits' values."""
    if isinstance(got, (int, float)) and not isinstance(got, bool):
        return got == float(want)
    return got == want


@pytest.mark.parametrize("form", ["tsv", "jsonl", "csv"])
def test_each_format_holds_what_tonalyx_hz_says(tmp_path, form):
    make(tmp_path / "in")
    status, out, err = batch("--hz", "--format", form, "in", cwd=tmp_path)
    rows = rows_of(out, form)
    assert [row["file"] for row in rows] == sorted(f"in/{name}" for name in FILES)
    for row in rows:
        want = expected_row(row["file"], row["verdict"], tmp_path)
        assert all(same(row[key], want[key]) for key in COLUMNS), (row, want)
    assert {row["verdict"] for row in rows if row["file"] != "in/broken.wav"} <= {"ok", "weak"}
    assert status == 1  # silence is weak, broken.wav an error


# Options, files -> verdicts. 440 Hz: tone 440, level -10.3 dBFS (wavegen's
# amplitude 10000 of 32767); 445 Hz: tone 440, measured 5 Hz off it.
THRESHOLDS = [
    ([], {"a440.wav": "ok", "b660.wav": "ok", "silent.wav": "weak", "broken.wav": "error"}),
    (["--expect", "440"], {"a440.wav": "ok", "b660.wav": "wrong", "c445.wav": "ok", "silent.wav": "weak"}),
    (["--expect", "440", "--tolerance", "4.99"], {"a440.wav": "ok", "c445.wav": "wrong"}),
    (["--expect", "440", "--tolerance", "5.01"], {"c445.wav": "ok"}),
    (["--expect", "none"], {"silent.wav": "ok", "a440.wav": "wrong", "broken.wav": "error"}),
    (["--min-level", "-3"], {"a440.wav": "weak"}),
    # The 24-bit file holds the same amplitude 10000 of 2^23: -58.5 dBFS.
    (["--min-level", "-20"], {"a440.wav": "ok", "stereo24.wav": "weak"}),
    (["--min-level", "-60"], {"stereo24.wav": "ok"}),
    (["--min-purity", "0.5", "--expect", "660"], {"b660.wav": "ok", "a440.wav": "wrong"}),
]


@pytest.mark.parametrize("options, verdicts", THRESHOLDS)
def test_thresholds(tmp_path, options, verdicts):
    make(tmp_path, {name: FILES[name] for name in verdicts})
    status, out, _ = batch("--hz", *options, *verdicts, cwd=tmp_path)
    rows = rows_of(out, "tsv")
    assert {row["file"]: row["verdict"] for row in rows} == verdicts
    for row in rows:
        assert row == expected_row(row["file"], row["verdict"], tmp_path)
    assert status == (0 if set(verdicts.values()) == {"ok"} else 1)


# Manifest (name, text) -> verdicts of the files in in/ and of those missing.
MANIFESTS = [
    ("in/m.tsv", "file\texpect\na440.wav\t440\nsilent.wav\tnone\nb660.wav\t440\n",
     {"in/a440.wav": "ok", "in/silent.wav": "ok", "in/b660.wav": "wrong", "in/c445.wav": "unlisted"}),
    ("m.csv", 'in/a440.wav,0440\r\n"in/./silent.wav",NONE\r\nin/lost.wav,100\r\n',
     {"in/a440.wav": "ok", "in/silent.wav": "ok", "in/b660.wav": "unlisted", "in/c445.wav": "unlisted",
      "in/lost.wav": "missing"}),
    ("lists/m.csv", "gone.wav,none\n", {"in/a440.wav": "unlisted", "in/b660.wav": "unlisted",
                                        "in/silent.wav": "unlisted", "in/c445.wav": "unlisted",
                                        "lists/gone.wav": "missing"}),
    # A name from the root matches the file found from the current folder.
    ("lists/m.csv", "{root}/in/a440.wav,660\n", {"in/a440.wav": "wrong", "in/b660.wav": "unlisted",
                                                 "in/silent.wav": "unlisted", "in/c445.wav": "unlisted"}),
]


@pytest.mark.parametrize("manifest, text, verdicts", MANIFESTS)
def test_manifest(tmp_path, manifest, text, verdicts):
    make(tmp_path / "in", {name: FILES[name] for name in ("a440.wav", "b660.wav", "c445.wav", "silent.wav")})
    (tmp_path / manifest).parent.mkdir(exist_ok=True)
    (tmp_path / manifest).write_text(text.format(root=tmp_path.resolve()), newline="")
    status, out, err = batch("--hz", "--expect-from", manifest, "in", cwd=tmp_path)
    rows = rows_of(out, "tsv")
    assert {row["file"]: row["verdict"] for row in rows} == verdicts
    assert [row["file"] for row in rows] == sorted(verdicts)
    for row in rows:
        if row["verdict"] == "missing":
            assert row == {**dict.fromkeys(COLUMNS, ""), "file": row["file"], "status": "254", "verdict": "missing"}
            assert re.search(rf"^{row['file']}: ERROR: not found, listed on line \d of the manifest$", err, re.M)
        else:
            assert row == expected_row(row["file"], row["verdict"], tmp_path)
    assert status == 1


# Bad manifests: a usage error naming the line, and nothing runs.
BAD_MANIFESTS = [
    ("a440.wav,440\nb660.wav,445\n", "line 2: expect must be a candidate (100, 120, ..., 1000) or none, not '445'"),
    ("file\texpect\na440.wav\n", "line 2: expected 2 fields (file, expect), found 1"),
]


@pytest.mark.parametrize("text, error", BAD_MANIFESTS)
def test_malformed_manifest(tmp_path, text, error):
    make(tmp_path, {"a440.wav": FILES["a440.wav"]})
    (tmp_path / "m.csv").write_text(text)
    assert batch("--hz", "--expect-from", "m.csv", ".", cwd=tmp_path) == (
        2, b"", f"tonalyx-batch: --expect-from m.csv: {error}\n")


def test_csv_reads_back_exactly(tmp_path):
    names = ["comma,here.wav", 'quote"d.wav', "line\nfeed.wav", "carriage\r\nreturn.wav", "sp ace.wav",
             "\u00fcml\u00e4ut.wav"]
    make(tmp_path, {name: FILES["a440.wav"] for name in names})
    status, out, _ = batch("--hz", "--format", "csv", *names, cwd=tmp_path)
    table = list(csv.reader(io.StringIO(out.decode(), newline="")))
    assert [row[0] for row in table[1:]] == sorted(names, key=os.fsencode)
    assert all(len(row) == len(COLUMNS) for row in table)
    # RFC 4180: every record ends in CR LF, and the CR LF inside a name stays.
    assert out.endswith(b"\r\n") and out.count(b"\r\n") == len(table) + 1
    assert status == 0


def test_summary_counts_the_verdicts(tmp_path):
    make(tmp_path, FILES)
    status, out, err = batch("--hz", "--expect", "440", *FILES, "gone.wav", cwd=tmp_path)
    verdicts = [row["verdict"] for row in rows_of(out, "tsv")]
    summary = SUMMARY.fullmatch(err.splitlines()[-1])
    assert summary, err
    counts = [int(n) for n in summary.groups()]
    assert counts == [len(verdicts)] + [verdicts.count(v) for v in ("ok", "weak", "wrong", "error", "missing",
                                                                     "unlisted")]
    assert status == 1
    _, _, quiet = batch("--hz", "--quiet", "--expect", "440", *FILES, cwd=tmp_path)
    assert not SUMMARY.search(quiet)


def test_missing_paths_are_error_rows_and_the_rest_still_run(tmp_path):
    make(tmp_path / "in", {"a440.wav": FILES["a440.wav"]})
    status, out, err = batch("--hz", "gone.wav", "in", "nothing/", cwd=tmp_path)
    rows = rows_of(out, "tsv")
    assert [(row["file"], row["status"], row["verdict"]) for row in rows] == [
        ("gone.wav", str(console("gone.wav", tmp_path)[0]), "error"), ("in/a440.wav", "0", "ok"),
        ("nothing/", "254", "error")]
    assert "gone.wav: ERROR: cannot open gone.wav: No such file or directory\n" in err
    assert status == 1


# The messages in full are the unit tests' (batch_options_test).
USAGE_ERRORS = [
    (["--hz", "--min-result", "0.2"], "--min-result judges the default answer; with --hz use --min-purity"),
    (["--min-purity", "0.9"], "--min-purity judges the measurement: it needs --hz"),
    (["--expect", "none"], "--expect none judges the measurement: it needs --hz"),
    (["--hz", "--min-level", "inf"], "--min-level takes a decimal number of dBFS, not 'inf'"),
    (["--hz", "--expect-from", "none.csv"], None),  # a manifest that cannot be opened
    (["--format", "xlsx"], "--format takes tsv, jsonl or csv, not 'xlsx'"),
]


@pytest.mark.parametrize("options, error", USAGE_ERRORS)
def test_usage_errors(tmp_path, options, error):
    make(tmp_path, {"a440.wav": FILES["a440.wav"]})
    status, out, err = batch(*options, "a440.wav", cwd=tmp_path)
    assert (status, out) == (2, b"")
    first = err.splitlines()[0]
    if error is None:
        assert first == "tonalyx-batch: --expect-from none.csv: cannot open it (missing, a folder or no permission)"
    else:
        assert first == f"tonalyx-batch: {error}" and err.splitlines()[1].startswith("usage: tonalyx-batch ")


def on_terminal(args, cwd):
    """Standard error of a run whose standard error is a pseudo-terminal."""
    master, slave = pty.openpty()
    run = subprocess.Popen([BATCH, *args], cwd=cwd, stdout=subprocess.DEVNULL, stderr=slave)
    os.close(slave)
    seen = b""
    while True:
        try:
            chunk = os.read(master, 4096)
        except OSError:  # EIO: the other end closed
            break
        if not chunk:
            break
        seen += chunk
    os.close(master)
    assert run.wait() == 0
    return seen.decode()


# Options, whether stderr is a terminal -> whether the progress line shows.
PROGRESS_CASES = [
    ([], True, True),
    (["--no-progress"], True, False),
    (["--quiet"], True, False),
    ([], False, False),
    (["--progress"], False, True),
]


@pytest.mark.parametrize("options, terminal, shown", PROGRESS_CASES)
def test_progress_line(tmp_path, options, terminal, shown):
    make(tmp_path / "in", {f"t{i}.wav": FILES["a440.wav"] for i in range(40)})
    args = ["--hz", "-j", "1", *options, "in"]
    err = on_terminal(args, tmp_path) if terminal else batch(*args, cwd=tmp_path)[2]
    lines = PROGRESS.findall(err)
    assert bool(lines) == shown, err
    if shown:
        # Files done out of the 40 found, from 0 on; the line is blanked
        # before the summary.
        done = [int(re.search(r"(\d+)/40 files", line).group(1)) for line in lines]
        assert done[0] == 0 and done == sorted(done) and done[-1] <= 40
        assert re.search(r"\r +\r(tonalyx-batch: 40 files in|$)", err)
    else:
        assert "\r" not in err.replace("\r\n", "\n")
