#include "LinearMatGenerator.h"
#include "TiltShifter.h"
#include "filter/run_filter.h"

int LinearTiltShifter::execute() {
    LinearMatGeneratorParameters mats{params.halfDiagonal,
                                      params.blurAmount,
                                      weighted,
                                      params.weight,
                                      params.center,
                                      params.direction,
                                      params.innerWidth,
                                      params.linearMode,
                                      params.power,
                                      params.focusDistance,
                                      chromaticAberrationOn(),
                                      params.chromaticAberration,
                                      &weightTable,
                                      &mat,
                                      &work};
    const LinearMatGenerator generator(in_data, suites, bpc, inputLayer(), outputLayer(), &mats);
    return blurOrOutput(Nerevo::Filter::runFilter(generator));
}
