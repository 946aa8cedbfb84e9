// The page: files in, one result element per file, re-run when a setting
// changes.
"use strict";

(function () {
  const DEFAULT_LENGTH = 1024;
  const MIN_RESULT = 0.1;  // below it a result is weak, as tonalyx-batch says
  const STATUS_WORDS = {
    251: "the file could not be read",
    253: "no sample data could be loaded",
    254: "the file cannot be opened",
  };

  const filesInput = document.getElementById("files");
  const lengthInput = document.getElementById("length");
  const expectSelect = document.getElementById("expect");
  const drop = document.getElementById("drop");
  const statusLine = document.getElementById("status");
  const results = document.getElementById("results");

  let api = null;
  let files = [];  // {name, bytes}, in the order they were given
  let shown = 0;   // how many times the results were shown (the tests wait on it)

  // Bytes 0x01-0x1f and 0x7f as \xHH, as the console shows names.
  function escapeControls(text) {
    return text.replace(/[\x01-\x1f\x7f]/g, (c) => "\\x" + c.charCodeAt(0).toString(16).padStart(2, "0"));
  }

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

  function chosenExpect() {
    return Number(expectSelect.value) || 0;
  }

  // The result as the line prints it (six decimals).
  function printedResult(report) {
    return report.resultLine.replace(/ .*/, "").replace("bestResult=", "");
  }

  function verdictWords(verdict, report, expect) {
    const result = printedResult(report);
    switch (verdict) {
      case "error":
        return "Not analysed: " + (STATUS_WORDS[report.status] || "status " + report.status) + ".";
      case "weak":
        return "Weak: nothing matched clearly (result " + result + ", below " + MIN_RESULT +
          "), so the frequency " + report.freq + " means little.";
      case "wrong":
        return "Not the expected tone: " + report.freq + " matched best, " + expect + " was expected.";
      default:
        return "Matches " + report.freq + (expect ? ", as expected" : "") + " (result " + result + ").";
    }
  }

  function measurementWords(measurement) {
    if (measurement.status !== 0) return "The measurement could not read the file.";
    const hz = measurement.measured.toFixed(2);
    return measurement.tone
      ? "Measured " + hz + " Hz, counted as the candidate " + measurement.tone + "."
      : "The measurement finds no candidate's tone (" + hz + " Hz at the strongest).";
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

  function plotFigure(file, report) {
    const figure = element("figure");
    const canvas = element("canvas");
    canvas.width = 720;
    canvas.height = 150;
    const slots = dataChunkSlots(file.bytes);
    const described = "The " + report.samples.length + " scaled slots analysed" +
      (report.freq && slots ? " and the " + report.freq + "-period reference over " + slots + " slots" : "");
    canvas.setAttribute("role", "img");
    canvas.setAttribute("aria-label", described);
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
  function traceDetails(file, length) {
    const details = element("details", "trace");
    details.append(element("summary", null, "Trace (what -v prints)"));
    const text = element("pre");
    details.append(text);
    details.addEventListener("toggle", () => {
      if (!details.open || details.dataset.filled) return;
      try {
        text.textContent = api.analyze(file.bytes, file.name, { length, trace: true, keepSamples: false }).trace;
      } catch (error) {
        text.textContent = "No trace: " + error.message;
      }
      details.dataset.filled = "yes";
    });
    return details;
  }

  function showFile(file, length, expect) {
    const card = element("article", "result");
    card.dataset.file = file.name;
    card.append(element("h2", null, escapeControls(file.name)));
    try {
      if (file.error) throw new Error(file.error);
      let started = performance.now();
      const report = api.analyze(file.bytes, file.name,
        { length, trace: false, keepSamples: true, minResult: MIN_RESULT, expect });
      const answerMs = performance.now() - started;
      started = performance.now();
      const measurement = api.measure(file.bytes, file.name);
      const measureMs = performance.now() - started;

      const verdict = report.verdict;
      card.dataset.status = String(report.status);
      card.dataset.verdict = verdict;
      card.dataset.answerMs = answerMs.toFixed(3);
      card.dataset.measureMs = measureMs.toFixed(3);
      card.append(element("p", "verdict verdict-" + verdict, verdictWords(verdict, report, expect)));
      if (report.hasResult) {
        const line = element("p", "line");
        line.append(element("code", "result-line", report.resultLine));
        card.append(line);
      }
      if (report.messages.length) card.append(messageList(report.messages, "report-messages"));
      // The measurement's line as tonalyx -hz prints it, which prints none
      // for a file it could not read.
      card.append(element("p", "measurement-words", measurementWords(measurement)));
      if (measurement.status === 0) {
        const measured = element("p", "line");
        measured.append(element("code", "measurement-line", measurement.line));
        card.append(measured);
      }
      if (measurement.messages.length) card.append(messageList(measurement.messages, "measurement-messages"));
      if (report.samples.length) card.append(plotFigure(file, report));
      card.append(traceDetails(file, length));
    } catch (error) {
      card.dataset.verdict = "error";
      card.append(element("p", "verdict verdict-error", "Not analysed: " + error.message));
    }
    return card;
  }

  function showAll() {
    if (!api) return;
    const length = chosenLength();
    lengthInput.setAttribute("aria-invalid", length === null ? "true" : "false");
    if (length === null) {
      statusLine.textContent = "The length must be a whole number from 0 to 4294967295.";
      return;
    }
    const expect = chosenExpect();
    results.replaceChildren(...files.map((file) => showFile(file, length, expect)));
    document.body.dataset.shown = String(++shown);
    statusLine.textContent = files.length
      ? files.length + (files.length === 1 ? " file analysed." : " files analysed.")
      : "Ready: choose or drop WAVE files.";
  }

  // A file the browser cannot read (gone, too large) is shown as an error.
  async function readFile(file) {
    try {
      return { name: file.name, bytes: new Uint8Array(await file.arrayBuffer()) };
    } catch (error) {
      return { name: file.name, error: "the browser could not read the file (" + error.message + ")" };
    }
  }

  async function takeFiles(list) {
    files = await Promise.all(Array.from(list).map(readFile));
    showAll();
  }

  function fillExpectChoices() {
    expectSelect.append(new Option("any candidate", "0"));
    for (let freq = 100; freq <= 1000; freq += 20) expectSelect.append(new Option(String(freq), String(freq)));
  }

  fillExpectChoices();
  filesInput.addEventListener("change", () => takeFiles(filesInput.files));
  lengthInput.addEventListener("change", showAll);
  expectSelect.addEventListener("change", showAll);
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

  createTonalyx().then((module) => {
    api = tonalyxApi(module);
    document.body.dataset.ready = "yes";
    statusLine.textContent = "Ready (Tonalyx " + api.version() + "): choose or drop WAVE files.";
    showAll();
  }, (error) => {
    statusLine.textContent = "The analysis could not be loaded: " + error;
  });
})();
