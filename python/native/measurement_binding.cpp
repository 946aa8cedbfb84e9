// measure() on a path or on bytes in memory, and its result.
#include <string>
#include <utility>

#include <pybind11/pybind11.h>
#include <pybind11/stl.h>  // segments as a list

#include "bindings.h"
#include "buffer_view.h"
#include "text.h"

namespace py = pybind11;

namespace tonalyx::python {
namespace {

Measurement measurePath(const py::bytes& path)
{
    std::string name = path;
    if (name.find('\0') != std::string::npos)
        throw py::value_error("embedded null byte");
    py::gil_scoped_release unlocked;
    return measureFile(name);
}

Measurement measureBytes(const py::handle& data, const std::string& name)
{
    BufferView bytes(data);
    py::gil_scoped_release unlocked;
    MemorySource source(bytes.data(), bytes.size());
    return measure(source, name);
}

}  // namespace

void bindMeasurement(py::module_& module)
{
    using S = Segment;
    py::class_<S>(module, "Segment", "One stretch of steady tone in a recording.")
        .def_readonly("start", &S::start, "Where it starts, in seconds.")
        .def_readonly("end", &S::end, "Where it ends, in seconds.")
        .def_property_readonly(
            "tone", [](const S& s) { return s.hasTone ? py::object(py::int_(s.tone)) : py::object(py::none()); },
            "The candidate within reach of its frequency, or None.")
        .def_readonly("measured", &S::measured, "Its frequency in Hz, rounded to 0.01.")
        .def_readonly("purity", &S::purity, "0 to 1: how much of the sound in it the tone is.")
        .def_readonly("level", &S::level, "Its level in dBFS.")
        .def("__repr__", [](const S& s) { return segmentLine(s); }, "The segment's line.");

    using M = Measurement;
    py::class_<M>(module, "Measurement", "The tone in a recording, in Hz, whatever its phase, lead-in or format.")
        .def_property_readonly(
            "status", [](const M& m) { return statusOf(m.status); }, "Status.OK when the recording was read.")
        .def_property_readonly(
            "tone", [](const M& m) { return m.hasTone ? py::object(py::int_(m.tone)) : py::object(py::none()); },
            "The candidate within reach of the measured frequency, or None for no tone.")
        .def_readonly("measured", &M::measured, "The frequency in Hz, rounded to 0.01.")
        .def_readonly("purity", &M::purity, "0 to 1: how much of the sound the tone is.")
        .def_readonly("level", &M::level, "The tone's level in dBFS.")
        .def_readonly("start", &M::start, "Where the tone starts, in seconds.")
        .def_readonly("end", &M::end, "Where it ends, in seconds.")
        .def_readonly("channel", &M::channel, "The channel measured, from 1; 0 for the channels mixed.")
        .def_readonly("thd", &M::thd, "Total harmonic distortion, in percent.")
        .def_readonly("snr", &M::snr, "The tone against the noise in its own band, in dB.")
        .def_readonly("drift", &M::drift, "The spread of the frequency over the tone, in Hz.")
        .def_readonly("bursts", &M::bursts, "The stretches of tone: 1 for a continuous tone.")
        .def_property_readonly(
            "reason",
            [](const M& m) { return m.hasTone ? py::object(py::none()) : py::object(py::str(reasonName(m.reason))); },
            "Why there is no tone ('short', 'impure', 'off-band', 'several', 'silent', 'hum'); None with one.")
        .def_property_readonly(
            "cut", [](const M& m) { return m.cut > 0.0 ? py::object(py::float_(m.cut)) : py::object(py::none()); },
            "The seconds measured when the recording was cut short; None when whole.")
        .def_readonly("segments", &M::segments, "Every stretch of steady tone, in time order.")
        .def_property_readonly(
            "messages", [](const M& m) { return messagesOf(m.messages); }, "Errors and notes, in order.")
        .def("__repr__", [](const M& m) { return measurementLine(m); }, "The measurement's line.");

    module.def("measure_path", &measurePath, py::arg("path"), "Measures the file at path (bytes).");
    module.def("measure_bytes", &measureBytes, py::arg("data"), py::arg("name"), "Measures a whole file in a buffer.");
}

}  // namespace tonalyx::python
