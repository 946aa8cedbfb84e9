/* What a shared build of the library exports: the API and nothing else. */
#ifndef TONALYX_EXPORT_H
#define TONALYX_EXPORT_H

#if defined(_WIN32) && defined(TONALYX_SHARED)
#  ifdef TONALYX_BUILDING
#    define TONALYX_API __declspec(dllexport)
#  else
#    define TONALYX_API __declspec(dllimport)
#  endif
#elif defined(__GNUC__)
#  define TONALYX_API __attribute__((visibility("default")))
#else
#  define TONALYX_API
#endif

#endif
