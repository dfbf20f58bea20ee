#pragma once
// The plug-in's identity and its exported entry points.

#include "AE_Effect.h"
#include "default/command.h"
#include "plugin/plugin.h"

#if defined(_WIN32)
#define NEREVO_EXPORT __declspec(dllexport)
#else
#define NEREVO_EXPORT __attribute__((visibility("default")))
#endif

// PLUGIN_NAME, PLUGIN_VERSION, PLUGIN_OUT_FLAGS and PLUGIN_OUT_FLAGS2 come
// from the build, which writes the registration resource from the same values.
#include "NerevoTiltShiftConfig.h"

// The build can state the flags only as numbers; this is what they mean.
// Custom UI, deep colour, parameter-UI updates; smart render only, float
// aware, and it may show what lies under zero alpha.
static_assert(PLUGIN_OUT_FLAGS ==
                  (PF_OutFlag_CUSTOM_UI | PF_OutFlag_DEEP_COLOR_AWARE | PF_OutFlag_SEND_UPDATE_PARAMS_UI),
              "out flags of the build");
static_assert(PLUGIN_OUT_FLAGS2 == (PF_OutFlag2_REVEALS_ZERO_ALPHA | PF_OutFlag2_SUPPORTS_SMART_RENDER |
                                    PF_OutFlag2_FLOAT_COLOR_AWARE),
              "out flags 2 of the build");

extern "C" {
NEREVO_EXPORT PF_Err EntryPointFunc(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                                    PF_LayerDef* output, void* extra);

NEREVO_EXPORT extern const Nerevo::Plugin::PluginInfo PluginInfo;
}
