#include "RadialMatGenerator.h"
#include "TiltShifter.h"
#include "filter/run_filter.h"

int RadialTiltShifter::execute() {
    RadialMatGeneratorParameters mats{params.halfDiagonal,
                                      weighted,
                                      params.weight,
                                      params.center,
                                      params.direction,
                                      params.innerWidth,
                                      params.power,
                                      params.ratio,
                                      chromaticAberrationOn(),
                                      params.chromaticAberration,
                                      &weightTable,
                                      &mat,
                                      &work};
    const RadialMatGenerator generator(in_data, suites, bpc, inputLayer(), outputLayer(), &mats);
    return blurOrOutput(Nerevo::Filter::runFilter(generator));
}
