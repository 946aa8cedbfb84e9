// The measurement's pictures, drawn as SVG from the library's data: the
// spectrum of the tone's stretch with the tone, its harmonics, the hum and
// the candidate grid marked, and the envelope with the tone's extent and
// bursts shaded. Drawn only; no number here is ever printed but the axis
// labels.
"use strict";

const SVG = "http://www.w3.org/2000/svg";
const PICTURE = { width: 720, height: 200, left: 44, right: 10, top: 18, bottom: 26 };
const CANDIDATES = Array.from({ length: 46 }, (_, i) => 100 + 20 * i);

function svgNode(tag, attributes, text) {
  const node = document.createElementNS(SVG, tag);
  for (const [name, value] of Object.entries(attributes || {})) node.setAttribute(name, String(value));
  if (text !== undefined) node.textContent = text;
  return node;
}

function pictureFrame(label, points) {
  const svg = svgNode("svg", {
    viewBox: `0 0 ${PICTURE.width} ${PICTURE.height}`, role: "img", "aria-label": label, "data-points": points,
  });
  svg.append(svgNode("title", null, label));
  return svg;
}

// A low frame saying so, where the library gave nothing to draw.
function noData(svg) {
  svg.setAttribute("viewBox", `0 0 ${PICTURE.width} 40`);
  svg.append(svgNode("text", { x: PICTURE.width / 2, y: 25, class: "no-data", "text-anchor": "middle" }, "no data"));
  return svg;
}

// Maps x and y ranges onto the plot area.
function scales(xMax, yMin, yMax) {
  const w = PICTURE.width - PICTURE.left - PICTURE.right, h = PICTURE.height - PICTURE.top - PICTURE.bottom;
  return {
    x: (v) => PICTURE.left + (w * v) / xMax,
    y: (v) => PICTURE.top + (h * (yMax - Math.max(yMin, Math.min(yMax, v)))) / (yMax - yMin),
  };
}

// The dB range of the values: from the top (rounded up to 10 dB) 100 dB
// down, or to the lowest value when that is higher.
function dbRange(values) {
  let top = -Infinity, bottom = Infinity;
  for (const v of values) {
    if (Number.isFinite(v)) {
      top = Math.max(top, v);
      bottom = Math.min(bottom, v);
    }
  }
  top = Math.ceil(top / 10) * 10;
  bottom = Math.max(top - 100, Math.floor(bottom / 10) * 10);
  return bottom < top ? [bottom, top] : [top - 10, top];
}

// Axes: ticks on x every `xStep` (labelled with `unit`) and on y every 20 dB.
function axes(svg, s, xMax, xStep, unit, yMin, yMax) {
  const group = svgNode("g", { class: "axes" });
  for (let v = 0; v <= xMax + 1e-9; v += xStep) {
    group.append(svgNode("line", { x1: s.x(v), x2: s.x(v), y1: s.y(yMax), y2: s.y(yMin) + 4, class: "grid" }));
    const last = v + xStep > xMax + 1e-9;
    group.append(svgNode("text", { x: s.x(v), y: PICTURE.height - 8, "text-anchor": last ? "end" : "middle" },
      String(Math.round(v * 1000) / 1000)));
  }
  for (let v = Math.ceil(yMin / 20) * 20; v <= yMax; v += 20) {
    group.append(svgNode("line", { x1: PICTURE.left - 4, x2: PICTURE.width - PICTURE.right, y1: s.y(v), y2: s.y(v), class: "grid" }));
    group.append(svgNode("text", { x: PICTURE.left - 6, y: s.y(v) + 4, "text-anchor": "end" }, String(v)));
  }
  group.append(svgNode("text", { x: PICTURE.width - PICTURE.right, y: PICTURE.top - 6, "text-anchor": "end" }, unit + ", dB"));
  svg.append(group);
}

// A curve through (x, value) for each value, thinned to the highest value
// per pixel column so that large spectra stay small.
function curve(svg, s, values, xOf, xMax, className) {
  const columns = new Map();
  for (let i = 0; i < values.length; ++i) {
    if (!Number.isFinite(values[i]) || xOf(i) > xMax) continue;
    const column = Math.round(s.x(xOf(i)));
    if (!columns.has(column) || columns.get(column) < values[i]) columns.set(column, values[i]);
  }
  const path = Array.from(columns, ([x, v], i) => (i ? "L" : "M") + x + " " + s.y(v).toFixed(1)).join("");
  if (path) svg.append(svgNode("path", { d: path, class: className }));
}

function markAt(svg, s, hz, yMin, yMax, className, label) {
  svg.append(svgNode("line", { x1: s.x(hz), x2: s.x(hz), y1: s.y(yMax), y2: s.y(yMin), class: className, "data-hz": hz }));
  if (label) svg.append(svgNode("text", { x: s.x(hz) + 3, y: s.y(yMax) + 10, class: className }, label));
}

// pictures: the library's; tone: the candidate (0 for none); measured: Hz.
function drawSpectrum(pictures, tone, measured) {
  const values = pictures.spectrumDb, bin = pictures.spectrumBinHz;
  const label = values.length
    ? "Spectrum of the tone's stretch: level in dB against Hz" + (tone ? ", the tone at " + measured + " Hz" : "")
    : "Spectrum: no data";
  const svg = pictureFrame(label, values.length);
  svg.classList.add("spectrum");
  if (!values.length || !(bin > 0)) return noData(svg);

  // Up to past the candidates and the marks, within what was analysed.
  const top = bin * (values.length - 1);
  const marked = [...pictures.harmonicsHz, ...pictures.humHz].filter((hz) => hz <= top);
  const xMax = Math.min(top, Math.ceil((Math.max(1000, ...marked) * 1.05) / 100) * 100);
  const [yMin, yMax] = dbRange(values);
  const s = scales(xMax, yMin, yMax);
  axes(svg, s, xMax, xMax > 2500 ? 500 : 100, "Hz", yMin, yMax);
  const grid = svgNode("g", { class: "candidates" });
  for (const hz of CANDIDATES) {
    if (hz <= xMax)
      grid.append(svgNode("line", { x1: s.x(hz), x2: s.x(hz), y1: PICTURE.top - 4, y2: PICTURE.top + 2, class: "mark-candidate" }));
  }
  svg.append(grid);
  pictures.humHz.forEach((hz, i) => markAt(svg, s, hz, yMin, yMax, "mark-hum", i ? "" : "hum"));
  pictures.harmonicsHz.slice(1).forEach((hz, i) => markAt(svg, s, hz, yMin, yMax, "mark-harmonic", "H" + (i + 2)));
  if (tone) markAt(svg, s, measured, yMin, yMax, "mark-tone", String(tone));
  curve(svg, s, values, (i) => i * bin, xMax, "trace");
  return svg;
}

// start, end: the tone's extent in seconds (end 0: no tone).
function drawEnvelope(pictures, start, end) {
  const values = pictures.envelopeDb, block = pictures.envelopeSeconds;
  const label = values.length ? "Envelope: level in dBFS against seconds, the tone's extent shaded" : "Envelope: no data";
  const svg = pictureFrame(label, values.length);
  svg.classList.add("envelope");
  if (!values.length || !(block > 0)) return noData(svg);

  const xMax = block * values.length;
  const [yMin, yMax] = dbRange(values);
  const s = scales(xMax, yMin, yMax);
  const niceSteps = [0.01, 0.02, 0.05, 0.1, 0.2, 0.5, 1, 2, 5, 10, 20, 30, 60, 120, 300, 600];
  axes(svg, s, xMax, niceSteps.find((step) => xMax / step <= 12) || 1200, "s", yMin, yMax);
  const shade = (from, to, className) =>
    svg.append(svgNode("rect", { x: s.x(from), width: Math.max(1, s.x(to) - s.x(from)), y: s.y(yMax),
      height: s.y(yMin) - s.y(yMax), class: className }));
  if (end > start) shade(start, end, "shade-extent");
  for (const [from, to] of pictures.bursts) shade(from, to, "shade-burst");
  curve(svg, s, values, (i) => (i + 0.5) * block, xMax, "trace");
  return svg;
}
