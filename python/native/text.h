// Text from the library as Python objects.
#pragma once

#include <string_view>
#include <vector>

#include <pybind11/pybind11.h>

#include "api/api.h"

namespace tonalyx::python {

// UTF-8 as str; bytes that are not UTF-8 (a raw file name in a message)
// become lone surrogates, as os.fsdecode() gives them, and are not lost.
pybind11::str textOf(std::string_view text);
// A file name as the file system's encoding reads it (os.fsdecode).
pybind11::str fileNameOf(std::string_view name);
// The messages as a list of Message objects.
pybind11::list messagesOf(const std::vector<Message>& messages);
// A path a batch could not search: (message with the path escaped, the
// path, whether it is missing).
pybind11::tuple pathErrorOf(const BatchPathError& error);
// The Status member for a status; keepStatusType, called once as the module
// is made, gives the type and the values to keep members of.
pybind11::object statusOf(Status status);
void keepStatusType(const pybind11::object& type, const std::vector<int>& values);

void bindMessage(pybind11::module_& module);

}  // namespace tonalyx::python
