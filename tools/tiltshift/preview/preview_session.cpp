#include "preview/preview_session.h"

#include <algorithm>
#include <iostream>

#include "cli/arguments.h"
#include "cli/command.h"
#include "effect/effect.h"
#include "host/plugin_error.h"
#include "host/project.h"
#include "host/render.h"
#include "images/image_io.h"
#include "params/keyframes.h"
#include "params/param_info.h"
#include "params/param_values.h"
#include "preview/frame_encoding.h"
#include "render/drag.h"
#include "render/overlay.h"
#include "render/sequence.h"

namespace tiltshift {

struct PreviewSession::Rendered {
    std::uint64_t generation = 0;
    int downsample = 0;
    std::unique_ptr<host::Image> output;  // in the layer's frame
};

namespace {

bool animated(host::Host& host, int index) {
    return !host.project().target().stream(index).keyframes().empty();
}

// The parameter's value at the frame shown: an animated one as checking it
// out at that frame's time gives it, the held value otherwise.
PF_ParamDef valueAtFrame(host::Host& host, const host::ParamRecord& record) {
    if (!animated(host, record.index)) {
        return record.current;
    }
    const host::Host::Frame& time = host.frame();
    PF_ParamDef value{};
    PF_Err err = PF_Err_NONE;
    host.withCommandData([&](PF_InData& in, PF_OutData&) {
        err = in.inter.checkout_param(in.effect_ref, record.index, time.currentTime, time.timeStep, time.timeScale,
                                      &value);
        if (!err) {
            err = in.inter.checkin_param(in.effect_ref, &value);
        }
    });
    if (err) {
        throw host::PluginError("to give \"" + record.name + "\" at frame time " + std::to_string(time.currentTime),
                          err, host.outData());
    }
    return value;
}

// The keyframes of the animated parameters, to put back when an edit the
// plug-in made to one of them (a keyframe at the event's time) is refused.
class AnimationKept {
public:
    explicit AnimationKept(host::Host& host) : host_(host) {
        for (const host::ParamRecord& record : host.params()) {
            if (record.index > 0 && animated(host, record.index)) {
                kept_.emplace_back(record.index, host.project().target().stream(record.index).keyframes());
            }
        }
    }
    void restore() {
        for (auto& [index, keyframes] : kept_) {
            host_.project().target().stream(index).setKeyframes(keyframes);
        }
    }

private:
    host::Host& host_;
    std::vector<std::pair<int, std::vector<host::Keyframe>>> kept_;
};

// Single quotes keep every character but the quote itself, which closes,
// escapes and reopens them.
std::string shellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

// "shots/street.png" → "shots/tiltshift-street.png"; frame patterns keep theirs.
std::string outputBeside(const std::string& input) {
    const std::size_t slash = input.rfind('/');
    const std::size_t name = slash == std::string::npos ? 0 : slash + 1;
    return input.substr(0, name) + "tiltshift-" + input.substr(name);
}

}  // namespace

PreviewSession::PreviewSession(const std::string& pluginPath, bool namePlugin, const RenderJob& job)
    : pluginPath_(pluginPath), namePlugin_(namePlugin), job_(job), pattern_(FramePattern::parse(job.input)) {
    if (pattern_) {
        frames_ = pattern_->framesOnDisk();
        if (frames_.empty()) {
            throw UsageError("no frames of " + job.input + " on disk");
        }
    } else {
        frames_ = {0};
    }
    frame_ = frames_.front();
    const ImageSize size = imageSize(fileOf(frame_));
    host_ = loadEffect(pluginPath, LayerSize{size.width, size.height}, &outFlags_);
    // A page asks for frames as fast as a hand moves: nothing is kept of the calls.
    host_->log().setRecording(false);
    host_->frame().currentTime = frame_ * host_->frame().timeStep;
    for (const host::ParamRecord& record : host_->params()) {
        if (record.index > 0) {
            startValues_[record.name] = formatValue(record, record.current);
        }
    }
    for (const RenderJob::Setting& setting : job.settings) {
        try {
            applySetting(*host_, setting.value);
        } catch (const UsageError& e) {
            throw UsageError(setting.origin.empty() ? e.what() : setting.origin + ": " + e.what());
        }
        if (isAnimated(setting.value.value)) {
            keyframeText_[setting.value.name] = setting.value.value;
        } else {
            keyframeText_.erase(setting.value.name);
        }
    }
    changed();
}

PreviewSession::~PreviewSession() = default;

std::string PreviewSession::fileOf(int frame) const {
    return pattern_ ? pattern_->path(frame) : job_.input;
}

void PreviewSession::changed() {
    ++generation_;
    // The application asks for the parameters' look after every change, if
    // the plug-in declared that it wants to be asked.
    if (outFlags_ & PF_OutFlag_SEND_UPDATE_PARAMS_UI) {
        if (const PF_Err err = host_->send(PF_Cmd_UPDATE_PARAMS_UI)) {
            throw host::PluginError("to update its parameters' UI", err, host_->outData());
        }
        logHostProblems(*host_, std::cerr);
    }
}

nlohmann::ordered_json PreviewSession::state() {
    nlohmann::ordered_json params = nlohmann::ordered_json::array();
    for (const ParamInfo& info : describeAll(*host_, LayerSize{host_->frame().width, host_->frame().height})) {
        const host::ParamRecord& record = host_->param(info.index);
        nlohmann::ordered_json param = toJson(info);
        param["value"] = formatValue(record, valueAtFrame(*host_, record));
        const auto keyframes = keyframeText_.find(record.name);
        param["keyframes"] = animated(*host_, info.index) && keyframes != keyframeText_.end()
                                 ? nlohmann::ordered_json(keyframes->second)
                                 : nlohmann::ordered_json(nullptr);
        params.push_back(param);
    }
    nlohmann::ordered_json state;
    state["input"] = job_.input;
    state["width"] = host_->frame().width;
    state["height"] = host_->frame().height;
    state["frames"] = frames_;
    state["frame"] = frame_;
    state["generation"] = generation_;
    state["params"] = params;
    return state;
}

void PreviewSession::refuseIfAnimated(int index) const {
    if (animated(*host_, index)) {
        throw RefusedEdit("\"" + host_->param(index).name +
                          "\" is animated: its keyframes came with the command, and the preview edits values "
                          "that hold for every frame");
    }
}

void PreviewSession::setParam(const std::string& name, const std::string& value) {
    if (isAnimated(value)) {
        throw RefusedEdit("the page sets one value at a time, not keyframes (\"" + value + "\")");
    }
    for (const host::ParamRecord& record : host_->params()) {
        if (record.index > 0 && record.name == name) {
            refuseIfAnimated(record.index);
        }
    }
    applySetting(*host_, ParamSetting{name, value});
    changed();
}

void PreviewSession::refuseAnimatedChanges(const std::vector<int>& changed) {
    for (int index : changed) {
        refuseIfAnimated(index);
    }
}

void PreviewSession::pointer(Pointer phase, PF_Point at, bool shift) {
    const PF_Modifiers modifiers = shift ? PF_Mod_SHIFT_KEY : PF_Mod_NONE;
    const host::Panel panel = dragPanel(PF_Window_LAYER, host_->frame().width, host_->frame().height);
    host::EventResult result;
    {
        // Events happen at the frame shown, so the handles sit where its
        // values put them; what the plug-in writes into an animated parameter
        // is refused below and undone.
        host_->frame().currentTime = frame_ * host_->frame().timeStep;
        AnimationKept animation(*host_);
        if (phase == Pointer::down) {
            dragging_.reset();
            result = host_->ui().click(panel, at, modifiers);
        } else if (dragging_) {
            PF_EventUnion info{};
            info.do_click = *dragging_;
            info.do_click.screen_point = at;
            info.do_click.modifiers = modifiers;
            info.do_click.last_time = phase == Pointer::up;
            result = host_->ui().send(panel, PF_Event_DRAG, info);
        } else {
            return;  // the click grabbed no handle
        }
        const bool goesOn = phase != Pointer::up && result.err == PF_Err_NONE && result.click().send_drag;
        dragging_ = goesOn ? std::optional<PF_DoClickEventInfo>(result.click()) : std::nullopt;
        logHostProblems(*host_, std::cerr);
        if (result.err != PF_Err_NONE) {
            throw host::PluginError(phase == Pointer::down ? "to handle the click" : "to handle the drag", result.err,
                              host_->outData());
        }
        if (!result.changed.empty()) {
            // A drag that touched an animated parameter is over.
            try {
                refuseAnimatedChanges(result.changed);
            } catch (const RefusedEdit&) {
                animation.restore();
                dragging_.reset();
                throw;
            }
        }
    }
    if (!result.changed.empty()) {
        changed();
    }
}

void PreviewSession::showFrame(int frame) {
    if (std::find(frames_.begin(), frames_.end(), frame) == frames_.end()) {
        throw RefusedEdit("frame " + std::to_string(frame) + " of " + job_.input + " is not on disk");
    }
    if (frame != frame_) {
        frame_ = frame;
        host_->frame().currentTime = frame_ * host_->frame().timeStep;
        dragging_.reset();
        changed();
    }
}

const PreviewSession::Rendered& PreviewSession::render(int downsample) {
    if (cache_ && cache_->generation == generation_ && cache_->downsample == downsample) {
        return *cache_;
    }
    const std::string file = fileOf(frame_);
    const SourceImage source = readImage(file, job_.depth);
    host::RenderOptions options = job_.options;
    options.downsample = downsample;
    options.frame = frame_;
    options.inLayerFrame = true;
    host::RenderResult result = host::renderFrame(*host_, *source.image, options);
    logHostProblems(*host_, std::cerr);
    if (result.err != PF_Err_NONE) {
        throw host::PluginError("to render " + file + (pattern_ ? " at frame " + std::to_string(frame_) : ""), result.err,
                          host_->outData());
    }
    auto rendered = std::make_unique<Rendered>();
    rendered->generation = generation_;
    rendered->downsample = downsample;
    rendered->output = std::move(result.output);
    cache_ = std::move(rendered);
    return *cache_;
}

EncodedFrame PreviewSession::view(int downsample) {
    const Rendered& rendered = render(downsample);
    const std::unique_ptr<host::Image> withHandles = drawHandles(*host_, *rendered.output, downsample, frame_);
    logHostProblems(*host_, std::cerr);
    EncodedImage image = encodeLossless(*withHandles);
    return EncodedFrame{image.mimeType, std::move(image.bytes), rendered.generation, downsample};
}

EncodedFrame PreviewSession::lossless() {
    const Rendered& rendered = render(1);
    EncodedImage image = encodeLossless(*rendered.output);
    return EncodedFrame{image.mimeType, std::move(image.bytes), rendered.generation, 1};
}

std::string PreviewSession::valueText(const host::ParamRecord& record) const {
    const auto keyframes = keyframeText_.find(record.name);
    if (animated(*host_, record.index) && keyframes != keyframeText_.end()) {
        return keyframes->second;
    }
    return formatValue(record, record.current);
}

std::string PreviewSession::renderCommand() const {
    std::string command = "tiltshift";
    if (namePlugin_) {
        command += " --plugin " + shellQuoted(pluginPath_);
    }
    command += " render " + shellQuoted(job_.input) + " -o " + shellQuoted(outputBeside(job_.input));
    for (const host::ParamRecord& record : host_->params()) {
        if (record.index == 0) {
            continue;
        }
        const std::string text = valueText(record);
        const bool isAnimatedValue = keyframeText_.count(record.name) && animated(*host_, record.index);
        if (isAnimatedValue || text != startValues_.at(record.name)) {
            command += " --param " + shellQuoted(record.name + "=" + text);
        }
    }
    return command;
}

nlohmann::ordered_json PreviewSession::preset() const {
    nlohmann::ordered_json preset = nlohmann::ordered_json::object();
    for (const host::ParamRecord& record : host_->params()) {
        if (record.index > 0) {
            preset[record.name] = valueText(record);
        }
    }
    return preset;
}

}  // namespace tiltshift
