// Tonalyx for C++: a header-only layer over the C interface (tonalyx.h).
// Classes own the C handles and free them; strings and vectors are built
// here, in the caller's program, so no C++ type crosses the library's
// boundary and a shared libtonalyx works with any C++ standard library.
//
//     const tonalyx::Report report = tonalyx::analyzeFile("golden.wav");
//     if (report.status() == tonalyx::Status::ok)
//         std::puts(report.resultLine().c_str());  // bestResult=0.497611 best matching freq.=440
//     const tonalyx::Measurement m = tonalyx::measureFile("dut.wav");
//     std::puts(m.line().c_str());                  // tone=440 measured=440.00 purity=1.000 ...
//
// Compatibility: this header follows the C interface's policy (see
// tonalyx.h); being compiled into the caller, it may change with the
// C++ source kept working, never with a rebuilt program breaking. A
// constructor of the C interface returns NULL only when memory runs out;
// here that throws std::bad_alloc, and nothing else throws.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tonalyx/tonalyx.h"

namespace tonalyx {
// An inline namespace of its own: inside the project the same names belong
// to the library's internal C++ interface, and the two must never meet
// when a program links the static library.
inline namespace client {

enum class Status : int {
    ok = TONALYX_OK,
    cannotOpen = TONALYX_CANNOT_OPEN,
    readError = TONALYX_READ_ERROR,
    noData = TONALYX_NO_DATA,
    noReport = TONALYX_NO_REPORT,
};

// "ok", "cannot-open", "read-error", "no-data", "no-report".
inline const char* statusName(Status status)
{
    return tonalyx_status_name(static_cast<int>(status));
}

inline const char* version()
{
    return tonalyx_version();
}

// 100, 120, ..., 1000, in the order they are compared.
inline std::vector<std::uint32_t> candidates()
{
    std::vector<std::uint32_t> list(tonalyx_candidate_count());
    for (std::size_t i = 0; i < list.size(); ++i)
        list[i] = tonalyx_candidate_at(i);
    return list;
}

// Control characters (C1 included) as \xHH, as the tools print names.
inline std::string escapeControls(std::string_view text)
{
    const std::size_t size = tonalyx_escape_controls(text.data(), text.size(), nullptr, 0);
    if (size == SIZE_MAX)
        throw std::bad_alloc();
    std::string out(size + 1, '\0');
    tonalyx_escape_controls(text.data(), text.size(), out.data(), out.size());
    out.resize(size);
    return out;
}

struct Message {
    int code = 0;          // TONALYX_MSG_...
    std::string text;      // as the console prints it, line end included
    bool toStderr = false; // where the console prints it
    std::uint32_t number = 0;
    std::string detail;
};

namespace handles {
template <class Handle, void (*Free)(Handle*)>
struct Freer {
    void operator()(Handle* handle) const { Free(handle); }
};
template <class Handle, void (*Free)(Handle*)>
using Owned = std::unique_ptr<Handle, Freer<Handle, Free>>;

template <class Handle>
Handle* checked(Handle* handle)
{
    if (!handle)
        throw std::bad_alloc();
    return handle;
}

inline std::string text(const char* chars)
{
    return chars ? std::string(chars) : std::string();
}

inline std::vector<double> values(const double* first, std::size_t count)
{
    return first ? std::vector<double>(first, first + count) : std::vector<double>();
}

// The messages of a report or a measurement, by its C getters.
template <class Handle>
std::vector<Message> messages(const Handle* handle, std::size_t (*count)(const Handle*),
                              const char* (*text)(const Handle*, std::size_t, int*),
                              int (*code)(const Handle*, std::size_t),
                              std::uint32_t (*number)(const Handle*, std::size_t),
                              const char* (*detail)(const Handle*, std::size_t))
{
    std::vector<Message> list(count(handle));
    for (std::size_t i = 0; i < list.size(); ++i) {
        int stream = TONALYX_STDOUT;
        list[i].text = handles::text(text(handle, i, &stream));
        list[i].toStderr = stream == TONALYX_STDERR;
        list[i].code = code(handle, i);
        list[i].number = number(handle, i);
        list[i].detail = handles::text(detail(handle, i));
    }
    return list;
}
}  // namespace handles

// The settings of a run; the defaults until set.
class Settings {
public:
    Settings() : handle_(handles::checked(tonalyx_settings_new())) {}
    // Sample slots to analyse, 1 to 4096; others give 4096 and a warning.
    Settings& length(std::uint32_t slots)
    {
        tonalyx_settings_set_length(handle_.get(), slots);
        return *this;
    }
    // Keep the console's transcript (Report::trace).
    Settings& trace(bool on)
    {
        tonalyx_settings_set_trace(handle_.get(), on);
        return *this;
    }
    Settings& keepSamples(bool on)
    {
        tonalyx_settings_set_keep_samples(handle_.get(), on);
        return *this;
    }
    // The measurement keeps the data of its plots.
    Settings& pictures(bool on)
    {
        tonalyx_settings_set_pictures(handle_.get(), on);
        return *this;
    }
    const tonalyx_settings* get() const { return handle_.get(); }

private:
    handles::Owned<tonalyx_settings, tonalyx_settings_free> handle_;
};

struct CandidateResult {
    std::uint32_t freq = 0;
    double result = 0.0;
};

// The default answer of one run.
class Report {
public:
    // Takes `handle` over; NULL (out of memory) throws std::bad_alloc.
    explicit Report(tonalyx_report* handle) : handle_(handles::checked(handle)) {}

    Status status() const { return static_cast<Status>(tonalyx_report_status(get())); }
    bool hasResult() const { return tonalyx_report_has_result(get()) != 0; }
    std::uint32_t freq() const { return tonalyx_report_freq(get()); }
    double result() const { return tonalyx_report_result(get()); }
    std::string resultLine() const { return handles::text(tonalyx_report_result_line(get())); }
    std::uint32_t length() const { return tonalyx_report_length(get()); }
    std::string trace() const { return handles::text(tonalyx_report_trace(get())); }
    std::vector<double> samples() const
    {
        std::size_t count = 0;
        const double* first = tonalyx_report_samples(get(), &count);
        return handles::values(first, count);
    }
    std::vector<CandidateResult> candidates() const
    {
        std::vector<CandidateResult> list(tonalyx_report_candidate_count(get()));
        for (std::size_t i = 0; i < list.size(); ++i)
            tonalyx_report_candidate(get(), i, &list[i].freq, &list[i].result);
        return list;
    }
    std::vector<Message> messages() const
    {
        return handles::messages(get(), tonalyx_report_message_count, tonalyx_report_message,
                                 tonalyx_report_message_code, tonalyx_report_message_number,
                                 tonalyx_report_message_detail);
    }
    // "ok", "weak", "wrong" or "error", as tonalyx-batch judges.
    std::string verdict(double minResult = TONALYX_DEFAULT_MIN_RESULT, std::uint32_t expect = 0) const
    {
        return handles::text(tonalyx_report_verdict(get(), minResult, expect));
    }
    const tonalyx_report* get() const { return handle_.get(); }

private:
    handles::Owned<tonalyx_report, tonalyx_report_free> handle_;
};

inline Report analyzeFile(const std::string& path, const Settings& settings = Settings())
{
    return Report(tonalyx_analyze_file(path.c_str(), settings.get()));
}

// A whole file in memory; `name` is what messages call it.
inline Report analyzeMemory(const void* data, std::size_t size, const std::string& name,
                            const Settings& settings = Settings())
{
    return Report(tonalyx_analyze_memory(data, size, name.c_str(), settings.get()));
}

inline Report analyze(const tonalyx_io& io, const std::string& name, const Settings& settings = Settings())
{
    return Report(tonalyx_analyze_io(&io, name.c_str(), settings.get()));
}

struct Segment {
    double start = 0.0, end = 0.0, measured = 0.0, purity = 0.0, level = 0.0;
    std::uint32_t tone = 0;  // 0 for none
    std::string line;        // as -segments prints it
};

// The measurement of one recording.
class Measurement {
public:
    // Takes `handle` over; NULL (out of memory) throws std::bad_alloc.
    explicit Measurement(tonalyx_measurement* handle) : handle_(handles::checked(handle)) {}

    Status status() const { return static_cast<Status>(tonalyx_measurement_status(get())); }
    std::uint32_t tone() const { return tonalyx_measurement_tone(get()); }  // 0: none
    double measured() const { return tonalyx_measurement_measured(get()); }
    double purity() const { return tonalyx_measurement_purity(get()); }
    double level() const { return tonalyx_measurement_level(get()); }
    double start() const { return tonalyx_measurement_start(get()); }
    double end() const { return tonalyx_measurement_end(get()); }
    std::uint32_t channel() const { return tonalyx_measurement_channel(get()); }
    double thd() const { return tonalyx_measurement_thd(get()); }
    double snr() const { return tonalyx_measurement_snr(get()); }
    double drift() const { return tonalyx_measurement_drift(get()); }
    std::uint32_t bursts() const { return tonalyx_measurement_bursts(get()); }
    std::string reason() const { return handles::text(tonalyx_measurement_reason(get())); }
    double cut() const { return tonalyx_measurement_cut(get()); }
    std::string line() const { return handles::text(tonalyx_measurement_line(get())); }
    std::vector<Segment> segments() const
    {
        std::vector<Segment> list(tonalyx_measurement_segment_count(get()));
        for (std::size_t i = 0; i < list.size(); ++i) {
            Segment& s = list[i];
            tonalyx_measurement_segment(get(), i, &s.start, &s.end, &s.tone, &s.measured, &s.purity, &s.level);
            s.line = handles::text(tonalyx_measurement_segment_line(get(), i));
        }
        return list;
    }
    std::vector<Message> messages() const
    {
        return handles::messages(get(), tonalyx_measurement_message_count, tonalyx_measurement_message,
                                 tonalyx_measurement_message_code, tonalyx_measurement_message_number,
                                 tonalyx_measurement_message_detail);
    }
    // As tonalyx-batch --hz judges; expect: 0 any candidate, -1 no tone.
    std::string verdict(double minPurity, double minLevel, double tolerance, std::int32_t expect) const
    {
        return handles::text(tonalyx_measurement_verdict(get(), minPurity, minLevel, tolerance, expect));
    }
    const tonalyx_measurement* get() const { return handle_.get(); }

private:
    handles::Owned<tonalyx_measurement, tonalyx_measurement_free> handle_;
};

// With pictures, the measurement keeps the data of its plots (the C calls
// tonalyx_measurement_spectrum, ... on get()).
inline Measurement measureFile(const std::string& path, bool pictures = false)
{
    return Measurement(tonalyx_measure_file_with(path.c_str(), pictures ? TONALYX_MEASURE_PICTURES : 0));
}

inline Measurement measureMemory(const void* data, std::size_t size, const std::string& name, bool pictures = false)
{
    return Measurement(
        tonalyx_measure_memory_with(data, size, name.c_str(), pictures ? TONALYX_MEASURE_PICTURES : 0));
}

inline Measurement measure(const tonalyx_io& io, const std::string& name, const Settings& settings = Settings())
{
    return Measurement(tonalyx_measure_io(&io, name.c_str(), settings.get()));
}

}  // namespace client
}  // namespace tonalyx
