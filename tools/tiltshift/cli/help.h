#pragma once
// The tool's help: the overview of its commands, and each command's own,
// with the plug-in's parameters where the command sets them.

#include <memory>

#include "cli/command.h"

namespace CLI {
class FormatterBase;
}

namespace tiltshift {

constexpr const char* kToolUsage = "Usage: tiltshift [--plugin PATH] [--trace FILE] COMMAND [OPTIONS]";

// A CLI11 formatter for the tool's apps: the top-level one and one per row
// of commands(). The parameters come from the module `common` names when
// the help is printed.
std::shared_ptr<CLI::FormatterBase> helpFormatter(const Common& common);

}  // namespace tiltshift
