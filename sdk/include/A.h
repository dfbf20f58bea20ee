// Basic scalar and time types of the host SDK.
//
// Our own declarations of the public names, written for this project so that
// the plug-in sources compile unchanged against the real SDK on macOS.
#ifndef NEREVO_SDK_A_H
#define NEREVO_SDK_A_H

#include <stdint.h>

typedef int32_t A_long;
typedef uint32_t A_u_long;
typedef int16_t A_short;
typedef uint16_t A_u_short;
typedef char A_char;
typedef uint8_t A_u_char;
typedef uint8_t A_Boolean;
typedef double A_FpLong;
typedef float A_FpShort;
typedef int32_t A_Err;
typedef int64_t A_longlong;
typedef uint64_t A_u_longlong;
typedef intptr_t A_intptr_t;
typedef uint16_t A_UTF16Char;

enum { A_Err_NONE = 0, A_Err_GENERIC = 1, A_Err_STRUCT = 2, A_Err_PARAMETER = 3, A_Err_ALLOC = 4 };

// A point in time: value / scale seconds.
typedef struct {
    A_long value;
    A_u_long scale;
} A_Time;

typedef struct {
    A_long num;
    A_u_long den;
} A_Ratio;

typedef struct {
    A_FpLong x, y;
} A_FloatPoint;

#endif
