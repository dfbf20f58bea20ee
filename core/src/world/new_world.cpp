// Worlds the plug-in allocates: 8 and 16 bits through "PF World Suite"
// version 1, float through version 2, each disposed through the version
// that made it.

#include "AEFX_SuiteHelper.h"
#include "AE_EffectCBSuites.h"
#include "AE_EffectSuites.h"
#include "world/world.h"

namespace Nerevo {
namespace {

constexpr const char* kLoadMessage = "Couldn't load suite.";
constexpr const char* kReleaseMessage = "Couldn't release suite.";

// Runs `call` with "PF World Suite" version 2 between acquiring and
// releasing it; the first error counts.
template <typename Call>
PF_Err withWorldSuite2(PF_InData* in_data, PF_OutData* out_data, Call call) {
    PF_WorldSuite2* suite = nullptr;
    PF_Err err = AEFX_AcquireSuite(in_data, out_data, kPFWorldSuite, kPFWorldSuiteVersion2, kLoadMessage,
                                   reinterpret_cast<void**>(&suite));
    if (!suite) {
        return err;  // nothing acquired, so nothing to give back
    }
    err = call(*suite);
    const PF_Err releaseErr =
        AEFX_ReleaseSuite(in_data, out_data, kPFWorldSuite, kPFWorldSuiteVersion2, kReleaseMessage);
    return err ? err : releaseErr;
}

}  // namespace

NewWorld::NewWorld(PF_InData* in_data, PF_OutData* out_data, AEGP_SuiteHandler& suites)
    : World(nullptr), in_data(in_data), out_data(out_data), suites(&suites), bpc(bpc8), initialized(false) {
    world = &record_;
}

PF_Err NewWorld::init(Bpc depth, int width, int height, bool clear) {
    if (initialized) {
        return PF_Err_NONE;
    }
    initialized = true;
    bpc = depth;
    PF_Err err = PF_Err_NONE;
    switch (depth) {
    case bpc8:
    case bpc16: {
        const PF_NewWorldFlags flags = (clear ? PF_NewWorldFlag_CLEAR_PIXELS : PF_NewWorldFlag_NONE) |
                                       (depth == bpc16 ? PF_NewWorldFlag_DEEP_PIXELS : PF_NewWorldFlag_NONE);
        err = suites->WorldSuite1()->new_world(in_data->effect_ref, width, height, flags, world);
        break;
    }
    case bpc32:
        // A missing suite is an error like any other: an empty world passed
        // on as a success would render nothing without saying why.
        err = withWorldSuite2(in_data, out_data, [&](PF_WorldSuite2& suite) {
            return suite.PF_NewWorld(in_data->effect_ref, width, height, clear, PF_PixelFormat_ARGB128, world);
        });
        break;
    default:
        break;
    }
    if (err) {
        record_ = PF_LayerDef{};  // whatever the host left, there is nothing to dispose
    }
    return err;
}

NewWorld::~NewWorld() {
    if (!record_.data) {
        return;
    }
    switch (bpc) {
    case bpc8:
    case bpc16:
        // init fetched the suite, so the handler has it cached and cannot throw here.
        suites->WorldSuite1()->dispose_world(in_data->effect_ref, world);
        break;
    case bpc32:
        withWorldSuite2(in_data, out_data,
                        [&](PF_WorldSuite2& suite) { return suite.PF_DisposeWorld(in_data->effect_ref, world); });
        break;
    default:
        break;
    }
}

PF_Err createWorld(PF_InData* in_data, PF_OutData* out_data, AEGP_SuiteHandler& suites, Bpc bpc, int width,
                   int height, bool clear, std::shared_ptr<World>& out) {
    auto world = std::make_shared<NewWorld>(in_data, out_data, suites);
    if (const PF_Err err = world->init(bpc, width, height, clear)) {
        return err;
    }
    out = std::move(world);
    return PF_Err_NONE;
}

PF_Err cloneWorld(PF_InData* in_data, PF_OutData* out_data, AEGP_SuiteHandler& suites, Bpc bpc,
                  std::shared_ptr<World>& src, std::shared_ptr<World>& out) {
    PF_LayerDef* source = src ? src->world : nullptr;
    const bool hasPixels = source && source->data;
    std::shared_ptr<World> clone;
    PF_Err err = createWorld(in_data, out_data, suites, bpc, hasPixels ? source->width : 0,
                             hasPixels ? source->height : 0, false, clone);
    if (!err && hasPixels) {
        err = copy(in_data, src, clone);
    }
    if (!err) {
        out = std::move(clone);
    }
    return err;
}

}  // namespace Nerevo
