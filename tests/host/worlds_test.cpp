// The host's worlds (allocation and its check, copy, fill, transfer_rect) on padded rows,
// its iterations and thread count, and sub-pixel sampling.

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

#include "AE_EffectCBSuites.h"
#include "AE_EffectSuites.h"
#include "AE_GeneralPlug.h"
#include "fake_host.h"
#include "host/image.h"
#include "pixel_types.h"

namespace {

using host::Image;
using test::samePixel;

class Worlds : public test::FakeHost {
protected:
    PF_Err transfer(const Image& top, const PF_CompositeMode& mode, A_long x, A_long y, Image& bottom) {
        PF_Err err = PF_Err_NONE;
        run([&](PF_InData& in, PF_OutData&) {
            err = in.utils->transfer_rect(in.effect_ref, PF_Quality_HI, PF_MF_Alpha_STRAIGHT, PF_Field_FRAME,
                                          nullptr, top.world(), &mode, nullptr, x, y, bottom.world());
        });
        return err;
    }
};

TEST_F(Worlds, KeptWrongVersionAndStrayWritesAreReported) {
    PF_EffectWorld kept{};
    run([&](PF_InData& in, PF_OutData&) {
        const auto* v1 = acquire<PF_WorldSuite1>(in, kPFWorldSuite, 1);
        const auto* v2 = acquire<PF_WorldSuite2>(in, kPFWorldSuite, 2);
        PF_EffectWorld fl{}, stray{};
        ASSERT_EQ(v1->new_world(in.effect_ref, 4, 3, PF_NewWorldFlag_DEEP_PIXELS, &kept), PF_Err_NONE);
        ASSERT_EQ(v2->PF_NewWorld(in.effect_ref, 2, 2, false, PF_PixelFormat_ARGB128, &fl), PF_Err_NONE);
        EXPECT_EQ(v1->dispose_world(in.effect_ref, &fl), PF_Err_NONE);
        EXPECT_EQ(v1->dispose_world(in.effect_ref, &fl), PF_Err_BAD_CALLBACK_PARAM);
        ASSERT_EQ(in.utils->new_world(in.effect_ref, 2, 2, 0, &stray), PF_Err_NONE);
        static_cast<PF_Pixel*>(stray.data)[2].red = 1;  // the first pixel past the row
        EXPECT_EQ(in.utils->dispose_world(in.effect_ref, &stray), PF_Err_NONE);
        in.pica_basicP->ReleaseSuite(kPFWorldSuite, 1);
        in.pica_basicP->ReleaseSuite(kPFWorldSuite, 2);
    });
    EXPECT_TRUE(kept.rowbytes > 4 * 8 && (kept.world_flags & PF_WorldFlag_DEEP)) << "padded rows, deep";
    EXPECT_EQ(host.problems(),
              (std::vector<std::string>{
                  "world of 4 x 3 pixels at 16 bits not disposed",
                  "world of 2 x 2 pixels at float made by PF_NewWorld disposed with dispose_world",
                  "dispose_world of a world the host did not hand out (disposed twice?)",
                  "world of 2 x 2 pixels at 8 bits written outside its pixels",
              }));
    EXPECT_EQ(host.liveWorlds(), 1u);
    run([](PF_InData&, PF_OutData&) {});
    EXPECT_TRUE(host.problems().empty()) << "only the command that made a world reports it";
}

TEST_F(Worlds, ImagesKnowTheirPixelsAndTheirDepth) {
    Image image(PF_PixelFormat_ARGB64, 3, 2, PF_Point{-4, 7});
    EXPECT_EQ(std::make_pair(image.world()->origin_x, image.world()->origin_y), std::make_pair(-4, 7));
    image.at<PF_Pixel16>(2, 1) = PF_Pixel16{32768, 1, 2, 3};
    char* row1 = static_cast<char*>(image.world()->data) + image.world()->rowbytes;
    EXPECT_TRUE(samePixel(reinterpret_cast<const PF_Pixel16*>(row1)[2], PF_Pixel16{32768, 1, 2, 3}));
    EXPECT_THROW(image.at<PF_Pixel16>(3, 0), std::out_of_range);
    EXPECT_THROW(image.at<PF_Pixel>(0, 0), std::logic_error);
    EXPECT_TRUE(image.untouchedOutside());
    row1[3 * sizeof(PF_Pixel16)] = 9;  // into the padding
    EXPECT_FALSE(image.untouchedOutside());
}

TEST_F(Worlds, CopyClipsRectanglesAndRefusesMismatches) {
    Image src(PF_PixelFormat_ARGB128, 4, 3);
    Image dst(PF_PixelFormat_ARGB128, 4, 3, PF_Point{2, 2});
    Image target(PF_PixelFormat_ARGB128, 4, 3);
    Image other(PF_PixelFormat_ARGB32, 4, 3);
    for (int i = 0; i < 12; ++i) {
        src.at<PF_PixelFloat>(i % 4, i / 4).red = static_cast<float>(i + 1);
    }
    PF_Rect from{1, 0, 4, 2}, to{-1, -1, 2, 1}, smaller{0, 0, 2, 2};  // only source (2..3, 1) lands, on (0..1, 0)
    run([&](PF_InData& in, PF_OutData&) {
        EXPECT_EQ(in.utils->copy(in.effect_ref, src.world(), dst.world(), nullptr, nullptr), PF_Err_NONE);
        EXPECT_EQ(in.utils->copy(in.effect_ref, src.world(), target.world(), &from, &to), PF_Err_NONE);
        EXPECT_EQ(in.utils->copy(in.effect_ref, src.world(), dst.world(), &from, &smaller), PF_Err_BAD_CALLBACK_PARAM);
        EXPECT_EQ(in.utils->copy(in.effect_ref, src.world(), other.world(), nullptr, nullptr), PF_Err_BAD_CALLBACK_PARAM);
    });
    for (int i = 0; i < 12; ++i) {
        const int x = i % 4, y = i / 4;
        EXPECT_EQ(dst.at<PF_PixelFloat>(x, y).red, src.at<PF_PixelFloat>(x, y).red);
        EXPECT_EQ(target.at<PF_PixelFloat>(x, y).red, y == 0 && x < 2 ? x + 7.0f : 0.0f) << x << "," << y;
    }
    EXPECT_TRUE(dst.untouchedOutside());
}

TEST_F(Worlds, FillConvertsTheColourToTheDepth) {
    Image w16(PF_PixelFormat_ARGB64, 3, 2), wf(PF_PixelFormat_ARGB128, 3, 2);
    const PF_Pixel colour{255, 128, 0, 51};
    run([&](PF_InData& in, PF_OutData&) {
        const PF_Rect corner{1, 1, 9, 9};
        EXPECT_EQ(in.utils->fill(in.effect_ref, &colour, &corner, w16.world()), PF_Err_NONE);
        EXPECT_EQ(in.utils->fill(in.effect_ref, &colour, nullptr, wf.world()), PF_Err_NONE);
    });
    EXPECT_TRUE(samePixel(w16.at<PF_Pixel16>(2, 1), PF_Pixel16{32768, 16448, 0, 6554}));  // 128 / 255 of 32768, rounded
    EXPECT_EQ(w16.at<PF_Pixel16>(0, 1).alpha + w16.at<PF_Pixel16>(1, 0).alpha, 0) << "outside the rectangle";
    EXPECT_FLOAT_EQ(wf.at<PF_PixelFloat>(0, 0).red, 128.0f / 255.0f);
    EXPECT_TRUE(w16.untouchedOutside()) << "a rectangle beyond the world is clipped";
}

// Straight colours over straight colours, the top's alpha scaled by the opacity.
PF_Pixel inFront8(PF_Pixel bottom, PF_Pixel top, double opacity) {
    const double t = top.alpha / 255.0 * opacity;
    const double b = bottom.alpha / 255.0 * (1.0 - t);
    const double a = t + b;
    const auto c = [&](int ct, int cb) { return static_cast<A_u_char>(std::floor((ct * t + cb * b) / a + 0.5)); };
    return PF_Pixel{static_cast<A_u_char>(std::floor(a * 255.0 + 0.5)), c(top.red, bottom.red),
                    c(top.green, bottom.green), c(top.blue, bottom.blue)};
}

TEST_F(Worlds, TransferRectCompositesInFrontWithOpacity) {
    Image top(PF_PixelFormat_ARGB32, 2, 1);
    Image bottom(PF_PixelFormat_ARGB32, 3, 2);
    top.at<PF_Pixel>(0, 0) = PF_Pixel{255, 255, 0, 0};
    top.at<PF_Pixel>(1, 0) = PF_Pixel{100, 0, 200, 40};
    const PF_Pixel under{128, 0, 0, 255};
    for (int i = 0; i < 6; ++i) {
        bottom.at<PF_Pixel>(i % 3, i / 3) = under;
    }
    PF_CompositeMode mode{PF_Xfer_IN_FRONT, 0, 127, false, 16384};
    EXPECT_EQ(transfer(top, mode, 2, 1, bottom), PF_Err_NONE);  // only its first pixel lands
    EXPECT_EQ(transfer(top, mode, 0, 0, bottom), PF_Err_NONE);
    mode.xfer = PF_Xfer_MULTIPLY;
    EXPECT_EQ(transfer(top, mode, 0, 0, bottom), PF_Err_BAD_CALLBACK_PARAM);
    const PF_Pixel red = inFront8(under, top.at<PF_Pixel>(0, 0), 127 / 255.0);
    const PF_Pixel expected[] = {red, inFront8(under, top.at<PF_Pixel>(1, 0), 127 / 255.0), under, under, under, red};
    for (int i = 0; i < 6; ++i) {
        EXPECT_TRUE(samePixel(bottom.at<PF_Pixel>(i % 3, i / 3), expected[i])) << i % 3 << "," << i / 3;
    }
    EXPECT_TRUE(bottom.untouchedOutside());

    Image top16(PF_PixelFormat_ARGB64, 1, 1), bottom16(PF_PixelFormat_ARGB64, 1, 1);
    top16.at<PF_Pixel16>(0, 0) = PF_Pixel16{32768, 32768, 0, 0};
    bottom16.at<PF_Pixel16>(0, 0) = PF_Pixel16{32768, 0, 0, 32768};
    // Deep worlds take the fine opacity (a quarter); the 8-bit one is ignored.
    EXPECT_EQ(transfer(top16, PF_CompositeMode{PF_Xfer_IN_FRONT, 0, 1, false, 8192}, 0, 0, bottom16), PF_Err_NONE);
    EXPECT_TRUE(samePixel(bottom16.at<PF_Pixel16>(0, 0), PF_Pixel16{32768, 8192, 0, 24576}));
}

// Every iteration waits until all have started: the call only finishes when they run at once.
struct Rendezvous {
    std::atomic<int> started{0}, timedOut{0}, count{0};
    std::atomic<unsigned> threadsSeen{0};  // bit t: thread index t ran an iteration
};

PF_Err meet(void* refcon, A_long thread, A_long, A_long iterations) {
    auto& r = *static_cast<Rendezvous*>(refcon);
    r.threadsSeen |= 1u << thread;
    r.count = iterations;
    ++r.started;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (r.started.load() < iterations) {
        if (std::chrono::steady_clock::now() > deadline) {
            ++r.timedOut;
            return 1;
        }
        std::this_thread::yield();
    }
    return PF_Err_NONE;
}

PF_Err failSome(void* refcon, A_long, A_long i, A_long) {
    static_cast<std::atomic<int>*>(refcon)->fetch_add(1);
    return i == 4 ? 9 : i == 2 ? 7 : PF_Err_NONE;
}

TEST_F(Worlds, IterateRunsEveryIterationAtOnceAndReturnsTheLowestFailure) {
    EXPECT_EQ(host.threadCount(), static_cast<int>(std::max(1u, std::thread::hardware_concurrency())));
    host.setThreadCount(4);
    Rendezvous r;
    std::atomic<int> calls{0};
    run([&](PF_InData& in, PF_OutData&) {
        EXPECT_EQ(in.utils->iterate_generic(PF_Iterations_ONCE_PER_PROCESSOR, &r, meet), PF_Err_NONE);
        const auto* suite = acquire<PF_Iterate8Suite1>(in, kPFIterate8Suite, 1);
        EXPECT_EQ(suite->iterate_generic(6, &calls, failSome), 7);
        in.pica_basicP->ReleaseSuite(kPFIterate8Suite, 1);
        EXPECT_EQ(in.utils->iterate_generic(-2, &calls, failSome), PF_Err_BAD_CALLBACK_PARAM);
    });
    EXPECT_EQ((std::vector<long>{r.timedOut, r.count, r.threadsSeen, calls}),
              (std::vector<long>{0, 4, 0b1111, 6}));  // timed out, iterations, threads seen, calls
    EXPECT_TRUE(host.problems().empty());
}

TEST_F(Worlds, BetweenPixelsColoursMixByCoverage) {
    Image image(PF_PixelFormat_ARGB32, 2, 2);
    image.at<PF_Pixel>(0, 0) = PF_Pixel{255, 255, 0, 0};
    image.at<PF_Pixel>(1, 0) = PF_Pixel{255, 0, 0, 255};
    image.at<PF_Pixel>(0, 1) = PF_Pixel{0, 0, 255, 0};  // transparent: its colour must not show
    run([&](PF_InData& in, PF_OutData&) {
        const auto* suite8 = acquire<PF_Sampling8Suite1>(in, kPFSampling8Suite, 1);
        PF_Pixel p{};
        PF_SampPB pb{};
        pb.src = image.world();
        const struct {
            PF_Fixed x, y;
            PF_Pixel expected;
        } cases[] = {{0, 0, {255, 255, 0, 0}},     {65536, 0, {255, 0, 0, 255}},  {32768, 0, {255, 128, 0, 128}},
                     {0, 32768, {128, 255, 0, 0}}, {-16384, 0, {191, 255, 0, 0}},  // a quarter pixel in
                     {-65536, 0, {0, 0, 0, 0}},    {0, 2 * 65536, {0, 0, 0, 0}}};  // outside: transparent
        for (const auto& c : cases) {
            ASSERT_EQ(suite8->subpixel_sample(in.effect_ref, c.x, c.y, &pb, &p), PF_Err_NONE);
            EXPECT_TRUE(samePixel(p, c.expected)) << c.x << "," << c.y;
        }
        PF_Pixel16 deep{};
        const auto* suite16 = acquire<PF_Sampling16Suite1>(in, kPFSampling16Suite, 1);
        EXPECT_EQ(suite16->subpixel_sample16(in.effect_ref, 0, 0, &pb, &deep), PF_Err_BAD_CALLBACK_PARAM)
            << "suite and world of other depths";
        pb.src = nullptr;
        EXPECT_EQ(suite8->subpixel_sample(in.effect_ref, 0, 0, &pb, &p), PF_Err_BAD_CALLBACK_PARAM);
        in.pica_basicP->ReleaseSuite(kPFSampling16Suite, 1);
        in.pica_basicP->ReleaseSuite(kPFSampling8Suite, 1);
    });
}

}  // namespace
