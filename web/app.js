// The page: files in, one card per file and one row in the table, the
// measurement first; re-judged when a setting changes. The analysis module
// runs in a worker (see worker.js); when it fails on a file, the failure is
// that file's card and the next file gets a fresh worker.
"use strict";

(function () {
  // The library's defaults (the default answer below MIN_RESULT is weak, as
  // tonalyx-batch says), set when the module is ready; until then a run
  // takes them in the worker.
  let DEFAULT_LENGTH, MIN_RESULT;
  const STATUS_WORDS = {
    "read-error": "the file could not be read",
    "no-data": "no sample data could be loaded",
    "cannot-open": "the file cannot be opened",
  };
  const REASON_WORDS = {
    short: "the tone lasts under 0.1 s",
    impure: "too little of the sound is one steady tone",
    "off-band": "no candidate lies within 10 Hz of it",
    several: "a second candidate holds much of the tone",
    silent: "the recording is silent",
    hum: "only mains hum",
  };
  // A test hook: with ?abort-on=NAME the module aborts while reading the
  // file of that name, as it would when its memory runs out.
  const abortOn = new URLSearchParams(location.search).get("abort-on");

  const byId = (id) => document.getElementById(id);
  const filesInput = byId("files"), lengthInput = byId("length"), expectSelect = byId("expect");
  const minPurityInput = byId("min-purity"), minLevelInput = byId("min-level"), toleranceInput = byId("tolerance");
  const drop = byId("drop"), statusLine = byId("status"), results = byId("results");
  const summary = byId("summary"), downloadButton = byId("download-csv");
  const table = resultsTable(byId("table"));

  let entries = [];    // one per file given: {id, file, name, shown, anchor, measurement, verdict, failure, report}
  let generation = 0;  // files given so far; work for older ones stops
  let shown = 0;       // how many times the results were complete (the tests wait on it)
  let rules = { minPurity: 0.7, minLevel: null, tolerance: 10, expect: 0 };
  let work = Promise.resolve();  // the worker's requests, one after another

  function queue(task) {
    work = work.then(task).catch((error) => {
      statusLine.textContent = "Something went wrong: " + error.message;
    });
  }

  // The worker, started from the source of tonalyxWorker (tonalyx-worker.js),
  // and started anew after a request failed.
  function engine() {
    const url = URL.createObjectURL(new Blob(["(" + tonalyxWorker.toString() + ")()"], { type: "text/javascript" }));
    let worker, ready, pending = null, serial = 0;
    const settle = (reply) => {
      const waiting = pending;
      pending = null;
      if (waiting) waiting(reply);
    };
    function start() {
      worker = new Worker(url);
      ready = new Promise((resolve, reject) => {
        pending = (reply) => (reply.failed ? reject(new Error(reply.failed)) : resolve(reply));
      });
      ready.catch(() => {});
      worker.onmessage = (event) => settle(event.data);
      worker.onerror = (event) => {
        event.preventDefault();
        settle({ failed: event.message || "the worker stopped" });
      };
    }
    start();
    return {
      ready: () => ready,
      async call(request) {
        await ready;
        const reply = await new Promise((resolve) => {
          pending = resolve;
          worker.postMessage({ ...request, serial: ++serial });
        });
        if (reply.failed) {
          worker.terminate();
          start();
        }
        return reply;
      },
    };
  }
  const analysis = engine();

  function element(tag, className, text) {
    const node = document.createElement(tag);
    if (className) node.className = className;
    if (text !== undefined) node.textContent = text;
    return node;
  }

  // The length as the console would take it, or null when it is no whole
  // number from 0 to 2^32 - 1.
  function chosenLength() {
    const text = lengthInput.value.trim();
    if (text === "") return DEFAULT_LENGTH;
    if (!/^[0-9]+$/.test(text) || Number(text) > 4294967295) return null;
    return Number(text);
  }

  // The thresholds, or null (and the field marked) when one is no number.
  function chosenRules() {
    const read = (input, fallback, valid) => {
      const text = input.value.trim();
      const value = text === "" ? fallback : Number(text);
      const ok = !input.validity.badInput && (value === null || (Number.isFinite(value) && valid(value)));
      input.setAttribute("aria-invalid", ok ? "false" : "true");
      return ok ? value : undefined;
    };
    const chosen = {
      minPurity: read(minPurityInput, 0.7, (v) => v >= 0 && v <= 1),
      minLevel: read(minLevelInput, null, () => true),
      tolerance: read(toleranceInput, 10, (v) => v >= 0),
      expect: Number(expectSelect.value),
    };
    return Object.values(chosen).includes(undefined) ? null : chosen;
  }

  function exitStatus(measurement) {
    return measurement.status !== 0 ? measurement.exitStatus : measurement.tone ? 0 : 1;
  }

  function verdictWords(entry, values) {
    const m = entry.measurement, expect = rules.expect;
    switch (entry.verdict) {
      case "error":
        return "error: " + (STATUS_WORDS[m.statusName] || "status " + m.statusName) + ".";
      case "weak":
        if (!m.tone) return "weak: no tone.";
        if (Number(values.purity) < rules.minPurity) return `weak: purity ${values.purity}, below ${rules.minPurity}.`;
        return `weak: level ${values.level} dBFS, below ${rules.minLevel} dBFS.`;
      case "wrong":
        if (expect < 0) return `wrong: a tone of ${m.tone} Hz where none was expected.`;
        if (m.tone !== expect) return `wrong: ${m.tone} found, ${expect} expected.`;
        return `wrong: measured ${values.measured} Hz, further than ${rules.tolerance} Hz from ${expect}.`;
      default:
        return expect < 0 ? "ok: no tone, as expected." : expect > 0 ? `ok: ${expect}, as expected.` : "ok.";
    }
  }

  function headline(m, values) {
    if (m.status !== 0) return element("p", "headline", "Not measured: " + (STATUS_WORDS[m.statusName] || "status " + m.statusName) + ".");
    const line = element("p", "headline");
    if (m.tone) {
      line.append(element("strong", "tone-found", "Tone " + m.tone + " Hz"), ", measured " + values.measured + " Hz");
    } else {
      line.append(element("strong", "tone-found", "No tone"), ": " + (REASON_WORDS[m.reason] || m.reason) + " (" + m.reason + ").");
    }
    return line;
  }

  // The line's numbers as it prints them, each with its name.
  function facts(values) {
    const list = element("dl", "facts");
    const rows = [["measured", "Measured", "Hz"], ["purity", "Purity", ""], ["level", "Level", "dBFS"],
      ["thd", "THD", "%"], ["snr", "SNR", "dB"], ["bursts", "Bursts", ""], ["drift", "Drift", "Hz"],
      ["start", "From", "s"], ["end", "To", "s"], ["channel", "Channel", ""], ["cut", "Measured only the first", "s"]];
    for (const [key, name, unit] of rows) {
      if (values[key] === undefined) continue;
      const value = element("dd", null, values[key] + (unit ? " " + unit : ""));
      value.dataset.key = key;
      const fact = element("div");
      fact.append(element("dt", null, name), value);
      list.append(fact);
    }
    return list;
  }

  function messageList(messages, kind) {
    const list = element("ul", "messages " + kind);
    for (const message of messages) {
      const item = element("li", message.stream, message.text.replace(/\n$/, ""));
      item.title = "standard " + (message.stream === "stderr" ? "error" : "output");
      list.appendChild(item);
    }
    return list;
  }

  function picture(svg, caption) {
    const figure = element("figure", "picture");
    figure.append(svg, element("figcaption", null, caption));
    return figure;
  }

  function measurementParts(entry, card) {
    const m = entry.measurement, values = lineValues(m.line);
    card.dataset.status = String(exitStatus(m));
    card.dataset.verdict = entry.verdict;
    const parts = [headline(m, values), element("p", "verdict verdict-" + entry.verdict, verdictWords(entry, values))];
    if (m.status === 0) {
      parts.push(facts(values));
      const line = element("p", "line");
      line.append(element("code", "measurement-line", m.line));
      parts.push(line);
    }
    if (m.messages.length) parts.push(messageList(m.messages, "measurement-messages"));
    if (m.status === 0) {
      const pictures = element("div", "pictures");
      const start = Number(values.start), end = Number(values.end);
      pictures.append(
        picture(drawSpectrum(m.pictures, m.tone, Number(values.measured)),
          "Spectrum: the tone (solid), its harmonics (dashed), hum (dotted), the candidates (ticks at the top)."),
        picture(drawEnvelope(m.pictures, start, m.tone ? end : start),
          "Envelope: the tone's extent shaded, each burst shaded darker."));
      parts.push(pictures);
    }
    return parts;
  }

  function reportWords(report) {
    const result = report.resultLine.replace(/ .*/, "").replace("bestResult=", "");
    switch (report.verdict) {
      case "error":
        return "Not analysed: " + (STATUS_WORDS[report.statusName] || "status " + report.statusName) + ".";
      case "weak":
        return "Weak: nothing matched clearly (result " + result + ", below " + MIN_RESULT +
          "), so the frequency " + report.freq + " means little.";
      case "wrong":
        return "Not the expected tone: " + report.freq + " matched best, " + rules.expect + " was expected.";
      default:
        return "Matches " + report.freq + (rules.expect > 0 ? ", as expected" : "") + " (result " + result + ").";
    }
  }

  function slotsPlot(report) {
    const figure = element("figure");
    const canvas = element("canvas");
    canvas.width = 720;
    canvas.height = 150;
    const slots = dataChunkSlots(report.header);
    canvas.setAttribute("role", "img");
    canvas.setAttribute("aria-label", "The " + report.samples.length + " scaled slots analysed" +
      (report.freq && slots ? " and the " + report.freq + "-period reference over " + slots + " slots" : ""));
    drawPlot(canvas, report.samples, report.freq, slots);
    const caption = element("figcaption");
    caption.append(element("span", "key-slots", "solid: the scaled slots"));
    if (report.freq && slots) {
      caption.append(", ", element("span", "key-reference",
        "dashed: the reference of " + report.freq + " periods across all " + slots + " slots of the data chunk"));
    }
    figure.append(canvas, caption);
    return figure;
  }

  // The -v trace, worked out when it is first opened.
  function traceDetails(entry, length) {
    const details = element("details", "trace");
    details.append(element("summary", null, "Trace (what -v prints)"));
    const text = element("pre");
    details.append(text);
    details.addEventListener("toggle", () => {
      if (!details.open || details.dataset.filled) return;
      queue(async () => {
        const reply = await analysis.call({ type: "answer", file: entry.file, name: entry.name,
          settings: { length, trace: true, minResult: MIN_RESULT, expect: 0 } });
        text.textContent = reply.failed ? "No trace: " + reply.failed : reply.report.trace;
        details.dataset.filled = "yes";
      });
    });
    return details;
  }

  // The default answer, in a section of its own.
  function answerSection(entry, length) {
    const section = element("section", "exact-answer");
    section.append(element("h3", null, "exact correlation answer"),
      element("p", "hint", "What tonalyx -i FILE prints: the correlation of the first slots with each " +
        "candidate's reference, the answer stored outputs were made with."));
    const report = entry.report;
    if (!report) {
      if (entry.answerFailure) section.append(element("p", "verdict verdict-error", "Not analysed: " + entry.answerFailure));
      return section;
    }
    section.dataset.status = String(report.exitStatus);
    section.dataset.verdict = report.verdict;
    section.append(element("p", "verdict verdict-" + report.verdict, reportWords(report)));
    if (report.hasResult) {
      const line = element("p", "line");
      line.append(element("code", "result-line", report.resultLine));
      section.append(line);
    }
    if (report.messages.length) section.append(messageList(report.messages, "report-messages"));
    if (report.samples.length) section.append(slotsPlot(report));
    section.append(traceDetails(entry, length));
    return section;
  }

  function card(entry, length) {
    const node = element("article", "result");
    node.id = entry.anchor;
    node.tabIndex = -1;  // the table's links move the focus here
    node.dataset.file = entry.name;
    if (entry.measureMs !== undefined) node.dataset.measureMs = entry.measureMs.toFixed(1);
    node.append(element("h2", null, entry.shown));
    if (entry.failure) {
      node.dataset.verdict = "error";
      node.dataset.failed = "yes";
      node.append(element("p", "verdict verdict-error failure", "The analysis module failed on this file (" +
        entry.failure + "). It was loaded afresh for the next file."));
    } else if (entry.measurement) {
      node.append(...measurementParts(entry, node));
    } else {
      node.append(element("p", "pending", "Waiting to be measured…"));
    }
    if (!entry.failure) node.append(answerSection(entry, length));
    return node;
  }

  function rowOf(entry) {
    return { fields: csvFields(entry.name, entry.measurement, entry.measurement ? entry.verdict : "error"),
      shown: entry.shown, anchor: entry.anchor };
  }

  function showEntry(entry, length) {
    const old = byId(entry.anchor);
    const fresh = card(entry, length);
    if (old) old.replaceWith(fresh);
    else results.append(fresh);
  }

  function finished() {
    table.show(entries.filter((e) => e.done).map(rowOf));
    downloadButton.disabled = false;
    document.body.dataset.shown = String(++shown);
    const failed = entries.filter((e) => e.failure).length;
    statusLine.textContent = entries.length
      ? entries.length + (entries.length === 1 ? " file measured" : " files measured") +
        (failed ? ", " + failed + " of them failed." : ".")
      : "Ready: choose or drop WAVE files.";
  }

  async function measureEntry(entry) {
    const started = performance.now();
    const reply = await analysis.call({ type: "measure", id: entry.id, file: entry.file, name: entry.name, rules,
      abort: abortOn !== null && abortOn === entry.name });
    entry.failure = reply.failed || null;
    entry.measurement = reply.measurement || null;
    entry.verdict = reply.verdict || "error";
    entry.measureMs = performance.now() - started;
  }

  async function answerEntry(entry, length) {
    const reply = await analysis.call({ type: "answer", file: entry.file, name: entry.name,
      settings: { length, trace: false, minResult: MIN_RESULT, expect: Math.max(rules.expect, 0) } });
    entry.report = reply.report || null;
    entry.answerFailure = reply.failed || null;
  }

  function takeFiles(list) {
    const files = Array.from(list), mine = ++generation, length = chosenLength() ?? DEFAULT_LENGTH;
    downloadButton.disabled = true;
    queue(async () => {
      await analysis.call({ type: "forget" });
      const named = await analysis.call({ type: "names", names: files.map((file) => file.name) });
      entries = files.map((file, i) => ({ id: mine + "/" + i, file, name: file.name, anchor: "file-" + mine + "-" + i,
        shown: named.shown ? named.shown[i] : "(a name the page could not show)" }));
      results.replaceChildren();
      summary.hidden = entries.length === 0;
      for (const entry of entries) showEntry(entry, length);
      for (const [i, entry] of entries.entries()) {
        if (mine !== generation) return;
        statusLine.textContent = "Measuring file " + (i + 1) + " of " + entries.length + "…";
        await measureEntry(entry);
        if (!entry.failure) await answerEntry(entry, length);
        entry.done = true;
        showEntry(entry, length);
        table.show(entries.filter((e) => e.done).map(rowOf));
      }
      finished();
    });
  }

  // A setting changed: verdicts and default answers anew, the measurements kept.
  function settingsChanged() {
    const chosen = chosenRules(), length = chosenLength();
    lengthInput.setAttribute("aria-invalid", length === null ? "true" : "false");
    if (!chosen || length === null) {
      statusLine.textContent = chosen ? "The length must be a whole number from 0 to 4294967295."
        : "Min purity is a number from 0 to 1, min level a number or empty, tolerance a number from 0.";
      return;
    }
    rules = chosen;
    const mine = generation;
    queue(async () => {
      for (const entry of entries) {
        if (mine !== generation) return;
        if (entry.measurement) {
          const reply = await analysis.call({ type: "verdict", id: entry.id, file: entry.file, name: entry.name, rules });
          entry.verdict = reply.verdict || "error";
        }
        if (!entry.failure) await answerEntry(entry, length);
        showEntry(entry, length);
      }
      finished();
    });
  }

  downloadButton.addEventListener("click", () => {
    const csv = batchCsv(entries.filter((e) => e.done).map((e) => rowOf(e).fields));
    const link = element("a");
    link.href = URL.createObjectURL(new Blob([csv], { type: "text/csv" }));
    link.download = "tonalyx-batch.csv";
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 60000);
  });

  expectSelect.append(new Option("any candidate", "0"), new Option("none (no tone)", "-1"));
  filesInput.addEventListener("change", () => takeFiles(filesInput.files));
  for (const input of [lengthInput, minPurityInput, minLevelInput, toleranceInput, expectSelect])
    input.addEventListener("change", settingsChanged);
  drop.addEventListener("dragover", (event) => {
    event.preventDefault();
    drop.classList.add("over");
  });
  drop.addEventListener("dragleave", () => drop.classList.remove("over"));
  drop.addEventListener("drop", (event) => {
    event.preventDefault();
    drop.classList.remove("over");
    if (event.dataTransfer && event.dataTransfer.files.length) takeFiles(event.dataTransfer.files);
  });

  analysis.ready().then(({ version, defaults }) => {
    DEFAULT_LENGTH = defaults.length;
    MIN_RESULT = defaults.minResult;
    for (const freq of defaults.candidates) expectSelect.append(new Option(String(freq), String(freq)));
    document.body.dataset.ready = "yes";
    statusLine.textContent = "Ready (Tonalyx " + version + "): choose or drop WAVE files.";
  }, (error) => {
    statusLine.textContent = "The analysis could not be loaded: " + error.message;
  });
})();
