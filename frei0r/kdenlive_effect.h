#pragma once
// The description an MLT-based editor (Kdenlive) reads to build the effect's
// panel, made from the frei0r parameters.

#include <string>
#include <vector>

#include "video_params.h"

namespace video {

// `tag` is the MLT service, "frei0r." and the module's file name.
std::string kdenliveEffect(const std::string& tag, const std::string& name, const std::vector<VideoParam>& params);

}  // namespace video
