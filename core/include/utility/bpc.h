#pragma once
// Channel depth of a world, and the query that finds it.

#include "AE_Effect.h"
#include "world/pixels.h"

namespace Nerevo {

// The depths themselves, Bpc, live with the pixel types in world/pixels.h:
// filters do nothing and new worlds allocate nothing for any other value.

// Sets *out from the world's pixel format; leaves it unchanged for a format
// that is none of the three. A missing world suite is reported to the user.
PF_Err getBpc(PF_InData* in_data, PF_OutData* out_data, PF_LayerDef* world, Bpc* out);

}  // namespace Nerevo
