// Pixel formats of host worlds: four-character codes as they lie in memory.
#ifndef NEREVO_SDK_AE_EFFECT_PIXEL_FORMAT_H
#define NEREVO_SDK_AE_EFFECT_PIXEL_FORMAT_H

#include "A.h"

typedef A_long PF_PixelFormat;

enum {
    PF_PixelFormat_ARGB32 = 0x62677261,  // "argb": 8 bits per channel
    PF_PixelFormat_ARGB64 = 0x36316561,  // "ae16": 16 bits per channel, full scale 32768
    PF_PixelFormat_ARGB128 = 0x32336561, // "ae32": 32-bit float channels
    PF_PixelFormat_INVALID = 0x66646162  // "badf"
};

#endif
