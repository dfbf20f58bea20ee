#pragma once
// Reading a command's arguments with CLI11: its options given as
// "--name VALUE", "--name=VALUE" or "-o VALUE", and its plain arguments.

#include <stdexcept>
#include <string>
#include <vector>

namespace CLI {
class App;
class ParseError;
}  // namespace CLI

namespace tiltshift {

// Thrown for wrong usage; the command line prints it with the command's
// usage line and exits with status 2.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Thrown when -h or --help is given: as soon as it is read, so that the
// arguments around it need not make sense.
struct HelpRequested {
    const CLI::App* app;  // the command whose help is asked for
};

// Sets up `app`, before its options are declared, to read arguments as the
// tool does: a repeated option's last value wins, -h and --help throw
// HelpRequested, and arguments it does not take are kept for refuseExtras,
// so that the tool, not CLI11, words the error.
void prepareApp(CLI::App& app);

// Reads `args`, a command's arguments after its name, into the options and
// arguments declared on `app`, running their callbacks; then refuseExtras.
// Throws UsageError for a missing value or an unknown option.
void parseArguments(CLI::App& app, const std::vector<std::string>& args);

// CLI11's parse error in the tool's words.
UsageError usageError(const CLI::ParseError& e);

// Throws UsageError naming the first argument `app` did not take.
void refuseExtras(const CLI::App& app);

// The text without the spaces and tabs around it.
std::string trim(const std::string& text);

// A whole number from `min` to `max`; throws UsageError naming the option.
int parseCount(const std::string& option, const std::string& text, int min, int max);

}  // namespace tiltshift
