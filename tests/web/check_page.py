#!/usr/bin/python3
"""The web page in headless Chromium: the example files and a broken one
given to its file input, each answer against the console's on the same
file, the settings, the trace, the keyboard and the size of the page.

    check_page.py WEB_DIR CONSOLE EXAMPLES_DIR SCREENSHOT [EMULATOR...]

CONSOLE (run under EMULATOR, e.g. node) gives the expected lines. Exits 77
(skipped) when Chromium, its driver or Selenium is missing. Prints the
answer times the page measured; they are reported, not asserted.
"""
import functools
import http.server
import os
import re
import shutil
import subprocess
import sys
import tempfile
import threading

PAGE_LIMIT = 1000000  # bytes, all page files together
PAGE_FILES = ["index.html", "style.css", "tonalyx-api.js", "plot.js", "app.js", "tonalyx-module.js"]
CHROMIUM = shutil.which("chromium") or "/usr/bin/chromium"
DRIVER = shutil.which("chromedriver") or "/usr/bin/chromedriver"

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

web_dir, console, examples, screenshot = sys.argv[1:5]
emulator = sys.argv[5:]
failures = []


def check(condition, what):
    print(("ok    " if condition else "FAIL  ") + what)
    if not condition:
        failures.append(what)


def run_console(path, *args):
    """The console's standard output and error as lines, and its status, on
    the file at `path`, named as the page names it (the base name)."""
    done = subprocess.run(emulator + [os.path.abspath(console), *args, "-i", os.path.basename(path)],
                          capture_output=True, text=True, cwd=os.path.dirname(os.path.abspath(path)))
    return done.stdout.splitlines(), done.stderr.splitlines(), done.returncode


def console_answer(path, length=None):
    """What the page must show for a file: the result line (or None) and the
    warning and error lines of both streams."""
    args = ["-length", str(length)] if length is not None else []
    out, err, status = run_console(path, *args)
    result = [line for line in out if line.startswith("bestResult=")]
    messages = [line for line in out if line.startswith(("ERROR", "WARNING"))] + err
    return (result[0] if result else None), sorted(messages), status


def browser(profile):
    options = webdriver.ChromeOptions()
    options.binary_location = CHROMIUM
    for flag in ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                 "--disable-background-networking", "--disable-component-update", "--disable-sync",
                 "--user-data-dir=" + profile, "--window-size=1000,1500"]:
        options.add_argument(flag)
    return webdriver.Chrome(service=Service(DRIVER), options=options)


def wait_ready(driver):
    WebDriverWait(driver, 30).until(lambda d: d.execute_script("return document.body.dataset.ready === 'yes'"))


def showings(driver):
    """How many times the page has shown its results."""
    return int(driver.execute_script("return document.body.dataset.shown || '0'"))


def after(driver, action, count):
    """Does the action, waits for the page to show `count` results anew and
    returns them by file name."""
    before = showings(driver)
    action()
    WebDriverWait(driver, 30).until(lambda d: showings(d) > before)
    cards = driver.find_elements(By.CSS_SELECTOR, ".result")
    check(len(cards) == count, f"{len(cards)} result elements for {count} files")
    return {card.get_attribute("data-file"): card for card in cards}


def give_files(driver, paths):
    return after(driver, lambda: driver.find_element(By.ID, "files").send_keys("\n".join(paths)), len(paths))


def texts(card, selector):
    return [node.get_attribute("textContent") for node in card.find_elements(By.CSS_SELECTOR, selector)]


def check_answers(cards, paths, length=None, label=""):
    for path in paths:
        name = os.path.basename(path)
        card = cards.get(name)
        check(card is not None, f"{label}{name}: a result element")
        if card is None:
            continue
        want_line, want_messages, want_status = console_answer(path, length)
        shown = texts(card, ".result-line")
        if want_line is None:
            check(shown == [], f"{label}{name}: no result line, as the console prints none")
        else:
            check(shown == [want_line], f"{label}{name}: '{shown}' is the console's '{want_line}'")
            check(want_line in card.text, f"{label}{name}: the element's text holds the result line")
        got_messages = sorted(texts(card, ".report-messages li"))
        check(got_messages == want_messages, f"{label}{name}: messages {got_messages} are the console's {want_messages}")
        check(card.get_attribute("data-status") == str(want_status),
              f"{label}{name}: status {card.get_attribute('data-status')} is the console's {want_status}")


def check_measurements(cards, paths):
    """The measurement's line and messages against tonalyx -hz."""
    for path in paths:
        name = os.path.basename(path)
        card = cards[name]
        out, err, _ = run_console(path, "-hz")
        want_line = [line for line in out if line.startswith("tone=")]
        want_messages = sorted([line for line in out if not line.startswith("tone=")] + err)
        shown = texts(card, ".measurement-line")
        check(shown == want_line, f"{name}: measurement {shown} is the console's {want_line}")
        shown = sorted(texts(card, ".measurement-messages li"))
        check(shown == want_messages, f"{name}: measurement messages {shown} are the console's {want_messages}")


def print_times(cards, label):
    """The page's own timings of each answer, reported, not asserted."""
    for name, card in cards.items():
        print(f"time ({label} run) {name}: default answer {card.get_attribute('data-answer-ms')} ms, "
              f"measurement {card.get_attribute('data-measure-ms')} ms")


def main():
    tone440 = os.path.join(examples, "tone440.wav")
    tone250 = os.path.join(examples, "tone250.wav")
    work = tempfile.mkdtemp()
    broken = os.path.join(work, "broken.wav")
    # A RIFF header and a format chunk, then no data chunk where one belongs.
    with open(broken, "wb") as f:
        f.write(b"RIFF\x24\x00\x00\x00WAVEfmt \x10\x00\x00\x00" + bytes(16) + b"LIST\x04\x00\x00\x00INFO")
    # One second of silence: every candidate gives 0, the last one wins, and
    # a result of 0 is weak.
    silence = os.path.join(work, "silence.wav")
    with open(silence, "wb") as f:
        f.write(b"RIFF" + (36 + 88200).to_bytes(4, "little") + b"WAVEfmt " + (16).to_bytes(4, "little")
                + bytes.fromhex("0100 0100 44ac0000 88580100 0200 1000") + b"data"
                + (88200).to_bytes(4, "little") + bytes(88200))
    paths = [tone440, tone250, broken, silence]

    size = sum(os.path.getsize(os.path.join(web_dir, page)) for page in PAGE_FILES)
    print(f"page files: {size} bytes")
    check(size < PAGE_LIMIT, f"page files together {size} bytes, below {PAGE_LIMIT}")
    with open(os.path.join(web_dir, "index.html")) as f:
        check(not re.search(r"(src|href)=\"(https?:)?//", f.read()), "the page loads nothing from the network")

    driver = browser(os.path.join(work, "profile"))
    try:
        driver.get("file://" + os.path.abspath(os.path.join(web_dir, "index.html")))
        wait_ready(driver)

        # Every control has a label, and the keyboard reaches them in order.
        for control in driver.find_elements(By.CSS_SELECTOR, "input, select"):
            ident = control.get_attribute("id")
            check(bool(driver.find_elements(By.CSS_SELECTOR, f"label[for='{ident}']")), f"#{ident} has a label")
        reached = []
        for _ in range(3):
            ActionChains(driver).send_keys(Keys.TAB).perform()
            reached.append(driver.switch_to.active_element.get_attribute("id"))
        check(reached[:3] == ["files", "length", "expect"], f"tab reaches the file input, the length, the tone: {reached}")

        cards = give_files(driver, paths)
        check(list(cards) == [os.path.basename(p) for p in paths], f"one result per file, in order: {list(cards)}")
        check_answers(cards, paths)
        verdicts = {name: card.get_attribute("data-verdict") for name, card in cards.items()}
        check(verdicts == {"tone440.wav": "ok", "tone250.wav": "ok", "broken.wav": "error", "silence.wav": "weak"},
              f"verdicts without an expected tone: {verdicts}")
        for name in ["tone440.wav", "tone250.wav"]:
            check(bool(cards[name].find_elements(By.CSS_SELECTOR, "canvas")), f"{name}: a plot")
        check_measurements(cards, paths)
        print_times(cards, "first")
        driver.execute_script("document.activeElement.blur(); window.scrollTo(0, 0)")
        driver.save_screenshot(screenshot)

        # The trace on demand: what the console prints with -v.
        details = cards["tone440.wav"].find_element(By.CSS_SELECTOR, "details")
        details.find_element(By.TAG_NAME, "summary").send_keys(Keys.ENTER)
        WebDriverWait(driver, 10).until(lambda d: details.get_attribute("data-filled") == "yes")
        shown = re.sub(r"(?m)^time=\d+$", "time=*", details.find_element(By.TAG_NAME, "pre").get_attribute("textContent"))
        out, _, _ = run_console(tone440, "-v")
        want = re.sub(r"(?m)^time=\d+$", "time=*", "\n".join(out) + "\n")
        check(shown == want, f"tone440.wav: the trace is the console's -v output ({len(shown)} and {len(want)} bytes)")

        # The settings: another length, an expected tone.
        length = driver.find_element(By.ID, "length")
        for value in [4, 5000]:
            length.clear()
            cards = after(driver, lambda: length.send_keys(str(value), Keys.TAB), len(paths))
            check_answers(cards, paths, value, f"length {value}: ")
        length.clear()
        after(driver, lambda: length.send_keys("1024", Keys.TAB), len(paths))
        cards = after(driver, lambda: Select(driver.find_element(By.ID, "expect")).select_by_value("440"), len(paths))
        verdicts = {name: card.get_attribute("data-verdict") for name, card in cards.items()}
        check(verdicts == {"tone440.wav": "ok", "tone250.wav": "wrong", "broken.wav": "error", "silence.wav": "weak"},
              f"verdicts expecting 440: {verdicts}")
        print_times(cards, "again")

        # Any static server serves it as well.
        class Quiet(http.server.SimpleHTTPRequestHandler):
            def log_message(self, *args):
                pass
        handler = functools.partial(Quiet, directory=web_dir)
        server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        threading.Thread(target=server.serve_forever, daemon=True).start()
        try:
            driver.get(f"http://127.0.0.1:{server.server_port}/index.html")
            wait_ready(driver)
            cards = give_files(driver, [tone440])
            want_line, _, _ = console_answer(tone440)
            check(texts(cards["tone440.wav"], ".result-line") == [want_line], "served over http: the same answer")
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
