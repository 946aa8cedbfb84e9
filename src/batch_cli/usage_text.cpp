#include "batch_cli/usage_text.h"

namespace tonalyx::batch_cli {

#define TONALYX_BATCH_USAGE                                                                          \
    "usage: tonalyx-batch [--hz] [--expect HZ|none] [--expect-from FILE] [--min-purity P]\n"        \
    "                     [--min-level DB] [--tolerance HZ] [--min-result R] [--length N] [-j N]\n" \
    "                     [--format tsv|jsonl|csv] [--quiet] [--progress|--no-progress] PATH...\n"

const char* const kUsageLine = TONALYX_BATCH_USAGE;

const char* const kHelpText =
    TONALYX_BATCH_USAGE
    "Measures (--hz) or analyses every file given and every *.wav file in the\n"
    "folders given, and prints one row per file in the order of the names, with\n"
    "a verdict: ok, weak, wrong, error (and missing, unlisted with a manifest).\n"
    "  --hz              measure the tone in Hz, as tonalyx -hz: for recordings\n"
    "  --expect HZ       the candidate every file should give (100, 120, ..., 1000);\n"
    "                    with --hz also none: the file must hold no tone\n"
    "  --expect-from F   with --hz: a TSV or CSV of file and expect per file\n"
    "  --min-purity P    with --hz: a tone of lower purity is weak (default 0.7)\n"
    "  --min-level DB    with --hz: a tone below DB dBFS is weak (default none)\n"
    "  --tolerance HZ    with --hz: measured further from --expect is wrong (default 10)\n"
    "  --min-result R    without --hz: a result below R is weak (default 0.1)\n"
    "  --length N        without --hz: slots to analyse, as tonalyx -length N takes it\n"
    "  -j N              files at a time, 1 to 1024 (default: the processors)\n"
    "  --format F        tsv (the default), jsonl or csv\n"
    "  --quiet           no summary line at the end\n"
    "  --progress        a progress line on standard error even when it is not a\n"
    "                    terminal; --no-progress: none even on one\n"
    "Exit status: 0 every verdict ok, 1 one is not (or nothing was found), 2 a\n"
    "usage error, a bad manifest or a failed write.\n";

#undef TONALYX_BATCH_USAGE

}  // namespace tonalyx::batch_cli
