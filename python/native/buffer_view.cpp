#include "buffer_view.h"

namespace tonalyx::python {

BufferView::BufferView(const pybind11::handle& object)
{
    // PyBUF_SIMPLE: one contiguous run of bytes, whatever the item type.
    if (PyObject_GetBuffer(object.ptr(), &view_, PyBUF_SIMPLE) != 0)
        throw pybind11::error_already_set();
}

BufferView::~BufferView()
{
    PyBuffer_Release(&view_);
}

}  // namespace tonalyx::python
