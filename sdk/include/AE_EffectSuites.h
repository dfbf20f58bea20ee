// Effect suites acquired through SPBasicSuite: parameter UI, custom UI
// drawing and the original world allocation suite.
#ifndef NEREVO_SDK_AE_EFFECT_SUITES_H
#define NEREVO_SDK_AE_EFFECT_SUITES_H

#include "AE_Effect.h"
#include "AE_EffectUI.h"
#include "DrawbotSuite.h"

#ifdef __cplusplus
extern "C" {
#endif

#define kPFParamUtilsSuite "PF Param Utils Suite"
#define kPFParamUtilsSuiteVersion2 2

typedef struct PF_ParamUtilsSuite2 {
    // Tells the host new UI flags (and name) of a parameter; the value is ignored.
    PF_Err (*PF_UpdateParamUI)(PF_ProgPtr effect_ref, PF_ParamIndex param_index, const PF_ParamDef* defP);
} PF_ParamUtilsSuite2;

#define kPFEffectCustomUISuite "PF Effect Custom UI Suite"
#define kPFEffectCustomUISuiteVersion1 1

typedef struct PF_EffectCustomUISuite1 {
    PF_Err (*PF_GetDrawingReference)(const PF_ContextH effect_contextH, DRAWBOT_DrawRef* referenceP0);
} PF_EffectCustomUISuite1;

#define kPFWorldSuiteVersion1 1

typedef struct PF_WorldSuite1 {
    PF_Err (*new_world)(PF_ProgPtr effect_ref, A_long widthL, A_long heightL, PF_NewWorldFlags flags,
                        PF_EffectWorld* worldP);
    PF_Err (*dispose_world)(PF_ProgPtr effect_ref, PF_EffectWorld* worldP);
} PF_WorldSuite1;

#ifdef __cplusplus
}
#endif

#endif
