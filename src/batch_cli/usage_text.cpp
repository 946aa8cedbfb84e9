#include "batch_cli/usage_text.h"

namespace tonalyx::batch_cli {

const char* const kUsageLine =
    "usage: tonalyx-batch [-j N] [--expect HZ] [--min-result R] [--length N] [--hz] [--format tsv|jsonl] PATH...\n";

const char* const kHelpText =
    "usage: tonalyx-batch [-j N] [--expect HZ] [--min-result R] [--length N] [--hz] [--format tsv|jsonl] PATH...\n"
    "Analyses every file given and every *.wav file in the folders given, and\n"
    "prints one row per file in the order of the names, with a verdict.\n"
    "  -j N              files at a time, 1 to 1024 (default: the processors)\n"
    "  --expect HZ       the candidate every file should give (100, 120, ..., 1000)\n"
    "  --min-result R    a result below R is weak (default 0.1)\n"
    "  --length N        slots to analyse, as tonalyx -length N takes it\n"
    "  --hz              judge the measured frequency in Hz instead\n"
    "  --format jsonl    one JSON object per line instead of the table\n"
    "Exit status: 0 every verdict ok, 1 one is not (or nothing was found or a\n"
    "folder could not be read), 2 a usage error, a missing path or a failed write.\n";

}  // namespace tonalyx::batch_cli
