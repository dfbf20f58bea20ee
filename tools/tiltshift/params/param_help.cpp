#include "params/param_help.h"

#include <cstdio>

#include "effect/effect.h"
#include "params/param_info.h"

namespace tiltshift {

namespace {

constexpr std::size_t kLineWidth = 79;
constexpr const char* kSeparator = "(-";

// "1 Normal, 3 Add, ...": the choices by number, separators left out,
// wrapped under the parameter's line.
std::string itemLines(const ParamInfo& p) {
    const std::string indent(8, ' ');
    std::string lines = indent;
    std::size_t column = indent.size();
    for (std::size_t i = 0; i < p.items.size(); ++i) {
        if (p.items[i] == kSeparator) {
            continue;
        }
        const std::string item = std::to_string(i + 1) + " " + p.items[i];
        if (column > indent.size() && column + item.size() + 2 > kLineWidth) {
            lines += ",\n" + indent;
            column = indent.size();
        } else if (column > indent.size()) {
            lines += ", ";
            column += 2;
        }
        lines += item;
        column += item.size();
    }
    return lines + "\n";
}

std::string row(const std::string& name, const std::string& kind, const std::string& dflt, const std::string& range) {
    char line[160];
    std::snprintf(line, sizeof line, "  %-22s %-9s %-14s %s", name.c_str(), kind.c_str(), dflt.c_str(), range.c_str());
    std::string text = line;
    return text.substr(0, text.find_last_not_of(' ') + 1) + "\n";
}

}  // namespace

void printParameterHelp(std::ostream& os, const std::string& pluginPath) {
    std::vector<ParamInfo> params;
    try {
        params = describeAll(*loadEffect(pluginPath));
    } catch (const std::exception& e) {
        os << "\nParameters: not available (" << e.what() << ")\n";
        return;
    }
    os << "\nParameters (--param \"NAME=VALUE\"; NAME as below):\n";
    os << row("Name", "Kind", "Default", "Valid range");
    for (const ParamInfo& p : params) {
        const std::string range = p.type == ParamType::popup ? "" : formatRange(p.validMin, p.validMax);
        os << row(p.name, typeName(p.type), formatDefault(p), range);
        if (!p.items.empty()) {
            os << itemLines(p);
        }
    }
    os << "\nValues: popups by item text or number, checkboxes on or off, points x,y in\n"
          "layer pixels (their defaults are percentages of the layer), colours r,g,b\n"
          "from 0 to 1 or #rrggbb, angles in degrees.\n";
}

}  // namespace tiltshift
