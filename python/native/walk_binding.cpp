// The files a batch runs on, found here and sent elsewhere in chunks (a
// batch on an executor): the same walk, so the same files in the same
// order as a batch run on this machine.
#include <string>
#include <utility>
#include <vector>

#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include "batch/path_walk.h"
#include "bindings.h"
#include "text.h"

namespace py = pybind11;

namespace tonalyx::python {

void bindWalk(py::module_& module)
{
    module.def(
        "walk_paths",
        [](const std::vector<std::string>& paths) {
            for (const std::string& path : paths)
                if (path.find('\0') != std::string::npos)
                    throw py::value_error("embedded null byte");
            detail::batch::WalkResult found;
            {
                py::gil_scoped_release unlocked;
                found = detail::batch::walkPaths(paths);
            }
            py::list files, errors;
            for (const std::string& file : found.files)
                files.append(py::bytes(file));
            for (const BatchPathError& error : found.errors)
                errors.append(pathErrorOf(error));
            return py::make_tuple(files, errors);
        },
        py::arg("paths"),
        "The files of paths (bytes) as a batch finds them, in its order (as bytes), and the paths that could not "
        "be searched: (message, path, missing).");
}

}  // namespace tonalyx::python
