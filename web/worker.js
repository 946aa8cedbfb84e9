// The page's worker: the analysis module, and the measurements it holds
// for the verdicts. It runs in a worker because the measurement's read
// callback must return the file's bytes at once, and only a worker may
// read a file synchronously (FileReaderSync); the page stays responsive
// meanwhile. Each request gets one reply with its serial; a request that
// throws (an abort of the module among them) replies `failed`, and the
// page then starts a new worker, since the module's state is undefined.
"use strict";

let api = null;
const held = new Map();  // file id -> measurement handle

function release(id) {
  if (held.has(id)) api.freeMeasurement(held.get(id));
  held.delete(id);
}

function measured(id, file, name, abort) {
  release(id);
  const handle = api.measure(file, name, abort);
  held.set(id, handle);
  return handle;
}

const handlers = {
  names: ({ names }) => ({ shown: names.map(api.shownName) }),
  measure: ({ id, file, name, rules, abort }) => {
    const handle = measured(id, file, name, abort);
    return { measurement: api.measurementData(handle), verdict: api.verdict(handle, rules) };
  },
  verdict: ({ id, file, name, rules }) => {
    const handle = held.has(id) ? held.get(id) : measured(id, file, name, false);
    return { verdict: api.verdict(handle, rules) };
  },
  answer: ({ file, name, settings }) => ({ report: api.analyze(file, name, settings) }),
  forget: () => {
    for (const id of Array.from(held.keys())) release(id);
    return {};
  },
};

onmessage = (event) => {
  const request = event.data;
  let reply;
  try {
    reply = handlers[request.type](request);
  } catch (error) {
    reply = { failed: String((error && error.message) || error) };
  }
  postMessage({ serial: request.serial, ...reply });
};

createTonalyx().then((module) => {
  api = tonalyxApi(module);
  postMessage({ type: "ready", version: api.version(), defaults: api.defaults() });
}, (error) => postMessage({ type: "ready", failed: String(error) }));
