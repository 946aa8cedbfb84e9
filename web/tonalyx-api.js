// The C interface of the analysis module (tonalyx.h) as plain JavaScript
// objects, inside the page's worker. A file is measured in slices read
// through the C interface's callback input, so a file of any size passes;
// the default answer gets the file's first bytes only (see ANSWER_BYTES).
"use strict";

function tonalyxApi(M) {
  const STDERR = 1;
  const PICTURES = 1;  // TONALYX_MEASURE_PICTURES
  const SLICE_BYTES = 1 << 20;
  // The default answer's reader never reads past (4096 + 8194) blocks of
  // 512 bytes plus its chunk headers (6.4 MB): it holds 4096 slots at most
  // and stops after 2 x 4096 + 2 data chunks. So these first bytes give it
  // the answer the whole file gives.
  const ANSWER_BYTES = 8 << 20;
  const text = (pointer) => (pointer ? M.UTF8ToString(pointer) : "");
  const slices = new FileReaderSync();

  // The file being measured: the read callback serves it from one slice
  // of SLICE_BYTES at a time. `abortAt` (a test hook) aborts the module in
  // its first read, as running out of memory would.
  let input = null;
  const readInput = M.addFunction((user, buffer, count) => {
    try {
      if (input.abort) M._abort();
      const size = input.file.size;
      if (input.at >= size) return 0;
      if (!(input.at >= input.sliceAt && input.at < input.sliceAt + input.slice.length)) {
        input.sliceAt = input.at;
        input.slice = new Uint8Array(slices.readAsArrayBuffer(input.file.slice(input.at, input.at + SLICE_BYTES)));
        if (input.slice.length === 0) return 0;  // the file shrank
      }
      const from = input.at - input.sliceAt;
      const given = Math.min(count >>> 0, input.slice.length - from);
      M.HEAPU8.set(input.slice.subarray(from, from + given), buffer >>> 0);
      input.at += given;
      return given;
    } catch (error) {
      if (input.abort) throw error;
      return -1;  // the browser could not read the file
    }
  }, "iiii");
  const seekInput = M.addFunction((user, offset) => {
    input.at = Math.min(Number(offset), input.file.size);
    return 1;
  }, "iij");

  // Runs body(pointer) with `name` copied into the module's memory.
  function withName(name, body) {
    const size = M.lengthBytesUTF8(name) + 1;
    const pointer = M._malloc(size);
    if (!pointer) throw new Error("out of memory");
    try {
      M.stringToUTF8(name, pointer, size);
      return body(pointer, size - 1);
    } finally {
      M._free(pointer);
    }
  }

  // The name as the console shows it: the library's escaper.
  function shownName(name) {
    return withName(name, (pointer, size) => {
      const needed = M._tonalyx_escape_controls(pointer, size, 0, 0) >>> 0;
      const out = M._malloc(needed + 1);
      if (!out || needed === 0xffffffff) throw new Error("out of memory");
      try {
        M._tonalyx_escape_controls(pointer, size, out, needed + 1);
        return text(out);
      } finally {
        M._free(out);
      }
    });
  }

  // The messages of a report or a measurement: [{text, stream}].
  function messages(handle, count, message) {
    const list = [];
    const stream = M._malloc(4);
    try {
      for (let i = 0; i < count(handle); ++i) {
        const line = text(message(handle, i, stream));
        list.push({ text: line, stream: M.HEAP32[stream >> 2] === STDERR ? "stderr" : "stdout" });
      }
    } finally {
      M._free(stream);
    }
    return list;
  }

  // An array of doubles the module hands out: call(countPointer, extraPointer).
  function doubles(call) {
    const cells = M._malloc(16);  // a size_t, then a double
    try {
      const first = call(cells, cells + 8) >>> 0;
      const n = M.HEAPU32[cells >> 2];
      return {
        values: first && n ? M.HEAPF64.slice(first >> 3, (first >> 3) + n) : new Float64Array(0),
        step: M.HEAPF64[(cells + 8) >> 3],
      };
    } finally {
      M._free(cells);
    }
  }

  function pictures(m) {
    const spectrum = doubles((count, step) => M._tonalyx_measurement_spectrum(m, step, count));
    const envelope = doubles((count, step) => M._tonalyx_measurement_envelope(m, step, count));
    // The bursts come as start, end pairs: the count is of pairs.
    const bursts = [];
    const cells = M._malloc(4);
    try {
      const first = M._tonalyx_measurement_burst_spans(m, cells) >>> 0;
      const pairs = M.HEAPU32[cells >> 2];
      for (let i = 0; first && i < pairs; ++i)
        bursts.push([M.HEAPF64[(first >> 3) + 2 * i], M.HEAPF64[(first >> 3) + 2 * i + 1]]);
    } finally {
      M._free(cells);
    }
    return {
      spectrumBinHz: spectrum.step,
      spectrumDb: spectrum.values,
      envelopeSeconds: envelope.step,
      envelopeDb: envelope.values,
      harmonicsHz: Array.from(doubles((count) => M._tonalyx_measurement_harmonics(m, count)).values),
      humHz: Array.from(doubles((count) => M._tonalyx_measurement_hum(m, count)).values),
      bursts,
    };
  }

  // The measurement of a File, read in slices; the handle stays with the
  // caller (for verdicts) and is freed with freeMeasurement().
  function measure(file, name, abort) {
    input = { file, at: 0, sliceAt: 0, slice: new Uint8Array(0), abort: !!abort };
    try {
      const handle = withName(name, (pointer) =>
        M._tonalyx_measure_callbacks(readInput, seekInput, 0, pointer, PICTURES));
      if (!handle) throw new Error("out of memory");
      return handle;
    } finally {
      input = null;
    }
  }

  // A status as the library names it, and as a shell would see it of the
  // console (the page's own part of the module, web/page_module.cpp).
  function statusFields(status) {
    return { status, statusName: text(M._tonalyx_status_name(status)), exitStatus: M._tonalyx_page_exit_status(status) };
  }

  function measurementData(m) {
    return {
      ...statusFields(M._tonalyx_measurement_status(m)),
      tone: M._tonalyx_measurement_tone(m) >>> 0,
      reason: text(M._tonalyx_measurement_reason(m)),
      cut: M._tonalyx_measurement_cut(m),
      line: text(M._tonalyx_measurement_line(m)),
      messages: messages(m, M._tonalyx_measurement_message_count, M._tonalyx_measurement_message),
      pictures: pictures(m),
    };
  }

  // The batch's verdict: rules {minPurity, minLevel (null: none),
  // tolerance, expect (0 any, -1 none, else a candidate)}.
  function verdict(m, rules) {
    const minLevel = rules.minLevel === null ? -Infinity : rules.minLevel;
    return text(M._tonalyx_measurement_verdict(m, rules.minPurity, minLevel, rules.tolerance, rules.expect | 0));
  }

  function samples(report) {
    const count = M._malloc(4);  // a size_t
    try {
      const first = M._tonalyx_report_samples(report, count);
      const n = M.HEAPU32[count >> 2];
      return first && n ? Array.from(M.HEAPF64.subarray(first >> 3, (first >> 3) + n)) : [];
    } finally {
      M._free(count);
    }
  }

  // The default answer: settings {length, trace, minResult, expect}, the
  // library's defaults for a length or minResult left undefined; the
  // verdict is the library's, as tonalyx-batch gives it.
  function analyze(file, name, settings) {
    const bytes = new Uint8Array(slices.readAsArrayBuffer(file.slice(0, ANSWER_BYTES)));
    const data = M._malloc(Math.max(bytes.length, 1));
    const chosen = M._tonalyx_settings_new();
    let report = 0;
    try {
      if (!data || !chosen) throw new Error("out of memory");
      M.HEAPU8.set(bytes, data);
      if (settings.length !== undefined) M._tonalyx_settings_set_length(chosen, settings.length >>> 0);
      M._tonalyx_settings_set_trace(chosen, settings.trace ? 1 : 0);
      M._tonalyx_settings_set_keep_samples(chosen, settings.trace ? 0 : 1);
      const minResult = settings.minResult ?? M._tonalyx_default_min_result();
      report = withName(name, (pointer) => M._tonalyx_analyze_memory(data, bytes.length, pointer, chosen));
      if (!report) throw new Error("out of memory");
      const hasResult = M._tonalyx_report_has_result(report) !== 0;
      return {
        ...statusFields(M._tonalyx_report_status(report)),
        hasResult,
        freq: M._tonalyx_report_freq(report) >>> 0,
        resultLine: hasResult ? text(M._tonalyx_report_result_line(report)) : "",
        messages: messages(report, M._tonalyx_report_message_count, M._tonalyx_report_message),
        trace: settings.trace ? text(M._tonalyx_report_trace(report)) : "",
        samples: settings.trace ? [] : samples(report),
        verdict: text(M._tonalyx_report_verdict(report, minResult, settings.expect >>> 0)),
        header: bytes.slice(0, 44),  // for the plot's reference
      };
    } finally {
      M._free(data);
      M._tonalyx_settings_free(chosen);
      if (report) M._tonalyx_report_free(report);
    }
  }

  return {
    measure,
    measurementData,
    verdict,
    freeMeasurement: (m) => M._tonalyx_measurement_free(m),
    analyze,
    shownName,
    version: () => text(M._tonalyx_version()),
    // The candidates and the defaults, for the page's choices.
    defaults: () => ({
      candidates: Array.from({ length: M._tonalyx_candidate_count() }, (_, i) => M._tonalyx_candidate_at(i) >>> 0),
      length: M._tonalyx_default_length() >>> 0,
      minResult: M._tonalyx_default_min_result(),
    }),
  };
}
