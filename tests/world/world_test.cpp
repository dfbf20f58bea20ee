// Worlds of the core library against the headless host: allocation by depth, borrowing,
// checkout and check-in, what is passed on to the host, and rows whatever their stride.

#include <cstring>

#include "AE_EffectCBSuites.h"
#include "command_host.h"
#include "host/image.h"
#include "pixel_types.h"
#include "world/pixels.h"
#include "world/world.h"

namespace {

using host::Image;
using Nerevo::World;
using WorldPtr = std::shared_ptr<World>;

class Worlds : public test::CommandHost {
    void TearDown() override { expectAllGivenBack(); }
};

TEST_F(Worlds, CreatedAtEachDepthClearedAndFreedThroughTheVersionThatMadeIt) {
    run([&](PF_InData& in, PF_OutData& out, AEGP_SuiteHandler& suites) {
        for (const Nerevo::Bpc bpc : {Nerevo::bpc8, Nerevo::bpc16, Nerevo::bpc32}) {
            WorldPtr world;
            ASSERT_EQ(Nerevo::createWorld(&in, &out, suites, bpc, 3, 2, true, world), PF_Err_NONE);
            ASSERT_TRUE(world && world->world && world->world->data);
            EXPECT_TRUE(world->world->width == 3 && world->world->height == 2);
            auto found = static_cast<Nerevo::Bpc>(7);
            EXPECT_EQ(Nerevo::getBpc(&in, &out, world->world, &found), PF_Err_NONE);
            EXPECT_EQ(found, bpc);
            const std::string zeros(3 * (bpc == Nerevo::bpc8 ? 4 : bpc == Nerevo::bpc16 ? 8 : 16), '\0');
            const char* rows = static_cast<const char*>(world->world->data);
            EXPECT_EQ(std::string(rows, zeros.size()) + std::string(rows + world->world->rowbytes, zeros.size()),
                      zeros + zeros);
        }
        WorldPtr unknown;
        EXPECT_EQ(Nerevo::createWorld(&in, &out, suites, static_cast<Nerevo::Bpc>(3), 5, 5, true, unknown), PF_Err_NONE);
        const PF_LayerDef zero{};
        ASSERT_TRUE(unknown && unknown->world);
        EXPECT_EQ(std::memcmp(unknown->world, &zero, sizeof zero), 0) << "an unknown depth gives an empty record";
    });
    EXPECT_EQ(host.log().count("new_world"), 2u) << "an unknown depth calls nothing";
    EXPECT_EQ(host.log().count("PF_NewWorld"), 1u);
    EXPECT_EQ(argsOf("new_world", true), "width=3 height=2 flags=3");
    EXPECT_EQ(host.liveWorlds(), 0u);
}

TEST_F(Worlds, InitRunsOnceAndUninitialisedOrFailedWorldsCallNothingAtTheEnd) {
    const auto worldCalls = [&] { return host.log().count("new_world") + host.log().count("PF_NewWorld"); };
    run([&](PF_InData& in, PF_OutData& out, AEGP_SuiteHandler& suites) {
        { Nerevo::NewWorld unused(&in, &out, suites); }
        EXPECT_EQ(worldCalls(), 0u);
        Nerevo::NewWorld once(&in, &out, suites);
        ASSERT_EQ(once.init(Nerevo::bpc8, 2, 2, false), PF_Err_NONE);
        EXPECT_EQ(once.init(Nerevo::bpc32, 9, 9, true), PF_Err_NONE);
        EXPECT_TRUE(once.world->width == 2 && worldCalls() == 1u) << "the first init holds";
        host.faults().failCall("new_world", 1, PF_Err_OUT_OF_MEMORY);
        const WorldPtr sentinel = std::make_shared<World>();
        WorldPtr kept = sentinel;
        EXPECT_EQ(Nerevo::createWorld(&in, &out, suites, Nerevo::bpc16, 4, 4, true, kept), PF_Err_OUT_OF_MEMORY);
        EXPECT_EQ(kept, sentinel) << "a failed creation leaves the caller's world";
    });
    EXPECT_EQ(host.log().count("new_world"), 2u);
    EXPECT_EQ(host.log().count("dispose_world"), 1u) << "only the world that was made";
}

TEST_F(Worlds, WithoutTheWorldSuiteFloatWorldsAndDepthsAreAnErrorNotAnEmptySuccess) {
    host.faults().makeUnavailable(kPFWorldSuite, 2);
    Image image(PF_PixelFormat_ARGB128, 2, 2);
    run([&](PF_InData& in, PF_OutData& out, AEGP_SuiteHandler& suites) {
        const WorldPtr sentinel = std::make_shared<World>();
        WorldPtr kept = sentinel;
        EXPECT_EQ(Nerevo::createWorld(&in, &out, suites, Nerevo::bpc32, 4, 4, true, kept), PF_Err_BAD_CALLBACK_PARAM);
        EXPECT_EQ(kept, sentinel);
        EXPECT_NE(out.out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE, 0);
        EXPECT_STREQ(out.return_msg, "Couldn't load suite.");
        Nerevo::Bpc bpc = Nerevo::bpc16;
        out = PF_OutData{};
        EXPECT_EQ(Nerevo::getBpc(&in, &out, image.world(), &bpc), PF_Err_BAD_CALLBACK_PARAM);
        EXPECT_EQ(bpc, Nerevo::bpc16);
        EXPECT_STREQ(out.return_msg, "Couldn't load suite.");
    });
}

TEST_F(Worlds, CloneCopiesAPaddedSourceWithItsOwnOrigin) {
    Image source(PF_PixelFormat_ARGB64, 4, 3, PF_Point{-6, 9});
    test::paint<PF_Pixel16>(source, [](int x, int y) {
        const auto v = static_cast<A_u_short>(1000 * y + 10 * x + 1);
        return PF_Pixel16{32768, v, static_cast<A_u_short>(v + 1), static_cast<A_u_short>(v + 2)};
    });
    run([&](PF_InData& in, PF_OutData& out, AEGP_SuiteHandler& suites) {
        WorldPtr src;
        ASSERT_EQ(Nerevo::setExistingWorld(&in, suites, *source.world(), src), PF_Err_NONE);
        EXPECT_EQ(src->world, source.world());
        WorldPtr clone;
        ASSERT_EQ(Nerevo::cloneWorld(&in, &out, suites, Nerevo::bpc16, src, clone), PF_Err_NONE);
        ASSERT_TRUE(clone->world->width == 4 && clone->world->height == 3);
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 4; ++x) {
                EXPECT_TRUE(test::samePixel(Nerevo::Pixels::at<PF_Pixel16>(*clone->world, x, y),
                                            source.at<PF_Pixel16>(x, y))) << x << "," << y;
            }
        }
        WorldPtr nothing = std::make_shared<World>();
        WorldPtr empty;
        ASSERT_EQ(Nerevo::cloneWorld(&in, &out, suites, Nerevo::bpc8, nothing, empty), PF_Err_NONE);
        EXPECT_TRUE(empty->world->width == 0 && empty->world->height == 0);
    });
}

TEST_F(Worlds, CopyAndFillHandTheirRectanglesAndColourOn) {
    Image a(PF_PixelFormat_ARGB32, 3, 4, PF_Point{1, 1});
    Image b(PF_PixelFormat_ARGB32, 3, 4);
    a.at<PF_Pixel>(2, 0) = PF_Pixel{255, 7, 8, 9};
    run([&](PF_InData& in, AEGP_SuiteHandler& suites) {
        WorldPtr src, dst;
        Nerevo::setExistingWorld(&in, suites, *a.world(), src);
        Nerevo::setExistingWorld(&in, suites, *b.world(), dst);
        const Nerevo::Rect<int> aboveBoth{0, -1, 3, 3};
        EXPECT_EQ(Nerevo::copy(&in, src, dst, aboveBoth, aboveBoth), PF_Err_NONE);
        EXPECT_EQ(Nerevo::copy(&in, src, dst, Nerevo::Rect<int>{1, 0, 3, 2}, Nerevo::Rect<int>{0, 1, 2, 3}),
                  PF_Err_NONE);
        EXPECT_EQ(argsOf("copy", true), "src_rect=(1,0,3,2) dst_rect=(0,1,2,3)");
        EXPECT_EQ(Nerevo::fill(&in, src, Nerevo::Rect<int>{0, 2, 3, 3}, Nerevo::Color<float>{1.0f, 0.5f, 0.0f, 0.2f}),
                  PF_Err_NONE);
        EXPECT_EQ(argsOf("fill"), "color=(255,128,0,51) rect=(0,2,3,3)");
    });
    EXPECT_EQ((std::vector<int>{b.at<PF_Pixel>(2, 0).red, b.at<PF_Pixel>(1, 1).red, a.at<PF_Pixel>(1, 2).red,
                                a.at<PF_Pixel>(1, 1).red}),
              (std::vector<int>{7, 7, 128, 0}));
}

TEST_F(Worlds, BlendPassesTheTransferModeAndOpacities) {
    Image top(PF_PixelFormat_ARGB128, 2, 2);
    Image bottom(PF_PixelFormat_ARGB128, 4, 4);
    top.at<PF_PixelFloat>(1, 1) = PF_PixelFloat{1.0f, 0.25f, 0.5f, 0.75f};
    run([&](PF_InData& in, AEGP_SuiteHandler& suites) {
        WorldPtr src, dst;
        Nerevo::setExistingWorld(&in, suites, *top.world(), src);
        Nerevo::setExistingWorld(&in, suites, *bottom.world(), dst);
        EXPECT_EQ(Nerevo::blend(&in, src, dst, Nerevo::bpc32, Nerevo::BlendingMode::normal), PF_Err_NONE);
        EXPECT_EQ(argsOf("transfer_rect", true),
                  "quality=1 flags=1 field=0 src_rect=(0,0,2,2) xfer=2 rand_seed=0 opacity=255 rgb_only=0 "
                  "opacitySu=32768 mask=null dest=(0,0)");
        EXPECT_EQ(Nerevo::blend(&in, src, dst, Nerevo::bpc32, Nerevo::Rect<int>{1, 1, 2, 2}, Nerevo::Vector2<int>{3, 2},
                                static_cast<Nerevo::BlendingMode>(40), 0.5, true),
                  PF_Err_NONE);
        EXPECT_EQ(argsOf("transfer_rect", true),
                  "quality=1 flags=1 field=0 src_rect=(1,1,2,2) xfer=2 rand_seed=0 opacity=127 rgb_only=1 "
                  "opacitySu=16384 mask=null dest=(3,2)");
        // Past full opacity stays full: 255 × 1.5 must not wrap round in 8 bits.
        Nerevo::blend(&in, src, dst, Nerevo::bpc32, Nerevo::Rect<int>{0, 0, 1, 1}, Nerevo::Vector2<int>{0, 0},
                      Nerevo::BlendingMode::dodge, 1.5, false);
        EXPECT_NE(argsOf("transfer_rect", true).find("xfer=27 rand_seed=0 opacity=255 rgb_only=0 opacitySu=32768"),
                  std::string::npos)
            << argsOf("transfer_rect", true);
    });
    EXPECT_FLOAT_EQ(bottom.at<PF_PixelFloat>(1, 1).red, 0.25f) << "in front, opaque";
    EXPECT_FLOAT_EQ(bottom.at<PF_PixelFloat>(3, 2).blue, 0.75f) << "straight colours keep their value over nothing";
    EXPECT_FLOAT_EQ(bottom.at<PF_PixelFloat>(3, 2).alpha, 0.0f) << "rgb only keeps the alpha";
}

TEST_F(Worlds, ParameterWorldsAreCheckedInWhateverTheyHold) {
    Image layer(PF_PixelFormat_ARGB32, 2, 2);
    run([&](PF_InData& in, AEGP_SuiteHandler& suites) {
        {
            WorldPtr none;
            ASSERT_EQ(Nerevo::getParameterWorld(&in, suites, 0, A_Time{5, 24}, none), PF_Err_NONE);
            EXPECT_EQ(none->world, nullptr) << "no layer assigned";
        }
        EXPECT_EQ(argsOf("checkout_param"), "index=0 time=5 step=1 scale=24");
        EXPECT_EQ(host.log().count("checkin_param"), 1u) << "an empty checkout is checked in too";
        host.param(0).current.u.ld = *layer.world();
        {
            WorldPtr pixels;
            ASSERT_EQ(Nerevo::getParameterWorld(&in, suites, 0, A_Time{0, 24}, pixels), PF_Err_NONE);
            auto& parameter = static_cast<Nerevo::ParameterWorld&>(*pixels);
            EXPECT_EQ(pixels->world, &parameter.param.u.ld);
            EXPECT_EQ(pixels->world->data, layer.world()->data);
        }
        EXPECT_EQ(host.log().count("checkin_param"), 2u);
        host.faults().failCall("checkout_param", 1, PF_Err_INVALID_INDEX);
        const WorldPtr sentinel = std::make_shared<World>();
        WorldPtr kept = sentinel;
        EXPECT_EQ(Nerevo::getParameterWorld(&in, suites, 0, A_Time{0, 24}, kept), PF_Err_INVALID_INDEX);
        EXPECT_EQ(kept, sentinel);
        EXPECT_EQ(host.log().count("checkin_param"), 2u) << "nothing checked out, nothing checked in";
    });
}

// Without callbacks there is nothing to ask.
TEST_F(Worlds, InputAndOutputBorrowWhatTheHostChecksOutEvenOnFailure) {
    static PF_EffectWorld checkedOut{};
    PF_SmartRenderCallbacks callbacks{};
    callbacks.checkout_layer_pixels = [](PF_ProgPtr, A_long, PF_EffectWorld** pixels) {
        *pixels = nullptr;
        return PF_Err{PF_Err_OUT_OF_MEMORY};
    };
    callbacks.checkout_output = [](PF_ProgPtr, PF_EffectWorld** output) {
        *output = &checkedOut;
        return PF_Err{PF_Err_OUT_OF_MEMORY};
    };
    PF_SmartRenderExtra extra{nullptr, &callbacks}, noCallbacks{nullptr, nullptr};
    run([&](PF_InData& in, AEGP_SuiteHandler&) {
        WorldPtr input, output;
        EXPECT_EQ(Nerevo::getInputWorld(&in, &extra, 0, input), PF_Err_OUT_OF_MEMORY);
        EXPECT_EQ(Nerevo::getOutputWorld(&in, &extra, output), PF_Err_OUT_OF_MEMORY);
        EXPECT_EQ(std::make_pair(input->world, output->world), std::make_pair<PF_LayerDef*>(nullptr, &checkedOut));
        EXPECT_EQ(Nerevo::getInputWorld(&in, &noCallbacks, 0, input), PF_Err_BAD_CALLBACK_PARAM);
        EXPECT_EQ(Nerevo::getOutputWorld(&in, nullptr, output), PF_Err_BAD_CALLBACK_PARAM);
    });
}

// Rows lie rowbytes apart, padded or running upwards from the first.
TEST(Pixels, RowsFollowTheirStrideEitherWay) {
    PF_Pixel16 pixels[3][4] = {};
    for (const bool upwards : {false, true}) {
        PF_LayerDef world{};
        world.width = 3;
        world.height = 3;
        world.rowbytes = (upwards ? -1 : 1) * static_cast<A_long>(sizeof pixels[0]);
        world.data = upwards ? pixels[2] : pixels[0];
        Nerevo::Pixels::at<PF_Pixel16>(world, 2, 1) = PF_Pixel16{1, 2, 3, 4};
        EXPECT_EQ(Nerevo::Pixels::row<PF_Pixel16>(world, 2), upwards ? pixels[0] : pixels[2]);
        EXPECT_EQ(pixels[1][2].blue, 4);
        pixels[1][2] = PF_Pixel16{};
    }
}

}  // namespace
