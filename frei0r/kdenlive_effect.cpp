#include "kdenlive_effect.h"

#include <charconv>
#include <cstdio>
#include <sstream>

namespace video {
namespace {

// The shortest text that reads back as the same double, so that a default
// written here reaches the plug-in's default exactly.
std::string number(double value) {
    char text[32];
    const std::to_chars_result end = std::to_chars(text, text + sizeof text, value);
    return std::string(text, end.ptr);
}

std::string escaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

// How the panel shows a double: the editor multiplies the frei0r value by
// `factor` and shows min..max of that. It has no offset for keyframable
// values, so a range that does not start at 0 is shown as a percentage of
// itself rather than as numbers that would be off by its start.
struct Display {
    std::string label;
    double factor;
    std::string suffix;
    std::string comment;
};

Display displayOf(const VideoParam& param) {
    switch (param.mapping) {
        case Mapping::angle: return {param.name, param.high - param.low, "°", ""};
        case Mapping::centerX: return {param.name, 100, "%", "Percent of the frame's width, from the left"};
        case Mapping::centerY: return {param.name, 100, "%", "Percent of the frame's height, from the top"};
        default: break;
    }
    const std::string range = number(param.low) + ".." + number(param.high);
    if (param.low != 0) {
        return {param.name + " (% of " + range + ")", 100, "%",
                "0 % is " + number(param.low) + ", 100 % is " + number(param.high)};
    }
    return {param.name, param.high, param.percent ? "%" : "", ""};
}

void writeDouble(std::ostringstream& xml, const VideoParam& param) {
    const Display display = displayOf(param);
    xml << "        <parameter type=\"animated\" name=\"" << escaped(param.name) << "\" default=\""
        << number(param.defaultValue) << "\" min=\"0\" max=\"" << number(display.factor) << "\" factor=\""
        << number(display.factor) << "\" decimals=\"2\"";
    if (!display.suffix.empty()) {
        xml << " suffix=\"" << escaped(display.suffix) << "\"";
    }
    xml << ">\n            <name>" << escaped(display.label) << "</name>\n";
    if (!display.comment.empty()) {
        xml << "            <comment>" << escaped(display.comment) << "</comment>\n";
    }
    xml << "        </parameter>\n";
}

void writeList(std::ostringstream& xml, const VideoParam& param) {
    const std::size_t steps = param.items.size() - 1;
    std::string values;
    std::string names;
    for (std::size_t i = 0; i < param.items.size(); ++i) {
        values += (i ? ";" : "") + number(steps ? static_cast<double>(i) / static_cast<double>(steps) : 0.0);
        names += (i ? "," : "") + param.itemNames[i];
    }
    xml << "        <parameter type=\"list\" name=\"" << escaped(param.name) << "\" default=\""
        << number(param.defaultValue) << "\" paramlist=\"" << values << "\">\n"
        << "            <paramlistdisplay>" << escaped(names) << "</paramlistdisplay>\n"
        << "            <name>" << escaped(param.name) << "</name>\n"
        << "        </parameter>\n";
}

void writeBool(std::ostringstream& xml, const VideoParam& param) {
    xml << "        <parameter type=\"bool\" name=\"" << escaped(param.name) << "\" default=\""
        << (param.defaultValue != 0 ? 1 : 0) << "\">\n"
        << "            <name>" << escaped(param.name) << "</name>\n"
        << "        </parameter>\n";
}

void writeColor(std::ostringstream& xml, const VideoParam& param) {
    const auto byte = [](float c) { return static_cast<unsigned>(c * 255.0f + 0.5f); };
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%02x%02x%02xff", byte(param.defaultColor.r), byte(param.defaultColor.g),
                  byte(param.defaultColor.b));
    xml << "        <parameter type=\"color\" name=\"" << escaped(param.name) << "\" default=\"" << hex << "\">\n"
        << "            <name>" << escaped(param.name) << "</name>\n"
        << "        </parameter>\n";
}

}  // namespace

std::string kdenliveEffect(const std::string& tag, const std::string& name, const std::vector<VideoParam>& params) {
    std::ostringstream xml;
    xml << "<?xml version=\"1.0\"?>\n<!DOCTYPE kpartgui>\n<group>\n"
        << "    <effect LC_NUMERIC=\"C\" tag=\"" << escaped(tag) << "\" id=\"" << escaped(tag) << "\">\n"
        << "        <name>" << escaped(name) << "</name>\n"
        << "        <description>Miniature look: a sharp band or ellipse, everything else blurred</description>\n"
        << "        <author>Nerevo</author>\n";
    for (const VideoParam& param : params) {
        switch (param.mapping) {
            case Mapping::popup: writeList(xml, param); break;
            case Mapping::checkbox: writeBool(xml, param); break;
            case Mapping::color: writeColor(xml, param); break;
            default: writeDouble(xml, param); break;
        }
    }
    xml << "    </effect>\n</group>\n";
    return xml.str();
}

}  // namespace video
