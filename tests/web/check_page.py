#!/usr/bin/python3
"""The web page in headless Chromium: recordings of the kinds a bench makes
given to its file input, each card against the console's `-hz` line and
answer on the same file, the pictures, the thresholds, the table and its CSV
against tonalyx-batch, a file far larger than the module's memory, a
forced failure of the module, the keyboard and the size of the page.
Prints the time the page took to measure each file (with the worker's
round trip); it is reported, not asserted.

    check_page.py WEB_DIR CONSOLE EXAMPLES_DIR SCREENSHOT BATCH [EMULATOR...]

CONSOLE (run under EMULATOR, e.g. node) gives the expected lines; BATCH is
a native tonalyx-batch (the CSV comparison is skipped, saying so, when it
is missing or writes no CSV). Exits 77 (skipped) when Chromium, its driver
or Selenium is missing.
"""
import functools
import http.server
import math
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time

PAGE_LIMIT = 1000000  # bytes, all page files together
PAGE_FILES = ["index.html", "style.css", "plot.js", "pictures.js", "results-table.js", "app.js", "tonalyx-worker.js"]
CHROMIUM = shutil.which("chromium") or "/usr/bin/chromium"
DRIVER = shutil.which("chromedriver") or "/usr/bin/chromedriver"
BIG_BYTES = 3 << 30  # past the module's 2 GiB of memory

try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.action_chains import ActionChains
    from selenium.webdriver.common.by import By
    from selenium.webdriver.common.keys import Keys
    from selenium.webdriver.support.ui import Select, WebDriverWait
except ImportError:
    print("skipped: python3-selenium is not installed")
    sys.exit(77)
if not (os.access(CHROMIUM, os.X_OK) and os.access(DRIVER, os.X_OK)):
    print("skipped: chromium or chromium-driver is not installed")
    sys.exit(77)

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
from wavefile import wave_bytes  # noqa: E402

web_dir, console, examples, screenshot, batch = sys.argv[1:6]
emulator = sys.argv[6:]
failures = []


def check(condition, what):
    print(("ok    " if condition else "FAIL  ") + what)
    if not condition:
        failures.append(what)


# ---- the recordings ----

def write_wave(path, rate, frames, **options):
    """The file of `frames` (a value, or a tuple per channel, in [-1, 1]),
    as tools/wavefile.py writes it."""
    with open(path, "wb") as f:
        f.write(wave_bytes(frames, rate, **options))


def sine(hz, rate, seconds, amplitude=0.5):
    return [amplitude * math.sin(2 * math.pi * hz * n / rate) for n in range(int(seconds * rate))]


def recordings(work):
    """The files the page is given, by kind."""
    paths = {name: os.path.join(work, name) for name in
             ["ext24.wav", 'beep, "3".wav', "buzzer.wav", "notone.wav", "broken.wav"]}
    tone = sine(400, 48000, 1.0)
    write_wave(paths["ext24.wav"], 48000, [(v, v) for v in tone], bits=24, extensible=True)
    silence = [0.0] * 4000
    beeps = silence + (sine(920, 16000, 0.15) + silence) * 3
    write_wave(paths['beep, "3".wav'], 16000, beeps)
    # A buzzer: a clipped 300 Hz wave (odd harmonics) over 50 Hz hum.
    buzz = [0.4 * max(-1.0, min(1.0, 3 * v)) + 0.02 * math.sin(2 * math.pi * 50 * n / 22050)
            for n, v in enumerate(sine(300, 22050, 1.0, 1.0))]
    write_wave(paths["buzzer.wav"], 22050, buzz)
    noise = random.Random(1)
    write_wave(paths["notone.wav"], 16000, [noise.uniform(-0.5, 0.5) for _ in range(16000)])
    # A RIFF header and a format chunk, then no data chunk where one belongs.
    with open(paths["broken.wav"], "wb") as f:
        f.write(b"RIFF\x24\x00\x00\x00WAVEfmt \x10\x00\x00\x00" + bytes(16) + b"LIST\x04\x00\x00\x00INFO")
    return [os.path.join(examples, "tone440.wav")] + list(paths.values())


# ---- what the console and the batch say ----

def run_console(path, *args):
    """The console's standard output and error as lines, and its status, on
    the file at `path`, named as the page names it (the base name)."""
    done = subprocess.run(emulator + [os.path.abspath(console), *args, "-i", os.path.basename(path)],
                          capture_output=True, text=True, cwd=os.path.dirname(os.path.abspath(path)))
    return done.stdout.splitlines(), done.stderr.splitlines(), done.returncode


def batch_csv(paths, options):
    """tonalyx-batch --hz --format csv on the files by their base names, or
    None (and why) when this batch writes no CSV."""
    if not os.access(batch, os.X_OK):
        return None, f"no tonalyx-batch at {batch}"
    done = subprocess.run([batch, "--hz", "--format", "csv", *options, *[os.path.basename(p) for p in paths]],
                          capture_output=True, cwd=os.path.dirname(paths[0]))
    if done.returncode == 2 and b"csv" in done.stderr:
        return None, "this tonalyx-batch writes no CSV yet: " + done.stderr.decode().splitlines()[0]
    return done.stdout, None


def line_values(line):
    return dict(word.split("=", 1) for word in line.split(" "))


# ---- the page ----

def browser(profile, downloads):
    options = webdriver.ChromeOptions()
    options.binary_location = CHROMIUM
    for flag in ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                 "--disable-background-networking", "--disable-component-update", "--disable-sync",
                 "--user-data-dir=" + profile, "--window-size=1000,1500"]:
        options.add_argument(flag)
    driver = webdriver.Chrome(service=Service(DRIVER), options=options)
    driver.execute_cdp_cmd("Page.setDownloadBehavior", {"behavior": "allow", "downloadPath": downloads})
    return driver


def open_page(driver, url):
    driver.get(url)
    WebDriverWait(driver, 60).until(lambda d: d.execute_script("return document.body.dataset.ready === 'yes'"))


def showings(driver):
    return int(driver.execute_script("return document.body.dataset.shown || '0'"))


def after(driver, action, count, wait=120):
    """Does the action, waits until the page has shown its results anew and
    returns the cards by file name."""
    before = showings(driver)
    action()
    WebDriverWait(driver, wait).until(lambda d: showings(d) > before)
    cards = driver.find_elements(By.CSS_SELECTOR, ".result")
    check(len(cards) == count, f"{len(cards)} cards for {count} files")
    return {card.get_attribute("data-file"): card for card in cards}


def give_files(driver, paths, wait=120):
    """Gives the page these files (in place of those it had)."""
    field = driver.find_element(By.ID, "files")
    driver.execute_script("arguments[0].value = ''", field)
    return after(driver, lambda: field.send_keys("\n".join(paths)), len(paths), wait)


def texts(card, selector):
    return [node.get_attribute("textContent") for node in card.find_elements(By.CSS_SELECTOR, selector)]


def check_headline(card, path):
    """The measurement as tonalyx -hz gives it: the line, the tone or the
    reason, every number of the line, the messages and the exit status."""
    name = os.path.basename(path)
    out, err, status = run_console(path, "-hz")
    want = [line for line in out if line.startswith("tone=")]
    check(texts(card, ".measurement-line") == want, f"{name}: line {texts(card, '.measurement-line')} is -hz's {want}")
    check(card.get_attribute("data-status") == str(status), f"{name}: status {card.get_attribute('data-status')} is -hz's {status}")
    messages = sorted([line for line in out if not line.startswith("tone=")] + err)
    check(sorted(texts(card, ".measurement-messages li")) == messages, f"{name}: messages are -hz's {messages}")
    if not want:
        check(texts(card, ".facts dd") == [], f"{name}: no numbers without a line")
        return {}
    values = line_values(want[0])
    headline = texts(card, ".tone-found")
    check(headline == (["Tone " + values["tone"] + " Hz"] if values["tone"] != "none" else ["No tone"]),
          f"{name}: headline {headline} for tone={values['tone']}")
    if "reason" in values:
        check("(" + values["reason"] + ")" in card.find_element(By.CSS_SELECTOR, ".headline").text, f"{name}: the reason {values['reason']}")
    shown = {dd.get_attribute("data-key"): dd.get_attribute("textContent").split(" ")[0]
             for dd in card.find_elements(By.CSS_SELECTOR, ".facts dd")}
    wanted = {key: value for key, value in values.items() if key not in ("tone", "reason")}
    check(shown == wanted, f"{name}: the numbers shown {shown} are the line's")
    return values


def print_times(cards, paths):
    for path in paths:
        name = os.path.basename(path)
        print(f"time {name} ({os.path.getsize(path)} bytes): measured in {cards[name].get_attribute('data-measure-ms')} ms")


def check_answer(card, path):
    """The exact correlation answer's section against tonalyx -i."""
    name = os.path.basename(path)
    out, err, status = run_console(path)
    section = card.find_element(By.CSS_SELECTOR, ".exact-answer")
    check(section.find_element(By.TAG_NAME, "h3").text == "exact correlation answer", f"{name}: the answer's own section")
    check(texts(section, ".result-line") == [line for line in out if line.startswith("bestResult=")],
          f"{name}: result line {texts(section, '.result-line')}")
    messages = sorted([line for line in out if line.startswith(("ERROR", "WARNING"))] + err)
    check(sorted(texts(section, ".report-messages li")) == messages, f"{name}: answer messages are the console's")
    check(section.get_attribute("data-status") == str(status), f"{name}: answer status is the console's {status}")


def check_pictures(card, values):
    """Each picture is drawn, with its marks where the library gave data,
    and says "no data" where it gave none."""
    name = card.get_attribute("data-file")
    for kind in ["spectrum", "envelope"]:
        svgs = card.find_elements(By.CSS_SELECTOR, "svg." + kind)
        check(len(svgs) == 1, f"{name}: a {kind} picture")
        if not svgs:
            continue
        svg, points = svgs[0], int(svgs[0].get_attribute("data-points"))
        if points == 0:
            check(texts(svg, ".no-data") == ["no data"], f"{name}: the {kind} says no data")
            continue
        check(len(svg.find_elements(By.CSS_SELECTOR, "path.trace")) == 1, f"{name}: the {kind}'s curve of {points} points")
        tone = values.get("tone", "none") != "none"
        if kind == "spectrum":
            check(len(svg.find_elements(By.CSS_SELECTOR, "line.mark-candidate")) >= 46, f"{name}: the candidate grid")
            check(len(svg.find_elements(By.CSS_SELECTOR, "line.mark-tone")) == tone, f"{name}: the tone marked")
        else:
            bursts = len(svg.find_elements(By.CSS_SELECTOR, "rect.shade-burst"))
            check(bursts == (int(values["bursts"]) if tone else 0), f"{name}: {bursts} bursts shaded")


def check_drawing(driver):
    """The spectrum drawn from known data: the tone's mark where the curve
    peaks, every harmonic and hum marked."""
    marks = driver.execute_script("""
        const spectrum = new Float64Array(4096).map((_, k) => -90 + 80 * Math.exp(-((k * 2 - 440) ** 2) / 8));
        const svg = drawSpectrum({spectrumBinHz: 2, spectrumDb: spectrum, harmonicsHz: [440, 880, 1320],
                                  humHz: [50, 100], envelopeDb: [], bursts: []}, 440, 440);
        const path = svg.querySelector('path.trace').getAttribute('d').match(/[0-9.]+ [0-9.]+/g)
            .map((p) => p.split(' ').map(Number));
        const peak = path.reduce((a, b) => (b[1] < a[1] ? b : a));
        const at = (c) => Array.from(svg.querySelectorAll('line.' + c), (l) => Number(l.getAttribute('x1')));
        return {peak: peak[0], tone: at('mark-tone'), harmonics: at('mark-harmonic').length, hum: at('mark-hum').length};""")
    check(len(marks["tone"]) == 1 and abs(marks["tone"][0] - marks["peak"]) <= 1,
          f"a drawn spectrum: the tone's mark at x {marks['tone']}, the peak at {marks['peak']}")
    check((marks["harmonics"], marks["hum"]) == (2, 2), f"a drawn spectrum: harmonics and hum marked: {marks}")


def download_csv(driver, downloads):
    for old in os.listdir(downloads):
        os.remove(os.path.join(downloads, old))
    driver.find_element(By.ID, "download-csv").click()
    target = os.path.join(downloads, "tonalyx-batch.csv")
    WebDriverWait(driver, 20).until(lambda d: os.path.exists(target) and os.path.getsize(target) > 0)
    time.sleep(0.5)
    with open(target, "rb") as f:
        return f.read()


def set_rules(driver, values):
    """Sets the thresholds (id -> value) and waits for the page to judge anew."""
    count = len(driver.find_elements(By.CSS_SELECTOR, ".result"))
    for ident, text in values.items():
        field = driver.find_element(By.ID, ident)
        if field.get_attribute("value") != text:
            after(driver, lambda: driver.execute_script(
                "arguments[0].value = arguments[1]; arguments[0].dispatchEvent(new Event('change'))", field, text), count)


def check_keyboard(driver):
    """Every control has a label and is reached by Tab in order; a header
    sorts the table with Enter and then Space."""
    for control in driver.find_elements(By.CSS_SELECTOR, "input, select"):
        ident = control.get_attribute("id")
        check(bool(driver.find_elements(By.CSS_SELECTOR, f"label[for='{ident}']")), f"#{ident} has a label")
    driver.execute_script("document.activeElement.blur()")
    reached = []
    for _ in range(6):
        ActionChains(driver).send_keys(Keys.TAB).perform()
        reached.append(driver.switch_to.active_element.get_attribute("id"))
    check(reached == ["files", "expect", "min-purity", "min-level", "tolerance", "length"], f"Tab reaches {reached}")
    for key, order in [(Keys.ENTER, "ascending"), (Keys.SPACE, "descending")]:
        button = driver.find_element(By.CSS_SELECTOR, "th button[data-key='purity']")
        button.send_keys(key)
        header = driver.find_element(By.CSS_SELECTOR, "th button[data-key='purity']").find_element(By.XPATH, "..")
        column = [cell.text for cell in driver.find_elements(By.CSS_SELECTOR, "td[data-key='purity']")]
        numbers = [float(text) for text in column if text]
        check(header.get_attribute("aria-sort") == order and numbers == sorted(numbers, reverse=order == "descending")
              and column[len(numbers):] == [""] * (len(column) - len(numbers)),
              f"purity sorted {order} by keyboard: {column}")
        check(driver.switch_to.active_element.get_attribute("data-key") == "purity", "the focus stays on the header")


def main():
    work = tempfile.mkdtemp()
    downloads = os.path.join(work, "downloads")
    os.mkdir(downloads)
    paths = recordings(work)
    shutil.copy(paths[0], work)
    paths[0] = os.path.join(work, "tone440.wav")
    big = os.path.join(work, "long.wav")
    # An RF64 file of BIG_BYTES, sparse past its two seconds of tone.
    write_wave(big, 8000, sine(440, 8000, 2.0), riff="RF64", data_size=BIG_BYTES - len(wave_bytes([], 8000, riff="RF64")))
    os.truncate(big, BIG_BYTES)

    size = sum(os.path.getsize(os.path.join(web_dir, page)) for page in PAGE_FILES)
    check(size < PAGE_LIMIT, f"page files together {size} bytes, below {PAGE_LIMIT}")
    with open(os.path.join(web_dir, "index.html")) as f:
        check(not re.search(r"(src|href)=\"(https?:)?//", f.read()), "the page loads nothing from the network")

    page = "file://" + os.path.abspath(os.path.join(web_dir, "index.html"))
    driver = browser(os.path.join(work, "profile"), downloads)
    try:
        open_page(driver, page)
        names = [os.path.basename(p) for p in paths]
        cards = give_files(driver, paths)
        check(list(cards) == names, f"one card per file, in order: {list(cards)}")
        rows = [row.get_attribute("data-file") for row in driver.find_elements(By.CSS_SELECTOR, "#table tbody tr")]
        check(rows == names, f"one row per file: {rows}")
        print_times(cards, paths)
        for path in paths:
            card = cards[os.path.basename(path)]
            values = check_headline(card, path)
            check_answer(card, path)
            if values:
                check_pictures(card, values)
        check_drawing(driver)
        check_keyboard(driver)
        driver.execute_script("document.activeElement.blur(); window.scrollTo(0, 0)")
        driver.save_screenshot(screenshot)

        # The table's CSV is the batch's, with the default thresholds and others.
        for rules, options in [({}, []), ({"expect": "400", "min-purity": "0.95", "min-level": "-20", "tolerance": "5"},
                                          ["--expect", "400", "--min-purity", "0.95", "--min-level", "-20", "--tolerance", "5"])]:
            set_rules(driver, rules)
            got, want = download_csv(driver, downloads), batch_csv(paths, options)
            if want[0] is None:
                print(f"skipped: the CSV against the batch's ({want[1]})")
                check(got.startswith(b"file,status,tone,measured,purity,verdict,level,start,end,channel,thd,snr,drift,"
                                     b"bursts,reason\r\n") and got.count(b"\r\n") == len(paths) + 1,
                      f"the CSV has the header and a row per file ({len(got)} bytes)")
            else:
                check(got == want[0], f"the CSV with {options} is the batch's ({len(got)} and {len(want[0])} bytes)")
                if got != want[0]:
                    print(f"the page's:\n{got!r}\nthe batch's:\n{want[0]!r}")

        # Verdicts on the measurement, with the expected tone.
        for expect, want in [("440", {"tone440.wav": "ok", "ext24.wav": "wrong", "notone.wav": "weak"}),
                             ("-1", {"tone440.wav": "wrong", "notone.wav": "ok", "broken.wav": "error"})]:
            set_rules(driver, {"expect": expect, "min-purity": "0.7", "min-level": "", "tolerance": "10"})
            cards = {c.get_attribute("data-file"): c for c in driver.find_elements(By.CSS_SELECTOR, ".result")}
            got = {name: cards[name].get_attribute("data-verdict") for name in want}
            check(got == want, f"verdicts expecting {expect}: {got}")

        # A file larger than the module's memory: measured on its first part.
        cards = give_files(driver, [big], wait=600)
        print_times(cards, [big])
        values = check_headline(cards["long.wav"], big)
        check("cut" in values, f"long.wav: measured on its first part, the line says cut={values.get('cut')}")
        check_answer(cards["long.wav"], big)

        # A forced failure of the module: its card says so, the next file is right.
        open_page(driver, page + "?abort-on=buzzer.wav")
        order = [paths[0], os.path.join(work, "buzzer.wav"), os.path.join(work, "notone.wav")]
        cards = give_files(driver, order)
        failed = cards["buzzer.wav"]
        check(failed.get_attribute("data-failed") == "yes" and "Aborted" in failed.text and
              failed.get_attribute("data-verdict") == "error", f"buzzer.wav: the failure on its card: {failed.text!r}")
        for path in [order[0], order[2]]:
            check_headline(cards[os.path.basename(path)], path)

        # Any static server serves it as well.
        class Quiet(http.server.SimpleHTTPRequestHandler):
            def log_message(self, *args):
                pass
        server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Quiet, directory=web_dir))
        threading.Thread(target=server.serve_forever, daemon=True).start()
        try:
            open_page(driver, f"http://127.0.0.1:{server.server_port}/index.html")
            check_headline(give_files(driver, [paths[0]])["tone440.wav"], paths[0])
        finally:
            server.shutdown()
        errors = [entry for entry in driver.get_log("browser") if entry.get("level") == "SEVERE"]
        check(errors == [], f"no errors in the browser's console: {errors}")
    finally:
        driver.quit()
        shutil.rmtree(work, ignore_errors=True)

    if failures:
        print(f"{len(failures)} checks failed")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
