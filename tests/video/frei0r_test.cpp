// The frei0r module: its parameters' mapping onto the plug-in's, and its API as hosts drive it.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <thread>

#include "scene/footage.h"
#include "frei0r_api.h"
#include "host/host.h"
#include "host/render.h"
#include "plugin_path.h"
#include "video_params.h"

namespace {

constexpr int kWidth = 64, kHeight = 48;

struct LoadedEffect {
    explicit LoadedEffect(int width = kWidth, int height = kHeight) {
        host.log().setRecording(false);
        host.frame().width = width;
        host.frame().height = height;
        EXPECT_EQ(host.globalSetup(), PF_Err_NONE);
        EXPECT_EQ(host.paramsSetup(), PF_Err_NONE);
        params = video::videoParams(host.params());
    }

    host::Host host{test::pluginPath()};
    std::vector<video::VideoParam> params;

    // A value applied as the module does, from the value the host set up.
    PF_ParamDef applied(const video::VideoParam& p, video::VideoValue value) {
        const PF_ParamDef initial = host.param(p.hostIndex).current;
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

video::VideoValue number(double v) { return video::VideoValue{v}; }
video::VideoValue colour(float r, float g, float b) {
    video::VideoValue value{};
    value.color = {r, g, b};
    return value;
}

// Defaults map back bit for bit, also where the division into 0..1 does not (Ratio, Power, Focus Distance);
// then each mapping's edges (the real programs' tests compare values within them with tiltshift render);
// colours as 0xrrggbb, rounded as stored.
TEST(Frei0rParams, EveryDefaultMapsBackExactlyAndValuesOntoTheirRanges) {
    LoadedEffect effect;
    for (const video::VideoParam& p : effect.params) {
        const PF_ParamDef initial = effect.host.param(p.hostIndex).current;
        const video::VideoValue other =
            p.type == F0R_PARAM_COLOR ? colour(0.3f, 0.6f, 0.9f) : number(p.defaultValue > 0.5 ? 0.013 : 0.987);
        PF_ParamDef def = effect.applied(p, other);
        EXPECT_NE(hostNumber(p, def), hostNumber(p, initial)) << p.name << " was not moved first";
        video::applyValue(p, video::defaultValueOf(p), initial, kWidth, kHeight, def);
        EXPECT_EQ(hostNumber(p, def), hostNumber(p, initial)) << p.name;
    }
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::tuple<const char*, video::VideoValue, double> cases[] = {
        {"Blur Amount", number(2.0), 200},     // beyond the slider, within the valid range
        {"Blur Amount", number(100.0), 5000},  // held to the valid range
        {"Blur Amount", number(nan), 50},  // not a number: the default
        {"Ratio", number(0.0), 0.2}, {"Center X", number(0.0), 0}, {"Center Y", number(1.0), kHeight},
        {"Type", number(0.49), 1}, {"Type", number(0.51), 2}, {"Type", number(nan), 1},
        // The 16 modes in steps of 1/15, the separators (items 2, 9, 12, 17) skipped.
        {"Blending Mode", number(0.0), 1}, {"Blending Mode", number(7.0 / 15), 10}, {"Blending Mode", number(1.0), 20},
        {"Blending Mode", number(5.0), 20}, {"Repeat Edge Pixels", number(0.4), 0},
        {"Repeat Edge Pixels", number(0.5), 1}, {"Grow Bounds", number(nan), 1},
        {"Vignetting Color", colour(1.0f, 0.5f, 0.0f), 0xff8000},
        {"Vignetting Color", colour(2.0f, -1.0f, float(nan)), 0xff0000},
    };
    for (const auto& [name, value, expected] : cases) {
        const auto p = std::find_if(effect.params.begin(), effect.params.end(),
                                    [&, &name = name](const video::VideoParam& q) { return q.name == name; });
        EXPECT_DOUBLE_EQ(hostNumber(*p, effect.applied(*p, value)), expected) << name << " -> " << expected;
    }
}

struct Frei0rModule {
    void* handle = dlopen(NEREVO_FREI0R_MODULE, RTLD_NOW | RTLD_LOCAL);
    ~Frei0rModule() { dlclose(handle); }

    template <typename F>
    F function(F, const char* name) {
        void* symbol = handle ? dlsym(handle, name) : nullptr;
        if (!symbol) {
            throw std::runtime_error(std::string("missing ") + name + ": " + (handle ? "" : dlerror()));
        }
        return reinterpret_cast<F>(symbol);
    }
#define NEREVO_F0R(member, name) decltype(&name) member = function(&name, #name)
    NEREVO_F0R(init, f0r_init);
    NEREVO_F0R(deinit, f0r_deinit);
    NEREVO_F0R(paramInfo, f0r_get_param_info);
    NEREVO_F0R(construct, f0r_construct);
    NEREVO_F0R(destruct, f0r_destruct);
    NEREVO_F0R(setParam, f0r_set_param_value);
    NEREVO_F0R(getParam, f0r_get_param_value);
    NEREVO_F0R(update, f0r_update);
#undef NEREVO_F0R

    int paramIndex(const std::string& name) const {
        for (int i = 0; i < 64; ++i) {
            f0r_param_info_t param{};
            paramInfo(&param, i);
            if (param.name && name == param.name) {
                return i;
            }
        }
        throw std::runtime_error("no parameter " + name);
    }
    void set(f0r_instance_t instance, const std::string& name, double value) const {
        setParam(instance, &value, paramIndex(name));
    }
};

using Frame = std::vector<std::uint32_t>;

// A pixel as a frei0r frame's bytes red, green, blue, alpha.
std::uint32_t rgbaWord(const PF_Pixel& p) {
    const unsigned char rgba[4] = {p.red, p.green, p.blue, p.alpha};
    std::uint32_t word;
    std::memcpy(&word, rgba, sizeof word);
    return word;
}

Frame footageFrame(int width, int height, int t) {
    Frame frame;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            frame.push_back(rgbaWord(footage::texture<PF_Pixel>(x + 3 * t, y + t)));
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
    for (const auto& [width, height] : {std::pair(1, 1), std::pair(7, 5), std::pair(kWidth, kHeight)}) {
        f0r_instance_t instance = module.construct(width, height);
        ASSERT_NE(instance, nullptr);
        module.set(instance, "Inner Width", 0.01);
        const Frame out = rendered(module, instance, footageFrame(width, height, 0));
        module.destruct(instance);

        LoadedEffect effect(width, height);
        effect.host.param(effect.host.paramIndex("Inner Width")).current.u.fs_d.value = 2;
        host::Image layer(PF_PixelFormat_ARGB32, width, height);
        footage::paint<PF_Pixel>(layer);
        const host::RenderResult result = host::renderFrame(effect.host, layer);
        ASSERT_EQ(result.err, PF_Err_NONE);
        for (int i = 0; i < width * height; ++i) {
            ASSERT_EQ(out[std::size_t(i)], rgbaWord(result.output->at<PF_Pixel>(i % width, i / width))) << width << "x" << height;
        }
    }
    module.deinit();
}

// Hosts run one instance per thread (melt's real_time=-N); MLT may call one from several threads at once.
TEST(Frei0rModule, InstancesOnThreadsRenderAsOneInstanceOnOneThread) {
    constexpr int kInstances = 4, kFrames = 3;
    for (const char* threadsPerInstance : {"", "3"}) {
        SCOPED_TRACE(std::string("threads '") + threadsPerInstance + "'");
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
        std::vector<Frame> got(expected.size()), shared(kFrames);
        std::vector<std::thread> threads;
        for (int i = 0; i < kInstances; ++i) {
            threads.emplace_back([&, i] {
                f0r_instance_t instance = module.construct(kWidth, kHeight);
                configure(module, instance, i);
                for (int t = 0; t < kFrames; ++t) {
                    got[std::size_t(i * kFrames + t)] = rendered(module, instance, footageFrame(kWidth, kHeight, t));
                }
                module.destruct(instance);
            });
        }
        // Meanwhile the lone instance is called from several threads at once.
        configure(module, alone, 0);
        for (int t = 0; t < kFrames; ++t) {
            threads.emplace_back([&, t] { shared[std::size_t(t)] = rendered(module, alone, footageFrame(kWidth, kHeight, t)); });
        }
        std::for_each(threads.begin(), threads.end(), [](std::thread& t) { t.join(); });
        module.destruct(alone);
        module.deinit();
        for (std::size_t f = 0; f < expected.size(); ++f) {
            EXPECT_EQ(got[f], expected[f]) << "instance " << f / kFrames << " frame " << f % kFrames;
            EXPECT_NE(got[f], footageFrame(kWidth, kHeight, int(f % kFrames))) << "no blur";
        }
        EXPECT_EQ(shared, std::vector<Frame>(expected.begin(), expected.begin() + kFrames));
    }
    unsetenv("NEREVO_TILTSHIFT_THREADS");
}

// MLT calls f0r_deinit before destroying its instances; init and deinit may pair more than once; it reloads.
TEST(Frei0rModule, InstancesOutliveDeinitTheModuleLoadsAgainAndRefusesImpossibleFrames) {
    for (int round = 0; round < 2; ++round) {
        Frei0rModule module;
        ASSERT_EQ(module.init(), 1);
        ASSERT_EQ(module.init(), 1);
        for (const auto& [width, height] : {std::pair(0u, 10u), std::pair(10u, 0u), std::pair(40000u, 2u)}) {
            testing::internal::CaptureStderr();
            EXPECT_EQ(module.construct(width, height), nullptr) << width << "x" << height;
            EXPECT_NE(testing::internal::GetCapturedStderr().find("outside 1..32767"), std::string::npos);
        }
        f0r_instance_t instance = module.construct(9, 4);
        ASSERT_NE(instance, nullptr);
        module.set(instance, "Blur Amount", 0.75);
        for (int i = 0; i < 3; ++i) {
            module.deinit();  // once more than init: no harm
        }
        const Frame in = footageFrame(9, 4, round);
        EXPECT_NE(rendered(module, instance, in), Frame(in.size(), 0xdeadbeef));
        double value = 0;
        module.getParam(instance, &value, module.paramIndex("Blur Amount"));
        EXPECT_EQ(value, 0.75);
        module.destruct(instance);
    }
}

}  // namespace
