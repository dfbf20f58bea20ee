#pragma once
// Suite acquisition that reports a failure to the user: the message goes
// into the host's return message with PF_OutFlag_DISPLAY_ERROR_MESSAGE set,
// besides the error code.

#include "AE_Effect.h"
#include "AE_EffectCB.h"
#include "DrawbotSuite.h"

// Acquires a suite through in_data->pica_basicP. Without a basic suite, or
// when the host gives no suite, the message is shown and
// PF_Err_BAD_CALLBACK_PARAM returned.
PF_Err AEFX_AcquireSuite(PF_InData* in_data, PF_OutData* out_data, const char* name, int32_t version,
                         const char* error_stringPC0, void** suitePP);

PF_Err AEFX_ReleaseSuite(PF_InData* in_data, PF_OutData* out_data, const char* name, int32_t version,
                         const char* error_stringPC0);

// The four Drawbot suites, in acquisition order.
struct DRAWBOT_Suites {
    DRAWBOT_DrawbotSuite1* drawbot_suiteP;
    DRAWBOT_SupplierSuite1* supplier_suiteP;
    DRAWBOT_SurfaceSuite1* surface_suiteP;
    DRAWBOT_PathSuite1* path_suiteP;
};

// Acquires draw, supplier, surface and path suites in that order and stops
// at the first the host cannot give.
PF_Err AEFX_AcquireDrawbotSuites(PF_InData* in_data, PF_OutData* out_data, DRAWBOT_Suites* suitesP);

// Releases the four suites; never fails.
PF_Err AEFX_ReleaseDrawbotSuites(PF_InData* in_data, PF_OutData* out_data);
