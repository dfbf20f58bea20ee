#pragma once
// `tiltshift drag`: the mouse pressed on the effect's handles in a panel and
// moved to another point, as a user drags them, and the parameters the
// plug-in changed on the way.

#include <ostream>
#include <string>
#include <vector>

#include "host/panel.h"
#include "render/render_job.h"

namespace tiltshift {

struct DragJob {
    RenderJob render;  // INPUT, the parameters, and OUTPUT and its overlay when asked for
    PF_Point from{}, to{};  // panel pixels
    PF_Modifiers modifiers = PF_Mod_NONE;
    PF_WindowType panel = PF_Window_LAYER;
    int steps = 8;  // drag events along the way
};

// Throws UsageError for arguments that do not make a drag; reads presets.
DragJob parseDragArgs(const std::vector<std::string>& args);

// A panel of the layer's size at 100 %: the layer panel, or the composition
// panel with the layer unscaled and unturned, its top-left corner at the
// composition's origin.
host::Panel dragPanel(PF_WindowType type, int width, int height);

// Loads the effect for INPUT's size with the job's parameters, sends the
// click and the drags, and writes to `out` each parameter the plug-in
// changed ("Blur Amount: 50 -> 70"), or why nothing changed; then renders
// OUTPUT, and the overlay, with the new values. Host problems go to `log`.
// Throws UsageError for animated parameters, PluginError for events or a
// render the plug-in fails, std::runtime_error for files.
void runDragJob(const std::string& pluginPath, const DragJob& job, std::ostream& out, std::ostream& log);

}  // namespace tiltshift
