#include "text.h"

namespace py = pybind11;

namespace tonalyx::python {

py::str textOf(std::string_view text)
{
    PyObject* decoded = PyUnicode_DecodeUTF8(text.data(), static_cast<Py_ssize_t>(text.size()), "surrogateescape");
    if (!decoded)
        throw py::error_already_set();
    return py::reinterpret_steal<py::str>(decoded);
}

py::str fileNameOf(std::string_view name)
{
    PyObject* decoded = PyUnicode_DecodeFSDefaultAndSize(name.data(), static_cast<Py_ssize_t>(name.size()));
    if (!decoded)
        throw py::error_already_set();
    return py::reinterpret_steal<py::str>(decoded);
}

py::list messagesOf(const std::vector<Message>& messages)
{
    py::list list;
    for (const Message& message : messages)
        list.append(py::cast(message));
    return list;
}

py::tuple pathErrorOf(const BatchPathError& error)
{
    return py::make_tuple(textOf(escapeControls(error.path) + ": " + error.reason), fileNameOf(error.path),
                          error.missing);
}

py::object statusOf(Status status)
{
    return py::module_::import("tonalyx._native").attr("Status")(static_cast<int>(status));
}

void bindMessage(py::module_& module)
{
    module.def(
        "escape_controls", [](const py::bytes& text) { return textOf(escapeControls(std::string(text))); },
        py::arg("text"), "The text with control bytes as \\xHH, for showing a name.");
    py::class_<Message>(module, "Message", "A warning or error line of a run, as the console prints it.")
        .def_property_readonly(
            "stream", [](const Message& message) { return message.stream == Stream::out ? "stdout" : "stderr"; },
            "'stdout' or 'stderr': where the console prints it.")
        .def_property_readonly(
            "text", [](const Message& message) { return textOf(message.text); },
            "The line as printed, line end included.")
        .def("__repr__", [](const Message& message) {
            return py::str("Message(stream={!r}, text={!r})")
                .format(message.stream == Stream::out ? "stdout" : "stderr", textOf(message.text));
        });
}

}  // namespace tonalyx::python
