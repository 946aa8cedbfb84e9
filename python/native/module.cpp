// tonalyx._native: the library's runs for the package tonalyx, which turns
// statuses into exceptions and sources into paths or bytes.
#include <cctype>
#include <string>
#include <vector>

#include <pybind11/pybind11.h>

#include "bindings.h"
#include "api/api.h"
#include "text.h"
#include "tonalyx/tonalyx.h"

namespace py = pybind11;

PYBIND11_MODULE(_native, module)
{
    module.doc() = "The library's runs; use the package tonalyx instead.";
    module.attr("__version__") = tonalyx::version();
    // The candidates and the default length, from the library's one list.
    py::list candidates;
    for (std::size_t i = 0; i < tonalyx_candidate_count(); ++i)
        candidates.append(tonalyx_candidate_at(i));
    module.attr("CANDIDATES") = py::tuple(candidates);
    module.attr("DEFAULT_LENGTH") = tonalyx_default_length();
    module.attr("DEFAULT_MIN_RESULT") = tonalyx_default_min_result();
    // The length as the console reads -length (modulo 2^32), from its text.
    module.def("length_from_text", [](const std::string& text) { return tonalyx_length_from_text(text.c_str()); });
    // The library's statuses by their names ("read-error" is READ_ERROR);
    // an IntEnum, so they compare as numbers.
    py::list statuses;
    std::vector<int> values;
    for (int status = TONALYX_OK; status <= TONALYX_NO_DATA; ++status) {
        std::string name = tonalyx_status_name(status);
        for (char& c : name)
            c = c == '-' ? '_' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        statuses.append(py::make_tuple(name, status));
        values.push_back(status);
    }
    module.attr("Status") =
        py::module_::import("enum").attr("IntEnum")("Status", statuses, py::arg("module") = "tonalyx");
    tonalyx::python::keepStatusType(module.attr("Status"), values);
    tonalyx::python::bindMessage(module);
    tonalyx::python::bindReport(module);
    tonalyx::python::bindMeasurement(module);
    tonalyx::python::bindBatch(module);
    tonalyx::python::bindWalk(module);
    tonalyx::python::bindPickling(module);
}
