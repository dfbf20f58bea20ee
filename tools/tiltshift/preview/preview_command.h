#pragma once
// `tiltshift preview` on the command line.

#include <string>
#include <vector>

#include "render/render_job.h"

namespace tiltshift {

struct PreviewOptions {
    RenderJob job;                     // INPUT and its parameters
    std::string listen = "127.0.0.1";  // the address to listen on
    int port = 8765;                   // 0: any free port
    bool open = false;                 // open the page in the desktop's browser
};

// Throws UsageError for arguments that do not make a preview; reads presets.
PreviewOptions parsePreviewArgs(const std::vector<std::string>& args);

}  // namespace tiltshift
