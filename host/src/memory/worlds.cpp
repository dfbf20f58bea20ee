// New worlds and their disposal, served in PF_InData's utils and as the
// "PF World Suite" versions 1 and 2, with version 2's pixel format query.
// utils and version 1 make the same worlds; a world made by one family must
// be disposed by the same family.

#include "AE_EffectCBSuites.h"
#include "AE_EffectSuites.h"
#include "installers.h"
#include "memory/world_memory.h"

namespace host {
namespace {

// The two families, by the name of their allocating call.
const std::string kVersion1 = "new_world";
const std::string kVersion2 = "PF_NewWorld";

// "argb", "ae16", "ae32": the code's characters as they lie in memory.
std::string formatName(PF_PixelFormat format) {
    std::string name;
    for (int shift = 0; shift < 32; shift += 8) {
        const char c = static_cast<char>((static_cast<A_u_long>(format) >> shift) & 0xFF);
        name += (c >= 0x20 && c < 0x7F) ? c : '?';
    }
    return name;
}

std::string sizeArgs(A_long width, A_long height) {
    return "width=" + std::to_string(width) + " height=" + std::to_string(height);
}

PF_Err makeWorld(PF_ProgPtr ref, const std::string& family, CallArgs args, PF_PixelFormat format, A_long width,
                 A_long height, bool clear, PF_EffectWorld* world) {
    Host::Impl* host = nullptr;
    if (const PF_Err err = Host::Impl::enterWithRef(ref, family.c_str(), args, host)) {
        return err;
    }
    if (!world) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    return host->memory.worlds.create(family, format, width, height, clear, host->commandSerial, *world);
}

PF_Err disposeWorld(PF_ProgPtr ref, const char* name, const std::string& family, PF_EffectWorld* world) {
    Host::Impl* host = nullptr;
    if (const PF_Err err = Host::Impl::enterWithRef(ref, name, "", host)) {
        return err;
    }
    std::vector<std::string> problems;
    const PF_Err err = host->memory.worlds.dispose(family, name, world, problems);
    for (std::string& problem : problems) {
        host->note(std::move(problem));
    }
    return err;
}

PF_Err newWorld(PF_ProgPtr ref, A_long width, A_long height, PF_NewWorldFlags flags, PF_EffectWorld* world) noexcept {
    const PF_PixelFormat format = (flags & PF_NewWorldFlag_DEEP_PIXELS) ? PF_PixelFormat_ARGB64 : PF_PixelFormat_ARGB32;
    return makeWorld(
        ref, kVersion1, [&] { return sizeArgs(width, height) + " flags=" + std::to_string(flags); }, format, width,
        height, (flags & PF_NewWorldFlag_CLEAR_PIXELS) != 0, world);
}

PF_Err disposeWorld1(PF_ProgPtr ref, PF_EffectWorld* world) noexcept {
    return disposeWorld(ref, "dispose_world", kVersion1, world);
}

PF_Err newWorld2(PF_ProgPtr ref, A_long width, A_long height, PF_Boolean clear, PF_PixelFormat format,
                 PF_EffectWorld* world) noexcept {
    return makeWorld(
        ref, kVersion2,
        [&] { return sizeArgs(width, height) + " clear=" + std::to_string(clear) + " format=" + formatName(format); },
        format, width, height, clear != 0, world);
}

PF_Err disposeWorld2(PF_ProgPtr ref, PF_EffectWorld* world) noexcept {
    return disposeWorld(ref, "PF_DisposeWorld", kVersion2, world);
}

// Answers for every world the host knows, including test images.
PF_Err getPixelFormat(const PF_EffectWorld* world, PF_PixelFormat* format) noexcept {
    Host::Impl* host = Host::Impl::current();
    if (!host) {
        return PF_Err_INVALID_CALLBACK;
    }
    if (const PF_Err err = host->enter("PF_GetPixelFormat", "")) {
        return err;
    }
    WorldShape shape;
    if (!format || !WorldMemory::find(world, shape)) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    *format = shape.format;
    return PF_Err_NONE;
}

const PF_WorldSuite1 kWorldSuite1 = {newWorld, disposeWorld1};
const PF_WorldSuite2 kWorldSuite2 = {newWorld2, disposeWorld2, getPixelFormat};

}  // namespace

std::size_t Host::liveWorlds() const { return impl_->memory.worlds.live(); }

void installWorlds(Host::Impl& host) {
    host.utils.new_world = newWorld;
    host.utils.dispose_world = disposeWorld1;
    host.suites.add(kPFWorldSuite, kPFWorldSuiteVersion1, &kWorldSuite1);
    host.suites.add(kPFWorldSuite, kPFWorldSuiteVersion2, &kWorldSuite2);
}

}  // namespace host
