#pragma once
// Default handlers of the commands every effect answers the same way.

#include <cstdint>

#include "AE_Effect.h"

namespace Nerevo {
namespace Default {

struct Version {
    int32_t major;
    int32_t minor;
    int32_t bugfix;
    int32_t stage;
    int32_t build;
};

// The host's version packing: 3 bits major, 4 minor, 4 bugfix, 2 stage, 9 build.
constexpr uint32_t packVersion(const Version& v) {
    return (static_cast<uint32_t>(v.major) & 7) << 19 | (static_cast<uint32_t>(v.minor) & 15) << 15 |
           (static_cast<uint32_t>(v.bugfix) & 15) << 11 | (static_cast<uint32_t>(v.stage) & 3) << 9 |
           (static_cast<uint32_t>(v.build) & 0x1FF);
}

// The record behind the global data handle.
struct GlobalData {
    int32_t pluginId;
};

// "<name>, v<major>.<minor>.<bugfix>" and, after a carriage return, the notice.
PF_Err About(const char* name, const char* notice, const Version& version, PF_InData* in, PF_OutData* out,
             PF_ParamDef* params[], PF_LayerDef* output);

// Declares version and flags, creates the global record and registers the
// plug-in with the host, keeping its identifier in the record.
PF_Err GlobalSetup(const Version& version, int32_t outFlags, int32_t outFlags2, PF_InData* in, PF_OutData* out,
                   PF_ParamDef* params[], PF_LayerDef* output);

PF_Err GlobalSetdown(PF_InData* in);

// A smart pre-render that needs exactly what is asked of it: checks the
// input layer out for the unchanged request and states its rectangles as
// the result.
PF_Err PreRender(PF_InData* in, PF_OutData* out, PF_PreRenderExtra* extra);

// A smart render that passes the input through: copies the whole input
// world onto the whole output world.
PF_Err SmartRender(PF_InData* in, PF_OutData* out, PF_SmartRenderExtra* extra);

}  // namespace Default
}  // namespace Nerevo
