#include "LinearMatGenerator.h"
#include "TiltShifter.h"
#include "filter/run_filter.h"

int LinearTiltShifter::execute() {
    if (!stagesFit()) {
        return PF_Err_INTERNAL_STRUCT_DAMAGED;
    }
    LinearMatGeneratorParameters mats;
    mats.halfDiagonal = params.halfDiagonal;
    mats.blurAmount = params.blurAmount;
    mats.weighted = weighted;
    mats.weight = params.weight;
    mats.center = params.center;
    mats.direction = params.direction;
    mats.innerWidth = params.innerWidth;
    mats.linearMode = params.linearMode;
    mats.power = params.power;
    mats.focusDistance = params.focusDistance;
    mats.chromaticAberrationOn = chromaticAberrationOn();
    mats.chromaticAberration = params.chromaticAberration;
    mats.weightTable = &weightTable;
    mats.mat = &mat;
    mats.work = &work;
    mats.logs = logsOrNull();
    const LinearMatGenerator generator(in_data, suites, bpc, inputLayer(), outputLayer(), &mats);
    return blurOrOutput(Nerevo::Filter::runFilter(generator));
}
