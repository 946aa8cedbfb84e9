// One row of a batch run as the Python object BatchRow holds it.
#pragma once

#include "api/api.h"

namespace tonalyx::python {

struct Row {
    BatchRow row;
    bool hz = false;  // the measurement was run, not the default answer
};

}  // namespace tonalyx::python
