#include "text.h"

#include <utility>

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

namespace {

// The Status type and its members, made once with the module (and never
// released: the module lives as long as the interpreter), so that a
// status costs no import and no Enum call.
PyObject* statusType = nullptr;
std::vector<std::pair<int, PyObject*>> statusMembers;

}  // namespace

void keepStatusType(const py::object& type, const std::vector<int>& values)
{
    statusType = type.inc_ref().ptr();
    for (const int value : values)
        statusMembers.emplace_back(value, type(value).release().ptr());
}

py::object statusOf(Status status)
{
    for (const auto& [value, member] : statusMembers)
        if (value == static_cast<int>(status))
            return py::reinterpret_borrow<py::object>(member);
    return py::reinterpret_borrow<py::object>(statusType)(static_cast<int>(status));
}

void bindMessage(py::module_& module)
{
    module.def(
        "escape_controls", [](const py::bytes& text) { return textOf(escapeControls(std::string(text))); },
        py::arg("text"), "The text with control bytes as \\xHH, for showing a name.");
    py::class_<Message>(module, "Message", "A warning or error line of a run, as the console prints it.")
        .def_property_readonly(
            "stream",
            [](const Message& message) { return consoleStream(message.code) == Stream::out ? "stdout" : "stderr"; },
            "'stdout' or 'stderr': where the console prints it.")
        .def_property_readonly(
            "text", [](const Message& message) { return textOf(message.text); },
            "The line as printed, line end included.")
        .def("__repr__", [](const Message& message) {
            return py::str("Message(stream={!r}, text={!r})")
                .format(consoleStream(message.code) == Stream::out ? "stdout" : "stderr", textOf(message.text));
        });
}

}  // namespace tonalyx::python
