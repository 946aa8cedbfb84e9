// The pieces of the extension module tonalyx._native, each registered by
// its own file.
#pragma once

#include <pybind11/pybind11.h>

namespace tonalyx::python {

void bindReport(pybind11::module_& module);       // analyze() and its result
void bindMeasurement(pybind11::module_& module);  // measure() and its result
void bindBatch(pybind11::module_& module);        // the batch run and its rows
void bindWalk(pybind11::module_& module);         // the files a batch runs on
// After the others: pickling and == for their classes.
void bindPickling(pybind11::module_& module);

}  // namespace tonalyx::python
