// The C interface of the analysis module (tonalyx.h) as plain JavaScript
// objects: bytes in, the report and the measurement out. Every handle the
// module gives is released before a function returns.
"use strict";

function tonalyxApi(M) {
  const STDERR = 1;
  const text = (pointer) => (pointer ? M.UTF8ToString(pointer) : "");

  // Runs body(data, name) with the bytes and the name copied into the
  // module's memory, and frees both afterwards.
  function withInput(bytes, name, body) {
    const nameSize = M.lengthBytesUTF8(name) + 1;
    const data = M._malloc(Math.max(bytes.length, 1));
    const namePointer = M._malloc(nameSize);
    try {
      if (!data || !namePointer) throw new Error("the file does not fit into memory");
      M.HEAPU8.set(bytes, data);
      M.stringToUTF8(name, namePointer, nameSize);
      return body(data, namePointer);
    } finally {
      M._free(data);
      M._free(namePointer);
    }
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

  // The default answer: settings {length, trace, keepSamples, minResult,
  // expect}; the verdict is the library's, as tonalyx-batch gives it.
  function analyze(bytes, name, settings) {
    return withInput(bytes, name, (data, namePointer) => {
      // struct tonalyx_settings { uint32_t length; int trace; int keep_samples; }
      const raw = M._malloc(12);
      let report = 0;
      try {
        M.HEAPU32[raw >> 2] = settings.length >>> 0;
        M.HEAP32[(raw >> 2) + 1] = settings.trace ? 1 : 0;
        M.HEAP32[(raw >> 2) + 2] = settings.keepSamples ? 1 : 0;
        report = M._tonalyx_analyze_memory(data, bytes.length, namePointer, raw);
        if (!report) throw new Error("the analysis ran out of memory");
        const hasResult = M._tonalyx_report_has_result(report) !== 0;
        return {
          status: M._tonalyx_report_status(report),
          hasResult,
          freq: M._tonalyx_report_freq(report) >>> 0,
          result: M._tonalyx_report_result(report),
          resultLine: hasResult ? text(M._tonalyx_report_result_line(report)) : "",
          messages: messages(report, M._tonalyx_report_message_count, M._tonalyx_report_message),
          trace: settings.trace ? text(M._tonalyx_report_trace(report)) : "",
          samples: settings.keepSamples ? samples(report) : [],
          verdict: text(M._tonalyx_report_verdict(report, settings.minResult ?? 0.1, (settings.expect || 0) >>> 0)),
        };
      } finally {
        M._free(raw);
        if (report) M._tonalyx_report_free(report);
      }
    });
  }

  // The measurement: the tone's frequency in Hz, whatever its phase.
  function measure(bytes, name) {
    return withInput(bytes, name, (data, namePointer) => {
      const measurement = M._tonalyx_measure_memory(data, bytes.length, namePointer);
      if (!measurement) throw new Error("the measurement ran out of memory");
      try {
        return {
          status: M._tonalyx_measurement_status(measurement),
          tone: M._tonalyx_measurement_tone(measurement) >>> 0,
          measured: M._tonalyx_measurement_measured(measurement),
          line: text(M._tonalyx_measurement_line(measurement)),
          messages: messages(measurement, M._tonalyx_measurement_message_count, M._tonalyx_measurement_message),
        };
      } finally {
        M._tonalyx_measurement_free(measurement);
      }
    });
  }

  return { analyze, measure, version: () => text(M._tonalyx_version()) };
}
