// Pickling and equality for the module's result objects. Each state is a
// tuple of plain values (numbers, bytes, lists, a numpy array), so results
// travel to and from other processes and machines (multiprocessing, Dask)
// and come back equal; two objects are equal when their states are, the
// run's time aside.
#include <bit>
#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include "batch_row.h"
#include "bindings.h"
#include "report_binding.h"

namespace py = pybind11;

namespace tonalyx::python {
namespace {

// The layout of the states below: a state of another layout is refused
// rather than misread.
constexpr int kStateLayout = 1;

// Whether the run's time goes into a state (pickling) or not (equality).
enum class Time { kept, left_out };

// Numbers in bulk as bytes, 8 little-endian bytes each (the IEEE bits of
// a double): far quicker to pickle than a list of floats, and the same
// bits on every machine.
py::bytes packed(const std::vector<double>& numbers)
{
    std::string bytes(8 * numbers.size(), '\0');
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        const auto bits = std::bit_cast<std::uint64_t>(numbers[i]);
        for (int b = 0; b < 8; ++b)
            bytes[8 * i + b] = static_cast<char>((bits >> (8 * b)) & 0xFF);
    }
    return py::bytes(bytes);
}

std::vector<double> unpacked(const py::handle& state)
{
    if (!py::isinstance<py::bytes>(state) || py::len(state) % 8 != 0)
        throw py::value_error("not a tonalyx state of this version");
    const std::string bytes = state.cast<std::string>();
    std::vector<double> numbers(bytes.size() / 8);
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        std::uint64_t bits = 0;
        for (int b = 0; b < 8; ++b)
            bits |= std::uint64_t{static_cast<unsigned char>(bytes[8 * i + b])} << (8 * b);
        numbers[i] = std::bit_cast<double>(bits);
    }
    return numbers;
}

py::tuple tupleOf(const py::handle& state, std::size_t size)
{
    if (!py::isinstance<py::tuple>(state) || py::len(state) != size)
        throw py::value_error("not a tonalyx state of this version");
    return py::reinterpret_borrow<py::tuple>(state);
}

template <class T, class State>
py::list listOf(const std::vector<T>& items, State state)
{
    py::list list;
    for (const T& item : items)
        list.append(state(item));
    return list;
}

template <class T, class Value>
std::vector<T> vectorOf(const py::handle& list, Value value)
{
    if (!py::isinstance<py::list>(list))
        throw py::value_error("not a tonalyx state of this version");
    std::vector<T> items;
    for (const py::handle& item : py::reinterpret_borrow<py::list>(list))
        items.push_back(value(item));
    return items;
}

// The text, then the code and its fields.
py::tuple stateOf(const Message& m)
{
    return py::make_tuple(py::bytes(m.text), static_cast<int>(m.code), m.number, py::bytes(m.detail));
}

Message messageOf(const py::handle& state)
{
    const py::tuple t = tupleOf(state, 4);
    return Message{t[0].cast<std::string>(), static_cast<MessageCode>(t[1].cast<int>()), t[2].cast<std::uint32_t>(),
                   t[3].cast<std::string>()};
}

py::tuple stateOf(const Report& r, Time time)
{
    std::vector<double> candidates;  // freq, result, freq, result...
    for (const CandidateResult& c : r.candidates)
        candidates.insert(candidates.end(), {static_cast<double>(c.freq), c.result});
    return py::make_tuple(static_cast<int>(r.status), r.bestFreq, r.bestResult, r.hasResult, packed(candidates),
                          packed(r.samples),
                          listOf(r.messages, [](const Message& m) { return stateOf(m); }), py::bytes(r.trace),
                          r.slotsAnalysed, time == Time::kept ? r.elapsedMs : 0u);
}

Report reportOf(const py::handle& state)
{
    const py::tuple t = tupleOf(state, 10);
    Report r;
    r.status = static_cast<Status>(t[0].cast<int>());
    r.bestFreq = t[1].cast<std::uint32_t>();
    r.bestResult = t[2].cast<double>();
    r.hasResult = t[3].cast<bool>();
    const std::vector<double> candidates = unpacked(t[4]);
    for (std::size_t i = 0; i + 1 < candidates.size(); i += 2)
        r.candidates.push_back({static_cast<std::uint32_t>(candidates[i]), candidates[i + 1]});
    r.samples = unpacked(t[5]);
    r.messages = vectorOf<Message>(t[6], messageOf);
    r.trace = t[7].cast<std::string>();
    r.slotsAnalysed = t[8].cast<std::uint32_t>();
    r.elapsedMs = t[9].cast<std::uint32_t>();
    return r;
}

py::tuple stateOf(const Segment& s)
{
    return py::make_tuple(s.start, s.end, s.hasTone, s.tone, s.measured, s.purity, s.level);
}

Segment segmentOf(const py::handle& state)
{
    const py::tuple t = tupleOf(state, 7);
    return Segment{t[0].cast<double>(), t[1].cast<double>(), t[2].cast<bool>(),  t[3].cast<std::uint32_t>(),
                   t[4].cast<double>(), t[5].cast<double>(), t[6].cast<double>()};
}

py::tuple stateOf(const MeasurementPictures& p)
{
    std::vector<double> bursts;  // start, end, start, end...
    for (const auto& [start, end] : p.bursts)
        bursts.insert(bursts.end(), {start, end});
    return py::make_tuple(p.spectrumBinHz, packed(p.spectrumDb), packed(p.harmonicsHz), packed(p.humHz),
                          p.envelopeSeconds, packed(p.envelopeDb), packed(bursts));
}

MeasurementPictures picturesOf(const py::handle& state)
{
    const py::tuple t = tupleOf(state, 7);
    MeasurementPictures p;
    p.spectrumBinHz = t[0].cast<double>();
    p.spectrumDb = unpacked(t[1]);
    p.harmonicsHz = unpacked(t[2]);
    p.humHz = unpacked(t[3]);
    p.envelopeSeconds = t[4].cast<double>();
    p.envelopeDb = unpacked(t[5]);
    const std::vector<double> bursts = unpacked(t[6]);
    for (std::size_t i = 0; i + 1 < bursts.size(); i += 2)
        p.bursts.emplace_back(bursts[i], bursts[i + 1]);
    return p;
}

py::tuple stateOf(const Measurement& m)
{
    return py::make_tuple(static_cast<int>(m.status), m.hasTone, m.tone, m.measured, m.purity, m.level, m.start,
                          m.end, m.channel, m.thd, m.snr, m.drift, m.bursts, static_cast<int>(m.reason), m.cut,
                          listOf(m.segments, [](const Segment& s) { return stateOf(s); }), stateOf(m.pictures),
                          listOf(m.messages, [](const Message& message) { return stateOf(message); }));
}

Measurement measurementOf(const py::handle& state)
{
    const py::tuple t = tupleOf(state, 18);
    Measurement m;
    m.status = static_cast<Status>(t[0].cast<int>());
    m.hasTone = t[1].cast<bool>();
    m.tone = t[2].cast<std::uint32_t>();
    m.measured = t[3].cast<double>();
    m.purity = t[4].cast<double>();
    m.level = t[5].cast<double>();
    m.start = t[6].cast<double>();
    m.end = t[7].cast<double>();
    m.channel = t[8].cast<std::uint32_t>();
    m.thd = t[9].cast<double>();
    m.snr = t[10].cast<double>();
    m.drift = t[11].cast<double>();
    m.bursts = t[12].cast<std::uint32_t>();
    m.reason = static_cast<NoToneReason>(t[13].cast<int>());
    m.cut = t[14].cast<double>();
    m.segments = vectorOf<Segment>(t[15], segmentOf);
    m.pictures = picturesOf(t[16]);
    m.messages = vectorOf<Message>(t[17], messageOf);
    return m;
}

py::tuple stateOf(const AnalysisResult& r, Time time)
{
    return py::make_tuple(stateOf(r.report, time), r.samples, r.traceKept);
}

AnalysisResult analysisResultOf(const py::handle& state)
{
    const py::tuple t = tupleOf(state, 3);
    py::object samples = py::none();
    if (!t[1].is_none())
        samples = py::array_t<double, py::array::c_style | py::array::forcecast>::ensure(t[1]);
    if (!samples)
        throw py::value_error("samples: not an array of numbers");
    return AnalysisResult{reportOf(t[0]), samples, t[2].cast<bool>()};
}

py::tuple stateOf(const Row& r, Time time)
{
    const BatchRow& row = r.row;
    return py::make_tuple(py::bytes(row.file), static_cast<int>(row.status), stateOf(row.report, time),
                          stateOf(row.measurement), static_cast<int>(row.verdict),
                          listOf(row.messages, [](const Message& m) { return stateOf(m); }), r.hz);
}

Row rowOf(const py::handle& state)
{
    const py::tuple t = tupleOf(state, 7);
    Row r;
    r.row.file = t[0].cast<std::string>();
    r.row.status = static_cast<Status>(t[1].cast<int>());
    r.row.report = reportOf(t[2]);
    r.row.measurement = measurementOf(t[3]);
    r.row.verdict = static_cast<Verdict>(t[4].cast<int>());
    r.row.messages = vectorOf<Message>(t[5], messageOf);
    r.hz = t[6].cast<bool>();
    return r;
}

// Values compared as Python compares them, but a NaN equals a NaN and
// numpy arrays are equal when their elements are.
bool sameValue(const py::handle& a, const py::handle& b)
{
    if (a.is_none() || b.is_none())
        return a.is_none() && b.is_none();
    if ((py::isinstance<py::tuple>(a) && py::isinstance<py::tuple>(b)) ||
        (py::isinstance<py::list>(a) && py::isinstance<py::list>(b))) {
        const py::sequence x = py::reinterpret_borrow<py::sequence>(a);
        const py::sequence y = py::reinterpret_borrow<py::sequence>(b);
        if (py::len(x) != py::len(y))
            return false;
        for (std::size_t i = 0; i < py::len(x); ++i)
            if (!sameValue(x[i], y[i]))
                return false;
        return true;
    }
    if (PyFloat_Check(a.ptr()) && PyFloat_Check(b.ptr())) {
        const double x = a.cast<double>(), y = b.cast<double>();
        return x == y || (std::isnan(x) && std::isnan(y));
    }
    if (py::isinstance<py::array>(a) || py::isinstance<py::array>(b))
        return py::module_::import("numpy").attr("array_equal")(a, b, py::arg("equal_nan") = true).cast<bool>();
    return a.equal(b);
}

py::tuple layered(py::tuple state)
{
    return py::make_tuple(kStateLayout, std::move(state));
}

py::object unlayered(const py::tuple& state)
{
    const py::tuple t = tupleOf(state, 2);
    if (t[0].cast<int>() != kStateLayout)
        throw py::value_error("not a tonalyx state of this version");
    return t[1];
}

// Pickling and == for a class already bound in the module.
template <class T, class State, class Value>
void addValueMethods(py::module_& module, const char* name, State state, Value value)
{
    py::class_<T> cls = module.attr(name);
    cls.def(py::pickle([state](const T& object) { return layered(state(object, Time::kept)); },
                       [value](const py::tuple& saved) { return value(unlayered(saved)); }));
    cls.def(
        "__eq__",
        [state](const T& a, const T& b) { return sameValue(state(a, Time::left_out), state(b, Time::left_out)); },
        py::is_operator());
    cls.def(
        "__ne__",
        [state](const T& a, const T& b) { return !sameValue(state(a, Time::left_out), state(b, Time::left_out)); },
        py::is_operator());
}

}  // namespace

void bindPickling(py::module_& module)
{
    addValueMethods<Message>(
        module, "Message", [](const Message& m, Time) { return stateOf(m); }, messageOf);
    addValueMethods<Segment>(
        module, "Segment", [](const Segment& s, Time) { return stateOf(s); }, segmentOf);
    addValueMethods<Measurement>(
        module, "Measurement", [](const Measurement& m, Time) { return stateOf(m); }, measurementOf);
    addValueMethods<AnalysisResult>(
        module, "Result", [](const AnalysisResult& r, Time time) { return stateOf(r, time); },
        analysisResultOf);
    addValueMethods<Row>(
        module, "BatchRow", [](const Row& r, Time time) { return stateOf(r, time); }, rowOf);
}

}  // namespace tonalyx::python
