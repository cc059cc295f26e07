// Basic BeOS types: sized integers, status_t, bigtime_t, and the atomic helpers.
#ifndef _SUPPORT_DEFS_H
#define _SUPPORT_DEFS_H

#include <cstddef>
#include <cstdint>
#include <sys/types.h>

#include <Errors.h>

typedef int8_t int8;
typedef uint8_t uint8;
typedef int16_t int16;
typedef uint16_t uint16;
typedef int32_t int32;
typedef uint32_t uint32;
typedef int64_t int64;
typedef uint64_t uint64;

typedef int32 status_t;
typedef int64 bigtime_t;
typedef uint32 type_code;
typedef uint32 perform_code;
typedef int32 thread_id;
typedef int32 team_id;
typedef int32 sem_id;
typedef int32 port_id;

#ifndef B_INFINITE_TIMEOUT
#define B_INFINITE_TIMEOUT (9223372036854775807LL)
#endif

// Adds value to *target atomically and returns the previous value.
int32 atomic_add(int32* target, int32 value);
int32 atomic_and(int32* target, int32 value);
int32 atomic_or(int32* target, int32 value);
int32 atomic_get(int32* target);
int64 atomic_add64(int64* target, int64 value);

#ifndef min_c
#define min_c(a, b) ((a) > (b) ? (b) : (a))
#define max_c(a, b) ((a) > (b) ? (a) : (b))
#endif

#endif // _SUPPORT_DEFS_H
