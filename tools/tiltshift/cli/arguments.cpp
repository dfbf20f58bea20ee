#include "cli/arguments.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdlib>

namespace tiltshift {

namespace {

// CLI11 words a missing value as "--output: 1 required OUTPUT missing".
std::string missingValueOption(const std::string& message) {
    const std::size_t colon = message.find(": ");
    return colon == std::string::npos ? std::string() : message.substr(0, colon);
}

}  // namespace

void prepareApp(CLI::App& app) {
    app.allow_extras();
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    app.set_help_flag();
    CLI::App* const asked = &app;
    app.add_flag_callback("-h,--help", [asked] { throw HelpRequested{asked}; }, "show this help")->trigger_on_parse();
}

void parseArguments(CLI::App& app, const std::vector<std::string>& args) {
    // CLI11 takes the arguments last first.
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError& e) {
        throw usageError(e);
    }
    refuseExtras(app);
}

UsageError usageError(const CLI::ParseError& e) {
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&e)) {
        const std::string option = missingValueOption(e.what());
        if (!option.empty()) {
            return UsageError(option + " needs a value");
        }
    }
    return UsageError(e.what());
}

void refuseExtras(const CLI::App& app) {
    const std::vector<std::string> extras = app.remaining();
    if (extras.empty()) {
        return;
    }
    const std::string& first = extras.front();
    throw UsageError((first.size() > 1 && first[0] == '-' ? "unknown option " : "unexpected argument ") + first);
}

std::string trim(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    const std::size_t last = text.find_last_not_of(" \t");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

int parseCount(const std::string& option, const std::string& text, int min, int max) {
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value < min || value > max) {
        throw UsageError(option + " expects a whole number from " + std::to_string(min) + " to " + std::to_string(max) +
                         ", got \"" + text + "\"");
    }
    return static_cast<int>(value);
}

}  // namespace tiltshift
