// The state of one run. Every stage reads and writes the fields of the run
// it is given; nothing is shared between runs, so runs may go on at once on
// many threads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "run/run_output.h"
#include "api/api.h"
#include "run/wave_records.h"

namespace tonalyx::detail {

struct CorrelationBound;

struct RunState {
    RunState(tonalyx::ByteSource& input, RunOutput& output) : source(input), out(output) {}

    tonalyx::ByteSource& source;
    RunOutput& out;

    WaveFormat waveFormat = {};  // the format chunk as read from the file

    // Slots the data chunk declares. The sample buffer holds only the first
    // heldSlots of them (no more can ever be stored, see the loader); the
    // others are 0 by definition.
    uint32_t noSamples = 0;
    std::vector<double> samples;  // heldSlots doubles
    bool samplesHeld = false;
    uint32_t heldSlots = 0;
    uint32_t loadedSlots = 0;  // largest slot index stored + 1, 0 if none
    uint32_t actLength = 0;    // slots processed by the loader in this run

    // The current candidate's reference: its step, from which the
    // correlation produces every value it needs.
    double sineStep = 0.0;
    bool sineHeld = false;  // set by makeSine, cleared by the sweep
    // Set by the sweep when only the best result is wanted: processDFT may
    // then give up on a candidate that cannot reach the best result so far.
    const CorrelationBound* correlationBound = nullptr;

    // The loader's own counters, kept across its calls within one run.
    uint32_t frameCount = 0;  // chunk headers read, whatever their id
    bool inputEnded = false;  // a header read found the end of the input

    // A read that failed (not the end of the input): the run stops.
    bool readFailed = false;
    std::string readError;  // the system's words for it

    // The sweep's outcome, every candidate's result when they are kept.
    std::vector<tonalyx::CandidateResult>* candidates = nullptr;
    uint32_t bestFreq = 0;
    double bestResult = 0.0;

    bool verbose() const { return out.tracing(); }
};

}  // namespace tonalyx::detail
