// The listings of the scaled slots: -gnuplot and -valuelist.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

// Lists values[0..count): with gnuplot "index value" a slot, with valuelist
// the count first, then one value a line (both: interleaved slot by slot).
// The text goes to `write` in large pieces.
void listSamples(const double* values, uint32_t count, bool gnuplot, bool valuelist,
                 const std::function<void(std::string_view)>& write);
