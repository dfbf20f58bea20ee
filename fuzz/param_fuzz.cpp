// --param settings, single values and keyframes, applied to the plug-in's
// parameters: any text either sets a value or is a usage error.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "cli/arguments.h"
#include "effect/effect.h"
#include "params/param_values.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Loaded once: a setting replaces what the one before set.
    static const std::unique_ptr<host::Host> host =
        tiltshift::loadEffect(NEREVO_PLUGIN_PATH, tiltshift::LayerSize{640, 360});
    try {
        tiltshift::applySetting(*host, tiltshift::parseSetting(std::string(reinterpret_cast<const char*>(data), size)));
    } catch (const tiltshift::UsageError&) {
    }
    return 0;
}
