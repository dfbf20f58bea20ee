#pragma once
// Parameter values given on the command line as NAME=VALUE, written the way
// a user reads them in the effect controls: popups by item text or number,
// sliders as numbers, checkboxes on or off, points as x,y in layer pixels,
// colours as r,g,b from 0 to 1 or #rrggbb, angles in degrees; or animated,
// as keyframes VALUE@FRAME (keyframes.h).

#include <string>

#include "host/host.h"

namespace tiltshift {

struct ParamSetting {
    std::string name;
    std::string value;
};

// "Blur Amount=80" → {"Blur Amount", "80"}: the name ends at the first '='.
// Throws UsageError when there is no '=' or no name.
ParamSetting parseSetting(const std::string& text);

// Writes the value into the host's current record of the named parameter
// and removes any keyframes it had; an animated value sets its keyframes in
// the host's project instead, at the host's frame times. Throws UsageError
// naming the parameter when there is no such parameter (listing those there
// are) or it cannot take the value (listing a popup's items, a slider's
// valid range), with the offending keyframe of an animated value.
void applySetting(host::Host& host, const ParamSetting& setting);

// The parameter's value in `def` as --param takes it: "Linear", "70",
// "100,50", "#ff8000", "on".
std::string formatValue(const host::ParamRecord& record, const PF_ParamDef& def);

}  // namespace tiltshift
