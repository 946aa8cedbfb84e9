// Tonalyx's C++ interface inside the project: what the programs built here
// (tonalyx, tonalyx-batch, the Python module, the tests) call, linked
// statically. Others use the C interface (include/tonalyx/tonalyx.h) or its
// header-only C++ layer (include/tonalyx/tonalyx.hpp): nothing declared
// here is exported from a shared library, so no C++ type crosses it.
//
// Which of 46 candidate frequencies (100, 120, ..., 1000) a tone in a
// RIFF/WAVE file holds. Two answers, both from the bytes of one file:
//   - analyze(): the tool's own answer, exactly as the console prints it
//     (the correlation of the first `length` sample slots with a reference
//     sine per candidate);
//   - measure(): the tone's frequency in Hz, whatever its phase, lead-in,
//     rate, depth or channels, and whether there is a tone at all.
//
// Every call is reentrant: a run's state belongs to that run, so runs may
// go on at once on many threads. Nothing here writes to standard output or
// standard error; what a run would print comes back as data, and to an
// OutputSink when one is given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/candidates.h"
#include "tonalyx/tonalyx.h"

namespace tonalyx {

// ---------------------------------------------------------------------------
// Where the bytes come from.

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Up to `count` bytes into `buffer`: the number delivered (fewer near
    // the end), 0 at the end of the input, -1 on an error (errorText() then
    // says which).
    virtual long read(void* buffer, std::size_t count) = 0;
    // To an absolute offset; false where the source cannot seek (a pipe),
    // and reading then goes on where it is.
    virtual bool seek(std::uint64_t offset) = 0;
    // The system's words for the last error of read().
    virtual std::string errorText() const { return "read error"; }
};

// Bytes in memory, which the caller keeps alive while the source is used.
class MemorySource final : public ByteSource {
public:
    MemorySource(const void* data, std::size_t size)
        : data_(static_cast<const unsigned char*>(data)), size_(size)
    {
    }
    long read(void* buffer, std::size_t count) override;
    bool seek(std::uint64_t offset) override;

private:
    const unsigned char* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// A file opened read-only in binary mode. open() gives nullptr when it
// cannot be opened or is a folder, and then sets `whyNot` to the system's
// words for it ("No such file or directory", "Is a directory"). The name
// is UTF-8 on every platform.
class FileSource final : public ByteSource {
public:
    static std::unique_ptr<FileSource> open(const std::string& path);
    static std::unique_ptr<FileSource> open(const std::string& path, std::string& whyNot);
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;
    long read(void* buffer, std::size_t count) override;
    bool seek(std::uint64_t offset) override;
    std::string errorText() const override;

private:
    explicit FileSource(int fd) : fd_(fd) {}
    int fd_;
    int lastError_ = 0;
};

// ---------------------------------------------------------------------------
// What a run says.

// The console's two streams: standard output, standard error.
enum class Stream { out, err };

// What a piece of text a run says is.
enum class OutputKind {
    trace,   // a line printed with -v only
    result,  // the result line and the time line
};

// What a message says (the C interface's TONALYX_MSG_..., whose comments
// say what its fields Message::number and Message::detail hold).
enum class MessageCode : int {
    lengthRestricted = TONALYX_MSG_LENGTH_RESTRICTED,
    lengthReduced = TONALYX_MSG_LENGTH_REDUCED,
    notFound = TONALYX_MSG_NOT_FOUND,
    readFailed = TONALYX_MSG_READ_FAILED,
    noData = TONALYX_MSG_NO_DATA,
    noMainHeader = TONALYX_MSG_NO_MAIN_HEADER,
    wrongFileTag = TONALYX_MSG_WRONG_FILE_TAG,
    wrongDataId = TONALYX_MSG_WRONG_DATA_ID,
    unsupportedBits = TONALYX_MSG_UNSUPPORTED_BITS,
    wrongFormatId = TONALYX_MSG_WRONG_FORMAT_ID,
    cannotOpen = TONALYX_MSG_CANNOT_OPEN,
    cannotMeasure = TONALYX_MSG_CANNOT_MEASURE,
    formatNote = TONALYX_MSG_FORMAT_NOTE,
    cutShort = TONALYX_MSG_CUT_SHORT,
    rowFailed = 100,  // a batch's row only: a path that cannot be searched, no memory; detail: why
};

// A warning or an error: its code and fields, and the text the console
// prints for it. Where it goes is the program's choice; consoleStream()
// says where the console tools print it.
struct Message {
    std::string text;  // as the console prints it, line end included
    MessageCode code;
    std::uint32_t number = 0;
    std::string detail;  // raw, not escaped
};

// Where the console tools print a message of `code` (the reader's own
// complaints on standard error, the run's warnings on standard output).
Stream consoleStream(MessageCode code);

// Receives, in order, what a run says: its trace and result text (what the
// console prints on standard output) and its messages.
class OutputSink {
public:
    virtual ~OutputSink() = default;
    virtual void write(OutputKind kind, std::string_view text) = 0;
    virtual void message(const Message& message) = 0;
    // The scaled slots analysed, once a run, before the candidates are
    // compared: where the console lists them (-gnuplot, -valuelist).
    virtual void samples(const double* values, std::uint32_t count)
    {
        (void)values;
        (void)count;
    }
};

// How a run ended (the C interface's statuses). The programs turn them
// into exit statuses.
enum class Status : int {
    ok = TONALYX_OK,
    cannotOpen = TONALYX_CANNOT_OPEN,  // missing, a folder, no permission
    readError = TONALYX_READ_ERROR,    // the input could not be read (not its end)
    noData = TONALYX_NO_DATA,          // no sample data could be loaded
};

// "ok", "cannot-open", "read-error", "no-data".
const char* statusName(Status status);

// ---------------------------------------------------------------------------
// The default answer.

constexpr std::uint32_t kDefaultLength = TONALYX_DEFAULT_LENGTH;
constexpr std::uint32_t kMaxLength = TONALYX_MAX_LENGTH;
constexpr double kDefaultMinResult = TONALYX_DEFAULT_MIN_RESULT;

// The length as the console reads -length: leading white space, one
// optional sign, digits up to the first other character, modulo 2^32.
std::uint32_t lengthFromText(const char* text);

struct Settings {
    // Sample slots to analyse. 0 and anything above 4096 print
    // "WARNING: length restricte to 4096!" and use 4096.
    std::uint32_t length = kDefaultLength;
    bool trace = false;        // -v: the trace lines to the sink
    bool keepSamples = false;  // Report::samples
    bool keepTrace = false;    // Report::trace (implies trace)
    // Report::candidates with every candidate's result. Without it a
    // candidate that cannot win may be left unfinished (the best result is
    // the same either way).
    bool keepCandidates = true;
};

struct CandidateResult {
    std::uint32_t freq;
    double result;
};

struct Report {
    Status status = Status::ok;
    // The result line's two numbers; 0 and 0.0 without a result.
    std::uint32_t bestFreq = 0;
    double bestResult = 0.0;
    bool hasResult = false;  // the sweep ran (status ok)
    std::vector<CandidateResult> candidates;  // 100 to 1000, when kept
    std::vector<double> samples;              // the scaled slots analysed, when kept
    std::vector<Message> messages;            // the warnings and errors, in order
    // With keepTrace: everything the run prints on standard output with -v
    // but the listing, byte for byte as the console prints it.
    std::string trace;
    std::uint32_t slotsAnalysed = 0;  // the length after the checks
    std::uint32_t elapsedMs = 0;
};

// One run on a file or on any byte source. `name` is what messages call
// the input. The sink, when given, receives all printed text in order.
Report analyzeFile(const std::string& path, const Settings& settings = {}, OutputSink* sink = nullptr);
Report analyze(ByteSource& source, std::string_view name, const Settings& settings = {},
               OutputSink* sink = nullptr);

// "bestResult=0.497611 best matching freq.=440", without line ends.
std::string resultLine(const Report& report);

// ---------------------------------------------------------------------------
// The measurement.

// Purity below this means no tone. Purity is the share of the sound in
// the tone's own band (from half its frequency to past its last harmonic,
// mains hum left out) that its harmonic series holds, taken frame by frame
// (the median, so a pop or a dropout changes nothing): about 1 for a clean
// tone or a buzzer, over 0.9 with white or pink noise at 0 dB over the
// whole band, about 0.5 for two tones of equal strength.
constexpr double kMinPurity = 0.7;
// Candidates within this many Hz of the measured frequency.
constexpr double kCandidateReachHz = 10.0;

// Why a measurement found no tone; none when it found one.
enum class NoToneReason {
    none,
    shortTone,  // "short": the tone lasts under 0.1 s in all
    impure,     // "impure": too little of the sound is one steady harmonic series
    offBand,    // "off-band": no candidate within kCandidateReachHz
    several,    // "several": a second candidate holds 30 % or more of the tone energy
    silent,     // "silent": more than 120 dB below full scale
    hum,        // "hum": only mains hum (50 or 60 Hz and its multiples)
};

// "short", "impure", "off-band", "several", "silent", "hum"; "" for none.
const char* reasonName(NoToneReason reason);

// One stretch of one steady tone, as -segments prints it.
struct Segment {
    double start = 0.0, end = 0.0;  // seconds
    bool hasTone = false;           // a candidate within reach, pure enough
    std::uint32_t tone = 0;         // the candidate, 0 for none
    double measured = 0.0;          // Hz, rounded to 0.01
    double purity = 0.0;            // 0 to 1
    double level = 0.0;             // dBFS
};

// What the measurement drew its answer from, for plots (kept on request).
struct MeasurementPictures {
    // The power spectrum of the tone's stretch (or of the whole recording
    // without a tone): spectrumDb[k] at k x spectrumBinHz, in dB against
    // full scale; from 0 Hz up to half the rate analysed.
    double spectrumBinHz = 0.0;
    std::vector<double> spectrumDb;
    // The harmonics of the tone found (its fundamental first), and the
    // mains hum found (its fundamental first), in Hz; empty for none.
    std::vector<double> harmonicsHz;
    std::vector<double> humHz;
    // The level of each block of envelopeSeconds, in dBFS, from 0 s.
    double envelopeSeconds = 0.0;
    std::vector<double> envelopeDb;
    // The bursts of the tone (start, end in seconds), in time order.
    std::vector<std::pair<double, double>> bursts;
};

struct Measurement {
    Status status = Status::ok;          // ok when the file was read
    bool hasTone = false;                // a candidate within reach and purity enough
    std::uint32_t tone = 0;              // the candidate, 0 for none
    double measured = 0.0;               // Hz, rounded to 0.01
    double purity = 0.0;                 // 0 to 1: the harmonic series' share of the sound
    double level = 0.0;                  // dBFS of the tone's fundamental
    double start = 0.0, end = 0.0;       // seconds, from the first burst to the end of the last
    std::uint32_t channel = 0;           // 1-based; 0: the channels mixed
    double thd = 0.0;                    // total harmonic distortion, percent
    double snr = 0.0;                    // dB: the tone against the noise in its own band
    double drift = 0.0;                  // Hz: the spread of the frequency over the tone
    std::uint32_t bursts = 0;            // stretches of tone; 1 for a continuous tone
    NoToneReason reason = NoToneReason::none;  // why there is no tone
    double cut = 0.0;                    // seconds measured when the recording was cut short; 0: whole
    std::vector<Segment> segments;       // every stretch of steady tone, in time order
    MeasurementPictures pictures;        // with MeasureOptions::pictures
    std::vector<Message> messages;       // errors ("unsupported format tag 0x0055") and notes
};

struct MeasureOptions {
    bool pictures = false;  // fill Measurement::pictures
    bool segments = true;   // fill Measurement::segments (a few percent of the time)
};

Measurement measureFile(const std::string& path, const MeasureOptions& options = {});
Measurement measure(ByteSource& source, std::string_view name, const MeasureOptions& options = {});

// "tone=440 measured=440.02 purity=0.998 level=-6.0 start=0.100
// end=1.100 channel=1 thd=0.12 snr=48.2 drift=0.01 bursts=1", then
// " reason=impure" without a tone and " cut=60.000" for a recording cut
// short; without a line end.
std::string measurementLine(const Measurement& measurement);
// "segment start=0.100 end=0.600 tone=660 measured=660.00 purity=0.998
// level=-6.0", without a line end.
std::string segmentLine(const Segment& segment);

// ---------------------------------------------------------------------------
// Verdicts, as tonalyx-batch gives them.

// missing and unlisted come only from a batch with a manifest: a file the
// manifest lists that was not found, and a file found that it does not list.
enum class Verdict { ok, weak, wrong, error, missing, unlisted };

struct VerdictRules {
    double minResult = kDefaultMinResult;  // below: weak
    std::uint32_t expect = 0; // a candidate, or 0 for any
    bool expectNone = false;  // the file must hold no tone (with hz)
    bool hz = false;          // judge the measurement instead of the result
    // With hz: a tone of lower purity, or (when set) of lower level in
    // dBFS, is weak; a tone measured further than `tolerance` Hz from the
    // expected candidate is wrong.
    double minPurity = kMinPurity;
    std::optional<double> minLevel;
    double tolerance = kCandidateReachHz;
};

Verdict verdictOf(const Report& report, const VerdictRules& rules);
Verdict verdictOf(const Measurement& measurement, const VerdictRules& rules);
// "ok", "weak", "wrong", "error", "missing", "unlisted"
const char* verdictName(Verdict verdict);


// ---------------------------------------------------------------------------
// Many files: the runs of tonalyx-batch, on worker threads.

// What a manifest expects of one file: a candidate, or no tone at all.
struct ExpectedTone {
    std::string file;        // as the line names it (raw bytes)
    bool none = false;       // the file must hold no tone
    std::uint32_t tone = 0;  // else the candidate
    std::size_t line = 0;    // the line it is on, from 1
};

// A list of files and the tone each should hold, read from a TSV or CSV
// file of two columns, `file` and `expect`.
//
// A name matches a file found when both name the same place, taken from
// the current folder with "." components and repeated slashes left out:
// the name as written, or relative to the manifest's folder, against the
// path as the batch found it (the path given, then the names inside
// folders). Nothing else is resolved: no symlinks, no "..".
struct Manifest {
    std::string folder;  // the manifest's folder ("" for the current one)
    std::vector<ExpectedTone> entries;
};

// Bounds on a manifest: it is read whole into memory.
constexpr std::uint64_t kMaxManifestBytes = 64ull << 20;
constexpr std::size_t kMaxManifestLines = 1000000;

struct ManifestReading {
    Manifest manifest;
    // Empty when read; else what is wrong, control characters escaped
    // ("line 3: expect must be a candidate or none, not '445'").
    std::string error;
    bool cannotRead = false;  // the error is the file's: missing, unreadable, too large
};

// The manifest's text: TSV when its first line holds a tab, else CSV (RFC
// 4180, quoted fields across lines allowed). A first line "file", "expect"
// is a header; empty lines are skipped; CR LF ends a line as LF does. In
// TSV a name is read as tonalyx-batch writes it (\t, \n, \r, \\ and
// \xHH escapes); in CSV as it stands. `expect` is a candidate (0440 is
// 440) or "none", spaces around it ignored.
ManifestReading parseManifest(std::string_view text, std::string folder);
// The file at `path`, at most kMaxManifestBytes, parsed.
ManifestReading readManifest(const std::string& path);

struct BatchOptions {
    unsigned jobs = 0;      // worker threads; 0: the hardware threads (at least 1)
    // Rows in flight at most (analysed but not yet taken by next());
    // workers wait while it is full. 0: 4 x jobs.
    std::size_t window = 0;
    Settings settings;      // for each analyzeFile() (trace and listing are off)
    VerdictRules rules;     // rules.hz: measureFile() instead
    // Each file is judged against its own entry (its expect or none taking
    // the place of the rules'); a file it lists that is not found gets a row
    // with the verdict missing, a file found that it does not list the
    // verdict unlisted (or error).
    std::optional<Manifest> manifest;
    // Called on the constructing thread with the count of files found so
    // far, while the paths are searched.
    std::function<void(std::size_t found)> onFound;
};

struct BatchRow {
    std::string file;             // the path, as found (raw bytes)
    Status status = Status::ok;   // of the analysis, or of the measurement with hz
    Report report;                // without hz
    Measurement measurement;      // with hz
    Verdict verdict = Verdict::error;
    // The run's messages as tonalyx-batch prints them: those the console
    // writes to standard error first, then those it writes to standard
    // output, each group in its order.
    std::vector<Message> messages;
};

// A path given to a batch that could not be searched.
struct BatchPathError {
    std::string path;      // as given or found (raw bytes)
    std::string reason;    // "no such file or folder", "cannot read folder: ..."
    bool missing = false;  // a path given that does not exist
};

// Files and folders walked at once: folders recursively for *.wav (any
// case), without following symlinked folders inside them (a symlinked
// folder given as a path is searched); inside folders only regular files
// and symlinks to regular files are taken, so a FIFO named x.wav is
// skipped. A path given explicitly that is not a folder is read whatever it
// is. The names are sorted in byte order of the whole path.
//
// Every path that cannot be searched has an error row of its own among
// them (status cannotOpen): a path given that is missing, as the
// measurement or analysis of it fails, and a folder that cannot be read,
// with its reason as message. The rows missing from a manifest sort in by
// their names as the manifest writes them.
//
// Rows come in that order, each as soon as it and all before it are ready.
// Memory stays bounded apart from the list of names: at most `window` rows
// are in flight. The workers start with the first next().
class BatchRun {
public:
    BatchRun(std::vector<std::string> paths, const BatchOptions& options);
    ~BatchRun();  // stops the workers and waits for them
    BatchRun(const BatchRun&) = delete;
    BatchRun& operator=(const BatchRun&) = delete;
    // The next row; false when there is none left (or after stop()).
    bool next(BatchRow& row);
    // Asks the workers to stop after the files they are on; safe from any
    // thread, next() then returns false.
    void stop();
    // The rows the run gives (files found, paths in error, files missing
    // from the manifest), and the paths that could not be searched (in the
    // order found; each has its error row too).
    std::size_t fileCount() const;
    std::vector<BatchPathError> pathErrors() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

// ---------------------------------------------------------------------------
// Names and text made safe to print.

// Bytes 0x01-0x1F and 0x7F, and the C1 controls (U+0080-U+009F, and the
// bytes 0x80-0x9F outside valid UTF-8), as \x and two lower-case hex digits
// a byte; every other byte as it is.
std::string escapeControls(std::string_view text);

const char* version();

}  // namespace tonalyx
