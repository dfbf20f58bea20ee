// tiltshift.so: the effect as a frei0r filter for ffmpeg, MLT and GStreamer.
// It loads the plug-in module from a private folder beside its own, so that
// hosts trying every module in the frei0r folders never meet the plug-in.

#include <dlfcn.h>
#include <stdlib.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <mutex>
#include <string>

#include "effect_instance.h"
#include "frei0r_api.h"

#define NEREVO_FREI0R_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr const char* kName = "Nerevo Tilt Shift";
// Hosts already run instances on threads of their own; this overrides the
// render's thread count per instance (0: every core).
constexpr const char* kThreadsVariable = "NEREVO_TILTSHIFT_THREADS";

void report(const std::string& what) noexcept {
    try {
        std::cerr << "tiltshift.so: " << what << std::endl;
    } catch (...) {
    }
}

std::string pluginPath() {
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&report), &info) || !info.dli_fname) {
        throw std::runtime_error("cannot find where tiltshift.so itself lies");
    }
    // Through a link (~/.frei0r-1/lib/tiltshift.so to an installed copy),
    // the plug-in lies beside the real file.
    char* real = realpath(info.dli_fname, nullptr);
    std::string dir = real ? real : info.dli_fname;
    std::free(real);
    const std::size_t slash = dir.rfind('/');
    dir = slash == std::string::npos ? "." : dir.substr(0, slash);
    return dir + "/../nerevo-tiltshift/NerevoTiltShift.so";
}

int threadsWanted() {
    const char* text = std::getenv(kThreadsVariable);
    if (!text || !*text) {
        return 1;
    }
    char* end = nullptr;
    const long threads = std::strtol(text, &end, 10);
    if (*end || threads < 0 || threads > 1024) {
        report(std::string("ignoring ") + kThreadsVariable + "=" + text + ": expected a thread count, 0 for every core");
        return 1;
    }
    return static_cast<int>(threads);
}

// The module's state between f0r_init and the last f0r_deinit. Instances
// hold the parameters they need themselves, since MLT destroys them after
// f0r_deinit.
std::mutex moduleMutex;
int initCount = 0;
std::shared_ptr<const video::EffectModule> loaded;

// The parameters, loaded on first need: hosts may ask for them without f0r_init.
std::shared_ptr<const video::EffectModule> effectModule() {
    std::lock_guard<std::mutex> lock(moduleMutex);
    if (!loaded) {
        loaded = video::loadEffectModule(pluginPath());
    }
    return loaded;
}

video::EffectInstance* instanceOf(f0r_instance_t instance) {
    return static_cast<video::EffectInstance*>(instance);
}

bool inRange(const video::EffectInstance* instance, int index) {
    return instance && index >= 0 && static_cast<std::size_t>(index) < instance->module().params.size();
}

}  // namespace

NEREVO_FREI0R_EXPORT int f0r_init() {
    try {
        effectModule();
        std::lock_guard<std::mutex> lock(moduleMutex);
        ++initCount;
        return 1;
    } catch (const std::exception& e) {
        report(std::string("cannot load the effect: ") + e.what());
    }
    return 0;
}

NEREVO_FREI0R_EXPORT void f0r_deinit() {
    std::lock_guard<std::mutex> lock(moduleMutex);
    if (initCount > 0 && --initCount == 0) {
        loaded.reset();
    }
}

NEREVO_FREI0R_EXPORT void f0r_get_plugin_info(f0r_plugin_info_t* info) {
    if (!info) {
        return;
    }
    info->name = kName;
    info->author = "Nerevo";
    info->plugin_type = F0R_PLUGIN_TYPE_FILTER;
    info->color_model = F0R_COLOR_MODEL_RGBA8888;
    info->frei0r_version = FREI0R_MAJOR_VERSION;
    info->major_version = NEREVO_VERSION_MAJOR;
    info->minor_version = NEREVO_VERSION_MINOR;
    info->explanation = "Tilt-shift miniature look: a sharp band or ellipse, everything else blurred";
    info->num_params = 0;
    try {
        info->num_params = static_cast<int>(effectModule()->params.size());
    } catch (const std::exception& e) {
        report(std::string("cannot load the effect: ") + e.what());
    }
}

NEREVO_FREI0R_EXPORT void f0r_get_param_info(f0r_param_info_t* info, int index) {
    if (!info) {
        return;
    }
    try {
        // The strings last until the last f0r_deinit.
        const std::shared_ptr<const video::EffectModule> module = effectModule();
        if (index < 0 || static_cast<std::size_t>(index) >= module->params.size()) {
            return;
        }
        const video::VideoParam& param = module->params[static_cast<std::size_t>(index)];
        info->name = param.name.c_str();
        info->type = param.type;
        info->explanation = param.explanation.c_str();
    } catch (const std::exception& e) {
        report(std::string("cannot load the effect: ") + e.what());
    }
}

NEREVO_FREI0R_EXPORT f0r_instance_t f0r_construct(unsigned int width, unsigned int height) {
    try {
        if (width == 0 || height == 0 || width > 32767 || height > 32767) {
            throw std::runtime_error("a frame of " + std::to_string(width) + " x " + std::to_string(height) +
                                     " pixels is outside 1..32767 in either direction");
        }
        return new video::EffectInstance(effectModule(), static_cast<int>(width), static_cast<int>(height),
                                         threadsWanted());
    } catch (const std::exception& e) {
        report(std::string("cannot make an instance of the effect: ") + e.what());
    }
    return nullptr;
}

NEREVO_FREI0R_EXPORT void f0r_destruct(f0r_instance_t instance) {
    delete instanceOf(instance);
}

NEREVO_FREI0R_EXPORT void f0r_set_param_value(f0r_instance_t instance, f0r_param_t param, int index) {
    video::EffectInstance* effect = instanceOf(instance);
    if (!param || !inRange(effect, index)) {
        return;
    }
    const video::VideoParam& info = effect->module().params[static_cast<std::size_t>(index)];
    video::VideoValue value{};
    if (info.type == F0R_PARAM_COLOR) {
        std::memcpy(&value.color, param, sizeof value.color);
    } else {
        std::memcpy(&value.number, param, sizeof value.number);
    }
    effect->setValue(index, value);
}

NEREVO_FREI0R_EXPORT void f0r_get_param_value(f0r_instance_t instance, f0r_param_t param, int index) {
    const video::EffectInstance* effect = instanceOf(instance);
    if (!param || !inRange(effect, index)) {
        return;
    }
    const video::VideoValue value = effect->value(index);
    if (effect->module().params[static_cast<std::size_t>(index)].type == F0R_PARAM_COLOR) {
        std::memcpy(param, &value.color, sizeof value.color);
    } else {
        std::memcpy(param, &value.number, sizeof value.number);
    }
}

// Time is ignored: the effect does not change with it, and ffmpeg passes
// milliseconds or garbage.
NEREVO_FREI0R_EXPORT void f0r_update(f0r_instance_t instance, double /*time*/, const std::uint32_t* in,
                                     std::uint32_t* out) {
    video::EffectInstance* effect = instanceOf(instance);
    if (!effect || !in || !out) {
        return;
    }
    try {
        effect->render(in, out);
        return;
    } catch (const std::exception& e) {
        report(std::string("passing a frame through unchanged: ") + e.what());
    }
    const std::size_t width = static_cast<std::size_t>(effect->width());
    std::memmove(out, in, width * static_cast<std::size_t>(effect->height()) * sizeof *in);
}
