#pragma once
// Channel depth of a world, and the query that finds it.

#include <cstdint>

#include "AE_Effect.h"

namespace Nerevo {

// Selects the pixel type everywhere: 8 bits -> PF_Pixel, 16 bits ->
// PF_Pixel16 (full scale 32768), float -> PF_PixelFloat. Any other value
// selects no code path: filters do nothing, new worlds allocate nothing.
enum Bpc : int32_t { bpc8 = 0, bpc16 = 1, bpc32 = 2 };

// Sets *out from the world's pixel format; leaves it unchanged for a format
// that is none of the three. A missing world suite is reported to the user.
PF_Err getBpc(PF_InData* in_data, PF_OutData* out_data, PF_LayerDef* world, Bpc* out);

}  // namespace Nerevo
