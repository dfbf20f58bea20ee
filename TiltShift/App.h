#pragma once
// The render driver: one frame of the effect. It brings the input into the
// output's frame, converts the parameter values into render units and runs
// the tilt shifter that "Type" names.

#include <memory>

#include "AEGP_SuiteHandler.h"
#include "Params.h"
#include "TiltShifter.h"
#include "plugin/app.h"
#include "utility/bpc.h"
#include "world/world.h"

class App : public Nerevo::Plugin::App {
public:
    using Nerevo::Plugin::App::App;

    // A "Type" that is neither "Radial" nor "Linear" runs no stage and leaves
    // the output as the host gave it.
    PF_Err render() override;
};

// The parameter values in render units: lengths times the horizontal
// downsample factor (point values already come in render pixels), angles in
// radians, "Center" in the pixels of the output world, whose origin may lie
// outside the layer.
TiltShifterParameters renderParameters(PF_InData* in_data, const ParameterValue* params, double downsampleX,
                                       const std::shared_ptr<Nerevo::World>& output);

// The input in the output's frame, so that the stages index both worlds
// alike. Of one size they are taken as they are; otherwise `framed` is a new
// cleared world of the output's size holding the input at its place by the
// two worlds' origins. A world without pixels counts as 0 × 0.
PF_Err frameInput(PF_InData* in_data, PF_OutData* out_data, AEGP_SuiteHandler& suites, Nerevo::Bpc bpc,
                  const std::shared_ptr<Nerevo::World>& input, const std::shared_ptr<Nerevo::World>& output,
                  std::shared_ptr<Nerevo::World>& framed);
