#pragma once
// The frame of one command that works on the effect instance: the host data,
// the suites, the effect's layer and composition and, for a smart render,
// the checked-out input and output worlds and their depth. A plug-in derives
// from App and overrides render() (or command()); everything the frame holds
// is released when the App goes, also when a missing suite throws.

#include <cstdint>
#include <memory>

#include "AEGP_SuiteHandler.h"
#include "AE_Effect.h"
#include "AE_GeneralPlug.h"
#include "effect/effect_handle.h"
#include "plugin/plugin.h"
#include "utility/bpc.h"
#include "world/world.h"

namespace Nerevo {
namespace Plugin {

class App {
public:
    enum CommandKind : int32_t { userChangedParamCommand = 0, smartRenderCommand = 1 };

    App(int pluginId, PF_InData* in_data, PF_OutData* out_data, PF_UserChangedParamExtra* extra,
        const ParameterValue* params);
    App(int pluginId, PF_InData* in_data, PF_OutData* out_data, PF_SmartRenderExtra* extra,
        const ParameterValue* params, bool);
    virtual ~App() = default;

    App(const App&) = delete;
    App& operator=(const App&) = delete;

    // Finds the effect's layer and composition and the effect itself, then
    // runs the command of this kind; stops at the first error and returns it.
    PF_Err execute();
    PF_Err executeUserChangedParam();
    // Thread count, input and output worlds, depth, then render().
    PF_Err executeSmartRender();

    // What a plug-in does; both do nothing here.
    virtual PF_Err command();
    virtual PF_Err render();

    int32_t commandKind;
    int32_t pluginId;
    PF_InData* in_data;
    PF_OutData* out_data;
    PF_UserChangedParamExtra* userChangedExtra;  // null in a smart render
    PF_SmartRenderExtra* smartRenderExtra;       // null in a user-changed-parameter command
    const ParameterValue* params;
    AEGP_SuiteHandler suites;
    AEGP_LayerH layer = nullptr;
    AEGP_CompH comp = nullptr;
    EffectHandle effect;
    int32_t numThreads = 1;
    int32_t currentTime;
    uint32_t timeScale;
    double downsampleX;  // numerator / denominator
    double downsampleY;
    std::shared_ptr<World> input;
    std::shared_ptr<World> output;
    // Until the depth query answers, no depth at all: a world of a format that
    // is none of the three is then left alone by every stage instead of being
    // read with the wrong pixel type.
    Bpc bpc = static_cast<Bpc>(-1);

private:
    App(CommandKind kind, int pluginId, PF_InData* in_data, PF_OutData* out_data,
        PF_UserChangedParamExtra* userChangedExtra, PF_SmartRenderExtra* smartRenderExtra,
        const ParameterValue* params);
};

}  // namespace Plugin
}  // namespace Nerevo
