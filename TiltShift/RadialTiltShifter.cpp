#include "RadialMatGenerator.h"
#include "TiltShifter.h"
#include "filter/run_filter.h"

int RadialTiltShifter::execute() {
    if (!stagesFit()) {
        return PF_Err_INTERNAL_STRUCT_DAMAGED;
    }
    RadialMatGeneratorParameters mats;
    mats.halfDiagonal = params.halfDiagonal;
    mats.weighted = weighted;
    mats.weight = params.weight;
    mats.center = params.center;
    mats.direction = params.direction;
    mats.innerWidth = params.innerWidth;
    mats.power = params.power;
    mats.ratio = params.ratio;
    mats.chromaticAberrationOn = chromaticAberrationOn();
    mats.chromaticAberration = params.chromaticAberration;
    mats.weightTable = &weightTable;
    mats.mat = &mat;
    mats.work = &work;
    mats.logs = logsOrNull();
    const RadialMatGenerator generator(in_data, suites, bpc, inputLayer(), outputLayer(), &mats);
    return blurOrOutput(Nerevo::Filter::runFilter(generator));
}
