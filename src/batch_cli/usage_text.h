// What tonalyx-batch says about its own command line.
#pragma once

namespace tonalyx::batch_cli {

// The usage, with its line end.
extern const char* const kUsageLine;
// The usage line and a line per option.
extern const char* const kHelpText;

}  // namespace tonalyx::batch_cli
