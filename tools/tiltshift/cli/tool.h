#pragma once
// The whole command line: the options before the command's name, the
// command, its arguments, help, and the exit status.

#include <ostream>
#include <string>
#include <vector>

namespace tiltshift {

// Runs the tool with `args`, the arguments after the program's name, and
// returns its exit status: 0 done, 1 failed, 2 wrong usage. Help goes to
// `out`, errors to `err`; the commands write their own output to the
// standard streams.
int runTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tiltshift
