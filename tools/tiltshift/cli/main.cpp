// tiltshift: the NerevoTiltShift effect, loaded in a headless host, on the
// command line.

#include <iostream>

#include "cli/tool.h"

int main(int argc, char** argv) {
    return tiltshift::runTool(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
