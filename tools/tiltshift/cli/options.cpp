#include "cli/options.h"

#include <cstdlib>

#include "cli/command.h"

namespace tiltshift {

Arguments::Arguments(const std::vector<std::string>& args) : args_(args) {}

std::string Arguments::next() {
    std::string arg = args_[next_++];
    hasAttached_ = false;
    const std::size_t equals = arg.find('=');
    if (arg.rfind("--", 0) == 0 && equals != std::string::npos) {
        attached_ = arg.substr(equals + 1);
        hasAttached_ = true;
        arg.resize(equals);
    }
    option_ = arg;
    return arg;
}

std::string Arguments::value() {
    if (hasAttached_) {
        hasAttached_ = false;
        return attached_;
    }
    if (done()) {
        throw UsageError(option_ + " needs a value");
    }
    return args_[next_++];
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
