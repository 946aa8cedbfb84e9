/* Tonalyx, the C interface: which of 46 candidate frequencies (100, 120,
 * ..., 1000 Hz) a tone in a RIFF/WAVE file holds. This is the library's
 * whole exported surface; tonalyx.hpp is a header-only C++ layer over it.
 *
 * Conventions:
 *  - Every handle a function returns is released by its _free function
 *    (which takes NULL too). A constructor (tonalyx_settings_new,
 *    tonalyx_analyze_*, tonalyx_measure_*) returns NULL only when memory
 *    runs out; every other outcome, a missing file included, is a handle
 *    whose status says so.
 *  - Every getter takes a NULL handle: a status getter then gives
 *    TONALYX_NO_REPORT, a string getter "", a count or number 0, an array
 *    NULL with a count of 0.
 *  - Strings are UTF-8 and NUL-terminated and stay valid until the handle
 *    that gave them is released. All functions are reentrant; a handle may
 *    be read from many threads at once.
 *
 * Compatibility: within one major version (TONALYX_VERSION_MAJOR, the
 * shared library's soname) functions and enum values are only added,
 * never changed or removed, and handles stay opaque, so a program built
 * against an older header of the same major version runs with a newer
 * library. Settings grow by new setters; tonalyx_io by new members after
 * struct_size, which tells the library which members the caller knows.
 * Statuses, message codes and verdicts a program does not know may appear:
 * treat them as errors. */
#ifndef TONALYX_H
#define TONALYX_H

#include <stddef.h>
#include <stdint.h>

#include "tonalyx/export.h"
#include "tonalyx/version.h"

#ifdef __cplusplus
extern "C" {
#endif

/* TONALYX_VERSION_NUMBER of the library running (the header's may be older). */
TONALYX_API unsigned tonalyx_version_number(void);
/* "1.0" */
TONALYX_API const char* tonalyx_version(void);

/* ---- statuses ---- */

enum {
    TONALYX_OK = 0,
    TONALYX_CANNOT_OPEN = 1, /* missing, a folder, no permission */
    TONALYX_READ_ERROR = 2,  /* the input could not be read (not its end) */
    TONALYX_NO_DATA = 3,     /* no sample data could be loaded */
    TONALYX_NO_REPORT = 4    /* a getter was given a NULL handle */
};
/* "ok", "cannot-open", "read-error", "no-data", "no-report"; "" for a
 * value this library does not know. */
TONALYX_API const char* tonalyx_status_name(int status);

/* ---- the candidates and the defaults ---- */

#define TONALYX_DEFAULT_LENGTH 1024u /* sample slots the default answer analyses */
#define TONALYX_MAX_LENGTH 4096u
#define TONALYX_DEFAULT_MIN_RESULT 0.1 /* a result below it is weak */

/* 46: the frequencies 100, 120, ..., 1000 in the order they are compared;
 * tonalyx_candidate_at gives 0 past the last. */
TONALYX_API size_t tonalyx_candidate_count(void);
TONALYX_API uint32_t tonalyx_candidate_at(size_t index);

/* The defaults as numbers, for callers that cannot read macros (the page). */
TONALYX_API uint32_t tonalyx_default_length(void);
TONALYX_API double tonalyx_default_min_result(void);

/* The length as the console reads -length: blanks, a sign, then the digits
 * up to the first other character, modulo 2^32 ("4294967297" is 1, "-1"
 * 4294967295); 0 without digits or for NULL. */
TONALYX_API uint32_t tonalyx_length_from_text(const char* text);

/* ---- settings ---- */

typedef struct tonalyx_settings tonalyx_settings;

/* The defaults: length TONALYX_DEFAULT_LENGTH, no trace, no samples, no
 * pictures. NULL only when memory runs out. Wherever a function takes
 * settings, NULL means these defaults. */
TONALYX_API tonalyx_settings* tonalyx_settings_new(void);
TONALYX_API void tonalyx_settings_free(tonalyx_settings* settings);
/* Sample slots to analyse, 1 to 4096; others give 4096 and a warning. */
TONALYX_API void tonalyx_settings_set_length(tonalyx_settings* settings, uint32_t length);
/* Non-zero: keep the console's transcript, what it prints with -v
 * (tonalyx_report_trace). */
TONALYX_API void tonalyx_settings_set_trace(tonalyx_settings* settings, int on);
/* Non-zero: keep the scaled slots analysed (tonalyx_report_samples). */
TONALYX_API void tonalyx_settings_set_keep_samples(tonalyx_settings* settings, int on);
/* Non-zero: the measurement keeps the spectrum, envelope, harmonics, hum
 * and bursts for plots. */
TONALYX_API void tonalyx_settings_set_pictures(tonalyx_settings* settings, int on);

/* ---- input through callbacks ---- */

/* For an input that is neither a file nor in memory (the page reads a file
 * in slices, a socket, a decompressor). read() puts up to count bytes into
 * buffer and returns how many, 0 at the end, -1 on an error. seek() moves
 * to an absolute offset from the start of the input and returns non-zero
 * on success (past the end too, where the next read gives 0); seek may be
 * NULL, and the input is then read forward only, as a pipe is. */
typedef long (*tonalyx_read_fn)(void* user, void* buffer, size_t count);
typedef int (*tonalyx_seek_fn)(void* user, uint64_t offset);

/* The versioned form: set struct_size to sizeof(tonalyx_io); members added
 * later go after user, and a library reads only those the size covers. */
typedef struct tonalyx_io {
    size_t struct_size;
    tonalyx_read_fn read;
    tonalyx_seek_fn seek; /* may be NULL */
    void* user;
} tonalyx_io;

/* ---- messages ---- */

/* What a message says; its fields are tonalyx_*_message_number and
 * _message_detail. The text is what the console prints for it. */
enum {
    TONALYX_MSG_LENGTH_RESTRICTED = 1, /* the length was 0 or above 4096; number: 4096 */
    TONALYX_MSG_LENGTH_REDUCED = 2,    /* fewer slots were loaded; number: the slots */
    TONALYX_MSG_NOT_FOUND = 3,         /* the input cannot be opened; detail: its name */
    TONALYX_MSG_READ_FAILED = 4,       /* detail: the system's words */
    TONALYX_MSG_NO_DATA = 5,           /* no sample data loaded */
    TONALYX_MSG_NO_MAIN_HEADER = 6,    /* the RIFF header cannot be read */
    TONALYX_MSG_WRONG_FILE_TAG = 7,    /* not RIFF */
    TONALYX_MSG_WRONG_DATA_ID = 8,
    TONALYX_MSG_UNSUPPORTED_BITS = 9,  /* number: the bits per sample */
    TONALYX_MSG_WRONG_FORMAT_ID = 10,  /* detail: the chunk id as printed */
    TONALYX_MSG_CANNOT_OPEN = 11,      /* the measurement's; detail: the system's words */
    TONALYX_MSG_CANNOT_MEASURE = 12,   /* detail: why ("unsupported format tag 0x0055") */
    TONALYX_MSG_FORMAT_NOTE = 13,      /* detail: what the reader noted */
    TONALYX_MSG_CUT_SHORT = 14         /* only the first part was measured (tonalyx_measurement_cut) */
};
/* Where the console tools print a message, which follows from its code: 0
 * standard output, 1 standard error. */
enum { TONALYX_STDOUT = 0, TONALYX_STDERR = 1 };

/* ---- the default answer ---- */

typedef struct tonalyx_report tonalyx_report;

TONALYX_API tonalyx_report* tonalyx_analyze_file(const char* path, const tonalyx_settings* settings);
TONALYX_API tonalyx_report* tonalyx_analyze_memory(const void* data, size_t size, const char* name,
                                                   const tonalyx_settings* settings);
TONALYX_API tonalyx_report* tonalyx_analyze_callbacks(tonalyx_read_fn read, tonalyx_seek_fn seek, void* user,
                                                      const char* name, const tonalyx_settings* settings);
TONALYX_API tonalyx_report* tonalyx_analyze_io(const tonalyx_io* io, const char* name,
                                               const tonalyx_settings* settings);
TONALYX_API void tonalyx_report_free(tonalyx_report* report);

TONALYX_API int tonalyx_report_status(const tonalyx_report* report);
TONALYX_API int tonalyx_report_has_result(const tonalyx_report* report);
TONALYX_API uint32_t tonalyx_report_freq(const tonalyx_report* report);
TONALYX_API double tonalyx_report_result(const tonalyx_report* report);
/* "bestResult=0.497611 best matching freq.=440" ("" without a result) */
TONALYX_API const char* tonalyx_report_result_line(const tonalyx_report* report);
/* The slots analysed, after the checks. */
TONALYX_API uint32_t tonalyx_report_length(const tonalyx_report* report);
TONALYX_API size_t tonalyx_report_candidate_count(const tonalyx_report* report);
TONALYX_API void tonalyx_report_candidate(const tonalyx_report* report, size_t index, uint32_t* freq,
                                          double* result);
TONALYX_API size_t tonalyx_report_message_count(const tonalyx_report* report);
/* The text, line end included ("" past the last); *stream (when not NULL)
 * gets TONALYX_STDOUT or TONALYX_STDERR. */
TONALYX_API const char* tonalyx_report_message(const tonalyx_report* report, size_t index, int* stream);
/* TONALYX_MSG_..., 0 past the last. */
TONALYX_API int tonalyx_report_message_code(const tonalyx_report* report, size_t index);
TONALYX_API uint32_t tonalyx_report_message_number(const tonalyx_report* report, size_t index);
TONALYX_API const char* tonalyx_report_message_detail(const tonalyx_report* report, size_t index);
/* The transcript ("" unless asked for). */
TONALYX_API const char* tonalyx_report_trace(const tonalyx_report* report);
TONALYX_API const double* tonalyx_report_samples(const tonalyx_report* report, size_t* count);
/* The verdict tonalyx-batch gives: "ok", "weak" (result below min_result),
 * "wrong" (expect, when not 0, is another candidate) or "error". */
TONALYX_API const char* tonalyx_report_verdict(const tonalyx_report* report, double min_result, uint32_t expect);

/* ---- the measurement ---- */

typedef struct tonalyx_measurement tonalyx_measurement;

TONALYX_API tonalyx_measurement* tonalyx_measure_file(const char* path);
TONALYX_API tonalyx_measurement* tonalyx_measure_memory(const void* data, size_t size, const char* name);
/* Flags for the _with and _callbacks calls: TONALYX_MEASURE_PICTURES is
 * tonalyx_settings_set_pictures. */
enum { TONALYX_MEASURE_PICTURES = 1 };
TONALYX_API tonalyx_measurement* tonalyx_measure_file_with(const char* path, unsigned flags);
TONALYX_API tonalyx_measurement* tonalyx_measure_memory_with(const void* data, size_t size, const char* name,
                                                             unsigned flags);
/* Large chunks before the data are skipped by seeking, when seek is given. */
TONALYX_API tonalyx_measurement* tonalyx_measure_callbacks(tonalyx_read_fn read, tonalyx_seek_fn seek, void* user,
                                                           const char* name, unsigned flags);
TONALYX_API tonalyx_measurement* tonalyx_measure_io(const tonalyx_io* io, const char* name,
                                                    const tonalyx_settings* settings);
TONALYX_API void tonalyx_measurement_free(tonalyx_measurement* measurement);

TONALYX_API int tonalyx_measurement_status(const tonalyx_measurement* measurement);
/* The candidate, or 0 for no tone. */
TONALYX_API uint32_t tonalyx_measurement_tone(const tonalyx_measurement* measurement);
TONALYX_API double tonalyx_measurement_measured(const tonalyx_measurement* measurement);
TONALYX_API double tonalyx_measurement_purity(const tonalyx_measurement* measurement);
TONALYX_API double tonalyx_measurement_level(const tonalyx_measurement* measurement);
TONALYX_API double tonalyx_measurement_start(const tonalyx_measurement* measurement);
TONALYX_API double tonalyx_measurement_end(const tonalyx_measurement* measurement);
TONALYX_API uint32_t tonalyx_measurement_channel(const tonalyx_measurement* measurement);
/* Total harmonic distortion in percent, the tone's SNR in its own band in
 * dB, and the spread of its frequency in Hz. */
TONALYX_API double tonalyx_measurement_thd(const tonalyx_measurement* measurement);
TONALYX_API double tonalyx_measurement_snr(const tonalyx_measurement* measurement);
TONALYX_API double tonalyx_measurement_drift(const tonalyx_measurement* measurement);
/* The stretches of tone: 1 for a continuous tone. */
TONALYX_API uint32_t tonalyx_measurement_bursts(const tonalyx_measurement* measurement);
/* Why there is no tone: "short", "impure", "off-band", "several", "silent"
 * or "hum"; "" with a tone. */
TONALYX_API const char* tonalyx_measurement_reason(const tonalyx_measurement* measurement);
/* The seconds measured when the recording was cut short; 0 when whole. */
TONALYX_API double tonalyx_measurement_cut(const tonalyx_measurement* measurement);
/* The stretches of steady tone, in time order, and each as -segments
 * prints it ("segment start=... end=... tone=... ..."). */
TONALYX_API size_t tonalyx_measurement_segment_count(const tonalyx_measurement* measurement);
TONALYX_API const char* tonalyx_measurement_segment_line(const tonalyx_measurement* measurement, size_t index);
TONALYX_API void tonalyx_measurement_segment(const tonalyx_measurement* measurement, size_t index, double* start,
                                             double* end, uint32_t* tone, double* measured, double* purity,
                                             double* level);
/* With pictures: the power spectrum of the tone's stretch in dBFS (value
 * k at k x *bin_hz), the level of each *block_seconds in dBFS, the
 * harmonics and the hum found in Hz, and the bursts as start, end pairs
 * (*count pairs, 2 x *count values). NULL and a count of 0 without them. */
TONALYX_API const double* tonalyx_measurement_spectrum(const tonalyx_measurement* measurement, double* bin_hz,
                                                       size_t* count);
TONALYX_API const double* tonalyx_measurement_envelope(const tonalyx_measurement* measurement,
                                                       double* block_seconds, size_t* count);
TONALYX_API const double* tonalyx_measurement_harmonics(const tonalyx_measurement* measurement, size_t* count);
TONALYX_API const double* tonalyx_measurement_hum(const tonalyx_measurement* measurement, size_t* count);
TONALYX_API const double* tonalyx_measurement_burst_spans(const tonalyx_measurement* measurement, size_t* count);
/* The verdict tonalyx-batch --hz gives: "error" (not read), with
 * expect < 0 (the file must hold no tone) "ok" for none and "wrong" for a
 * tone; else "weak" (no tone, purity below min_purity, or level below
 * min_level: pass -INFINITY for no level threshold), "wrong" (expect, when
 * not 0, is another candidate, or the measured Hz lie further than
 * tolerance from it) or "ok". */
TONALYX_API const char* tonalyx_measurement_verdict(const tonalyx_measurement* measurement, double min_purity,
                                                    double min_level, double tolerance, int32_t expect);
/* "tone=440 measured=440.02 purity=0.998 ... bursts=1" */
TONALYX_API const char* tonalyx_measurement_line(const tonalyx_measurement* measurement);
TONALYX_API size_t tonalyx_measurement_message_count(const tonalyx_measurement* measurement);
TONALYX_API const char* tonalyx_measurement_message(const tonalyx_measurement* measurement, size_t index,
                                                    int* stream);
TONALYX_API int tonalyx_measurement_message_code(const tonalyx_measurement* measurement, size_t index);
TONALYX_API uint32_t tonalyx_measurement_message_number(const tonalyx_measurement* measurement, size_t index);
TONALYX_API const char* tonalyx_measurement_message_detail(const tonalyx_measurement* measurement, size_t index);

/* ---- names ---- */

/* The size bytes of text as the tools print a name: control characters
 * (C1 included) as \xHH. Writes at most out_size - 1 bytes and a NUL to
 * out (when out_size > 0) and returns the escaped length, so a call with
 * out_size 0 says what to allocate; SIZE_MAX when memory runs out. */
TONALYX_API size_t tonalyx_escape_controls(const char* text, size_t size, char* out, size_t out_size);

#ifdef __cplusplus
}
#endif

#endif
