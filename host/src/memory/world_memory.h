#pragma once
// The pixel memory behind every world the host knows: those it hands to the
// plug-in and the images of tests and tools. Each buffer knows its pixel
// format, which the world record itself does not carry.
//
// Rows are padded beyond width × pixel size and a guard row lies before the
// first and after the last, all filled with a pattern: code that ignores
// rowbytes or strays outside the pixels reads garbage and, when it writes
// there, is caught when the buffer is freed.

#include <cstddef>

#include "AE_Effect.h"
#include "AE_EffectPixelFormat.h"

namespace host {

// Size of one pixel of the three formats; 0 for any other format.
std::size_t pixelSize(PF_PixelFormat format);

// How a world's pixels lie in memory, as the host allocated them.
struct WorldShape {
    PF_PixelFormat format = PF_PixelFormat_INVALID;
    A_long width = 0;
    A_long height = 0;
    A_long rowbytes = 0;
    char* data = nullptr;

    char* row(A_long y) const { return data + static_cast<std::ptrdiff_t>(y) * rowbytes; }
};

namespace WorldMemory {

// Allocates the pixels of a world and fills in its record: size, rowbytes,
// data, flags and origin. Pixels are zero (transparent black) when `clear`,
// else a pattern no code should rely on. Returns PF_Err_BAD_CALLBACK_PARAM
// for an unknown format or a negative size, PF_Err_OUT_OF_MEMORY when the
// memory cannot be had; the record is left alone then.
PF_Err allocate(PF_PixelFormat format, A_long width, A_long height, bool clear, PF_Point origin,
                PF_EffectWorld& world);

// Frees the buffer whose pixels start at `data`; false when no buffer does.
// `intact` tells whether the padding and guard rows kept their pattern.
bool release(const void* data, bool& intact);

// The shape of the buffer behind a world's data; false for a null world, one
// the host did not allocate, or a record whose size or rowbytes no longer
// match its pixels.
bool find(const PF_EffectWorld* world, WorldShape& shape);

// Whether the padding and guard rows of a buffer kept their pattern.
bool intact(const void* data);

}  // namespace WorldMemory

}  // namespace host
