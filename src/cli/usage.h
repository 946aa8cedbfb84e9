#pragma once

// Prints the three lines of the usage text to standard output.
void usage();
