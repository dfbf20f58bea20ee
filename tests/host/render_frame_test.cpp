// Rendering one frame as the application does, with the plug-in: what the
// host asks for and hands out at full and reduced size, and the host left as it was.

#include <cstdint>
#include <iterator>
#include <string>

#include "command_host.h"
#include "host/image.h"
#include "host/render.h"
#include "pixel_types.h"
#include "scene/footage.h"

namespace {

using host::Image;

// 8-bit pixels with detail in every 2 × 2 block, transparent in places.
PF_Pixel texture(int x, int y) {
    return PF_Pixel{static_cast<A_u_char>(255 - (x + y) % 3), static_cast<A_u_char>((x * 37 + y * 91) % 256),
                    static_cast<A_u_char>((x * x + 3 * y) % 256), static_cast<A_u_char>(((x / 3 + y) % 2) * 200)};
}

// The layer's pixel (x, y) at half size: its 2 × 2 block averaged, halves rounded up.
PF_Pixel halfSize(int x, int y) {
    int sums[4] = {};
    for (int d = 0; d < 4; ++d) {
        const PF_Pixel p = texture(2 * x + d % 2, 2 * y + d / 2);
        sums[0] += p.alpha;
        sums[1] += p.red;
        sums[2] += p.green;
        sums[3] += p.blue;
    }
    const auto mean = [](int sum) { return static_cast<A_u_char>((sum + 2) / 4); };
    return PF_Pixel{mean(sums[0]), mean(sums[1]), mean(sums[2]), mean(sums[3])};
}

host::RenderOptions at(int downsample, A_long frame = 0, int threads = 0) {
    host::RenderOptions options;
    options.downsample = downsample;
    options.frame = frame;
    options.threads = threads;
    return options;
}

class RenderFrame : public test::CommandHost {
protected:
    void SetUp() override {
        CommandHost::SetUp();
        setPopup("Type", 3);  // a "Type" that runs no stage
    }
};

TEST_F(RenderFrame, AsksForTheLayerAtTheFramesTimeAndLeavesTheHostAsItWas) {
    host.frame().timeStep = 2;
    const auto settings = [&] {
        const host::Host::Frame& f = host.frame();
        return std::vector<long long>{f.width, f.height, f.currentTime, f.downsampleX.den, f.downsampleY.den,
                                      host.threadCount(), host.project().target().layer().type};
    };
    const std::vector<long long> before = settings();
    Image layer(PF_PixelFormat_ARGB64, 100, 100);
    host::RenderOptions options = at(2, 5, host.threadCount() + 2);
    options.layerType = AEGP_ObjectType_TEXT;
    ASSERT_EQ(host::renderFrame(host, layer, options).err, PF_Err_NONE);
    EXPECT_EQ(argsOf("checkout_layer"), "index=0 id=0 rect=(0,0,50,50) time=10 step=2 scale=24");
    EXPECT_NE(argsOf("checkout_param").find(" time=10 step=2 "), std::string::npos) << argsOf("checkout_param");
    EXPECT_EQ(settings(), before);
    PF_ParamDef center{};  // outside a render, points come in layer pixels again
    host.withCommandData([&](PF_InData& in, PF_OutData&) {
        EXPECT_EQ(in.inter.checkout_param(in.effect_ref, host.paramIndex("Center"), 0, 1, 24, &center), 0);
    });
    EXPECT_EQ(center.u.td.x_value, def("Center").u.td.x_value);

    host::Host fresh(test::pluginPath());
    EXPECT_THROW(host::renderFrame(fresh, layer), host::HostError) << "not set up";
    EXPECT_THROW(host::renderFrame(host, layer, at(0)), host::HostError);
}

// With nothing to blur and no weighting the effect hands through the layer as the render sees it.
TEST_F(RenderFrame, AtHalfSizeEachPixelIsTheAverageOfItsBlock) {
    setPopup("Type", 1);
    set("Blur Amount", 0);
    set("Weight", 0);
    Image layer(PF_PixelFormat_ARGB32, 65, 49);  // the odd last column and row make no whole block
    test::paint<PF_Pixel>(layer, texture);
    const host::RenderResult result = host::renderFrame(host, layer, at(2));
    ASSERT_EQ(result.err, PF_Err_NONE);
    ASSERT_EQ(std::make_pair(result.output->width(), result.output->height()), std::make_pair(32, 24));
    for (int i = 0; i < 32 * 24; ++i) {
        ASSERT_TRUE(test::samePixel(result.output->at<PF_Pixel>(i % 32, i / 32), halfSize(i % 32, i / 32))) << i;
    }
}

// The frames reach every kind of callback a render makes (threads, the host's maths,
// per-pixel sampling); planned faults hit whether or not the log records.
TEST_F(RenderFrame, LongSessionsHoldNothingMoreAndLogEveryCallOnlyWhenAsked) {
    host.log().setRecording(false);
    setPopup("Type", 2);
    set("Blur Amount", 6);
    set("Inner Width", 4);
    set("Chromatic Aberration", 3);
    set("Vignetting", 20);
    Image layer{PF_PixelFormat_ARGB32, 48, 32};
    test::paint<PF_Pixel>(layer, texture);
    const auto render = [&](A_long frame, int downsample, int threads) {
        return host::renderFrame(host, layer, at(downsample, frame, threads)).err;
    };
    host.faults().failCall("checkout_layer_pixels", 1, PF_Err_OUT_OF_MEMORY);
    EXPECT_EQ(render(0, 1, 2), PF_Err_OUT_OF_MEMORY);
    ASSERT_EQ(render(0, 1, 2), PF_Err_NONE);
    const host::Host::Holdings first = host.holdings();
    EXPECT_EQ(first.calls + first.problems, 0u);
    const std::pair<int, int> frames[] = {{1, 1}, {2, 2}, {1, 3}, {4, 1}, {2, 1}, {1, 2}};  // downsample, threads
    for (A_long n = 1; n <= 24; ++n) {
        const auto& [downsample, threads] = frames[static_cast<std::size_t>(n) % std::size(frames)];
        ASSERT_EQ(render(n, downsample, threads), PF_Err_NONE) << n;
        ASSERT_EQ(host.send(PF_Cmd_UPDATE_PARAMS_UI), PF_Err_NONE) << n;
    }
    const auto held = [](const host::Host::Holdings& h) {
        return std::vector<std::size_t>{h.calls, h.problems, h.texts, h.handles, h.worlds, h.references, h.plugins};
    };
    EXPECT_EQ(held(host.holdings()), held(first));

    host.log().setRecording(true);
    ASSERT_EQ(render(0, 1, 1), PF_Err_NONE);
    const std::pair<const char*, const char*> expected[] = {  // name, how its first call's arguments begin
        {"checkout_layer_pixels", "id=0"}, {"checkout_output", ""}, {"iterate_generic", "iterations="},
        {"subpixel_sample", "x="},         {"sin", ""},             {"AcquireSuite", "name=\""}};
    for (const auto& [name, args] : expected) {
        EXPECT_EQ(argsOf(name).rfind(args, 0), 0u) << name << ": " << argsOf(name);
    }
    EXPECT_EQ(host.log().count("AcquireSuite"), host.log().count("ReleaseSuite"));
    const std::size_t oneFrame = host.log().size();
    ASSERT_EQ(render(0, 1, 1), PF_Err_NONE);
    EXPECT_EQ(host.log().size(), 2 * oneFrame) << "the same frame makes the same calls";
    ASSERT_EQ(host.paramsSetup(), PF_Err_NONE);
    ASSERT_EQ(host.paramsSetup(), PF_Err_NONE);
    EXPECT_EQ(host.holdings().texts, first.texts) << "parameters registered anew keep only their own texts";
}

// FNV-1a over the output's size, origin and pixels (not the row padding).
template <typename Pixel>
std::uint64_t fingerprint(const Image& image) {
    std::uint64_t hash = 14695981039346656037ull;
    const auto mix = [&hash](const void* data, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i) {
            hash = (hash ^ static_cast<const unsigned char*>(data)[i]) * 1099511628211ull;
        }
    };
    const PF_EffectWorld& world = *image.world();
    const A_long frame[] = {world.width, world.height, world.origin_x, world.origin_y};
    mix(frame, sizeof frame);
    for (int y = 0; y < image.height(); ++y) {
        mix(static_cast<const char*>(world.data) + static_cast<std::ptrdiff_t>(y) * world.rowbytes,
            static_cast<std::size_t>(image.width()) * sizeof(Pixel));
    }
    return hash;
}

// Renders of earlier versions of the host: how it hands the layer out (copied, reduced, its own
// pixels) changes no bit at any thread count. Float prints are those of exact float weighting.
template <typename Pixel>
class Fingerprints : public RenderFrame {};
TYPED_TEST_SUITE(Fingerprints, test::PixelTypes);

TYPED_TEST(Fingerprints, OfEveryDownsamplingAndThreadCountAreThoseOfBefore) {
    const struct {
        const char* what;
        int type;
        double chromaticAberration, vignetting;
        bool content;               // a content rectangle smaller than the layer
        std::uint64_t expected[3];  // 8 bits, 16 bits, float
    } settings[] = {
        {"radial", 1, 0, 0, false, {3868325856385771652u, 11113116585917999449u, 8541569494229955906u}},
        {"linear, aberration, vignetting", 2, 4, 30, false,
         {2167774601611350947u, 4993413892850826803u, 17057552348094496993u}},
        {"radial on part of the layer", 1, 2, 0, true,
         {5785088512527504023u, 13945055915580210528u, 6012804380665288211u}},
    };
    const std::size_t depth = std::is_same_v<TypeParam, PF_Pixel> ? 0 : std::is_same_v<TypeParam, PF_Pixel16> ? 1 : 2;
    Image layer(Nerevo::PixelTraits<TypeParam>::format, 61, 43);
    footage::paint<TypeParam>(layer);
    for (const auto& setting : settings) {
        this->setPopup("Type", setting.type);
        this->set("Blur Amount", 9);
        this->set("Inner Width", 6);
        this->set("Chromatic Aberration", setting.chromaticAberration);
        this->set("Vignetting", setting.vignetting);
        std::uint64_t combined = 0;
        for (const int downsample : {1, 2, 3}) {
            std::uint64_t first = 0;
            for (const int threads : {1, 2, 7}) {
                host::RenderOptions options = at(downsample, 0, threads);
                if (setting.content) {
                    options.content = PF_LRect{7, 5, 50, 40};
                }
                const host::RenderResult result = host::renderFrame(this->host, layer, options);
                ASSERT_EQ(result.err, PF_Err_NONE) << setting.what;
                const std::uint64_t print = fingerprint<TypeParam>(*result.output);
                first = threads == 1 ? print : first;
                EXPECT_EQ(print, first) << setting.what << " at 1/" << downsample << " on " << threads << " threads";
            }
            combined = combined * 31 + first;
        }
        EXPECT_EQ(combined, setting.expected[depth]) << setting.what;
    }
}

}  // namespace
