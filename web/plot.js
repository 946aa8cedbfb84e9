// The plot of one file: the scaled slots that were analysed and the
// winning candidate's reference over them. Drawn only; no number here is
// ever printed, so Math.sin serves.
"use strict";

// The number of slots in the data chunk, as the reader counts them: the
// declared data length (offset 40) over the bytes per sample (bits at
// offset 34, whole bytes). 0 when the header does not give it.
function dataChunkSlots(bytes) {
  if (bytes.length < 44) return 0;
  const bits = bytes[34] | (bytes[35] << 8);
  const length = (bytes[40] | (bytes[41] << 8) | (bytes[42] << 16) | (bytes[43] << 24)) >>> 0;
  const bytesPerSlot = Math.floor(bits / 8);
  return bytesPerSlot ? Math.floor(length / bytesPerSlot) : 0;
}

// A candidate's reference at a slot: freq periods across all slots.
function referenceAt(slot, freq, slots) {
  return Math.sin((2 * Math.PI * freq * slot) / slots);
}

function drawPlot(canvas, samples, freq, slots) {
  const context = canvas.getContext("2d");
  const width = canvas.width, height = canvas.height, margin = 8;
  const style = getComputedStyle(document.documentElement);
  context.clearRect(0, 0, width, height);
  context.fillStyle = "#fff";
  context.fillRect(0, 0, width, height);

  const x = (slot) => margin + ((width - 2 * margin) * slot) / Math.max(samples.length - 1, 1);
  const y = (value) => height / 2 - ((height / 2 - margin) * value);
  context.strokeStyle = style.getPropertyValue("--line").trim() || "#ccc";
  context.lineWidth = 1;
  context.beginPath();
  for (const level of [-1, 0, 1]) {
    context.moveTo(margin, y(level));
    context.lineTo(width - margin, y(level));
  }
  context.stroke();

  function curve(color, valueAt, dashed) {
    context.strokeStyle = color;
    context.lineWidth = 1.5;
    context.setLineDash(dashed ? [6, 4] : []);
    context.beginPath();
    for (let slot = 0; slot < samples.length; ++slot) {
      const value = Math.max(-1, Math.min(1, valueAt(slot)));
      if (slot === 0) context.moveTo(x(slot), y(value));
      else context.lineTo(x(slot), y(value));
    }
    context.stroke();
    context.setLineDash([]);
  }
  curve(style.getPropertyValue("--slots").trim() || "blue", (slot) => samples[slot], false);
  if (freq > 0 && slots > 0)
    curve(style.getPropertyValue("--reference").trim() || "red", (slot) => referenceAt(slot, freq, slots), true);
}
