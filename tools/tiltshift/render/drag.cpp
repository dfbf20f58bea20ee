#include "render/drag.h"

#include <CLI/CLI.hpp>

#include <cerrno>
#include <cstdlib>
#include <iostream>
#include <memory>

#include "cli/arguments.h"
#include "cli/command.h"
#include "effect/effect.h"
#include "host/plugin_error.h"
#include "host/project.h"
#include "params/param_values.h"

namespace tiltshift {

namespace {

// Panel pixels pass through the host's 16.16 fixed point.
constexpr long kFarthestPixel = 32767;
constexpr int kMostSteps = 10000;

// One whole number of "X,Y".
std::optional<A_long> coordinate(const std::string& text) {
    const std::string t = trim(text);
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(t.c_str(), &end, 10);
    if (t.empty() || *end != '\0' || errno != 0 || value < -kFarthestPixel || value > kFarthestPixel) {
        return std::nullopt;
    }
    return static_cast<A_long>(value);
}

PF_Point parsePoint(const std::string& option, const std::string& text) {
    const std::size_t comma = text.find(',');
    const std::optional<A_long> x = comma == std::string::npos ? std::nullopt : coordinate(text.substr(0, comma));
    const std::optional<A_long> y = comma == std::string::npos ? std::nullopt : coordinate(text.substr(comma + 1));
    if (!x || !y) {
        throw UsageError(option + " expects X,Y in whole panel pixels from -" + std::to_string(kFarthestPixel) +
                         " to " + std::to_string(kFarthestPixel) + " (e.g. 250,100), got \"" + text + "\"");
    }
    return PF_Point{*x, *y};
}

PF_WindowType parsePanel(const std::string& text) {
    if (text == "layer") {
        return PF_Window_LAYER;
    }
    if (text == "comp") {
        return PF_Window_COMP;
    }
    throw UsageError("--panel expects layer or comp, got \"" + text + "\"");
}

// Events hand the plug-in the values the host holds, whatever the time:
// dragging an animated parameter would mean editing keyframes.
void refuseAnimation(host::Host& host) {
    for (const host::ParamRecord& record : host.params()) {
        if (record.index > 0 && !host.project().target().stream(record.index).keyframes().empty()) {
            throw UsageError("\"" + record.name + "\" is animated; drag takes one value per parameter");
        }
    }
}

std::string describePoint(PF_Point p) {
    return "(" + std::to_string(p.h) + ", " + std::to_string(p.v) + ")";
}

void printChanges(std::ostream& out, const DragJob& job, const host::Gesture& gesture,
                  const std::vector<host::ParamRecord>& before, const std::vector<host::ParamRecord>& after) {
    bool any = false;
    for (int index : gesture.changed) {
        const host::ParamRecord& record = after[static_cast<std::size_t>(index)];
        const std::string old = formatValue(record, before[static_cast<std::size_t>(index)].current);
        const std::string now = formatValue(record, record.current);
        if (old != now) {
            out << record.name << ": " << old << " -> " << now << "\n";
            any = true;
        }
    }
    if (any) {
        return;
    }
    if (!gesture.events.front().click().send_drag) {
        out << "Nothing changed: the click at " << describePoint(job.from) << " grabbed no handle.\n";
    } else {
        out << "Nothing changed: the drag to " << describePoint(job.to) << " left every value as it was.\n";
    }
}

}  // namespace

namespace {

// What the drag command line holds before it is checked as a whole.
struct DragLine {
    DragJob job;
    std::vector<std::string> inputs;
    bool from = false, to = false;
};

void declareDragLine(CLI::App& app, DragLine& line) {
    DragJob& job = line.job;
    app.add_option("INPUT", line.inputs);
    app.add_option_function<std::string>(
           "--from",
           [&line](const std::string& v) {
               line.job.from = parsePoint("--from", v);
               line.from = true;
           },
           "where the drag starts, in whole panel pixels")
        ->type_name("X,Y");
    app.add_option_function<std::string>(
           "--to",
           [&line](const std::string& v) {
               line.job.to = parsePoint("--to", v);
               line.to = true;
           },
           "where it ends")
        ->type_name("X,Y");
    app.add_flag_callback(
        "--shift", [&job] { job.modifiers = PF_Mod_SHIFT_KEY; },
        "hold Shift (the radial inner outline sets Ratio, the\n"
        "arrow turns in steps of 45 degrees)");
    app.add_option_function<std::string>(
           "--panel", [&job](const std::string& v) { job.panel = parsePanel(v); },
           "the layer panel, whose pixels are the layer's (default),\n"
           "or the composition panel, where the layer sits unscaled\n"
           "and unturned with its top-left corner at the\n"
           "composition's origin")
        ->type_name("layer|comp");
    app.add_option_function<std::string>(
           "--steps", [&job](const std::string& v) { job.steps = parseCount("--steps", v, 1, kMostSteps); },
           "drag events on the way (default: 8)")
        ->type_name("N");
    declareJobOptions(app, job.render, "render INPUT with the new values to this file");
    // A drag moves one value per parameter.
    app.get_option("--param")->description("set a parameter first (repeatable; no keyframes)");
}

DragJob checkDragLine(DragLine& line) {
    DragJob& job = line.job;
    job.render.input = oneInput(line.inputs);
    if (!line.from || !line.to) {
        throw UsageError("give the points the drag goes --from X,Y --to X,Y");
    }
    for (const std::string& file : {job.render.input, job.render.output}) {
        if (FramePattern::parse(file)) {
            throw UsageError("drag works on one image, and \"" + file + "\" is a frame sequence");
        }
    }
    checkOverlay(job.render);
    return std::move(job);
}

}  // namespace

DragJob parseDragArgs(const std::vector<std::string>& args) {
    CLI::App app;
    prepareApp(app);
    DragLine line;
    declareDragLine(app, line);
    parseArguments(app, args);
    return checkDragLine(line);
}

host::Panel dragPanel(PF_WindowType type, int width, int height) {
    host::Panel panel;
    panel.windowType = type;
    panel.width = width;
    panel.height = height;
    return panel;
}

void runDragJob(const std::string& pluginPath, const DragJob& job, std::ostream& out, std::ostream& log) {
    const RenderJob& render = job.render;
    FramePlan frames;
    if (!render.output.empty()) {
        frames = planFrames(render.input, render.output, std::nullopt);
        checkDistinctFiles(render, frames);
        checkOutputsWritable(render, frames);
    }
    const Effect host = prepareEffect(pluginPath, render, render.input);
    refuseAnimation(*host);

    const std::vector<host::ParamRecord> before = host->params();
    const host::Panel panel = dragPanel(job.panel, host->frame().width, host->frame().height);
    const host::Gesture gesture = host->ui().drag(panel, job.from, job.to, job.steps, job.modifiers);
    logHostProblems(*host, log);
    if (const PF_Err err = gesture.err()) {
        throw host::PluginError("to handle the drag", err, host->outData());
    }
    printChanges(out, job, gesture, before, host->params());

    if (!frames.empty()) {
        renderFrames(*host, render, frames, log, false);
    }
}

Action declareDrag(CLI::App& app) {
    const auto line = std::make_shared<DragLine>();
    declareDragLine(app, *line);
    return [line](const Common& common) {
        runDragJob(common.pluginPath, checkDragLine(*line), std::cout, std::cerr);
        return 0;
    };
}

}  // namespace tiltshift
