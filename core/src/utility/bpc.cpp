#include "utility/bpc.h"

#include "AEFX_SuiteHelper.h"
#include "AE_EffectCBSuites.h"

namespace Nerevo {

PF_Err getBpc(PF_InData* in_data, PF_OutData* out_data, PF_LayerDef* world, Bpc* out) {
    PF_WorldSuite2* suite = nullptr;
    PF_Err err = AEFX_AcquireSuite(in_data, out_data, kPFWorldSuite, kPFWorldSuiteVersion2, "Couldn't load suite.",
                                   reinterpret_cast<void**>(&suite));
    if (!err) {
        PF_PixelFormat format = PF_PixelFormat_INVALID;
        err = suite->PF_GetPixelFormat(world, &format);
        if (!err) {
            withPixelType(format, [out](auto type) { *out = PixelTraits<typename decltype(type)::type>::bpc; });
        }
    }
    if (!suite) {
        // Nothing was acquired, so nothing is given back: an unmatched release
        // would unbalance the host's count.
        return err;
    }
    PF_Err releaseErr = AEFX_ReleaseSuite(in_data, out_data, kPFWorldSuite, kPFWorldSuiteVersion2,
                                          "Couldn't release suite.");
    return err ? err : releaseErr;
}

}  // namespace Nerevo
