#pragma once
// Reading a command's arguments: options with values, given as
// "--name VALUE" or "--name=VALUE", and plain arguments.

#include <string>
#include <vector>

namespace tiltshift {

class Arguments {
public:
    explicit Arguments(const std::vector<std::string>& args);

    bool done() const { return next_ == args_.size(); }
    // The next argument; an option's attached "=VALUE" is held back for value().
    std::string next();
    // The value of the option just read; throws UsageError naming it when there is none.
    std::string value();

private:
    std::vector<std::string> args_;
    std::size_t next_ = 0;
    std::string option_;
    std::string attached_;
    bool hasAttached_ = false;
};

// The text without the spaces and tabs around it.
std::string trim(const std::string& text);

// A whole number from `min` to `max`; throws UsageError naming the option.
int parseCount(const std::string& option, const std::string& text, int min, int max);

}  // namespace tiltshift
