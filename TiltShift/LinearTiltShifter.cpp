#include "LinearMatGenerator.h"
#include "TiltShifter.h"
#include "filter/run_filter.h"

int LinearTiltShifter::execute() {
    if (!stagesFit()) {
        return PF_Err_INTERNAL_STRUCT_DAMAGED;
    }
    LinearMatGeneratorParameters mats;
    fillSharedMatFields(mats);
    mats.blurAmount = params.blurAmount;
    mats.linearMode = params.linearMode;
    mats.focusDistance = params.focusDistance;
    const LinearMatGenerator generator(in_data, suites, bpc, inputLayer(), outputLayer(), &mats);
    return blurOrOutput(Nerevo::Filter::runFilter(generator));
}
