#include "RadialMatGenerator.h"
#include "TiltShifter.h"
#include "filter/run_filter.h"

int RadialTiltShifter::execute() {
    if (!stagesFit()) {
        return PF_Err_INTERNAL_STRUCT_DAMAGED;
    }
    RadialMatGeneratorParameters mats;
    fillSharedMatFields(mats);
    mats.ratio = params.ratio;
    const RadialMatGenerator generator(in_data, suites, bpc, inputLayer(), outputLayer(), &mats);
    return blurOrOutput(Nerevo::Filter::runFilter(generator));
}
