// Test helpers: a temporary file that holds WAVE bytes open, capture of
// what a call prints, and a run's state to call the stages one by one.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "run/run_state.h"
#include "api/api.h"
#include "wave_writer.h"

using namespace tonalyx::detail;  // the library's internals under test

// The WAVE files themselves come from the project's one writer.
using namespace wavegen;

// A file in a temporary folder, open read-only for the test's lifetime.
class TempWave {
public:
    explicit TempWave(const Bytes& bytes);
    ~TempWave();
    TempWave(const TempWave&) = delete;
    TempWave& operator=(const TempWave&) = delete;
    int fd() const { return fd_; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
    int fd_ = -1;
};

struct Printed {
    std::string out;
    std::string err;
};

// Runs `call` and returns what it printed on standard output and error.
Printed capture(const std::function<void()>& call);

// The text a run hands to its sink, kept apart by stream as the console
// prints it.
class CaptureSink final : public tonalyx::OutputSink {
public:
    void write(tonalyx::OutputKind, std::string_view text) override { printed.out.append(text); }
    void message(const tonalyx::Message& message) override
    {
        (tonalyx::consoleStream(message.code) == tonalyx::Stream::err ? printed.err : printed.out)
            .append(message.text);
    }
    Printed printed;
};

// The state of one run over bytes in memory (traced unless asked not to),
// for calling the stages one by one.
class TestRun {
public:
    explicit TestRun(Bytes bytes = {}, bool verbose = true)
        : bytes_(std::move(bytes)), source_(bytes_.data(), bytes_.size()), out_(report_, &sink_, verbose, false),
          run(source_, out_)
    {
    }
    TestRun(const TestRun&) = delete;
    TestRun& operator=(const TestRun&) = delete;

    // What the run printed so far; taking it starts afresh.
    Printed take()
    {
        Printed printed = sink_.printed;
        sink_.printed = {};
        return printed;
    }
    // Slots held, as the sweep and normalisation see them.
    void hold(const std::vector<double>& slots, uint32_t declared)
    {
        run.noSamples = declared;
        run.samples = slots;
        run.samplesHeld = true;
        run.heldSlots = static_cast<uint32_t>(slots.size());
    }

private:
    Bytes bytes_;
    tonalyx::MemorySource source_;
    tonalyx::Report report_;
    CaptureSink sink_;
    RunOutput out_;

public:
    RunState run;
};
