/* Tonalyx, the C interface: what other languages, Python and WebAssembly
 * call. The same runs as the C++ interface in tonalyx.hpp, behind opaque
 * handles; every handle a function returns is released by its _free
 * function. Strings are UTF-8 and NUL-terminated, and stay valid until the
 * handle that gave them is released. All functions are reentrant. */
#ifndef TONALYX_H
#define TONALYX_H

#include <stddef.h>
#include <stdint.h>

#include "tonalyx/export.h"

#ifdef __cplusplus
extern "C" {
#endif


/* Statuses, as a POSIX shell sees them. */
enum {
    TONALYX_OK = 0,
    TONALYX_READ_ERROR = 251,
    TONALYX_NO_DATA = 253,
    TONALYX_CANNOT_OPEN = 254
};

enum { TONALYX_STDOUT = 0, TONALYX_STDERR = 1 };

typedef struct tonalyx_settings {
    uint32_t length;     /* sample slots, 1 to 4096; others give 4096 and a warning */
    int trace;           /* non-zero: keep the -v text (tonalyx_report_trace) */
    int keep_samples;    /* non-zero: keep the scaled slots */
} tonalyx_settings;

/* length 1024, no trace, no samples. */
TONALYX_API tonalyx_settings tonalyx_default_settings(void);

/* ---- the default answer ---- */

typedef struct tonalyx_report tonalyx_report;

/* NULL only when memory runs out; settings may be NULL for the defaults. */
TONALYX_API tonalyx_report* tonalyx_analyze_file(const char* path, const tonalyx_settings* settings);
TONALYX_API tonalyx_report* tonalyx_analyze_memory(const void* data, size_t size, const char* name,
                                                   const tonalyx_settings* settings);
TONALYX_API void tonalyx_report_free(tonalyx_report* report);

TONALYX_API int tonalyx_report_status(const tonalyx_report* report);
TONALYX_API int tonalyx_report_has_result(const tonalyx_report* report);
TONALYX_API uint32_t tonalyx_report_freq(const tonalyx_report* report);
TONALYX_API double tonalyx_report_result(const tonalyx_report* report);
/* "bestResult=0.497611 best matching freq.=440" */
TONALYX_API const char* tonalyx_report_result_line(const tonalyx_report* report);
TONALYX_API size_t tonalyx_report_candidate_count(const tonalyx_report* report);
TONALYX_API void tonalyx_report_candidate(const tonalyx_report* report, size_t index, uint32_t* freq,
                                          double* result);
TONALYX_API size_t tonalyx_report_message_count(const tonalyx_report* report);
/* The text, line end included; *stream (when not NULL) gets TONALYX_STDOUT or TONALYX_STDERR. */
TONALYX_API const char* tonalyx_report_message(const tonalyx_report* report, size_t index, int* stream);
/* The -v text ("" unless asked for). */
TONALYX_API const char* tonalyx_report_trace(const tonalyx_report* report);
TONALYX_API const double* tonalyx_report_samples(const tonalyx_report* report, size_t* count);
/* The verdict tonalyx-batch gives: "ok", "weak" (result below min_result),
 * "wrong" (expect, when not 0, is another candidate) or "error". */
TONALYX_API const char* tonalyx_report_verdict(const tonalyx_report* report, double min_result, uint32_t expect);

/* ---- the measurement ---- */

typedef struct tonalyx_measurement tonalyx_measurement;

TONALYX_API tonalyx_measurement* tonalyx_measure_file(const char* path);
TONALYX_API tonalyx_measurement* tonalyx_measure_memory(const void* data, size_t size, const char* name);
/* Flags for the _with calls: TONALYX_MEASURE_PICTURES keeps the spectrum,
 * envelope, harmonics, hum and bursts for plots. */
enum { TONALYX_MEASURE_PICTURES = 1 };
TONALYX_API tonalyx_measurement* tonalyx_measure_file_with(const char* path, unsigned flags);
TONALYX_API tonalyx_measurement* tonalyx_measure_memory_with(const void* data, size_t size, const char* name,
                                                             unsigned flags);
/* The input through callbacks, for an input that is neither a file nor in
 * memory (the page reads a file in slices). read() puts up to count bytes
 * into buffer and returns how many, 0 at the end, -1 on an error. seek()
 * moves to an absolute offset from the start of the input and returns
 * non-zero on success (past the end too, where the next read gives 0);
 * seek may be NULL, and the input is then read through as a pipe is. Large
 * chunks before the data are skipped by seeking. */
TONALYX_API tonalyx_measurement* tonalyx_measure_callbacks(long (*read)(void* user, void* buffer, size_t count),
                                                           int (*seek)(void* user, uint64_t offset), void* user,
                                                           const char* name, unsigned flags);
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
/* With TONALYX_MEASURE_PICTURES: the power spectrum of the tone's stretch
 * in dBFS (value k at k x *bin_hz), the level of each *block_seconds in
 * dBFS, the harmonics and the hum found in Hz, and the bursts as start,
 * end pairs (2 x *count values). NULL and a count of 0 without them. */
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

/* The size bytes of text as the tools print a name: control characters
 * (C1 included) as \xHH. Writes at most out_size - 1 bytes and a NUL to
 * out (when out_size > 0) and returns the escaped length, so a call with
 * out_size 0 says what to allocate; SIZE_MAX when memory runs out. */
TONALYX_API size_t tonalyx_escape_controls(const char* text, size_t size, char* out, size_t out_size);

TONALYX_API const char* tonalyx_version(void);

#ifdef __cplusplus
}
#endif

#endif
