// The batch run as a Python iterator of rows, in the order of the names.
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include "batch_row.h"
#include "bindings.h"
#include "report_binding.h"
#include "text.h"

namespace py = pybind11;

namespace tonalyx::python {
namespace {

class Batch {
public:
    Batch(std::vector<std::string> paths, const BatchOptions& options) : hz_(options.rules.hz)
    {
        for (const std::string& path : paths)
            if (path.find('\0') != std::string::npos)
                throw py::value_error("embedded null byte");
        py::gil_scoped_release unlocked;
        run_ = std::make_unique<BatchRun>(std::move(paths), options);
    }

    Row next()
    {
        Row row{{}, hz_};
        bool more = false;
        if (run_) {
            py::gil_scoped_release unlocked;
            more = run_->next(row.row);
        }
        if (!more)
            throw py::stop_iteration();
        return row;
    }

    py::list pathErrors() const
    {
        py::list list;
        if (run_)
            for (const BatchPathError& error : run_->pathErrors())
                list.append(pathErrorOf(error));
        return list;
    }

    // Stops the workers and waits for them, without holding up other threads.
    void close()
    {
        std::unique_ptr<BatchRun> ending = std::move(run_);
        py::gil_scoped_release unlocked;
        ending.reset();
    }

private:
    std::unique_ptr<BatchRun> run_;
    bool hz_;
};

// What the Python call passes; checked there.
struct BatchArguments {
    unsigned jobs = 0;
    std::uint32_t length = kDefaultLength;
    std::uint32_t expect = 0;
    bool expectNone = false;
    double minResult = kDefaultMinResult;
    double minPurity = kMinPurity;
    std::optional<double> minLevel;
    double tolerance = kCandidateReachHz;
    bool hz = false;
    std::optional<std::string> expectFrom;  // the manifest's path
};

BatchOptions optionsOf(const BatchArguments& arguments)
{
    BatchOptions options;
    options.jobs = arguments.jobs;
    options.settings.length = arguments.length;
    VerdictRules& rules = options.rules;
    rules.expect = arguments.expect;
    rules.expectNone = arguments.expectNone;
    rules.minResult = arguments.minResult;
    rules.minPurity = arguments.minPurity;
    rules.minLevel = arguments.minLevel;
    rules.tolerance = arguments.tolerance;
    rules.hz = arguments.hz;
    if (arguments.expectFrom) {
        ManifestReading reading = readManifest(*arguments.expectFrom);
        if (!reading.error.empty()) {
            const std::string text = escapeControls(*arguments.expectFrom) + ": " + reading.error;
            if (!reading.cannotRead)
                throw py::value_error(text);
            PyErr_SetString(PyExc_OSError, text.c_str());
            throw py::error_already_set();
        }
        options.manifest = std::move(reading.manifest);
    }
    return options;
}

// The reason as the measurement line gives it, "" with a tone.
std::string reasonOf(const Measurement& measurement)
{
    const std::string line = measurementLine(measurement);
    const std::size_t at = line.find(" reason=");
    if (at == std::string::npos)
        return {};
    const std::size_t from = at + 8;
    return line.substr(from, line.find(' ', from) - from);
}

std::vector<std::string> namesOf(const py::list& paths)
{
    std::vector<std::string> names;
    for (const py::handle& path : paths)
        names.push_back(path.cast<py::bytes>());
    return names;
}

py::object noneUnless(bool present, py::object value)
{
    return present ? std::move(value) : py::none();
}

// A property of the measurement, None without hz or when not read.
template <typename Value>
auto measured(Value Measurement::*field)
{
    return [field](const Row& r) {
        const Measurement& m = r.row.measurement;
        return noneUnless(r.hz && m.status == Status::ok, py::cast(m.*field));
    };
}

}  // namespace

void bindBatch(py::module_& module)
{
    py::class_<Row>(module, "BatchRow", "One file of a batch run: its line of the table.")
        .def_property_readonly(
            "file", [](const Row& r) { return fileNameOf(r.row.file); }, "The path, as found.")
        .def_property_readonly(
            "status", [](const Row& r) { return statusOf(r.row.status); }, "The run's status.")
        .def_property_readonly(
            "freq",
            [](const Row& r) { return noneUnless(!r.hz && r.row.report.hasResult, py::int_(r.row.report.bestFreq)); },
            "The best matching candidate; None with hz or without a result.")
        .def_property_readonly(
            "result",
            [](const Row& r) {
                return noneUnless(!r.hz && r.row.report.hasResult, py::float_(r.row.report.bestResult));
            },
            "Its result; None with hz or without a result.")
        .def_property_readonly(
            "tone",
            [](const Row& r) {
                const Measurement& m = r.row.measurement;
                return noneUnless(r.hz && m.hasTone, py::int_(m.tone));
            },
            "With hz: the candidate measured, None for no tone.")
        .def_property_readonly(
            "measured",
            [](const Row& r) {
                const Measurement& m = r.row.measurement;
                return noneUnless(r.hz && m.status == Status::ok, py::float_(m.measured));
            },
            "With hz: the frequency in Hz.")
        .def_property_readonly(
            "purity",
            [](const Row& r) {
                const Measurement& m = r.row.measurement;
                return noneUnless(r.hz && m.status == Status::ok, py::float_(m.purity));
            },
            "With hz: the tone's purity.")
        .def_property_readonly("level", measured(&Measurement::level), "With hz: the tone's level in dBFS.")
        .def_property_readonly("start", measured(&Measurement::start), "With hz: where the tone starts, in seconds.")
        .def_property_readonly("end", measured(&Measurement::end), "With hz: where it ends, in seconds.")
        .def_property_readonly("channel", measured(&Measurement::channel), "With hz: the channel, 0 for mixed.")
        .def_property_readonly("thd", measured(&Measurement::thd), "With hz: total harmonic distortion in percent.")
        .def_property_readonly("snr", measured(&Measurement::snr), "With hz: the tone against its noise, in dB.")
        .def_property_readonly("drift", measured(&Measurement::drift), "With hz: the frequency's spread in Hz.")
        .def_property_readonly("bursts", measured(&Measurement::bursts), "With hz: the stretches of tone.")
        .def_property_readonly(
            "reason",
            [](const Row& r) {
                const Measurement& m = r.row.measurement;
                return noneUnless(r.hz && m.status == Status::ok && !m.hasTone, py::str(reasonOf(m)));
            },
            "With hz: why there is no tone ('impure', 'silent', ...), None with one.")
        .def_property_readonly(
            "verdict", [](const Row& r) { return verdictName(r.row.verdict); },
            "'ok', 'weak', 'wrong', 'error', or with expect_from 'missing', 'unlisted'.")
        .def_property_readonly(
            "messages", [](const Row& r) { return messagesOf(r.row.messages); }, "The file's warnings and errors.")
        .def_property_readonly(
            "report", [](const Row& r) { return noneUnless(!r.hz, py::cast(resultOf(Report(r.row.report), false))); },
            "The whole Result (without hz), else None.")
        .def_property_readonly(
            "measurement", [](const Row& r) { return noneUnless(r.hz, py::cast(r.row.measurement)); },
            "The whole Measurement (with hz), else None.")
        .def("__repr__", [](const Row& r) {
            return py::str("BatchRow(file={!r}, status={}, verdict={!r})")
                .format(fileNameOf(r.row.file), static_cast<int>(r.row.status), verdictName(r.row.verdict));
        });

    py::class_<Batch>(module, "BatchRun", "The runs of many files on worker threads.")
        .def(py::init([](const py::list& paths, unsigned jobs, std::uint32_t length, std::uint32_t expect,
                         bool expectNone, double minResult, double minPurity, std::optional<double> minLevel,
                         double tolerance, bool hz, std::optional<py::bytes> expectFrom) {
                 BatchArguments arguments{jobs,      length,    expect, expectNone, minResult,
                                          minPurity, minLevel,  tolerance, hz,     std::nullopt};
                 if (expectFrom)
                     arguments.expectFrom = std::string(*expectFrom);
                 return std::make_unique<Batch>(namesOf(paths), optionsOf(arguments));
             }),
             py::arg("paths"), py::arg("jobs"), py::arg("length"), py::arg("expect"), py::arg("expect_none"),
             py::arg("min_result"), py::arg("min_purity"), py::arg("min_level"), py::arg("tolerance"), py::arg("hz"),
             py::arg("expect_from"))
        .def("__iter__", [](py::object self) { return self; })
        .def("__next__", &Batch::next)
        .def("path_errors", &Batch::pathErrors,
             "Paths that could not be searched, in the order found: (message, path, missing).")
        .def("close", &Batch::close, "Stops the workers after the files they are on.");
}

}  // namespace tonalyx::python
