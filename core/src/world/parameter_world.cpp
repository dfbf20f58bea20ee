// Layer parameters checked out at a time, held until the last holder goes.

#include "world/world.h"

namespace Nerevo {

ParameterWorld::ParameterWorld(PF_InData* in_data, AEGP_SuiteHandler& suites)
    : World(nullptr), in_data(in_data), suites(&suites) {}

PF_Err ParameterWorld::init(int index, A_Time time) {
    const PF_Err err =
        in_data->inter.checkout_param(in_data->effect_ref, index, time.value, in_data->time_step, time.scale, &param);
    if (err) {
        return err;
    }
    checkedOut_ = true;
    if (param.u.ld.data) {
        world = &param.u.ld;
    }
    return PF_Err_NONE;
}

// Every successful checkout is checked in, also that of a layer without
// pixels (none assigned, or a layer that is off).
ParameterWorld::~ParameterWorld() {
    if (checkedOut_) {
        in_data->inter.checkin_param(in_data->effect_ref, &param);
    }
    world = nullptr;
}

PF_Err getParameterWorld(PF_InData* in_data, AEGP_SuiteHandler& suites, int index, A_Time time,
                         std::shared_ptr<World>& out) {
    auto world = std::make_shared<ParameterWorld>(in_data, suites);
    if (const PF_Err err = world->init(index, time)) {
        return err;
    }
    out = std::move(world);
    return PF_Err_NONE;
}

}  // namespace Nerevo
