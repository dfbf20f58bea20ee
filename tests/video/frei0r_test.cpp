// The frei0r filter: its parameters' mapping onto the plug-in's, and the
// module driven through the frei0r API as hosts drive it.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include "scene/footage.h"
#include "frei0r_api.h"
#include "host/host.h"
#include "host/render.h"
#include "plugin_path.h"
#include "video_params.h"

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 48;

struct LoadedEffect {
    host::Host host{test::pluginPath()};
    std::vector<video::VideoParam> params;

    LoadedEffect() {
        host.log().setRecording(false);
        host.frame().width = kWidth;
        host.frame().height = kHeight;
        EXPECT_EQ(host.globalSetup(), PF_Err_NONE);
        EXPECT_EQ(host.paramsSetup(), PF_Err_NONE);
        params = video::videoParams(host.params());
    }

    const video::VideoParam& param(const std::string& name) const {
        for (const video::VideoParam& p : params) {
            if (p.name == name) {
                return p;
            }
        }
        throw std::runtime_error("no frei0r parameter " + name);
    }

    PF_ParamDef& current(const video::VideoParam& p) { return host.param(p.hostIndex).current; }

    // Applies a value as the module does, from the value the host set up.
    PF_ParamDef applied(const video::VideoParam& p, video::VideoValue value) {
        const PF_ParamDef initial = current(p);
        PF_ParamDef def = initial;
        video::applyValue(p, value, initial, kWidth, kHeight, def);
        return def;
    }
};

// A parameter's value as a number in the units the host keeps it in.
double hostNumber(const video::VideoParam& p, const PF_ParamDef& def) {
    switch (p.mapping) {
        case video::Mapping::slider: return def.u.fs_d.value;
        case video::Mapping::angle: return def.u.ad.value / 65536.0;
        case video::Mapping::popup: return def.u.pd.value;
        case video::Mapping::checkbox: return def.u.bd.value;
        case video::Mapping::centerX: return def.u.td.x_value / 65536.0;
        case video::Mapping::centerY: return def.u.td.y_value / 65536.0;
        case video::Mapping::color: break;
    }
    return def.u.cd.value.red * 65536.0 + def.u.cd.value.green * 256.0 + def.u.cd.value.blue;
}

video::VideoValue number(double v) {
    video::VideoValue value{};
    value.number = v;
    return value;
}

// Every default reaches the plug-in's default bit for bit, also where the
// division into 0..1 does not come back exactly (Ratio, Power, Focus Distance).
TEST(Frei0rParams, EveryDefaultMapsBackExactly) {
    LoadedEffect effect;
    for (const video::VideoParam& p : effect.params) {
        const PF_ParamDef initial = effect.current(p);
        video::VideoValue other = number(p.defaultValue > 0.5 ? 0.013 : 0.987);
        if (p.type == F0R_PARAM_COLOR) {
            other.color = {0.3f, 0.6f, 0.9f};
        }
        PF_ParamDef def = effect.applied(p, other);
        EXPECT_NE(hostNumber(p, def), hostNumber(p, initial)) << p.name << " was not moved first";
        video::applyValue(p, video::defaultValueOf(p), initial, kWidth, kHeight, def);
        EXPECT_EQ(hostNumber(p, def), hostNumber(p, initial)) << p.name;
    }
}

TEST(Frei0rParams, NumbersMapOntoTheirRanges) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* name;
        double value;
        double expected;  // in the host's units (see hostNumber)
    };
    const Case cases[] = {
        {"Blur Amount", 0.25, 25},
        {"Blur Amount", 2.0, 200},     // beyond the slider, within the valid range
        {"Blur Amount", 100.0, 5000},  // held to the valid range
        {"Blur Amount", -1.0, 0},
        {"Blur Amount", nan, 50},  // not a number: the default
        {"Ratio", 0.0, 0.2},
        {"Ratio", 1.0, 5},
        {"Focus Distance", 0.5, 1250},
        {"Vignetting", 0.5, 50},  // percent
        {"Direction", 0.125, 45},
        {"Direction", 1.0, 360},
        {"Center X", 0.25, 16},
        {"Center Y", 1.0, kHeight},
        {"Type", 0.49, 1},
        {"Type", 0.51, 2},
        {"Type", nan, 1},
        // The 16 modes in steps of 1/15, the separators (items 2, 9, 12, 17) skipped.
        {"Blending Mode", 0.0, 1},
        {"Blending Mode", 1.0 / 15, 3},
        {"Blending Mode", 7.0 / 15, 10},
        {"Blending Mode", 1.0, 20},
        {"Blending Mode", 5.0, 20},
        {"Blending Mode", -5.0, 1},
        {"Repeat Edge Pixels", 0.4, 0},
        {"Repeat Edge Pixels", 0.5, 1},
        {"Grow Bounds", nan, 1},
    };
    LoadedEffect effect;
    for (const Case& c : cases) {
        const video::VideoParam& p = effect.param(c.name);
        EXPECT_DOUBLE_EQ(hostNumber(p, effect.applied(p, number(c.value))), c.expected) << c.name << " " << c.value;
    }
}

TEST(Frei0rParams, ColoursRoundAsThePluginStoresThem) {
    struct Case {
        f0r_param_color value;
        PF_Pixel expected;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Case cases[] = {
        {{1.0f, 0.5f, 0.0f}, {255, 255, 128, 0}},
        {{2.0f, -1.0f, nan}, {255, 255, 0, 0}},
        {{0.2f, 0.4f, 0.6f}, {255, 51, 102, 153}},
    };
    LoadedEffect effect;
    const video::VideoParam& p = effect.param("Vignetting Color");
    for (const Case& c : cases) {
        video::VideoValue value{};
        value.color = c.value;
        const PF_Pixel got = effect.applied(p, value).u.cd.value;
        EXPECT_EQ(std::memcmp(&got, &c.expected, sizeof got), 0)
            << c.value.r << "," << c.value.g << "," << c.value.b << " gave " << int(got.red) << ","
            << int(got.green) << "," << int(got.blue);
    }
}

// The frei0r module as a host loads it.
class Frei0rModule {
public:
    Frei0rModule() : handle_(dlopen(NEREVO_FREI0R_MODULE, RTLD_NOW | RTLD_LOCAL)) {
        if (!handle_) {
            throw std::runtime_error(dlerror());
        }
        init = function<decltype(&f0r_init)>("f0r_init");
        deinit = function<decltype(&f0r_deinit)>("f0r_deinit");
        pluginInfo = function<decltype(&f0r_get_plugin_info)>("f0r_get_plugin_info");
        paramInfo = function<decltype(&f0r_get_param_info)>("f0r_get_param_info");
        construct = function<decltype(&f0r_construct)>("f0r_construct");
        destruct = function<decltype(&f0r_destruct)>("f0r_destruct");
        setParam = function<decltype(&f0r_set_param_value)>("f0r_set_param_value");
        getParam = function<decltype(&f0r_get_param_value)>("f0r_get_param_value");
        update = function<decltype(&f0r_update)>("f0r_update");
    }
    ~Frei0rModule() { dlclose(handle_); }
    Frei0rModule(const Frei0rModule&) = delete;
    Frei0rModule& operator=(const Frei0rModule&) = delete;

    int paramIndex(const std::string& name) const {
        f0r_plugin_info_t info{};
        pluginInfo(&info);
        for (int i = 0; i < info.num_params; ++i) {
            f0r_param_info_t param{};
            paramInfo(&param, i);
            if (name == param.name) {
                return i;
            }
        }
        throw std::runtime_error("no parameter " + name);
    }

    void set(f0r_instance_t instance, const std::string& name, double value) const {
        setParam(instance, &value, paramIndex(name));
    }

    decltype(&f0r_init) init;
    decltype(&f0r_deinit) deinit;
    decltype(&f0r_get_plugin_info) pluginInfo;
    decltype(&f0r_get_param_info) paramInfo;
    decltype(&f0r_construct) construct;
    decltype(&f0r_destruct) destruct;
    decltype(&f0r_set_param_value) setParam;
    decltype(&f0r_get_param_value) getParam;
    decltype(&f0r_update) update;

private:
    template <typename F>
    F function(const char* name) {
        void* symbol = dlsym(handle_, name);
        if (!symbol) {
            throw std::runtime_error(std::string("missing ") + name);
        }
        return reinterpret_cast<F>(symbol);
    }

    void* handle_;
};

using Frame = std::vector<std::uint32_t>;

// Footage at frame `t`: its texture moved along, as RGBA bytes.
Frame footageFrame(int width, int height, int t) {
    Frame frame(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const PF_Pixel p = footage::texture<PF_Pixel>(x + 3 * t, y + t);
            const unsigned char rgba[4] = {p.red, p.green, p.blue, p.alpha};
            std::memcpy(&frame[static_cast<std::size_t>(y) * width + x], rgba, sizeof rgba);
        }
    }
    return frame;
}

// Settings of the instance of one thread: a different blur for each.
void configure(const Frei0rModule& module, f0r_instance_t instance, int which) {
    module.set(instance, "Inner Width", 0.05);
    module.set(instance, "Blur Amount", 0.1 + 0.1 * which);
    module.set(instance, "Type", which % 2);
    module.set(instance, "Chromatic Aberration", 0.3);
}

Frame rendered(const Frei0rModule& module, f0r_instance_t instance, const Frame& in) {
    Frame out(in.size(), 0xdeadbeef);
    module.update(instance, 0.0, in.data(), out.data());
    return out;
}

TEST(Frei0rModule, RendersAsTheHostDoesAtAnyFrameSize) {
    Frei0rModule module;
    ASSERT_EQ(module.init(), 1);
    const std::pair<int, int> sizes[] = {{1, 1}, {7, 5}, {kWidth, kHeight}};
    for (const auto& [width, height] : sizes) {
        f0r_instance_t instance = module.construct(width, height);
        ASSERT_NE(instance, nullptr);
        module.set(instance, "Inner Width", 0.01);
        const Frame in = footageFrame(width, height, 0);
        const Frame out = rendered(module, instance, in);
        module.destruct(instance);

        host::Host host(test::pluginPath());
        host.frame().width = width;
        host.frame().height = height;
        ASSERT_EQ(host.globalSetup(), PF_Err_NONE);
        ASSERT_EQ(host.paramsSetup(), PF_Err_NONE);
        host.param(host.paramIndex("Inner Width")).current.u.fs_d.value = 2;
        host::Image layer(PF_PixelFormat_ARGB32, width, height);
        footage::paint<PF_Pixel>(layer);
        const host::RenderResult result = host::renderFrame(host, layer);
        ASSERT_EQ(result.err, PF_Err_NONE);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const PF_Pixel p = result.output->at<PF_Pixel>(x, y);
                const unsigned char rgba[4] = {p.red, p.green, p.blue, p.alpha};
                std::uint32_t expected;
                std::memcpy(&expected, rgba, sizeof expected);
                ASSERT_EQ(out[static_cast<std::size_t>(y) * width + x], expected) << width << "x" << height << " at " << x << "," << y;
            }
        }
    }
    module.deinit();
}

// Hosts run one instance per thread (melt's real_time=-N), and MLT may call
// one instance from several threads at once; the frames are those of one
// instance on one thread.
TEST(Frei0rModule, InstancesOnThreadsRenderAsOneInstanceOnOneThread) {
    constexpr int kInstances = 4;
    constexpr int kFrames = 3;
    for (const char* threadsPerInstance : {"", "3"}) {
        setenv("NEREVO_TILTSHIFT_THREADS", threadsPerInstance, 1);
        Frei0rModule module;
        ASSERT_EQ(module.init(), 1);
        std::vector<Frame> expected;
        f0r_instance_t alone = module.construct(kWidth, kHeight);
        ASSERT_NE(alone, nullptr);
        for (int i = 0; i < kInstances; ++i) {
            configure(module, alone, i);
            for (int t = 0; t < kFrames; ++t) {
                expected.push_back(rendered(module, alone, footageFrame(kWidth, kHeight, t)));
            }
        }

        std::vector<Frame> got(expected.size());
        std::vector<std::thread> threads;
        for (int i = 0; i < kInstances; ++i) {
            threads.emplace_back([&, i] {
                f0r_instance_t instance = module.construct(kWidth, kHeight);
                configure(module, instance, i);
                for (int t = 0; t < kFrames; ++t) {
                    got[static_cast<std::size_t>(i * kFrames + t)] = rendered(module, instance, footageFrame(kWidth, kHeight, t));
                }
                module.destruct(instance);
            });
        }
        // Meanwhile the lone instance is called from several threads at once.
        configure(module, alone, 0);
        std::vector<Frame> shared(kFrames);
        std::vector<std::thread> strips;
        for (int t = 0; t < kFrames; ++t) {
            strips.emplace_back([&, t] { shared[static_cast<std::size_t>(t)] = rendered(module, alone, footageFrame(kWidth, kHeight, t)); });
        }
        for (std::thread& thread : threads) {
            thread.join();
        }
        for (std::thread& thread : strips) {
            thread.join();
        }
        module.destruct(alone);
        module.deinit();
        for (std::size_t f = 0; f < expected.size(); ++f) {
            EXPECT_EQ(got[f], expected[f]) << "instance " << f / kFrames << " frame " << f % kFrames << " threads '"
                                           << threadsPerInstance << "'";
            EXPECT_NE(got[f], footageFrame(kWidth, kHeight, static_cast<int>(f % kFrames))) << "no blur";
        }
        for (int t = 0; t < kFrames; ++t) {
            EXPECT_EQ(shared[static_cast<std::size_t>(t)], expected[static_cast<std::size_t>(t)]) << "frame " << t;
        }
    }
    unsetenv("NEREVO_TILTSHIFT_THREADS");
}

// MLT calls f0r_deinit before it destroys its instances, and every host
// unloads the module; init and deinit may come in pairs more than once.
TEST(Frei0rModule, InstancesOutliveDeinitAndTheModuleLoadsAgain) {
    for (int round = 0; round < 2; ++round) {
        Frei0rModule module;
        ASSERT_EQ(module.init(), 1);
        ASSERT_EQ(module.init(), 1);
        f0r_instance_t instance = module.construct(9, 4);
        ASSERT_NE(instance, nullptr);
        module.set(instance, "Blur Amount", 0.75);
        module.deinit();
        module.deinit();
        module.deinit();  // one too many does no harm
        const Frame in = footageFrame(9, 4, round);
        const Frame out = rendered(module, instance, in);
        double value = 0;
        module.getParam(instance, &value, module.paramIndex("Blur Amount"));
        EXPECT_EQ(value, 0.75);
        module.destruct(instance);
        EXPECT_NE(out, Frame(in.size(), 0xdeadbeef));
    }
}

TEST(Frei0rModule, RefusesFramesNoHostCanHave) {
    Frei0rModule module;
    ASSERT_EQ(module.init(), 1);
    const std::pair<unsigned, unsigned> sizes[] = {{0, 10}, {10, 0}, {40000, 2}};
    for (const auto& [width, height] : sizes) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(module.construct(width, height), nullptr) << width << "x" << height;
        EXPECT_NE(testing::internal::GetCapturedStderr().find("outside 1..32767"), std::string::npos);
    }
    module.deinit();
}

}  // namespace
