#pragma once
// Per-command cache of host suites.
//
// Every command builds one handler on the host's basic suite; a suite is
// acquired on first use and released when the handler is destroyed. A suite
// the host cannot give throws PF_Err_BAD_CALLBACK_PARAM (see
// MissingSuiteError), which the entry point returns as the command's error.
//
// The cache is not locked: acquire every suite that filter bands use before
// the bands start.

#include <array>

#include "AE_Effect.h"
#include "AE_EffectCBSuites.h"
#include "AE_EffectSuites.h"
#include "AE_GeneralPlug.h"
#include "DrawbotSuite.h"
#include "SPBasic.h"

class AEGP_SuiteHandler {
public:
    explicit AEGP_SuiteHandler(const SPBasicSuite* pica_basicP);
    ~AEGP_SuiteHandler();

    AEGP_SuiteHandler(const AEGP_SuiteHandler&) = delete;
    AEGP_SuiteHandler& operator=(const AEGP_SuiteHandler&) = delete;

    const SPBasicSuite* Pica() const { return basic_; }

    // Effect suites
    const PF_HandleSuite2* HandleSuite2() const { return get<PF_HandleSuite2>(Handle2, kPFHandleSuite, 2); }
    const PF_WorldSuite1* WorldSuite1() const { return get<PF_WorldSuite1>(World1, kPFWorldSuite, 1); }
    const PF_WorldSuite2* WorldSuite2() const { return get<PF_WorldSuite2>(World2, kPFWorldSuite, 2); }
    const PF_Iterate8Suite1* Iterate8Suite1() const {
        return get<PF_Iterate8Suite1>(Iterate8, kPFIterate8Suite, 1);
    }
    const PF_Sampling8Suite1* Sampling8Suite1() const {
        return get<PF_Sampling8Suite1>(Sampling8, kPFSampling8Suite, 1);
    }
    const PF_Sampling16Suite1* Sampling16Suite1() const {
        return get<PF_Sampling16Suite1>(Sampling16, kPFSampling16Suite, 1);
    }
    const PF_SamplingFloatSuite1* SamplingFloatSuite1() const {
        return get<PF_SamplingFloatSuite1>(SamplingFloat, kPFSamplingFloatSuite, 1);
    }
    const PF_ParamUtilsSuite2* ParamUtilsSuite2() const {
        return get<PF_ParamUtilsSuite2>(ParamUtils2, kPFParamUtilsSuite, 2);
    }
    const PF_EffectCustomUISuite1* EffectCustomUISuite1() const {
        return get<PF_EffectCustomUISuite1>(EffectCustomUI1, kPFEffectCustomUISuite, 1);
    }
    const DRAWBOT_DrawbotSuite1* DrawbotSuite1() const {
        return get<DRAWBOT_DrawbotSuite1>(DrawbotDraw1, kDRAWBOT_DrawSuite, 1);
    }
    const DRAWBOT_SurfaceSuite1* SurfaceSuite1() const {
        return get<DRAWBOT_SurfaceSuite1>(DrawbotSurface1, kDRAWBOT_SurfaceSuite, 1);
    }

    // AEGP suites
    const AEGP_PFInterfaceSuite1* PFInterfaceSuite1() const {
        return get<AEGP_PFInterfaceSuite1>(PFInterface1, kAEGPPFInterfaceSuite, 1);
    }
    const AEGP_LayerSuite13* LayerSuite13() const { return get<AEGP_LayerSuite13>(Layer13, kAEGPLayerSuite, 13); }
    const AEGP_IterateSuite1* IterateSuite1() const {
        return get<AEGP_IterateSuite1>(AEGPIterate1, kAEGPIterateSuite, 1);
    }
    const AEGP_UtilitySuite7* UtilitySuite7() const {
        return get<AEGP_UtilitySuite7>(Utility7, kAEGPUtilitySuite, 7);
    }
    const AEGP_EffectSuite2* EffectSuite2() const { return get<AEGP_EffectSuite2>(Effect2, kAEGPEffectSuite, 2); }
    const AEGP_EffectSuite3* EffectSuite3() const { return get<AEGP_EffectSuite3>(Effect3, kAEGPEffectSuite, 3); }
    const AEGP_StreamSuite9* StreamSuite9() const { return get<AEGP_StreamSuite9>(Stream9, kAEGPStreamSuite, 9); }
    const AEGP_DynamicStreamSuite5* DynamicStreamSuite5() const {
        return get<AEGP_DynamicStreamSuite5>(DynamicStream5, kAEGPDynamicStreamSuite, 5);
    }
    const AEGP_KeyframeSuite4* KeyframeSuite4() const {
        return get<AEGP_KeyframeSuite4>(Keyframe4, kAEGPKeyframeSuite, 4);
    }
    const AEGP_MemorySuite1* MemorySuite1() const { return get<AEGP_MemorySuite1>(Memory1, kAEGPMemorySuite, 1); }

private:
    enum Slot {
        Handle2,
        World1,
        World2,
        Iterate8,
        Sampling8,
        Sampling16,
        SamplingFloat,
        ParamUtils2,
        EffectCustomUI1,
        DrawbotDraw1,
        DrawbotSurface1,
        PFInterface1,
        Layer13,
        AEGPIterate1,
        Utility7,
        Effect2,
        Effect3,
        Stream9,
        DynamicStream5,
        Keyframe4,
        Memory1,
        SlotCount
    };

    struct Entry {
        const void* suite = nullptr;
        const char* name = nullptr;
        int version = 0;
    };

    template <typename Suite>
    const Suite* get(Slot slot, const char* name, int version) const {
        return static_cast<const Suite*>(acquire(slot, name, version));
    }

    const void* acquire(Slot slot, const char* name, int version) const;

    // Throws PF_Err_BAD_CALLBACK_PARAM. Defined on its own so a plug-in can
    // choose how a missing suite surfaces.
    [[noreturn]] void MissingSuiteError() const;

    const SPBasicSuite* basic_;
    mutable std::array<Entry, SlotCount> slots_{};
};
