#pragma once
// The host's sub-pixel sampling at the depth of a pixel type: one of the
// "PF Sampling8", "PF Sampling16" and "PF SamplingFloat" suites, version 1.

#include "AEGP_SuiteHandler.h"
#include "AE_EffectCBSuites.h"
#include "utility/bpc.h"

class SubpixelSampler {
public:
    // Samples nothing: every call fails.
    SubpixelSampler() = default;

    // Takes the suite of the depth from the handler, whose cache is not
    // locked: construct this before any band starts. A missing suite throws
    // the handler's missing-suite error; a depth that is none of the three
    // samples nothing.
    SubpixelSampler(AEGP_SuiteHandler& suites, Nerevo::Bpc bpc) {
        switch (bpc) {
        case Nerevo::bpc8: sampling8_ = suites.Sampling8Suite1(); break;
        case Nerevo::bpc16: sampling16_ = suites.Sampling16Suite1(); break;
        case Nerevo::bpc32: samplingFloat_ = suites.SamplingFloatSuite1(); break;
        default: break;
        }
    }

    // The pixel at the 16.16 position (x, y) of the record's source world.
    PF_Err sample(PF_ProgPtr ref, PF_Fixed x, PF_Fixed y, const PF_SampPB& pb, PF_Pixel& out) const {
        return sampling8_ ? sampling8_->subpixel_sample(ref, x, y, &pb, &out) : PF_Err_BAD_CALLBACK_PARAM;
    }
    PF_Err sample(PF_ProgPtr ref, PF_Fixed x, PF_Fixed y, const PF_SampPB& pb, PF_Pixel16& out) const {
        return sampling16_ ? sampling16_->subpixel_sample16(ref, x, y, &pb, &out) : PF_Err_BAD_CALLBACK_PARAM;
    }
    PF_Err sample(PF_ProgPtr ref, PF_Fixed x, PF_Fixed y, const PF_SampPB& pb, PF_PixelFloat& out) const {
        return samplingFloat_ ? samplingFloat_->subpixel_sample_float(ref, x, y, &pb, &out)
                              : PF_Err_BAD_CALLBACK_PARAM;
    }

private:
    const PF_Sampling8Suite1* sampling8_ = nullptr;
    const PF_Sampling16Suite1* sampling16_ = nullptr;
    const PF_SamplingFloatSuite1* samplingFloat_ = nullptr;
};
