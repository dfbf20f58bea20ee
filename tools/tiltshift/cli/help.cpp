#include "cli/help.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <sstream>

#include "params/param_help.h"

namespace tiltshift {

namespace {

// Where option descriptions and command summaries start.
constexpr std::size_t kColumn = 30;

// "-o, --output OUTPUT", "--shift".
std::string optionForms(const CLI::Option& option) {
    std::string forms;
    for (const std::string& name : option.get_snames()) {
        forms += (forms.empty() ? "-" : ", -") + name;
    }
    for (const std::string& name : option.get_lnames()) {
        forms += (forms.empty() ? "--" : ", --") + name;
    }
    if (option.get_expected_max() > 0) {
        forms += " " + option.get_type_name();
    }
    return forms;
}

std::string optionList(const CLI::App& app, bool withHelp) {
    std::ostringstream out;
    for (const CLI::Option* option : app.get_options([](const CLI::Option* o) { return o->nonpositional(); })) {
        if (withHelp || option->get_lnames() != std::vector<std::string>{"help"}) {
            CLI::detail::format_help(out, optionForms(*option), option->get_description(), kColumn);
        }
    }
    return out.str();
}

class HelpFormatter : public CLI::FormatterBase {
public:
    explicit HelpFormatter(const Common& common) : common_(common) {}

    std::string make_help(const CLI::App* app, std::string, CLI::AppFormatMode) const override {
        std::ostringstream out;
        const auto& all = commands();
        const auto command =
            std::find_if(all.begin(), all.end(), [&](const Command& c) { return app->get_name() == c.name; });
        if (app->get_parent() == nullptr || command == all.end()) {
            overview(out, *app);
        } else {
            out << "Usage: tiltshift " << command->name << " " << command->usage << "\n" << command->summary << "\n";
            const std::string options = optionList(*app, false);
            if (!options.empty()) {
                out << "\n" << command->about << "Options:\n" << options;
            }
            if (*command->footer) {
                out << "\n" << command->footer;
            }
            if (command->takesParameters) {
                printParameterHelp(out, common_.pluginPath);
            }
        }
        return out.str();
    }

private:
    void overview(std::ostream& out, const CLI::App& app) const {
        out << kToolUsage << "\n\nRuns the NerevoTiltShift effect plug-in in a headless host.\n\nCommands:\n";
        for (const Command& c : commands()) {
            CLI::detail::format_help(out, std::string(c.name) + " " + c.usage, c.summary, kColumn);
        }
        out << "\nOptions:\n" << optionList(app, true);
        printParameterHelp(out, common_.pluginPath);
    }

    const Common& common_;
};

}  // namespace

std::shared_ptr<CLI::FormatterBase> helpFormatter(const Common& common) {
    return std::make_shared<HelpFormatter>(common);
}

}  // namespace tiltshift
