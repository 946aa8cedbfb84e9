// Many files at a glance: one row per file, sortable by any column (the
// headers are buttons, so Enter and Space sort too), and the rows as the
// CSV that tonalyx-batch --hz --format csv writes.
"use strict";

const CSV_COLUMNS = ["file", "status", "tone", "measured", "purity", "verdict", "level", "start", "end", "channel",
  "thd", "snr", "drift", "bursts", "reason"];
const TABLE_COLUMNS = [
  { key: "file", label: "File" },
  { key: "verdict", label: "Verdict" },
  { key: "tone", label: "Tone", numeric: true },
  { key: "measured", label: "Hz", numeric: true },
  { key: "purity", label: "Purity", numeric: true },
  { key: "level", label: "dBFS", numeric: true },
  { key: "thd", label: "THD %", numeric: true },
  { key: "snr", label: "SNR dB", numeric: true },
  { key: "drift", label: "Drift Hz", numeric: true },
  { key: "bursts", label: "Bursts", numeric: true },
  { key: "reason", label: "Reason" },
  { key: "status", label: "Status", numeric: true },
];
const LINE_KEYS = ["tone", "measured", "purity", "level", "start", "end", "channel", "thd", "snr", "drift", "bursts"];

// A measurement line's values by key, as printed.
function lineValues(line) {
  const values = {};
  for (const word of line.split(" ")) {
    const at = word.indexOf("=");
    if (at > 0) values[word.slice(0, at)] = word.slice(at + 1);
  }
  return values;
}

// One file's CSV fields. measurement: null when the module failed on it.
// The status is what tonalyx -hz exits with; errors have no numbers.
function csvFields(name, measurement, verdict) {
  const fields = Object.fromEntries(CSV_COLUMNS.map((key) => [key, ""]));
  fields.file = name;
  fields.verdict = verdict || "error";
  if (!measurement) return fields;
  if (measurement.status !== 0) {
    fields.status = String(measurement.exitStatus);
    return fields;
  }
  const values = lineValues(measurement.line);
  for (const key of LINE_KEYS) fields[key] = values[key] ?? "";
  if (fields.tone === "none") fields.tone = "";
  fields.reason = values.reason ?? "";
  fields.status = measurement.tone ? "0" : "1";
  return fields;
}

// RFC 4180: a field holding a comma, a quote, CR or LF is quoted, its
// quotes doubled; rows end in CRLF.
function csvField(text) {
  return /[",\r\n]/.test(text) ? '"' + text.replace(/"/g, '""') + '"' : text;
}

// Byte order of the names' UTF-8, as the batch sorts its files.
function byteOrder(a, b) {
  const x = new TextEncoder().encode(a), y = new TextEncoder().encode(b);
  for (let i = 0; i < Math.min(x.length, y.length); ++i) if (x[i] !== y[i]) return x[i] - y[i];
  return x.length - y.length;
}

// rows: csvFields() of each file, in any order.
function batchCsv(rows) {
  const sorted = rows.slice().sort((a, b) => byteOrder(a.file, b.file));
  return [CSV_COLUMNS, ...sorted.map((row) => CSV_COLUMNS.map((key) => row[key]))]
    .map((fields) => fields.map(csvField).join(",") + "\r\n").join("");
}

// The table in `table` (a <table>), sorted as the reader last chose.
// rows: [{fields, shown (the escaped name), anchor (the card's id)}].
function resultsTable(table) {
  let sortKey = null, descending = false, rows = [];

  function compare(a, b, column) {
    const x = a.fields[column.key], y = b.fields[column.key];
    if (x === "" || y === "") return (x === "") - (y === "");  // empty last, either way
    const order = column.numeric ? Number(x) - Number(y) : x < y ? -1 : x > y ? 1 : 0;
    return descending ? -order : order;
  }

  function header() {
    const row = document.createElement("tr");
    for (const column of TABLE_COLUMNS) {
      const cell = document.createElement("th");
      cell.scope = "col";
      cell.setAttribute("aria-sort", sortKey !== column.key ? "none" : descending ? "descending" : "ascending");
      const button = document.createElement("button");
      button.type = "button";
      button.dataset.key = column.key;
      button.textContent = column.label;
      button.addEventListener("click", () => {
        descending = sortKey === column.key && !descending;
        sortKey = column.key;
        draw();
        table.querySelector(`button[data-key="${column.key}"]`).focus();
      });
      cell.append(button);
      row.append(cell);
    }
    return row;
  }

  function draw() {
    const column = TABLE_COLUMNS.find((c) => c.key === sortKey);
    const shown = column ? rows.slice().sort((a, b) => compare(a, b, column)) : rows;
    const head = document.createElement("thead"), body = document.createElement("tbody");
    head.append(header());
    for (const row of shown) {
      const line = document.createElement("tr");
      line.dataset.file = row.fields.file;
      for (const c of TABLE_COLUMNS) {
        const cell = document.createElement("td");
        cell.dataset.key = c.key;
        if (c.key === "file") {
          const link = document.createElement("a");
          link.href = "#" + row.anchor;
          link.textContent = row.shown;
          cell.append(link);
        } else {
          cell.textContent = row.fields[c.key];
          if (c.key === "verdict") cell.className = "verdict-" + row.fields.verdict;
        }
        line.append(cell);
      }
      body.append(line);
    }
    table.replaceChildren(head, body);
  }

  return {
    show(newRows) {
      rows = newRows;
      draw();
    },
  };
}
