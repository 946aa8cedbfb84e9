// One fuzz input through the measurement, from bytes to its line, twice:
// from memory (seeking past chunks) and through a pipe (forward only). What
// must hold of any result: the same answer both ways, and a line of the
// measurement's fields in order, each a number in its range, a tone within
// reach of the candidate it names and a reason exactly when there is none;
// a file refused says why in plain lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct CheckedMeasure {
    int status = 0;
    std::string line;    // the measurement's line ("" when refused)
    std::string broken;  // what does not hold; empty when all does
};

CheckedMeasure checkedMeasure(const uint8_t* data, size_t size);
