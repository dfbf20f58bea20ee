// Writes the editor's description of the effect, read from the plug-in's
// registration: nerevo-kdenlive-effect PLUGIN OUTPUT

#include <exception>
#include <fstream>
#include <iostream>

#include "effect_instance.h"
#include "kdenlive_effect.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "Usage: nerevo-kdenlive-effect PLUGIN OUTPUT\n";
        return 2;
    }
    try {
        const auto module = video::loadEffectModule(argv[1]);
        std::ofstream out(argv[2], std::ios::binary);
        out << video::kdenliveEffect("frei0r.tiltshift", "Tilt Shift", module->params);
        out.close();
        if (!out) {
            std::cerr << "nerevo-kdenlive-effect: cannot write " << argv[2] << "\n";
            return 1;
        }
    } catch (const std::exception& e) {
        std::cerr << "nerevo-kdenlive-effect: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
