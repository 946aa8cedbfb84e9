// The result of analyze() as a Python object.
#pragma once

#include <pybind11/pybind11.h>

#include "api/api.h"

namespace tonalyx::python {

struct AnalysisResult {
    Report report;
    pybind11::object samples;  // a numpy array over the report's slots, or None
    bool traceKept = false;
};

// Takes the report over; its slots, when kept, become a numpy array
// without a copy. Needs the GIL.
AnalysisResult resultOf(Report&& report, bool traceKept);

}  // namespace tonalyx::python
