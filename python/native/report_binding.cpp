// analyze() on a path or on bytes in memory, and its result.
#include <string>
#include <utility>
#include <vector>

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include "bindings.h"
#include "buffer_view.h"
#include "report_binding.h"
#include "text.h"

namespace py = pybind11;

namespace tonalyx::python {
namespace {

// The slots as a numpy array that owns them: the vector moves to the heap
// and a capsule, the array's base, deletes it with the array.
py::object arrayOwning(std::vector<double>&& slots)
{
    if (slots.empty())
        return py::array_t<double>(0);
    auto* owned = new std::vector<double>(std::move(slots));
    py::capsule owner(owned, [](void* vector) { delete static_cast<std::vector<double>*>(vector); });
    return py::array_t<double>(static_cast<py::ssize_t>(owned->size()), owned->data(), owner);
}

Settings settingsOf(std::uint32_t length, bool samples, bool trace)
{
    Settings settings;
    settings.length = length;
    settings.keepSamples = samples;
    settings.keepTrace = trace;
    return settings;
}

AnalysisResult analyzePath(const py::bytes& path, std::uint32_t length, bool samples, bool trace)
{
    std::string name = path;
    if (name.find('\0') != std::string::npos)
        throw py::value_error("embedded null byte");
    Report report;
    {
        py::gil_scoped_release unlocked;
        report = analyzeFile(name, settingsOf(length, samples, trace));
    }
    return resultOf(std::move(report), trace);
}

AnalysisResult analyzeBytes(const py::handle& data, const std::string& name, std::uint32_t length, bool samples,
                            bool trace)
{
    BufferView bytes(data);
    Report report;
    {
        py::gil_scoped_release unlocked;
        MemorySource source(bytes.data(), bytes.size());
        report = analyze(source, name, settingsOf(length, samples, trace));
    }
    return resultOf(std::move(report), trace);
}

py::list candidatesOf(const Report& report)
{
    py::list list;
    for (const CandidateResult& candidate : report.candidates)
        list.append(py::make_tuple(candidate.freq, candidate.result));
    return list;
}

}  // namespace

AnalysisResult resultOf(Report&& report, bool traceKept)
{
    AnalysisResult result{std::move(report), py::none(), traceKept};
    if (result.report.status == Status::ok && !result.report.samples.empty())
        result.samples = arrayOwning(std::move(result.report.samples));
    return result;
}

void bindReport(py::module_& module)
{
    using R = AnalysisResult;
    py::class_<R>(module, "Result", "What one run of the tool's default answer gives.")
        .def_property_readonly(
            "status", [](const R& r) { return statusOf(r.report.status); }, "Status.OK when the run reached its result.")
        .def_property_readonly(
            "freq", [](const R& r) { return r.report.bestFreq; }, "The best matching candidate (0 without a result).")
        .def_property_readonly(
            "result", [](const R& r) { return r.report.bestResult; }, "Its mean product with the scaled slots.")
        .def_property_readonly(
            "has_result", [](const R& r) { return r.report.hasResult; }, "True when the candidates were compared.")
        .def_property_readonly(
            "candidates", [](const R& r) { return candidatesOf(r.report); },
            "(freq, result) for 100, 120, ..., 1000; empty without a result.")
        .def_property_readonly(
            "messages", [](const R& r) { return messagesOf(r.report.messages); }, "The warnings and errors, in order.")
        .def_property_readonly(
            "samples", [](const R& r) { return r.samples; },
            "The scaled slots analysed as a numpy array (samples=True), else None.")
        .def_property_readonly(
            "trace", [](const R& r) { return r.traceKept ? py::object(textOf(r.report.trace)) : py::object(py::none()); },
            "What the console prints on standard output with -v, but the listing (trace=True), else None.")
        .def_property_readonly(
            "length", [](const R& r) { return r.report.slotsAnalysed; }, "The number of slots analysed.")
        .def_property_readonly(
            "elapsed_ms", [](const R& r) { return r.report.elapsedMs; }, "The run's time in milliseconds.")
        .def("__repr__", [](const R& r) { return resultLine(r.report); }, "The console's result line.");

    module.def("analyze_path", &analyzePath, py::arg("path"), py::arg("length"), py::arg("samples"),
               py::arg("trace"), "One run on the file at path (bytes, as the file system names it).");
    module.def("analyze_bytes", &analyzeBytes, py::arg("data"), py::arg("name"), py::arg("length"),
               py::arg("samples"), py::arg("trace"), "One run on a whole file in a buffer.");
}

}  // namespace tonalyx::python
