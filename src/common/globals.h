// Program-wide state of one run. Every stage reads and writes these plain
// variables; resetRunState() puts them back to their start values so that a
// run can be made more than once in one process.
#pragma once

#include <cstdint>

#include "wave/wave_records.h"

extern int gVerbose;     // 0, or 1 with -v: trace lines are printed
extern bool gGnuplot;    // -gnuplot: list the samples as index/value pairs
extern bool gValuelist;  // -valuelist: list a count and one value per line

extern WaveFormat gWaveFormat;  // the format chunk as read from the file

// Slots the data chunk declares. The sample buffer holds only the first
// gHeldSlots of them (no more can ever be stored, see the loader); the
// others are 0 by definition.
extern uint32_t gNoSamples;
extern double* gSamples;      // gHeldSlots doubles, or nullptr when not held
extern uint32_t gHeldSlots;
extern uint32_t gLoadedSlots; // largest slot index stored + 1, 0 if none
extern uint32_t gActLength;   // slots processed by the loader in this run

// The current candidate's reference: its step, from which the correlation
// produces every value it needs.
extern double gSineStep;
extern bool gSineHeld;        // set by makeSine, cleared by the sweep
// Set by the sweep while no trace prints every result: processDFT may then
// give up on a candidate that cannot reach the best result so far.
extern const struct CorrelationBound* gCorrelationBound;

// The loader's own counters, kept across its calls within one run.
extern uint32_t gFrameCount;  // chunk headers read, whatever their id
extern bool gInputEnded;      // a header read found the end of the input

extern uint32_t gValuelistCalls;  // samples listed as values so far

void resetRunState();
void releaseBuffers();
