#pragma once
// The effect's two render commands. The pre-render reads the parameters at
// the frame's time into a record that the host carries to the render, asks
// for the whole layer and states how large the result will be; the render
// turns the record into typed values and runs the render driver on them.

#include "AE_Effect.h"
#include "Params.h"

// What the pre-render hands to the render: the parameter values in
// PARAM_DEFS order, and the host's handle disposal, so that the record can
// free itself when the host lets it go, which happens without any command
// data at hand.
struct PreRenderRecord {
    void (*disposeHandle)(PF_Handle handle);
    ParameterUnionValue values[PARAM_COUNT];
};

// PF_Cmd_SMART_PRE_RENDER. On success the output's pre_render_data is the
// handle of a PreRenderRecord and delete_pre_render_data_func frees it; on
// failure no record is left behind.
PF_Err smartPreRender(PF_InData* in, PF_OutData* out, PF_PreRenderExtra* extra);

// PF_Cmd_SMART_RENDER: PF_Err_BAD_CALLBACK_PARAM without the global record or
// the pre-render record.
PF_Err smartRender(PF_InData* in, PF_OutData* out, PF_SmartRenderExtra* extra);

// Runs the render driver on the typed values of one frame.
PF_Err PluginSmartRender(int pluginId, PF_InData* in, PF_OutData* out, PF_SmartRenderExtra* extra,
                         const ParameterValue* params, bool reserved);
