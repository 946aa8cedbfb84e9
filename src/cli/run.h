#pragma once

// One whole run of the tool on a command line. Resets the program-wide
// state first, so it may be called more than once in a process. Returns the
// exit status: 0, or a negative code in its unsigned 16-bit form.
int runTonalyx(int argc, const char* const* argv);
