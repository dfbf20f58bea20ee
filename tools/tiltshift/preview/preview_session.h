#pragma once
// One person tuning the effect on one input: the plug-in in a host with the
// values being edited, the frame shown, and the edits a page sends, played
// as the application plays them (parameter changes, clicks and drags on the
// layer panel at 100 %). Not thread-safe: the server serialises calls.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "effect/effect.h"
#include "host/host.h"
#include "host/panel.h"
#include "render/render_job.h"
#include "render/sequence.h"

namespace tiltshift {

// An edit the session refuses, with the reason a person reads.
struct RefusedEdit : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// An encoded image and what it shows.
struct EncodedFrame {
    std::string mimeType;
    std::vector<unsigned char> bytes;
    std::uint64_t generation = 0;
    int downsample = 1;
};

class PreviewSession {
public:
    // Loads the effect for `job.input` (an image or a frame pattern) with the
    // job's parameters. Throws UsageError for a job that does not fit (a
    // pattern without frames on disk, values a parameter does not take),
    // host::HostError and PluginError when the plug-in does not load. The
    // render command names the module when `namePlugin` (it is not the one
    // next to the tool).
    PreviewSession(const std::string& pluginPath, bool namePlugin, const RenderJob& job);
    ~PreviewSession();

    // The host the session plays, to look into or to plan faults in.
    host::Host& host() { return *host_; }

    // Counts the changes that alter the picture; each frame is tagged with it.
    std::uint64_t generation() const { return generation_; }

    // Everything a page shows: the layer, the frames, and every parameter
    // with its registration, its value at the current frame, whether it is
    // greyed out or animated.
    nlohmann::ordered_json state();

    // Sets one parameter from the text --param takes. Throws RefusedEdit
    // for an animated parameter or keyframes, UsageError for a value the
    // parameter does not take.
    void setParam(const std::string& name, const std::string& value);

    // The mouse on the layer panel, in layer pixels: pressed (a click),
    // moved while pressed (drags, while the plug-in asks for them), let go
    // (the last drag). Throws RefusedEdit when the plug-in changed an
    // animated parameter (the change is undone), PluginError when it fails
    // the event.
    enum class Pointer { down, move, up };
    void pointer(Pointer phase, PF_Point at, bool shift);

    // Shows another frame of a sequence; throws RefusedEdit for one that is
    // not on disk.
    void showFrame(int frame);

    // The current frame rendered at 1/downsample with the handles drawn
    // over it, as an 8-bit PNG. Throws PluginError for a render or drawing
    // the plug-in fails, std::runtime_error for an input it cannot read.
    EncodedFrame view(int downsample);
    // The current frame at full resolution, without handles, losslessly:
    // PNG at 8 or 16 bits, OpenEXR for float renders.
    EncodedFrame lossless();

    // The `tiltshift render` command line that renders what the page shows,
    // and the preset holding every value.
    std::string renderCommand() const;
    nlohmann::ordered_json preset() const;

private:
    struct Rendered;
    const Rendered& render(int downsample);
    void changed();
    void refuseIfAnimated(int index) const;
    void refuseAnimatedChanges(const std::vector<int>& changed);
    std::string valueText(const host::ParamRecord& record) const;
    std::string fileOf(int frame) const;

    std::string pluginPath_;
    bool namePlugin_;
    RenderJob job_;
    std::optional<FramePattern> pattern_;  // INPUT's, when it is a sequence
    Effect host_;
    PF_OutFlags outFlags_ = 0;
    std::vector<int> frames_;  // frame numbers on disk; {0} for a still
    int frame_ = 0;
    std::uint64_t generation_ = 1;
    std::map<std::string, std::string> startValues_;   // values before any setting, as --param reads them
    std::map<std::string, std::string> keyframeText_;  // animated parameters: their keyframes as given
    std::optional<PF_DoClickEventInfo> dragging_;      // the click record of a drag under way
    std::unique_ptr<Rendered> cache_;                  // the last render
};

}  // namespace tiltshift
