#include <cstdio>
#include <iostream>

#include "command.h"
#include "host/host.h"
#include "param_info.h"

namespace tiltshift {

namespace {

void printTable(const std::vector<ParamInfo>& params) {
    std::printf("%-3s %-22s %-9s %-14s %-16s %-12s %s\n", "#", "Name", "Type", "Default", "Valid", "Slider",
                "Items");
    for (const ParamInfo& p : params) {
        std::string items;
        for (const std::string& item : p.items) {
            items += (items.empty() ? "" : "|") + item;
        }
        std::printf("%-3d %-22s %-9s %-14s %-16s %-12s %s\n", p.index, p.name.c_str(), p.type.c_str(),
                    formatDefault(p).c_str(), formatRange(p.validMin, p.validMax).c_str(),
                    formatRange(p.sliderMin, p.sliderMax).c_str(), items.c_str());
    }
}

}  // namespace

int runParams(const Common& common, const std::vector<std::string>& args) {
    bool json = false;
    for (const std::string& a : args) {
        if (a == "--json") {
            json = true;
        } else {
            throw UsageError("unknown option for params: " + a);
        }
    }
    host::Host host(common.pluginPath);
    if (PF_Err err = host.globalSetup()) {
        std::cerr << "tiltshift: the plug-in failed global setup with error " << err << "\n";
        return 1;
    }
    if (PF_Err err = host.paramsSetup()) {
        std::cerr << "tiltshift: the plug-in failed to register its parameters (error " << err << ")\n";
        return 1;
    }
    const std::vector<ParamInfo> params = describeAll(host);
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

}  // namespace tiltshift
