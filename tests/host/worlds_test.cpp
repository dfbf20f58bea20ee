// The host's worlds: allocation and its check, copy, fill and transfer_rect,
// at every depth, on worlds whose rows are padded.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "AE_EffectCBSuites.h"
#include "AE_EffectSuites.h"
#include "host/host.h"
#include "host/image.h"

namespace {

using host::Image;

class Worlds : public ::testing::Test {
protected:
    void run(const std::function<void(PF_InData&, PF_OutData&)>& body) { host.withCommandData(body); }

    template <typename Suite>
    static const Suite* acquire(PF_InData& in, const char* name, int version) {
        const void* suite = nullptr;
        EXPECT_EQ(in.pica_basicP->AcquireSuite(name, version, &suite), kSPNoError);
        return static_cast<const Suite*>(suite);
    }

    host::Host host{HOST_FAKE_PLUGIN};
};

TEST_F(Worlds, NewWorldsArePaddedClearedAndKnowTheirFormat) {
    run([](PF_InData& in, PF_OutData&) {
        const auto* v2 = acquire<PF_WorldSuite2>(in, kPFWorldSuite, 2);
        PF_EffectWorld w8{}, w16{}, wf{};
        ASSERT_EQ(in.utils->new_world(in.effect_ref, 5, 3, PF_NewWorldFlag_CLEAR_PIXELS, &w8), PF_Err_NONE);
        ASSERT_EQ(in.utils->new_world(in.effect_ref, 5, 3,
                                      PF_NewWorldFlag_CLEAR_PIXELS | PF_NewWorldFlag_DEEP_PIXELS, &w16),
                  PF_Err_NONE);
        ASSERT_EQ(v2->PF_NewWorld(in.effect_ref, 5, 3, true, PF_PixelFormat_ARGB128, &wf), PF_Err_NONE);

        const struct {
            PF_EffectWorld* world;
            PF_PixelFormat format;
            A_long pixelSize;
        } cases[] = {{&w8, PF_PixelFormat_ARGB32, 4}, {&w16, PF_PixelFormat_ARGB64, 8}, {&wf, PF_PixelFormat_ARGB128, 16}};
        for (const auto& c : cases) {
            EXPECT_EQ(c.world->width, 5);
            EXPECT_EQ(c.world->height, 3);
            EXPECT_GT(c.world->rowbytes, 5 * c.pixelSize) << "rows are padded";
            PF_PixelFormat format = PF_PixelFormat_INVALID;
            EXPECT_EQ(v2->PF_GetPixelFormat(c.world, &format), PF_Err_NONE);
            EXPECT_EQ(format, c.format);
            for (A_long y = 0; y < 3; ++y) {
                const char* row = static_cast<const char*>(c.world->data) + y * c.world->rowbytes;
                for (A_long i = 0; i < 5 * c.pixelSize; ++i) {
                    ASSERT_EQ(row[i], 0) << "cleared";
                }
            }
        }
        EXPECT_EQ(w16.world_flags & PF_WorldFlag_DEEP, PF_WorldFlag_DEEP);
        EXPECT_EQ(in.utils->dispose_world(in.effect_ref, &w8), PF_Err_NONE);
        EXPECT_EQ(in.utils->dispose_world(in.effect_ref, &w16), PF_Err_NONE);
        EXPECT_EQ(v2->PF_DisposeWorld(in.effect_ref, &wf), PF_Err_NONE);
        in.pica_basicP->ReleaseSuite(kPFWorldSuite, 2);
    });
    EXPECT_TRUE(host.problems().empty()) << host.problems().front();
    EXPECT_EQ(host.liveWorlds(), 0u);
}

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
    EXPECT_EQ(host.problems(),
              (std::vector<std::string>{
                  "world of 4 x 3 pixels at 16 bits not disposed",
                  "world of 2 x 2 pixels at float made by PF_NewWorld disposed with dispose_world",
                  "dispose_world of a world the host did not hand out (disposed twice?)",
                  "world of 2 x 2 pixels at 8 bits written outside its pixels",
              }));
    EXPECT_EQ(host.liveWorlds(), 1u);

    // Only the command that made a world reports it.
    run([](PF_InData&, PF_OutData&) {});
    EXPECT_TRUE(host.problems().empty());
}

TEST_F(Worlds, ImagesKnowTheirPixelsAndGuardTheirRows) {
    Image image(PF_PixelFormat_ARGB64, 3, 2, PF_Point{-4, 7});
    EXPECT_EQ(image.world()->origin_x, -4);
    EXPECT_EQ(image.world()->origin_y, 7);
    image.at<PF_Pixel16>(2, 1) = PF_Pixel16{32768, 1, 2, 3};
    auto* row1 = reinterpret_cast<PF_Pixel16*>(static_cast<char*>(image.world()->data) + image.world()->rowbytes);
    EXPECT_EQ(row1[2].alpha, 32768);
    EXPECT_EQ(row1[2].blue, 3);
    EXPECT_THROW(image.at<PF_Pixel16>(3, 0), std::out_of_range);
    EXPECT_THROW(image.at<PF_Pixel>(0, 0), std::logic_error);
    EXPECT_TRUE(image.untouchedOutside());
    row1[3].alpha = 9;  // into the padding
    EXPECT_FALSE(image.untouchedOutside());
}

template <typename Pixel>
void fillPattern(Image& image) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const auto v = static_cast<decltype(Pixel{}.red)>(10 * y + x + 1);
            image.at<Pixel>(x, y) = Pixel{v, v, v, v};
        }
    }
}

TEST_F(Worlds, CopyClipsRectanglesAndRefusesMismatches) {
    Image src(PF_PixelFormat_ARGB128, 4, 3);
    Image dst(PF_PixelFormat_ARGB128, 4, 3, PF_Point{2, 2});
    Image other(PF_PixelFormat_ARGB32, 4, 3);
    fillPattern<PF_PixelFloat>(src);
    run([&](PF_InData& in, PF_OutData&) {
        EXPECT_EQ(in.utils->copy(in.effect_ref, src.world(), dst.world(), nullptr, nullptr), PF_Err_NONE);
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 4; ++x) {
                EXPECT_EQ(dst.at<PF_PixelFloat>(x, y).red, src.at<PF_PixelFloat>(x, y).red);
            }
        }
        // (1, 0)-(4, 2) onto (-1, 2)-(2, 4): only source (2..3, 0) lands, on (0..1, 2).
        PF_Rect from{1, 0, 4, 2};
        PF_Rect to{-1, 2, 2, 4};
        Image target(PF_PixelFormat_ARGB128, 4, 3);
        EXPECT_EQ(in.utils->copy(in.effect_ref, src.world(), target.world(), &from, &to), PF_Err_NONE);
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 4; ++x) {
                const float expected = (y == 2 && x < 2) ? src.at<PF_PixelFloat>(x + 2, 0).red : 0.0f;
                EXPECT_EQ(target.at<PF_PixelFloat>(x, y).red, expected) << x << "," << y;
            }
        }
        PF_Rect smaller{0, 0, 2, 2};
        EXPECT_EQ(in.utils->copy(in.effect_ref, src.world(), dst.world(), &from, &smaller), PF_Err_BAD_CALLBACK_PARAM);
        EXPECT_EQ(in.utils->copy(in.effect_ref, src.world(), other.world(), nullptr, nullptr), PF_Err_BAD_CALLBACK_PARAM);
    });
    EXPECT_TRUE(dst.untouchedOutside());
}

TEST_F(Worlds, FillConvertsTheColourToTheDepth) {
    Image w8(PF_PixelFormat_ARGB32, 3, 2);
    Image w16(PF_PixelFormat_ARGB64, 3, 2);
    Image wf(PF_PixelFormat_ARGB128, 3, 2);
    const PF_Pixel colour{255, 128, 0, 51};
    run([&](PF_InData& in, PF_OutData&) {
        const PF_Rect corner{1, 1, 9, 9};
        EXPECT_EQ(in.utils->fill(in.effect_ref, &colour, nullptr, w8.world()), PF_Err_NONE);
        EXPECT_EQ(in.utils->fill(in.effect_ref, &colour, &corner, w16.world()), PF_Err_NONE);
        EXPECT_EQ(in.utils->fill(in.effect_ref, &colour, nullptr, wf.world()), PF_Err_NONE);
    });
    const PF_Pixel p8 = w8.at<PF_Pixel>(2, 1);
    EXPECT_EQ(p8.red, 128);
    EXPECT_EQ(p8.blue, 51);
    const PF_Pixel16 p16 = w16.at<PF_Pixel16>(2, 1);
    EXPECT_EQ(p16.alpha, 32768);
    EXPECT_EQ(p16.red, 16448);  // 128 / 255 of 32768, rounded
    EXPECT_EQ(p16.blue, 6554);
    EXPECT_EQ(w16.at<PF_Pixel16>(0, 1).alpha, 0) << "outside the rectangle";
    EXPECT_EQ(w16.at<PF_Pixel16>(1, 0).alpha, 0) << "outside the rectangle";
    EXPECT_FLOAT_EQ(wf.at<PF_PixelFloat>(0, 0).red, 128.0f / 255.0f);
    EXPECT_TRUE(w16.untouchedOutside()) << "a rectangle beyond the world is clipped";
}

// Straight colours over straight colours, the top's alpha scaled by the opacity.
PF_Pixel inFront8(PF_Pixel bottom, PF_Pixel top, double opacity) {
    const double t = top.alpha / 255.0 * opacity;
    const double b = bottom.alpha / 255.0 * (1.0 - t);
    const double a = t + b;
    const auto c = [&](int ct, int cb) {
        return static_cast<A_u_char>(std::floor((ct * t + cb * b) / a + 0.5));
    };
    return PF_Pixel{static_cast<A_u_char>(std::floor(a * 255.0 + 0.5)), c(top.red, bottom.red),
                    c(top.green, bottom.green), c(top.blue, bottom.blue)};
}

TEST_F(Worlds, TransferRectCompositesInFrontWithOpacity) {
    Image top(PF_PixelFormat_ARGB32, 2, 1);
    Image bottom(PF_PixelFormat_ARGB32, 3, 2);
    top.at<PF_Pixel>(0, 0) = PF_Pixel{255, 255, 0, 0};
    top.at<PF_Pixel>(1, 0) = PF_Pixel{100, 0, 200, 40};
    const PF_Pixel under{128, 0, 0, 255};
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            bottom.at<PF_Pixel>(x, y) = under;
        }
    }
    PF_CompositeMode mode{PF_Xfer_IN_FRONT, 0, 127, false, 16384};
    run([&](PF_InData& in, PF_OutData&) {
        // Placed at (2, 1): only its first pixel lies in the destination.
        EXPECT_EQ(in.utils->transfer_rect(in.effect_ref, PF_Quality_HI, PF_MF_Alpha_STRAIGHT, PF_Field_FRAME, nullptr,
                                          top.world(), &mode, nullptr, 2, 1, bottom.world()),
                  PF_Err_NONE);
        EXPECT_EQ(in.utils->transfer_rect(in.effect_ref, PF_Quality_HI, PF_MF_Alpha_STRAIGHT, PF_Field_FRAME, nullptr,
                                          top.world(), &mode, nullptr, 0, 0, bottom.world()),
                  PF_Err_NONE);
        PF_CompositeMode multiply = mode;
        multiply.xfer = PF_Xfer_MULTIPLY;
        EXPECT_EQ(in.utils->transfer_rect(in.effect_ref, PF_Quality_HI, PF_MF_Alpha_STRAIGHT, PF_Field_FRAME, nullptr,
                                          top.world(), &multiply, nullptr, 0, 0, bottom.world()),
                  PF_Err_BAD_CALLBACK_PARAM);
    });
    const auto same = [](PF_Pixel a, PF_Pixel b) {
        return a.alpha == b.alpha && a.red == b.red && a.green == b.green && a.blue == b.blue;
    };
    EXPECT_TRUE(same(bottom.at<PF_Pixel>(2, 1), inFront8(under, top.at<PF_Pixel>(0, 0), 127 / 255.0)));
    EXPECT_TRUE(same(bottom.at<PF_Pixel>(0, 0), inFront8(under, top.at<PF_Pixel>(0, 0), 127 / 255.0)));
    EXPECT_TRUE(same(bottom.at<PF_Pixel>(1, 0), inFront8(under, top.at<PF_Pixel>(1, 0), 127 / 255.0)));
    EXPECT_TRUE(same(bottom.at<PF_Pixel>(2, 0), under));
    EXPECT_TRUE(same(bottom.at<PF_Pixel>(0, 1), under));
    EXPECT_TRUE(bottom.untouchedOutside());
}

TEST_F(Worlds, DeepTransferTakesTheFineOpacity) {
    Image top(PF_PixelFormat_ARGB64, 1, 1);
    Image bottom(PF_PixelFormat_ARGB64, 1, 1);
    top.at<PF_Pixel16>(0, 0) = PF_Pixel16{32768, 32768, 0, 0};
    bottom.at<PF_Pixel16>(0, 0) = PF_Pixel16{32768, 0, 0, 32768};
    const PF_CompositeMode mode{PF_Xfer_IN_FRONT, 0, 1, false, 8192};  // a quarter; the 8-bit opacity is ignored
    run([&](PF_InData& in, PF_OutData&) {
        EXPECT_EQ(in.utils->transfer_rect(in.effect_ref, PF_Quality_HI, PF_MF_Alpha_STRAIGHT, PF_Field_FRAME, nullptr,
                                          top.world(), &mode, nullptr, 0, 0, bottom.world()),
                  PF_Err_NONE);
    });
    const PF_Pixel16 p = bottom.at<PF_Pixel16>(0, 0);
    EXPECT_EQ(p.alpha, 32768);
    EXPECT_EQ(p.red, 8192);
    EXPECT_EQ(p.blue, 24576);
}

}  // namespace
