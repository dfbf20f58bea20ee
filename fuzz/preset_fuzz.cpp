// Preset files: any text either gives settings or a usage error.

#include <cstddef>
#include <cstdint>
#include <sstream>

#include "cli/arguments.h"
#include "params/presets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream text(std::string(reinterpret_cast<const char*>(data), size));
    try {
        tiltshift::parsePreset(text, "fuzz.json");
    } catch (const tiltshift::UsageError&) {
    }
    return 0;
}
