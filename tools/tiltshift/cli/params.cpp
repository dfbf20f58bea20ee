#include <CLI/CLI.hpp>

#include <cstdio>
#include <iostream>
#include <memory>

#include "cli/command.h"
#include "effect/effect.h"
#include "host/plugin_error.h"
#include "host/host.h"
#include "images/image_io.h"
#include "params/param_info.h"
#include "params/param_values.h"

namespace tiltshift {

namespace {

void printTable(const std::vector<ParamInfo>& params) {
    std::printf("%-3s %-22s %-7s %-9s %-14s %-16s %-12s %s\n", "#", "Name", "UI", "Type", "Default", "Valid",
                "Slider", "Items");
    for (const ParamInfo& p : params) {
        std::string items;
        for (const std::string& item : p.items) {
            items += (items.empty() ? "" : "|") + item;
        }
        std::printf("%-3d %-22s %-7s %-9s %-14s %-16s %-12s %s\n", p.index, p.name.c_str(),
                    p.greyed ? "greyed" : "", typeName(p.type), formatDefault(p).c_str(),
                    formatRange(p.validMin, p.validMax).c_str(), formatRange(p.sliderMin, p.sliderMax).c_str(),
                    items.c_str());
    }
}

// Lists the parameters after applying `settings`, as a table or as JSON.
int listParams(const std::string& pluginPath, const std::vector<ParamSetting>& settings, bool json,
               const std::optional<LayerSize>& layer) {
    PF_OutFlags outFlags = 0;
    const Effect effect = loadEffect(pluginPath, layer, &outFlags);
    host::Host& host = *effect;
    for (const ParamSetting& setting : settings) {
        applySetting(host, setting);
    }
    // The application asks for the parameters' look as it shows the effect
    // controls, if the plug-in declared that it wants to be asked.
    if (outFlags & PF_OutFlag_SEND_UPDATE_PARAMS_UI) {
        if (PF_Err err = host.send(PF_Cmd_UPDATE_PARAMS_UI)) {
            throw host::PluginError("to update its parameters' UI", err, host.outData());
        }
        for (const std::string& problem : host.problems()) {
            std::cerr << "tiltshift: host: " << problem << "\n";
        }
    }
    const std::vector<ParamInfo> params = describeAll(host, layer);
    if (json) {
        nlohmann::ordered_json all = nlohmann::ordered_json::array();
        for (const ParamInfo& p : params) {
            all.push_back(toJson(p));
        }
        std::cout << all.dump(2) << "\n";
    } else {
        printTable(params);
    }
    return 0;
}

struct ParamsLine {
    bool json = false;
    std::vector<ParamSetting> settings;
    std::optional<LayerSize> layer;
};

}  // namespace

Action declareParams(CLI::App& app) {
    const auto line = std::make_shared<ParamsLine>();
    app.add_flag("--json", line->json, "print the list as JSON");
    app.add_option_function<std::string>(
           "--input",
           [line](const std::string& file) {
               const ImageSize size = imageSize(file);
               line->layer = LayerSize{size.width, size.height};
           },
           "for a layer of this image's size: a point's default\n"
           "(a percentage of the layer) also in layer pixels")
        ->type_name("FILE");
    app.add_option_function<std::string>(
           "--param", [line](const std::string& v) { line->settings.push_back(parseSetting(v)); },
           "set a parameter first (repeatable)")
        ->type_name("\"NAME=VALUE\"")
        ->trigger_on_parse();
    return [line](const Common& common) { return listParams(common.pluginPath, line->settings, line->json, line->layer); };
}

}  // namespace tiltshift
