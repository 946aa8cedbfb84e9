// The bytes of any Python object with the buffer protocol, held (and the
// object kept from resizing) for as long as this view lives. Made and
// destroyed with the GIL held; the bytes may be read without it.
#pragma once

#include <cstddef>

#include <pybind11/pybind11.h>

namespace tonalyx::python {

class BufferView {
public:
    // TypeError without the buffer protocol, BufferError when the buffer
    // is not contiguous.
    explicit BufferView(const pybind11::handle& object);
    ~BufferView();
    BufferView(const BufferView&) = delete;
    BufferView& operator=(const BufferView&) = delete;

    const void* data() const { return view_.buf; }
    std::size_t size() const { return static_cast<std::size_t>(view_.len); }

private:
    Py_buffer view_;
};

}  // namespace tonalyx::python
