#include "AEFX_SuiteHelper.h"

namespace {

void showMessage(PF_InData* in_data, PF_OutData* out_data, const char* message) {
    if (!message || !out_data) {
        return;
    }
    out_data->out_flags |= PF_OutFlag_DISPLAY_ERROR_MESSAGE;
    if (in_data && in_data->utils && in_data->utils->ansi.sprintf) {
        in_data->utils->ansi.sprintf(out_data->return_msg, "%s", message);
    }
}

struct DrawbotSuiteName {
    const char* name;
    int32_t version;
};

constexpr DrawbotSuiteName kDrawbotSuites[] = {
    {kDRAWBOT_DrawSuite, kDRAWBOT_DrawSuite_Version1},
    {kDRAWBOT_SupplierSuite, kDRAWBOT_SupplierSuite_Version1},
    {kDRAWBOT_SurfaceSuite, kDRAWBOT_SurfaceSuite_Version1},
    {kDRAWBOT_PathSuite, kDRAWBOT_PathSuite_Version1},
};

}  // namespace

PF_Err AEFX_AcquireSuite(PF_InData* in_data, PF_OutData* out_data, const char* name, int32_t version,
                         const char* error_stringPC0, void** suitePP) {
    const void* suite = nullptr;
    SPBasicSuite* basic = in_data ? in_data->pica_basicP : nullptr;
    if (basic) {
        basic->AcquireSuite(name, version, &suite);
    }
    *suitePP = const_cast<void*>(suite);
    if (!suite) {
        showMessage(in_data, out_data, error_stringPC0);
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    return PF_Err_NONE;
}

PF_Err AEFX_ReleaseSuite(PF_InData* in_data, PF_OutData* out_data, const char* name, int32_t version,
                         const char* error_stringPC0) {
    SPBasicSuite* basic = in_data ? in_data->pica_basicP : nullptr;
    if (!basic) {
        showMessage(in_data, out_data, error_stringPC0);
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    basic->ReleaseSuite(name, version);
    return PF_Err_NONE;
}

PF_Err AEFX_AcquireDrawbotSuites(PF_InData* in_data, PF_OutData* out_data, DRAWBOT_Suites* suitesP) {
    if (!suitesP) {
        showMessage(in_data, out_data, "NULL suite pointer passed to AEFX_AcquireDrawbotSuites");
        return PF_Err_UNRECOGNIZED_PARAM_TYPE;
    }
    void** slots[] = {reinterpret_cast<void**>(&suitesP->drawbot_suiteP),
                      reinterpret_cast<void**>(&suitesP->supplier_suiteP),
                      reinterpret_cast<void**>(&suitesP->surface_suiteP),
                      reinterpret_cast<void**>(&suitesP->path_suiteP)};
    for (int i = 0; i < 4; ++i) {
        PF_Err err = AEFX_AcquireSuite(in_data, out_data, kDrawbotSuites[i].name, kDrawbotSuites[i].version,
                                       "Not able to acquire AEFX Suite.", slots[i]);
        if (err) {
            // Give back what was already taken: the caller releases nothing
            // after a failed acquisition.
            for (int k = 0; k < i; ++k) {
                in_data->pica_basicP->ReleaseSuite(kDrawbotSuites[k].name, kDrawbotSuites[k].version);
            }
            return err;
        }
    }
    return PF_Err_NONE;
}

PF_Err AEFX_ReleaseDrawbotSuites(PF_InData* in_data, PF_OutData* out_data) {
    for (const DrawbotSuiteName& s : kDrawbotSuites) {
        AEFX_ReleaseSuite(in_data, out_data, s.name, s.version, "Not able to release AEFX Suite.");
    }
    return PF_Err_NONE;
}
