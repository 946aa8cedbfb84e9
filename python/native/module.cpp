// tonalyx._native: the library's runs for the package tonalyx, which turns
// statuses into exceptions and sources into paths or bytes.
#include <vector>

#include <pybind11/pybind11.h>

#include "bindings.h"
#include "text.h"
#include "tonalyx/tonalyx.hpp"

namespace py = pybind11;

PYBIND11_MODULE(_native, module)
{
    module.doc() = "The library's runs; use the package tonalyx instead.";
    module.attr("__version__") = tonalyx::version();
    // Statuses as a shell sees them; an IntEnum, so they compare as numbers.
    py::list statuses;
    std::vector<int> values;
    for (auto [name, status] : {std::pair{"OK", tonalyx::Status::ok}, {"READ_ERROR", tonalyx::Status::readError},
                                {"NO_DATA", tonalyx::Status::noData}, {"CANNOT_OPEN", tonalyx::Status::cannotOpen}}) {
        statuses.append(py::make_tuple(name, static_cast<int>(status)));
        values.push_back(static_cast<int>(status));
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
